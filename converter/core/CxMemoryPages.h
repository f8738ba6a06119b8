// Hints to the system about large buffers. A buffer filled once from start to end (the input, the blocks
// of the document tree) costs a page fault per 4 KB page on first touch, which on virtual machines is a
// sizeable part of a conversion: asking for huge pages turns 512 of those faults into one. And input that
// has been read is handed back while the rest is read, so that input and tree are never held whole together.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace corvane {

// The huge page of x86-64 and most other systems.
constexpr std::size_t HugePageSize = 2 * 1024 * 1024;

// A hint for memory not touched yet; only the part of it aligned to huge pages can take them.
inline void AdviseHugePages([[maybe_unused]] void* Memory, [[maybe_unused]] std::size_t Size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t Huge = HugePageSize;
    const auto Begin = reinterpret_cast<std::uintptr_t>(Memory);
    const std::uintptr_t Start = (Begin + Huge - 1) & ~(Huge - 1);
    const std::uintptr_t End = (Begin + Size) & ~(Huge - 1);
    if (End > Start) madvise(reinterpret_cast<void*>(Start), End - Start, MADV_HUGEPAGE);
#endif
}

// Gives the whole pages inside [Memory, Memory + Size) back to the system. Their content is lost: they
// read as zeros if touched again. Only for memory its owner will not read again.
inline void ReleasePages([[maybe_unused]] void* Memory, [[maybe_unused]] std::size_t Size) {
#if defined(__linux__)
    const auto Page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto Begin = reinterpret_cast<std::uintptr_t>(Memory);
    const std::uintptr_t Start = (Begin + Page - 1) & ~(Page - 1);
    const std::uintptr_t End = (Begin + Size) & ~(Page - 1);
    if (End > Start) madvise(reinterpret_cast<void*>(Start), End - Start, MADV_DONTNEED);
#endif
}

} // namespace corvane
