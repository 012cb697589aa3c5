// A folder on a small file system of its own, to save onto a full disk, a half-full one or a
// read-only one for real. The file system is mounted in a private mount namespace of the
// test's thread: nothing else sees it, and a test that crashes leaves no mount behind. Only
// root may mount; elsewhere the folder is not ready and says why, and the test skips itself.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <ostream>
#include <sched.h>
#include <string>
#include <tuple>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

// What the folder is like when a save starts. Every state but dsRoom must make the save fail.
enum TDiskState {
    dsRoom,           // room enough
    dsFull,           // not one byte left
    dsHalfFull,       // room for the first part of a file of some size, not for all of it
    dsReadOnly,       // nothing can be created or replaced
    dsTargetIsFolder, // a folder stands where the file should go
};

inline const char* DiskStateName(TDiskState State) {
    static const char* const names[] = {"Room", "Full", "HalfFull", "ReadOnly", "TargetIsFolder"};
    return names[State];
}

// One case of a writer's table: the folder's state, and a small file (one that fits any write
// buffer) or a large one (more than the room of a half-full disk).
struct TDiskSave {
    TDiskState State;
    bool Large;
};

inline std::string DiskSaveName(const TDiskSave& Save) {
    return std::string(DiskStateName(Save.State)) + (Save.Large ? "_Large" : "_Small");
}
inline void PrintTo(const TDiskSave& Save, std::ostream* Out) {
    *Out << DiskSaveName(Save);
}

// The cases every writer is tried with; only the first must succeed.
inline const TDiskSave DiskSaves[] = {
    {dsRoom, true},     {dsFull, false},     {dsFull, true},
    {dsHalfFull, true}, {dsReadOnly, false}, {dsTargetIsFolder, false},
};

// A save a user starts in a program's save dialog: Choice is the dialog's file type, Chosen
// the name given, Targets the files the save writes.
struct TDialogSave {
    const char* Name;
    int Choice;
    std::string Chosen;
    std::vector<std::string> Targets;
};

inline void PrintTo(const TDialogSave& Save, std::ostream* Out) {
    *Out << Save.Name;
}

// Names the tests of a table of writers (each with a Name) by disk cases:
// "Writer_State_Size".
struct TDiskSaveTestName {
    template <class Writer>
    std::string operator()(const ::testing::TestParamInfo<std::tuple<Writer, TDiskSave>>& Info) const {
        return std::string(std::get<0>(Info.param).Name) + "_" + DiskSaveName(std::get<1>(Info.param));
    }
};

class TFullDiskFolder {
public:
    // What dsHalfFull leaves free: less than a large file, more than its first writes.
    static constexpr std::uint64_t HalfFullRoom = 8192;

    explicit TFullDiskFolder(std::uint64_t Size = 1 << 20) {
        if (::geteuid() != 0) {
            FReason = "mounting a small file system needs root";
            return;
        }
        if (!PrivateMounts()) return;
        char folder[] = "/tmp/palvenor-disk-XXXXXX";
        if (::mkdtemp(folder) == nullptr) {
            Fail("mkdtemp");
            return;
        }
        FFolder = folder;
        const std::string options = "size=" + std::to_string(Size) + ",mode=0755";
        if (::mount("tmpfs", folder, "tmpfs", 0, options.c_str()) != 0) {
            Fail("mount tmpfs");
            ::rmdir(folder);
            FFolder.clear();
            return;
        }
        FReady = true;
    }

    ~TFullDiskFolder() {
        if (FFolder.empty()) return;
        ::umount2(FFolder.c_str(), MNT_DETACH);
        ::rmdir(FFolder.c_str());
    }

    TFullDiskFolder(const TFullDiskFolder&) = delete;
    TFullDiskFolder& operator=(const TFullDiskFolder&) = delete;

    bool Ready() const { return FReady; }
    // Why the folder is not ready: the message of the test's skip.
    const std::string& Reason() const { return FReason; }

    // The folder, ending in "/".
    std::string Folder() const { return FFolder + "/"; }
    std::string Path(const std::string& Name) const { return Folder() + Name; }

    std::uint64_t FreeBytes() const {
        struct statvfs info {};
        if (::statvfs(FFolder.c_str(), &info) != 0) return 0;
        return std::uint64_t(info.f_bavail) * info.f_frsize;
    }

