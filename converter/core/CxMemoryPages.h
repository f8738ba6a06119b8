// Large buffers, and hints to the system about them. A buffer filled once from start to end (the input, the
// blocks of the document tree) costs a page fault per 4 KB page on first touch, which on virtual machines is
// a sizeable part of a conversion: asking for huge pages turns 512 of those faults into one. And input that
// has been read is handed back while the rest is read, so that input and tree are never held whole together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

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

// The alignment of a block of Size bytes taken from the heap, where the system cannot map one.
constexpr std::size_t BlockAlignment(std::size_t Size) {
    return Size >= HugePageSize ? HugePageSize : alignof(std::max_align_t);
}

// Memory for a large block, taken from the system instead of the heap, whole pages and aligned to a
// huge page when it spans one. Giving a large block back to the heap makes it merge every small block
// freed before, which for a document tree's hundreds of thousands of texts is a sizeable part of its
// teardown; a mapping goes back without touching the heap. Throws std::bad_alloc when there is no memory.
inline void* MapBlock(std::size_t Size) {
#if defined(__linux__)
    const std::size_t Alignment = Size >= HugePageSize ? HugePageSize : 1;
    const std::size_t Length = Size + Alignment - 1;
    void* const Mapped = mmap(nullptr, Length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Mapped == MAP_FAILED) throw std::bad_alloc();
    if (Alignment == 1) return Mapped;
    // Over-mapped by less than a huge page: the pages before the aligned start and after the end go back.
    const auto Begin = reinterpret_cast<std::uintptr_t>(Mapped);
    const std::uintptr_t Start = (Begin + Alignment - 1) & ~(Alignment - 1);
    const auto Page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const std::uintptr_t End = (Start + Size + Page - 1) & ~(Page - 1);
    if (Start > Begin) munmap(Mapped, Start - Begin);
    if (Begin + Length > End) munmap(reinterpret_cast<void*>(End), Begin + Length - End);
    return reinterpret_cast<void*>(Start);
#else
    return ::operator new (Size, std::align_val_t{BlockAlignment(Size)});
#endif
}

inline void UnmapBlock(void* Memory, [[maybe_unused]] std::size_t Size) {
#if defined(__linux__)
    munmap(Memory, Size);
#else
    ::operator delete (Memory, std::align_val_t{BlockAlignment(Size)});
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
