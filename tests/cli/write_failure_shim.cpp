// Loaded with LD_PRELOAD into the command line under test: makes one system
// call fail, as a full disk or a failing device would, for every file below a
// folder. QF_FAIL_CALL names the call (write, fsync, close, read; fsyncdir
// for the sync of a folder; create for an open that may make the file, whose
// path must also hold QF_FAIL_NAME when that is set), QF_FAIL_ERRNO the error
// number, QF_FAIL_UNDER the folder.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsFolder(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

bool Fails(const char* call, int fd) {
    const char* which = std::getenv("QF_FAIL_CALL");
    const char* under = std::getenv("QF_FAIL_UNDER");
    if (which == nullptr || under == nullptr || std::strcmp(which, call) != 0 || fd < 0) {
        return false;
    }
    char link[64];
    char target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0) {
        return false;
    }
    target[n] = '\0';
    return std::strncmp(target, under, std::strlen(under)) == 0;
}

// An open of `path` that may create it, below the folder, of the name asked for.
bool CreateFails(const char* path, int flags) {
    const char* which = std::getenv("QF_FAIL_CALL");
    const char* under = std::getenv("QF_FAIL_UNDER");
    const char* name = std::getenv("QF_FAIL_NAME");
    if (which == nullptr || under == nullptr || std::strcmp(which, "create") != 0 ||
        (flags & O_CREAT) == 0 || path == nullptr) {
        return false;
    }
    return std::strncmp(path, under, std::strlen(under)) == 0 &&
           (name == nullptr || std::strstr(path, name) != nullptr);
}

int FailureErrno() {
    const char* number = std::getenv("QF_FAIL_ERRNO");
    return number != nullptr ? std::atoi(number) : EIO;
}

template <typename F> F Next(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// What the failing call returns.
int Failed() {
    errno = FailureErrno();
    return -1;
}

} // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t size) {
    static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
    return Fails("write", fd) ? Failed() : real(fd, data, size);
}

int fsync(int fd) {
    static auto real = Next<int (*)(int)>("fsync");
    if (Fails("fsyncdir", fd) && IsFolder(fd)) {
        return Failed();
    }
    return Fails("fsync", fd) && !IsFolder(fd) ? Failed() : real(fd);
}

ssize_t read(int fd, void* data, size_t size) {
    static auto real = Next<ssize_t (*)(int, void*, size_t)>("read");
    return Fails("read", fd) ? Failed() : real(fd, data, size);
}

int open(const char* path, int flags, ...) {
    static auto real = Next<int (*)(const char*, int, ...)>("open");
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list args;
        va_start(args, flags);
        mode = mode_t(va_arg(args, int));
        va_end(args);
    }
    return CreateFails(path, flags) ? Failed() : real(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    static auto real = Next<int (*)(const char*, int, ...)>("open64");
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list args;
        va_start(args, flags);
        mode = mode_t(va_arg(args, int));
        va_end(args);
    }
    return CreateFails(path, flags) ? Failed() : real(path, flags, mode);
}

int fdatasync(int fd) {
    static auto real = Next<int (*)(int)>("fdatasync");
    return Fails("fsync", fd) ? Failed() : real(fd);
}

int close(int fd) {
    static auto real = Next<int (*)(int)>("close");
    const bool fail = Fails("close", fd);
    const int result = real(fd); // closed all the same, as the system does
    return fail ? Failed() : result;
}

} // extern "C"
