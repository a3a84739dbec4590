#include "document/file_io.h"

#include "error.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <signal.h>
#include <sstream>
#include <sys/syscall.h>
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

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// When this run started: a save file of an older run that is not running
// any more is a leftover.
const std::int64_t kRunStartNs = NowNs();

// The part of the target's name a save file carries: room for the prefix and
// suffix within the longest file name.
std::string SaveFilePrefix(const std::string& target) {
    return "." + std::string(BaseName(target).substr(0, NAME_MAX - 40)) + ".";
}

// A name for the new file beside `target`, hidden, naming the writing
// process, and unlikely to be taken: ".NAME.PID-RANDOM.saving".
std::string TempName(const std::string& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name =
        FolderOf(target) + "/" + SaveFilePrefix(target) + std::to_string(::getpid()) + "-";
    for (int i = 0; i < 10; ++i) {
        name += kLetters[random() % (sizeof(kLetters) - 1)];
    }
    return name + ".saving";
}

std::int64_t ModifiedNs(const struct stat& info) {
    return std::int64_t(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
}

// When the process `pid` started, in nanoseconds since the epoch; 0 when it
// is not running (or cannot be told).
std::int64_t ProcessStartNs(long pid) {
    std::ifstream stat_file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat_file, line)) {
        return 0;
    }
    // The fields after the command name, which may hold blanks and brackets.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    unsigned long long start_ticks = 0;
    for (int i = 3; i <= 22 && (fields >> field); ++i) {
        if (i == 22) {
            start_ticks = std::strtoull(field.c_str(), nullptr, 10);
        }
    }
    std::ifstream system_stat("/proc/stat");
    long long boot_seconds = 0;
    for (std::string word; system_stat >> word;) {
        if (word == "btime") {
            system_stat >> boot_seconds;
            break;
        }
    }
    const long ticks = ::sysconf(_SC_CLK_TCK);
    if (boot_seconds == 0 || ticks <= 0) {
        return 0;
    }
    return (boot_seconds + std::int64_t(start_ticks / ticks)) * 1'000'000'000 +
           std::int64_t(start_ticks % ticks) * (1'000'000'000 / ticks);
}

// True when the save file `name` (in the folder, of the target's prefix) was
// left by a run that ended: its process is gone, or started after the file
// was last written (another process under a reused number), or, for a name
// without a process number, the file is older than this run.
bool IsLeftoverSave(const std::string& name, std::size_t prefix_size, const struct stat& info) {
    const std::string middle = name.substr(prefix_size, name.size() - prefix_size - 7);
    const std::size_t dash = middle.find('-');
    const std::int64_t modified = ModifiedNs(info);
    if (dash == std::string::npos) {
        return middle.size() == 10 && modified < kRunStartNs;
    }
    const std::string digits = middle.substr(0, dash);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
        middle.size() - dash - 1 != 10 || digits.size() > 9) {
        return false;
    }
    const long pid = std::stol(digits);
    if (pid == long(::getpid())) {
        return modified < kRunStartNs;
    }
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) {
        return true;
    }
    const std::int64_t started = ProcessStartNs(pid);
    // A second's grace: the start is known to the clock tick only.
    return started != 0 && modified + 1'000'000'000 < started;
}

// Removes the save files of `target` that ended runs left behind.
void RemoveLeftoverSaves(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string prefix = SaveFilePrefix(target);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() + 7 || name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - 7, 7, ".saving") != 0) {
            continue;
        }
        struct stat info {};
        if (::fstatat(::dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && IsLeftoverSave(name, prefix.size(), info)) {
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
        }
    }
    ::closedir(dir);
}

// renameat2 with flags; -1 and errno as the system sets them.
int RenameWith(const std::string& from, const std::string& to, unsigned flags) {
#ifdef SYS_renameat2
    return int(::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags));
#else
    errno = ENOSYS;
    return -1;
#endif
}

constexpr unsigned kRenameNoReplace = 1; // RENAME_NOREPLACE
constexpr unsigned kRenameExchange = 2;  // RENAME_EXCHANGE

bool FlagsUnsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

} // namespace

void TreatFileSizeLimitAsWriteError() {
    ::signal(SIGXFSZ, SIG_IGN);
}

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

namespace {
constexpr std::size_t kEditRoom = 64 * 1024;
} // namespace

