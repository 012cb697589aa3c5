#include "toolkit/graphics/FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <iterator>
#include <map>
#include <vector>

#include "toolkit/graphics/HandleTable.h"

namespace {

// Small mappings are recycled: making and releasing one costs five system calls (create,
// size, map, unmap, close), which dominated work on many small pictures. A released small
// mapping keeps its descriptor and its view, parked without access rights so that a stale
// pointer still faults, until a mapping of the same size is asked for.
constexpr std::size_t RecycledMappingSize = 64 * 1024;
constexpr std::size_t RecycledBytes = 8 * 1024 * 1024; // memory parked at most, in whole pages

struct TParkedMapping {
    int Fd = -1;
    void* View = nullptr;
    std::size_t Size = 0;
};

struct TFileMappingObject {
    int Fd = -1;
    std::size_t Size = 0;
    int LiveViews = 0;
    void* Spare = nullptr;   // a parked view, given out by the next MapViewOfFile
    bool SpareStale = false; // the spare holds a released picture's bytes
    ~TFileMappingObject() {
        if (Spare != nullptr) munmap(Spare, Size);
        if (Fd >= 0) close(Fd);
    }
};

// The memory a parked mapping holds.
std::size_t PagesOf(std::size_t Size) {
    const std::size_t page = 4096;
    return (Size + page - 1) / page * page;
}

struct TParkedMappings {
    std::vector<TParkedMapping> Entries;
    std::size_t Bytes = 0;
    ~TParkedMappings() {
        for (const TParkedMapping& entry : Entries) {
            munmap(entry.View, entry.Size);
            close(entry.Fd);
        }
    }
};

TParkedMappings& Parked() {
    static TParkedMappings parked;
    return parked;
}

THandleTable<TFileMappingObject>& Mappings() {
    static THandleTable<TFileMappingObject> table;
    return table;
}

struct TViewInfo {
    std::size_t Size = 0;
    THandle Mapping = 0;
};

// Views by address, to unmap them with their length.
std::map<void*, TViewInfo>& Views() {
    static std::map<void*, TViewInfo> views;
    return views;
}

// A parked mapping of exactly Size bytes as a new mapping; 0 when none. Its bytes are
// cleared when its view is given out.
THandle ReuseParkedMapping(std::size_t Size) {
    auto& entries = Parked().Entries;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->Size != Size) continue;
        auto object = std::make_unique<TFileMappingObject>();
        object->Fd = it->Fd;
        object->Size = Size;
        object->Spare = it->View;
        object->SpareStale = true;
        Parked().Bytes -= PagesOf(Size);
        entries.erase(std::next(it).base());
        return Mappings().Add(std::move(object));
    }
    return 0;
}

// Every image holds one descriptor: allow as many as the system lets this process have.
bool RaiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    limit.rlim_cur = limit.rlim_max;
    return setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

} // namespace

THandle CreateFileMapping(std::size_t Size) {
    static const bool raised = RaiseDescriptorLimit();
    (void)raised;
    if (Size == 0) return 0;
    if (Size <= RecycledMappingSize) {
        if (const THandle reused = ReuseParkedMapping(Size)) return reused;
    }
    int fd = memfd_create("dib", MFD_CLOEXEC);
    if (fd < 0) return 0;
    // Keep the standard descriptors free even when the program was started without them.
    if (fd < 3) {
        int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
        close(fd);
        if (moved < 0) return 0;
        fd = moved;
    }
    auto object = std::make_unique<TFileMappingObject>();
    object->Fd = fd;
    object->Size = Size;
    if (ftruncate(fd, static_cast<off_t>(Size)) != 0) return 0;
    return Mappings().Add(std::move(object));
}

void* MapViewOfFile(THandle Mapping) {
    TFileMappingObject* object = Mappings().Find(Mapping);
    if (!object) return nullptr;
    void* view = object->Spare;
    if (view != nullptr) {
        if (mprotect(view, object->Size, PROT_READ | PROT_WRITE) != 0) return nullptr;
        if (object->SpareStale) std::memset(view, 0, object->Size);
        object->Spare = nullptr;
        object->SpareStale = false;
    } else {
        view = mmap(nullptr, object->Size, PROT_READ | PROT_WRITE, MAP_SHARED, object->Fd, 0);
        if (view == MAP_FAILED) return nullptr;
    }
    ++object->LiveViews;
    Views()[view] = TViewInfo{object->Size, Mapping};
    return view;
}

bool UnmapViewOfFile(void* View) {
    auto it = Views().find(View);
    if (it == Views().end()) return false;
    TFileMappingObject* object = Mappings().Find(it->second.Mapping);
    if (object != nullptr && object->Spare == nullptr && object->Size <= RecycledMappingSize) {
        // Kept for a later view or for recycling, without access until then.
        if (mprotect(View, object->Size, PROT_NONE) != 0) return false;
        object->Spare = View;
    } else if (munmap(it->first, it->second.Size) != 0) {
        return false;
    }
    if (object != nullptr) --object->LiveViews;
    Views().erase(it);
    return true;
}

bool CloseHandle(THandle Mapping) {
    TFileMappingObject* object = Mappings().Find(Mapping);
    if (object == nullptr) return false;
    TParkedMappings& parked = Parked();
    if (object->Spare != nullptr && object->LiveViews == 0 &&
        parked.Bytes + PagesOf(object->Size) <= RecycledBytes) {
        parked.Entries.push_back(TParkedMapping{object->Fd, object->Spare, object->Size});
        parked.Bytes += PagesOf(object->Size);
        object->Fd = -1;
        object->Spare = nullptr;
    }
    return Mappings().Remove(Mapping);
}

std::size_t FileMappingSize(THandle Mapping) {
    TFileMappingObject* object = Mappings().Find(Mapping);
    return object ? object->Size : 0;
}

std::size_t LiveFileMappings() {
    return Mappings().Count();
}
