#include "CliInput.h"

#include "CliFiles.h"
#include "CxMemoryPages.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <stdexcept>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// Reading a mapped page past the end of a file that shrank raises SIGBUS. The handler puts zero pages in
// place of the rest of the mapping, marks it, and lets the read go on; the job then fails with a message
// instead of the process dying. Mappings are watched in slots the handler can read without locks.
struct TGuardSlot {
    std::atomic<std::uintptr_t> Begin{0};
    std::atomic<std::uintptr_t> End{0}; // 0 while the slot is free or being filled
    std::atomic<bool> Truncated{false};
    std::atomic<bool> Taken{false};
};

constexpr int GuardSlotCount = 64;
TGuardSlot GuardSlots[GuardSlotCount];
struct sigaction PreviousBusHandler {};
std::uintptr_t PageSize = 4096;

void OnBusError(int Signal, siginfo_t* Info, void* Context) {
    const auto Address = reinterpret_cast<std::uintptr_t>(Info->si_addr);
    for (TGuardSlot& slot : GuardSlots) {
        const std::uintptr_t end = slot.End.load();
        if (end == 0 || Address < slot.Begin.load() || Address >= end) continue;
        const std::uintptr_t page = Address & ~(PageSize - 1);
        if (::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED)
            break;
        slot.Truncated.store(true);
        return;
    }
    // Not a watched mapping: whatever handled the signal before decides.
    if (PreviousBusHandler.sa_flags & SA_SIGINFO) {
        PreviousBusHandler.sa_sigaction(Signal, Info, Context);
    } else if (PreviousBusHandler.sa_handler != SIG_IGN && PreviousBusHandler.sa_handler != SIG_DFL) {
        PreviousBusHandler.sa_handler(Signal);
    } else {
        ::signal(Signal, SIG_DFL);
        ::raise(Signal);
    }
}

void InstallBusHandler() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        PageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &PreviousBusHandler);
    });
}

// A free slot watching [Begin, Begin + Size), or -1 when all are taken.
int Watch(const char* Begin, std::size_t Size) {
    InstallBusHandler();
    for (int index = 0; index < GuardSlotCount; ++index) {
        TGuardSlot& slot = GuardSlots[index];
        if (slot.Taken.exchange(true)) continue;
        slot.Truncated.store(false);
        slot.Begin.store(reinterpret_cast<std::uintptr_t>(Begin));
        slot.End.store(reinterpret_cast<std::uintptr_t>(Begin) + Size);
        return index;
    }
    return -1;
}

void Unwatch(int Index) {
    GuardSlots[Index].End.store(0);
    GuardSlots[Index].Taken.store(false);
}

} // namespace

TInputDocument TInputDocument::Open(const std::string& Path) {
    const int descriptor = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        struct stat info {};
        if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::size_t>(info.st_size) >= MapFrom) {
            TInputDocument document;
            document.Map(descriptor, static_cast<std::size_t>(info.st_size));
            ::close(descriptor); // the mapping keeps the file
            if (document.IsMapped()) return document;
        } else {
            ::close(descriptor);
        }
    }
    // What cannot be mapped is read, and what cannot be read says why.
    return TInputDocument(ReadWholeFile(Path));
}

void TInputDocument::Map(int Descriptor, std::size_t Size) {
    void* memory = ::mmap(nullptr, Size, PROT_READ, MAP_PRIVATE, Descriptor, 0);
    if (memory == MAP_FAILED) return;
    const int guard = Watch(static_cast<const char*>(memory), Size);
    if (guard < 0) {
        ::munmap(memory, Size);
        return;
    }
    ::madvise(memory, Size, MADV_SEQUENTIAL);
    FMapped = static_cast<const char*>(memory);
    FMappedSize = Size;
    FGuard = guard;
}

TInputDocument::TInputDocument(TInputDocument&& Other) noexcept
    : FData(std::move(Other.FData)), FMapped(Other.FMapped), FMappedSize(Other.FMappedSize),
      FGuard(Other.FGuard), FReleased(Other.FReleased) {
    Other.FMapped = nullptr;
    Other.FGuard = -1;
}

TInputDocument::~TInputDocument() {
    if (!FMapped) return;
    // Unwatched first: once unmapped, the addresses may serve another mapping.
    Unwatch(FGuard);
    ::munmap(const_cast<char*>(FMapped), FMappedSize);
}

void TInputDocument::Release(std::size_t Length) {
    Length = std::min(Length, View().size());
    if (Length <= FReleased) return;
    char* begin = FMapped ? const_cast<char*>(FMapped) : FData.data();
    ReleasePages(begin + FReleased, Length - FReleased);
    FReleased = Length;
}

bool TInputDocument::Truncated() const {
    return FGuard >= 0 && GuardSlots[FGuard].Truncated.load();
}

} // namespace corvane