std::string ReadRegularFile(const std::string& path, FileReading* reading) {
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
    // The text is allocated once, at the size the file has and with room for
    // a small edit made in place (an insertion then moves the text within its
    // buffer instead of copying it to a larger one); only a file that grew
    // since is read on, to its end, within the limit.
    std::string bytes;
    bytes.reserve(std::size_t(info.st_size) + kEditRoom);
    bytes.resize(std::size_t(info.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = read_some(bytes.data() + got, bytes.size() - got);
        if (n == 0) {
            bytes.resize(got);
            break;
        }
        got += n;
    }
    if (got == std::size_t(info.st_size)) {
        char more[65536];
        for (std::size_t n; (n = read_some(more, sizeof more)) > 0;) {
            if (std::int64_t(bytes.size() + n) > kMaxPageFileSize) {
                Throw("Cannot open file", path, too_large);
            }
            bytes.append(more, n);
        }
    }
    if (reading != nullptr) {
        if (::fstat(file.get(), &info) != 0) {
            Throw("Cannot read file", path, Reason(errno));
        }
        reading->state = FileStateOf(info);
        reading->hash = HashOfBytes(bytes);
    }
    return bytes;
}

FileState FileStateOf(const struct stat& info) {
    FileState state;
    state.exists = true;
    state.device = std::uint64_t(info.st_dev);
    state.inode = std::uint64_t(info.st_ino);
    state.size = std::int64_t(info.st_size);
    state.modified_ns = ModifiedNs(info);
    return state;
}

FileState CurrentFileState(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) {
            return {};
        }
        Throw("Cannot read file", path, Reason(errno));
    }
    return FileStateOf(info);
}

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 32);
}

std::uint64_t Word(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

} // namespace

void ByteHash::AddBlock(const char* block) {
    for (int lane = 0; lane < 4; ++lane) {
        lanes_[lane] = Mix(lanes_[lane], Word(block + 8 * lane));
    }
}

void ByteHash::Add(std::string_view bytes) {
    length_ += bytes.size();
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    if (carried_ > 0) {
        const std::size_t take = std::min(left, sizeof carry_ - carried_);
        std::memcpy(carry_ + carried_, at, take);
        carried_ += take;
        at += take;
        left -= take;
        if (carried_ < sizeof carry_) {
            return;
        }
        AddBlock(carry_);
        carried_ = 0;
    }
    for (; left >= 32; at += 32, left -= 32) {
        AddBlock(at);
    }
    std::memcpy(carry_, at, left);
    carried_ = left;
}

// The rest and the length.
std::size_t ByteHash::Value() const {
    std::uint64_t hash = Mix(Mix(lanes_[0], lanes_[1]), Mix(lanes_[2], lanes_[3]));
    const char* at = carry_;
    std::size_t left = carried_;
    for (; left >= 8; at += 8, left -= 8) {
        hash = Mix(hash, Word(at));
    }
    char tail[8] = {};
    if (left > 0) {
        std::memcpy(tail, at, left);
    }
    hash = Mix(Mix(hash, Word(tail)), length_);
    return std::size_t(Mix(hash, hash >> 29));
}

std::size_t HashOfBytes(std::string_view bytes) {
    ByteHash hash;
    hash.Add(bytes);
    return hash.Value();
}

std::optional<FileReading> HashFile(const std::string& path) {
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        Throw("Cannot read file", path, Reason(errno));
    }
    struct stat before {};
    if (::fstat(file.get(), &before) != 0) {
        Throw("Cannot read file", path, Reason(errno));
    }
    if (!S_ISREG(before.st_mode)) {
        Throw("Cannot read file", path, NotARegularFileReason(before.st_mode));
    }
    ByteHash hash;
    static thread_local std::string chunk(std::size_t(256) << 10, '\0');
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            Throw("Cannot read file", path, Reason(errno));
        }
        if (n == 0) {
            break;
        }
        hash.Add(std::string_view(chunk.data(), std::size_t(n)));
    }
    struct stat after {};
    if (::fstat(file.get(), &after) != 0) {
        Throw("Cannot read file", path, Reason(errno));
    }
    FileReading reading;
    reading.state = FileStateOf(after);
    reading.hash = hash.Value();
    if (!(FileStateOf(before) == reading.state)) {
        reading.hash = ~reading.hash; // changed while read: matches nothing
    }
    return reading;
}

std::string ChangedMessage(std::string_view name) {
    return std::string(name) + " was changed by another program; nothing was written";
}

std::string MadeMessage(std::string_view name) {
    return std::string(name) + " was made by another program meanwhile; nothing was written";
}

