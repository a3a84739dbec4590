#include "document/file_io.h"

#include "error.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace qf {

namespace {

// What a save file gathers before it writes: small against a page of
// megabytes, whose own text is all the memory a save needs.
constexpr std::size_t kWriteChunk = std::size_t(128) << 10;

std::string Reason(int error) {
    return std::strerror(error);
}

[[noreturn]] void Throw(const char* action, const std::string& path, const std::string& reason) {
    throw CommandError(std::string(action) + " \"" + path + "\". " + reason);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name for the new file beside `target`, hidden and unlikely to be taken.
std::string TempName(const std::string& target) {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    // Room for the prefix and suffix within the longest file name.
    const std::string base(BaseName(target).substr(0, NAME_MAX - 24));
    std::string name = FolderOf(target) + "/." + base + ".";
    for (int i = 0; i < 10; ++i) {
        name += kLetters[random() % (sizeof(kLetters) - 1)];
    }
    return name + ".saving";
}

} // namespace

std::string NotARegularFileReason(mode_t mode) {
    if (S_ISREG(mode)) {
        return {};
    }
    const char* what = S_ISDIR(mode)    ? "a folder"
                       : S_ISFIFO(mode) ? "a named pipe (FIFO)"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "not a regular file";
    return std::string("It is ") + what + ", not a page file.";
}

std::string PageFileProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return "It is a symbolic link to nothing, not a page file.";
        }
        return Reason(error);
    }
    return NotARegularFileReason(info.st_mode);
}

bool EntryExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::int64_t FileSizeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? std::int64_t(info.st_size) : 0;
}

std::string_view BaseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string FolderOfFile(const std::string& path) {
    std::string folder = path.substr(0, path.rfind('/') + 1);
    if (folder.empty() || folder.front() != '/') {
        char* current = ::getcwd(nullptr, 0);
        if (current != nullptr) {
            folder = std::string(current) + "/" + folder;
            std::free(current);
        }
    }
    return folder;
}

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ReadRegularFile(const std::string& path) {
    // Not blocking on open: a FIFO without a writer would wait for ever.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        Throw("Cannot open file", path, Reason(errno));
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        Throw("Cannot read file", path, Reason(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        Throw("Cannot open file", path, NotARegularFileReason(info.st_mode));
    }
    const std::string too_large = "It is larger than 256 MB, too large for a page.";
    if (info.st_size > kMaxPageFileSize) {
        Throw("Cannot open file", path, too_large);
    }
    ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);

    auto read_some = [&](char* into, std::size_t size) {
        for (;;) {
            const ssize_t n = ::read(file.get(), into, size);
            if (n >= 0) {
                return std::size_t(n);
            }
            if (errno != EINTR) {
                Throw("Cannot read file", path, Reason(errno));
            }
        }
    };
    // The text is allocated once, at the size the file has; only a file that
    // grew since is read on, to its end, within the limit.
    std::string bytes;
    bytes.resize(std::size_t(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = read_some(bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            bytes.resize(got);
            return bytes;
        }
        got += n;
    }
    char more[65536];
    for (std::size_t n; (n = read_some(more, sizeof more)) > 0;) {
        if (std::int64_t(bytes.size() + n) > kMaxPageFileSize) {
            Throw("Cannot open file", path, too_large);
        }
        bytes.append(more, n);
    }
    return bytes;
}

SaveFile::SaveFile(const std::string& path) : path_(path), target_(path) {
    // Through a link to an existing file, that file is replaced; a link to
    // nothing is replaced itself, so nothing is made where it points.
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        target_ = real;
        std::free(real);
    }
    if (::stat(target_.c_str(), &old_) == 0) {
        const std::string reason = NotARegularFileReason(old_.st_mode);
        if (!reason.empty()) {
            Throw("Cannot write file", path_, reason);
        }
        if ((old_.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            throw CommandError(std::string(BaseName(path_)) + " is read-only");
        }
        existed_ = true;
    } else if (errno != ENOENT) {
        Throw("Cannot write file", path_, Reason(errno));
    }
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temp_ = TempName(target_);
        // 0666: a new page gets the mode the umask leaves, as any new file.
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            const int error = errno;
            temp_.clear();
            Throw("Cannot create file", path_, Reason(error));
        }
    }
}

SaveFile::~SaveFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
    }
}

void SaveFile::Fail(const char* action, int error) {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    Throw(action, path_, Reason(error));
}

void SaveFile::WriteOut(const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("Cannot write file", errno);
        }
        if (n == 0) {
            Fail("Cannot write file", EIO);
        }
        data += n;
        size -= std::size_t(n);
    }
}

void SaveFile::Write(std::string_view bytes) {
    if (fd_ < 0) {
        Fail("Cannot write file", EBADF);
    }
    if (buffer_.size() + bytes.size() <= kWriteChunk) {
        if (buffer_.capacity() < kWriteChunk) {
            buffer_.reserve(kWriteChunk);
        }
        buffer_.append(bytes);
        return;
    }
    WriteOut(buffer_.data(), buffer_.size());
    buffer_.clear();
    if (bytes.size() >= kWriteChunk) {
        WriteOut(bytes.data(), bytes.size());
    } else {
        buffer_.append(bytes);
    }
}

void SaveFile::Commit() {
    if (fd_ < 0) {
        Fail("Cannot write file", EBADF);
    }
    WriteOut(buffer_.data(), buffer_.size());
    buffer_.clear();
    if (existed_) {
        // Owner and group first: changing them may clear the set-id bits.
        struct stat now {};
        if (::fstat(fd_, &now) == 0 && (now.st_uid != old_.st_uid || now.st_gid != old_.st_gid) &&
            ::fchown(fd_, old_.st_uid, old_.st_gid) != 0) {
            // Without the right to give the file away, the group alone may pass.
            [[maybe_unused]] const int ignored = ::fchown(fd_, uid_t(-1), old_.st_gid);
        }
        ::fchmod(fd_, old_.st_mode & 07777);
    }
    if (::fsync(fd_) != 0) {
        Fail("Cannot write file", errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Fail("Cannot write file", errno);
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        Fail("Cannot write file", errno);
    }
    temp_.clear();
    // The rename itself reaches the disk with the folder.
    const Descriptor folder(::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) {
        ::fsync(folder.get());
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    SaveFile file(path);
    file.Write(bytes);
    file.Commit();
}

} // namespace qf
