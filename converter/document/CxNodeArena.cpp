#include "CxNodeArena.h"

#include "CxMemoryPages.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <functional>
#include <mutex>

#if defined(__has_include)
#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#endif
#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(Address, Size) ((void)(Address), (void)(Size))
#define ASAN_UNPOISON_MEMORY_REGION(Address, Size) ((void)(Address), (void)(Size))
#endif

namespace corvane {

namespace {

constexpr std::size_t MaxBlockSize = 2 * HugePageSize;

// Blocks a finished tree gave back, for the process's next tree: a conversion after another writes into
// memory it already has instead of taking every page from the system again. Only so much is kept, so that
// a process that once converted a large document does not hold its memory for good.
class TBlockPool {
public:
    TBlockPool() { FBlocks.reserve(MaxPooledBlocks); }

    void* Take(std::size_t Size) {
        {
            const std::lock_guard Lock(FMutex);
            // Trees grow through the same sizes: a kept block of the size asked for is as good as new.
            const auto Kept = std::find_if(FBlocks.begin(), FBlocks.end(),
                                           [Size](const TKeptBlock& Block) { return Block.Size == Size; });
            if (Kept != FBlocks.end()) {
                void* const Block = Kept->Memory;
                ASAN_UNPOISON_MEMORY_REGION(Block, Size);
                FKeptBytes -= Size;
                *Kept = FBlocks.back();
                FBlocks.pop_back();
                return Block;
            }
        }
        return MapBlock(Size);
    }

    void GiveBack(void* Block, std::size_t Size) noexcept {
        {
            const std::lock_guard Lock(FMutex);
            if (FBlocks.size() < MaxPooledBlocks && FKeptBytes + Size <= MaxPooledBytes) {
                // The sanitizer build still reports a node used after its tree is gone.
                ASAN_POISON_MEMORY_REGION(Block, Size);
                FBlocks.push_back({Block, Size});
                FKeptBytes += Size;
                return;
            }
        }
        UnmapBlock(Block, Size);
    }

private:
    struct TKeptBlock {
        void* Memory;
        std::size_t Size;
    };
    static constexpr std::size_t MaxPooledBlocks = 32;
    static constexpr std::size_t MaxPooledBytes = 32 * 1024 * 1024;
    std::mutex FMutex;
    std::vector<TKeptBlock> FBlocks; // never grows beyond its reserve
    std::size_t FKeptBytes = 0;
};

// Never destroyed: a tree that outlives the statics, such as one held by a static of a program, still
// gives its blocks back.
TBlockPool& BlockPool() {
    static TBlockPool& Pool = *new TBlockPool;
    return Pool;
}

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
        // A tree given back as it grows (written while it is read) needs no larger blocks: those it gave
        // back come round again from the pool, which keeps blocks by size.
        if (FReleased == FReleasedAtLastBlock) FNextBlockSize = std::min(FNextBlockSize * 2, MaxBlockSize);
        FReleasedAtLastBlock = FReleased;
    }
    const std::size_t Skip = Padding();
    void* const Result = FNext + Skip;
    FNext += Skip + Size;
    FLeft -= Skip + Size;
    return Result;
}

TNodeArena::TBlock TNodeArena::NewBlock(std::size_t Size) {
    auto* const Memory = static_cast<std::byte*>(BlockPool().Take(Size));
    return {std::unique_ptr<std::byte, TBlockDeleter>(Memory, TBlockDeleter{Size}), Size};
}

void TNodeArena::TBlockDeleter::operator()(std::byte* Memory) const {
    BlockPool().GiveBack(Memory, Size);
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