std::string DeletedMessage(std::string_view name) {
    return std::string(name) + " was deleted by another program";
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
        // The mode bits for everyone, the system's answer for this user: a
        // file the user may not write is not replaced, though its folder
        // would allow it.
        if ((old_.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
            (::access(target_.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM))) {
            throw CommandError(std::string(BaseName(path_)) + " is read-only");
        }
        existed_ = true;
    } else if (errno != ENOENT) {
        Throw("Cannot write file", path_, Reason(errno));
    }
    RemoveLeftoverSaves(target_);
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

void SaveFile::ExpectTarget(const FileState& state) {
    expect_ = true;
    expected_ = state;
}

void SaveFile::LimitSize(std::int64_t bytes, std::string reason) {
    limit_ = bytes;
    limit_reason_ = std::move(reason);
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
    size_ += std::int64_t(bytes.size());
    if (limit_ >= 0 && size_ > limit_) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(temp_.c_str());
        temp_.clear();
        Throw("Cannot write file", path_, limit_reason_);
    }
    hash_.Add(bytes);
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

// Puts the new file in the target's place. With an expected state, the
// target is looked at last right before, and where the system can swap the
// two files, the old one is looked at once more after the swap and, when it
// changed meanwhile, swapped back.
void SaveFile::Rename() {
    const std::string name(BaseName(path_));
    auto outside = [&](bool deleted) {
        ::unlink(temp_.c_str());
        temp_.clear();
        throw OutsideChangeError(deleted ? DeletedMessage(name) : ChangedMessage(name), deleted);
    };
    if (!expect_) {
        if (::rename(temp_.c_str(), target_.c_str()) != 0) {
            Fail("Cannot write file", errno);
        }
        return;
    }
    if (!expected_.exists) {
        auto made = [&] {
            ::unlink(temp_.c_str());
            temp_.clear();
            throw OutsideChangeError(MadeMessage(name), false);
        };
        if (RenameWith(temp_, target_, kRenameNoReplace) == 0) {
            return;
        }
        if (errno == EEXIST) {
            made();
        }
        if (!FlagsUnsupported(errno)) {
            Fail("Cannot write file", errno);
        }
        // Without the flag: a link that fails on an existing name.
        if (::link(temp_.c_str(), target_.c_str()) == 0) {
            ::unlink(temp_.c_str());
            return;
        }
        if (errno == EEXIST) {
            made();
        }
        Fail("Cannot write file", errno);
    }
    struct stat now {};
    if (::stat(target_.c_str(), &now) != 0) {
        if (errno == ENOENT) {
            outside(true);
        }
        Fail("Cannot write file", errno);
    }
    if (!(FileStateOf(now) == expected_)) {
        outside(false);
    }
    if (RenameWith(temp_, target_, kRenameExchange) == 0) {
        // The temporary name now holds the old file.
        struct stat old {};
        const bool looked = ::lstat(temp_.c_str(), &old) == 0;
        if (!looked || !(FileStateOf(old) == expected_)) {
            if (RenameWith(temp_, target_, kRenameExchange) == 0) {
                outside(false); // the new file, back at the temporary name, goes
            }
            const std::string kept = temp_;
            temp_.clear();
            throw OutsideChangeError(name +
                                         " was changed by another program while it was saved; "
                                         "that version is kept as \"" +
                                         kept + "\"",
                                     false);
        }
        ::unlink(temp_.c_str());
        return;
    }
    if (errno == ENOENT) {
        outside(true); // removed between the last look and the swap
    }
    if (!FlagsUnsupported(errno)) {
        Fail("Cannot write file", errno);
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        Fail("Cannot write file", errno);
    }
}

void SaveFile::WriteInPlace() {
    const std::string name(BaseName(path_));
    const Descriptor page(::open(target_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY));
    struct stat now {};
    if (page.get() < 0 || ::fstat(page.get(), &now) != 0) {
        if (errno == ENOENT && expect_) {
            ::unlink(temp_.c_str());
            temp_.clear();
            throw OutsideChangeError(DeletedMessage(name), true);
        }
        Fail("Cannot write file", errno);
    }
    if (expect_ && !(FileStateOf(now) == expected_)) {
        ::unlink(temp_.c_str());
        temp_.clear();
        throw OutsideChangeError(expected_.exists ? ChangedMessage(name) : MadeMessage(name),
                                 false);
    }
    // The old bytes, to put back when the new ones cannot all be written.
    std::string old(std::size_t(now.st_size), '\0');
    for (std::size_t done = 0; done < old.size();) {
        const ssize_t n = ::pread(page.get(), old.data() + done, old.size() - done, off_t(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            Fail("Cannot read file", n < 0 ? errno : EIO);
        }
        done += std::size_t(n);
    }
    // The whole new file, synced, is kept under a name no save removes.
    std::string copy = temp_.substr(0, temp_.size() - 7) + ".copy";
    if (::rename(temp_.c_str(), copy.c_str()) == 0) {
        temp_ = copy;
    }
    const Descriptor source(::open(temp_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (source.get() < 0) {
        Fail("Cannot write file", errno);
    }
    // Room for the new bytes first, where the file system can promise it.
    if (size_ > std::int64_t(now.st_size)) {
        const int error = ::posix_fallocate(page.get(), 0, off_t(size_));
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) {
            Fail("Cannot write file", error);
        }
    }
    auto put_back = [&](int error) {
        bool restored = true;
        for (std::size_t done = 0; done < old.size();) {
            const ssize_t n =
                ::pwrite(page.get(), old.data() + done, old.size() - done, off_t(done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                restored = false;
                break;
            }
            done += std::size_t(n);
        }
        restored =
            restored && ::ftruncate(page.get(), off_t(old.size())) == 0 && ::fsync(page.get()) == 0;
        if (restored) {
            Fail("Cannot write file", error);
        }
        const std::string kept = temp_;
        temp_.clear();
        Throw("Cannot write file", path_,
              Reason(error) + "; the new page is kept whole as \"" + kept + "\"");
    };
    std::string chunk(kWriteChunk, '\0');
    for (off_t at = 0;;) {
        const ssize_t n = ::read(source.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            put_back(errno);
        }
        if (n == 0) {
            break;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w =
                ::pwrite(page.get(), chunk.data() + done, std::size_t(n - done), at + done);
            if (w < 0 && errno == EINTR) {
                continue;
            }
            if (w <= 0) {
                put_back(w < 0 ? errno : EIO);
            }
            done += w;
        }
        at += n;
    }
    if (::ftruncate(page.get(), off_t(size_)) != 0 || ::fsync(page.get()) != 0) {
        put_back(errno);
    }
    struct stat info {};
    if (::fstat(page.get(), &info) != 0) {
        Fail("Cannot write file", errno);
    }
    written_ = FileStateOf(info);
    ::unlink(temp_.c_str());
    temp_.clear();
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
    if (sync_ && ::fsync(fd_) != 0) {
        Fail("Cannot write file", errno);
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        Fail("Cannot write file", errno);
    }
    written_ = FileStateOf(info);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Fail("Cannot write file", errno);
    }
    struct stat target {};
    if (existed_ && ::stat(target_.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
        target.st_nlink > 1) {
        WriteInPlace();
        return;
    }
    Rename();
    temp_.clear();
    if (!sync_) {
        return;
    }
    // The rename itself reaches the disk with the folder.
    const Descriptor folder(::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int error = folder.get() < 0 ? errno : ::fsync(folder.get()) != 0 ? errno : 0;
    // A file system that cannot sync folders at all keeps the rename anyway.
    if (error != 0 && error != EINVAL && error != ENOTSUP) {
        throw NotDurableError(std::string(BaseName(path_)) +
                              " was written, but its folder could not be synced (" + Reason(error) +
                              "), so the change may be lost if the system stops now");
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const FileState* expected) {
    SaveFile file(path);
    if (expected != nullptr) {
        file.ExpectTarget(*expected);
    }
    file.Write(bytes);
    file.Commit();
}

void WriteCopyAtomically(const std::string& path, std::string_view bytes) {
    SaveFile file(path);
    file.SkipSync();
    file.Write(bytes);
    file.Commit();
}

void CopyFileAtomically(const std::string& source, const std::string& target) {
    const Descriptor in(::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (in.get() < 0) {
        Throw("Cannot open file", source, Reason(errno));
    }
    struct stat info {};
    if (::fstat(in.get(), &info) != 0) {
        Throw("Cannot read file", source, Reason(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        std::string what = NotARegularFileReason(info.st_mode);
        what.replace(what.find("a page file"), 11, "a file to copy");
        Throw("Cannot open file", source, what);
    }
    ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);
    SaveFile file(target);
    file.ExpectTarget(FileState{});
    std::string chunk(std::size_t(256) << 10, '\0');
    for (;;) {
        const ssize_t n = ::read(in.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            Throw("Cannot read file", source, Reason(errno));
        }
        if (n == 0) {
            break;
        }
        file.Write(std::string_view(chunk.data(), std::size_t(n)));
    }
    file.Commit();
}

} // namespace qf
