#include "toolkit/graphics/FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <map>

#include "toolkit/graphics/HandleTable.h"

namespace {

struct TFileMappingObject {
    int Fd = -1;
    std::size_t Size = 0;
    ~TFileMappingObject() {
        if (Fd >= 0) close(Fd);
    }
};

THandleTable<TFileMappingObject>& Mappings() {
    static THandleTable<TFileMappingObject> table;
    return table;
}

// Views by address, to unmap them with their length.
std::map<void*, std::size_t>& Views() {
    static std::map<void*, std::size_t> views;
    return views;
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
    void* view = mmap(nullptr, object->Size, PROT_READ | PROT_WRITE, MAP_SHARED, object->Fd, 0);
    if (view == MAP_FAILED) return nullptr;
    Views()[view] = object->Size;
    return view;
}

bool UnmapViewOfFile(void* View) {
    auto it = Views().find(View);
    if (it == Views().end()) return false;
    if (munmap(it->first, it->second) != 0) return false;
    Views().erase(it);
    return true;
}

bool CloseHandle(THandle Mapping) { return Mappings().Remove(Mapping); }

std::size_t FileMappingSize(THandle Mapping) {
    TFileMappingObject* object = Mappings().Find(Mapping);
    return object ? object->Size : 0;
}

std::size_t LiveFileMappings() { return Mappings().Count(); }
