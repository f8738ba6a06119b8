// Large buffers filled once from start to end (the input, the blocks of the document tree) cost a page
// fault per 4 KB page on first touch, which on virtual machines is a sizeable part of a conversion. Asking
// for huge pages where the system offers them turns 512 of those faults into one.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace corvane {

// A hint for memory not touched yet; only the 2 MB-aligned part of it can take huge pages.
inline void AdviseHugePages([[maybe_unused]] void* Memory, [[maybe_unused]] std::size_t Size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t Huge = 2 * 1024 * 1024;
    const auto Begin = reinterpret_cast<std::uintptr_t>(Memory);
    const std::uintptr_t Start = (Begin + Huge - 1) & ~(Huge - 1);
    const std::uintptr_t End = (Begin + Size) & ~(Huge - 1);
    if (End > Start) madvise(reinterpret_cast<void*>(Start), End - Start, MADV_HUGEPAGE);
#endif
}

} // namespace corvane
