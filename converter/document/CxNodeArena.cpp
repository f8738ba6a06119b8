#include "CxNodeArena.h"

#include "CxMemoryPages.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <functional>

namespace corvane {

namespace {

constexpr std::size_t MaxBlockSize = 2 * HugePageSize;

} // namespace

void* TNodeArena::Allocate(std::size_t Size, std::size_t Alignment) {
    assert(Alignment > 0 && (Alignment & (Alignment - 1)) == 0);
    auto Padding = [this, Alignment] {
        return static_cast<std::size_t>(-reinterpret_cast<std::uintptr_t>(FNext) & (Alignment - 1));
    };
    if (FNext == nullptr || Padding() + Size > FLeft) {
        const std::size_t BlockSize = std::max(FNextBlockSize, Size + Alignment);
        FBlocks.push_back(NewBlock(BlockSize));
        AdviseHugePages(FBlocks.back().Memory.get(), BlockSize);
        FNext = FBlocks.back().Memory.get();
        FLeft = BlockSize;
        FNextBlockSize = std::min(FNextBlockSize * 2, MaxBlockSize);
    }
    const std::size_t Skip = Padding();
    void* const Result = FNext + Skip;
    FNext += Skip + Size;
    FLeft -= Skip + Size;
    return Result;
}

TNodeArena::TBlock TNodeArena::NewBlock(std::size_t Size) {
    auto* const Memory = static_cast<std::byte*>(MapBlock(Size));
    return {std::unique_ptr<std::byte, TBlockDeleter>(Memory, TBlockDeleter{Size}), Size};
}

void TNodeArena::TBlockDeleter::operator()(std::byte* Memory) const {
    UnmapBlock(Memory, Size);
}

void TNodeArena::ReleaseBlocksBefore(const void* Object) {
    const auto* const Address = static_cast<const std::byte*>(Object);
    const auto Holds = [Address](const TBlock& Block) {
        return std::less_equal<>()(Block.Memory.get(), Address) &&
               std::less<>()(Address, Block.Memory.get() + Block.Size);
    };
    for (; FReleased < FBlocks.size() && !Holds(FBlocks[FReleased]); ++FReleased)
        FBlocks[FReleased].Memory.reset();
}

} // namespace corvane
