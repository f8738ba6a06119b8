// Memory for the nodes of one document tree, taken from the system in blocks and given back all at once.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace corvane {

// A tree is built node after node in document order and mostly lives as long as its document: its nodes
// sit together in large blocks, in the order they are walked, and cost no allocator call each. Memory of
// a node destroyed early stays in the block until the arena goes.
class TNodeArena {
public:
    TNodeArena() = default;
    TNodeArena(const TNodeArena&) = delete;
    TNodeArena& operator=(const TNodeArena&) = delete;

    // Uninitialised memory for one object; valid until the arena is destroyed.
    void* Allocate(std::size_t Size, std::size_t Alignment);

private:
    std::vector<std::unique_ptr<std::byte[]>> FBlocks;
    std::byte* FNext = nullptr;
    std::size_t FLeft = 0;
    std::size_t FNextBlockSize = 16 * 1024; // blocks grow with the document, up to MaxBlockSize
};

} // namespace corvane
