// Loaded with LD_PRELOAD into the command line under test: makes one system
// call fail, as a full disk or a failing device would, for every file below a
// folder. QF_FAIL_CALL names the call (write, fsync or close), QF_FAIL_ERRNO
// the error number, QF_FAIL_UNDER the folder.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <limits.h>
#include <string>
#include <unistd.h>

namespace {

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
    return Fails("fsync", fd) ? Failed() : real(fd);
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
