#include "workspace/page_guard.h"

#include "document/page_file.h"
#include "error.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace qf {

std::size_t PageTextHash(std::string_view text) {
    return HashOfBytes(text);
}

PageFileRecord RecordOf(const FileState& state, std::size_t file_hash, std::size_t text_hash) {
    PageFileRecord record;
    record.size = state.size;
    record.modified_ns = state.modified_ns;
    record.state = state;
    record.file_hash = file_hash;
    record.text_hash = text_hash;
    return record;
}

bool FileMatchesRecord(PageFileRecord& record, const std::string& path, FileState* seen) {
    const std::optional<FileReading> reading = HashFile(path);
    if (seen != nullptr) {
        *seen = reading ? reading->state : FileState{};
    }
    if (!record.Known()) {
        return true;
    }
    if (!reading) {
        return false;
    }
    if (reading->hash != record.file_hash) {
        // Other bytes may still be the same text, cut into other lines.
        FileReading again;
        const std::string text = ReadPageFile(path, &again);
        if (PageTextHash(text) != record.text_hash || !(again.state == reading->state)) {
            return false;
        }
        record.file_hash = again.hash;
    }
    record.size = reading->state.size;
    record.modified_ns = reading->state.modified_ns;
    record.state = reading->state;
    return true;
}

namespace {

std::string Folder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

[[noreturn]] void CannotLock(const std::string& page, const std::string& reason) {
    throw CommandError("Cannot lock \"" + page + "\" for writing. " + reason);
}

} // namespace

std::string PageLockPath(const std::string& page_path) {
    std::string real = page_path;
    if (char* resolved = ::realpath(page_path.c_str(), nullptr)) {
        real = resolved;
        std::free(resolved);
    }
    std::string folder = Folder(real);
    if (char* resolved = ::realpath(folder.c_str(), nullptr)) {
        folder = resolved;
        std::free(resolved);
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        CannotLock(page_path, std::strerror(errno));
    }
    ByteHash identity;
    const std::uint64_t numbers[2] = {std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
    identity.Add(std::string_view(reinterpret_cast<const char*>(numbers), sizeof numbers));
    identity.Add(BaseName(real));
    char name[40];
    std::snprintf(name, sizeof name, ".quenfort-%016llx.lock",
                  static_cast<unsigned long long>(identity.Value()));
    return (folder == "/" ? std::string() : folder) + "/" + name;
}

std::string PageBusyMessage(std::string_view page_name) {
    return std::string(page_name) + " is being changed by another program";
}

PageLock::PageLock(const std::string& page_path, int wait_ms)
    : page_path_(page_path), lock_path_(PageLockPath(page_path)) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(wait_ms);
    // How long a lock file that cannot be opened is looked at before it is
    // taken as left over.
    constexpr auto kUnopenableGrace = std::chrono::milliseconds(200);
    Clock::time_point unopenable_since{};
    bool unopenable = false;
    for (;;) {
        const int fd =
            ::open(lock_path_.c_str(),
                   O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0644);
        if (fd < 0) {
            const int error = errno;
            struct stat info {};
            const bool there = ::lstat(lock_path_.c_str(), &info) == 0;
            if (there && S_ISDIR(info.st_mode)) {
                CannotLock(page_path_, "A folder is in the way of its lock file \"" + lock_path_ +
                                           "\"; remove it.");
            }
            if (!there || (error != EACCES && error != ELOOP && error != EPERM)) {
                CannotLock(page_path_, std::strerror(error));
            }
            // Another user's lock file, or a link: looked at for a moment, then
            // replaced.
            const auto now = Clock::now();
            if (!unopenable) {
                unopenable = true;
                unopenable_since = now;
            }
            if (now - unopenable_since < kUnopenableGrace) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                continue;
            }
            if (::unlink(lock_path_.c_str()) != 0 && errno != ENOENT) {
                CannotLock(page_path_,
                           "Its lock file \"" + lock_path_ +
                               "\" cannot be opened or removed: " + std::strerror(errno));
            }
            unopenable = false;
            continue;
        }
        struct stat held {};
        if (::fstat(fd, &held) == 0 && !S_ISREG(held.st_mode)) {
            // A pipe or a device of that name: never a lock of ours.
            ::close(fd);
            if (::unlink(lock_path_.c_str()) != 0 && errno != ENOENT) {
                CannotLock(page_path_, std::strerror(errno));
            }
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // A lock file removed by its last holder meanwhile is no lock.
            struct stat named {};
            if (::stat(lock_path_.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
                named.st_ino == held.st_ino) {
                fd_ = fd;
                return;
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR) {
            CannotLock(page_path_, std::strerror(error));
        }
        if (Clock::now() >= deadline) {
            throw PageBusyError(PageBusyMessage(BaseName(page_path_)));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

PageLock::~PageLock() {
    // Removed while still held, so a waiter that opened it sees it gone.
    struct stat named {};
    struct stat held {};
    if (::stat(lock_path_.c_str(), &named) == 0 && ::fstat(fd_, &held) == 0 &&
        named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
        ::unlink(lock_path_.c_str());
    }
    ::close(fd_);
}

} // namespace qf
