// Memory for the nodes of one document tree, taken from the system in blocks and given back all at once.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace corvane {

// A tree is built node after node in document order and mostly lives as long as its document: its nodes
// sit together in large blocks, in the order they are walked, and cost no allocator call each. Memory of
// a node destroyed early stays in the block until the arena goes or gives its block back.
class TNodeArena {
public:
    TNodeArena() = default;
    TNodeArena(const TNodeArena&) = delete;
    TNodeArena& operator=(const TNodeArena&) = delete;

    // Uninitialised memory for one object; valid until the arena is destroyed or releases its block.
    void* Allocate(std::size_t Size, std::size_t Alignment);
    // For a tree taken down in the order it was made: gives back every block made before the one that
    // holds Object (all of them when Object is null), whose objects the caller has destroyed.
    void ReleaseBlocksBefore(const void* Object);

private:
    // Blocks come from a pool of blocks earlier trees gave back, or else from the system (MapBlock), never
    // from the heap; large ones start on a huge page.
    struct TBlockDeleter {
        std::size_t Size;
        void operator()(std::byte* Memory) const;
    };
    struct TBlock {
        std::unique_ptr<std::byte, TBlockDeleter> Memory;
        std::size_t Size;
    };
    static TBlock NewBlock(std::size_t Size);
    std::vector<TBlock> FBlocks;
    std::size_t FReleased = 0; // blocks before this one are given back
    std::size_t FReleasedAtLastBlock = 0;
    std::byte* FNext = nullptr;
    std::size_t FLeft = 0;
    std::size_t FNextBlockSize = 16 * 1024; // blocks grow with the document, up to MaxBlockSize
};

// The allocator of a container that lives in an arena (or on the heap without one): what it gives back
// stays in the arena's block until the arena goes, so a container that grows leaves its old room there.
template <typename T> class TArenaAllocator {
public:
    using value_type = T;

    explicit TArenaAllocator(TNodeArena* Arena = nullptr) noexcept : FArena(Arena) {}
    template <typename U> TArenaAllocator(const TArenaAllocator<U>& Other) noexcept : FArena(Other.Arena()) {}

    T* allocate(std::size_t Count) {
        if (FArena == nullptr) return std::allocator<T>().allocate(Count);
        return static_cast<T*>(FArena->Allocate(Count * sizeof(T), alignof(T)));
    }
    void deallocate(T* Memory, std::size_t Count) noexcept {
        if (FArena == nullptr) std::allocator<T>().deallocate(Memory, Count);
    }
    TNodeArena* Arena() const noexcept { return FArena; }
    friend bool operator==(const TArenaAllocator& Left, const TArenaAllocator& Right) noexcept {
        return Left.FArena == Right.FArena;
    }

private:
    TNodeArena* FArena;
};

} // namespace corvane