    // Fills the disk until at most Free bytes are left (whole blocks: the file system
    // gives room a block at a time).
    void LeaveFree(std::uint64_t Free) {
        const int fd = ::open(Path(FillerName).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0) return;
        const std::vector<char> block(4096, 0);
        while (FreeBytes() > Free) {
            const std::uint64_t over = FreeBytes() - Free;
            const std::size_t n = over < block.size() ? std::size_t(over) : block.size();
            if (::write(fd, block.data(), n) <= 0) break;
        }
        ::close(fd);
    }

    // From now on nothing in the folder can be created, changed or removed, root or not.
    bool MakeReadOnly() {
        return ::mount(nullptr, FFolder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // The bytes of the file Name before the save: its own name, repeated over a few KiB.
    static std::string OldContent(const std::string& Name) {
        std::string text;
        while (text.size() < 3000)
            text += "old " + Name + "\n";
        return text;
    }

    // Puts the folder in State for a save to the files Targets: each first holds its
    // OldContent (for dsTargetIsFolder each is a folder instead), then the disk is filled
    // or made read-only as State says. False when the folder could not be put so.
    bool Prepare(TDiskState State, const std::vector<std::string>& Targets) {
        for (const std::string& name : Targets) {
            const bool made = State == dsTargetIsFolder ? ::mkdir(Path(name).c_str(), 0755) == 0
                                                        : WriteFile(name, OldContent(name));
            if (!made) return false;
        }
        switch (State) {
        case dsFull:
            LeaveFree(0);
            return FreeBytes() == 0;
        case dsHalfFull:
            LeaveFree(HalfFullRoom);
            return FreeBytes() == HalfFullRoom;
        case dsReadOnly:
            return MakeReadOnly();
        default:
            return true;
        }
    }

    // The file Name holds exactly its OldContent.
    bool KeptOldContent(const std::string& Name) const { return ReadFile(Name) == OldContent(Name); }

    bool WriteFile(const std::string& Name, const std::string& Bytes) const {
        const int fd = ::open(Path(Name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return false;
        const bool written = ::write(fd, Bytes.data(), Bytes.size()) == ssize_t(Bytes.size());
        return ::close(fd) == 0 && written;
    }

    // The file's bytes; empty when it cannot be read (a folder, for one).
    std::string ReadFile(const std::string& Name) const {
        std::string bytes;
        const int fd = ::open(Path(Name).c_str(), O_RDONLY);
        if (fd < 0) return bytes;
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
            bytes.append(buffer, std::size_t(n));
        ::close(fd);
        return bytes;
    }

    bool IsFolder(const std::string& Name) const {
        struct stat info {};
        return ::stat(Path(Name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    // The names of what the folder holds besides the filler, sorted: a save that failed
    // must leave no temporary file behind.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(FFolder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                const std::string name = entry->d_name;
                if (name != "." && name != ".." && name != FillerName) names.push_back(name);
            }
            ::closedir(dir);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    static constexpr const char* FillerName = ".filler";

    // Once per process: a mount namespace of the calling thread whose mounts stay in it.
    bool PrivateMounts() {
        static int failure = -1;
        if (failure < 0) {
            failure = ::unshare(CLONE_NEWNS) != 0 ? errno : MakeMountsPrivate(TempMountRoot());
        }
        if (failure == 0) return true;
        FReason = std::string("no private mount namespace: ") + std::strerror(failure);
        return false;
    }

    // In a chroot the root is no mount of its own; the mount /tmp lies on is made private
    // then, which is all the folders below it need.
    static int MakeMountsPrivate(const std::string& TempRoot) {
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0) return 0;
        if (errno != EINVAL || TempRoot.empty()) return errno;
        return ::mount(nullptr, TempRoot.c_str(), nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 ? 0 : errno;
    }

    // The root of the mount holding /tmp: the last folder on the way up that lies on
    // another device than its parent. Empty when /tmp lies on the root's device.
    static std::string TempMountRoot() {
        std::string path = "/tmp";
        while (path != "/") {
            const std::size_t slash = path.find_last_of('/');
            const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
            struct stat self {
            }, above{};
            if (::stat(path.c_str(), &self) != 0 || ::stat(parent.c_str(), &above) != 0) return {};
            if (self.st_dev != above.st_dev) return path;
            path = parent;
        }
        return {};
    }

    void Fail(const char* What) { FReason = std::string(What) + ": " + std::strerror(errno); }

    bool FReady = false;
    std::string FReason;
    std::string FFolder;
};
