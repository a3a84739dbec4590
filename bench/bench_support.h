// What the benchmark programs share: the floor they are measured against (a
// plain read of a file and a plain synced write of its bytes), putting a page
// file back between runs, medians, and running a program as a child.
#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace bench {

[[noreturn]] inline void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

inline void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            Fail("write");
        }
        bytes.remove_prefix(std::size_t(n));
    }
}

// Writes the file in place and syncs it, so no dirty data of an earlier run
// is left for the next timed sync.
inline void PutBack(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail("open " + path);
    }
    WriteAll(fd, bytes);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        Fail("sync " + path);
    }
}

// Milliseconds on the steady clock since `start`.
inline double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Writes `bytes` as the whole file at `path`, unsynced: setting up a run.
inline void WriteFile(const std::string& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail("open " + path);
    }
    WriteAll(fd, bytes);
    if (::close(fd) != 0) {
        Fail("close " + path);
    }
}

inline std::string PlainRead(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        Fail("open " + path);
    }
    std::string bytes(std::size_t(info.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            Fail("read " + path);
        }
        got += std::size_t(n);
    }
    ::close(fd);
    return bytes;
}

// open, write, fsync, close, rename.
inline void PlainSyncedWrite(const std::string& path, std::string_view bytes) {
    const std::string temp = path + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail("open " + temp);
    }
    WriteAll(fd, bytes);
    if (::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        Fail("write " + temp);
    }
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.empty()      ? 0.0
           : values.size() % 2 ? values[middle]
                               : (values[middle - 1] + values[middle]) / 2;
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// How a child ran: its exit status (-1 when it did not exit) and its peak
// resident memory in bytes (ru_maxrss from wait4).
struct ChildRun {
    int status = -1;
    std::int64_t peak = 0;
};

// Forks and runs `program` with `args`, its standard input from `input` and
// its standard output and errors thrown away, and waits for it.
inline ChildRun ForkChild(const std::vector<std::string>& argv_strings, const std::string& input) {
    std::vector<char*> argv;
    for (const std::string& arg : argv_strings) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(input.c_str(), O_RDONLY);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(in, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ChildRun run;
    int status = 0;
    struct rusage usage {};
    if (child > 0 && ::wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
        run.peak = std::int64_t(usage.ru_maxrss) * 1024;
    }
    return run;
}

// A child's peak counts the memory of the process it was forked from (the
// kernel keeps the larger of the two across exec), so a benchmark holding
// large pages would see them in every child's peak. StartSpawner forks, while
// the benchmark is still small, a process that forks the children for it:
// RunChild then asks it over a pipe.
struct Spawner {
    int requests = -1;
    int answers = -1;
};

inline Spawner& TheSpawner() {
    static Spawner spawner;
    return spawner;
}

inline void SendStrings(int fd, const std::vector<std::string>& strings) {
    std::string message;
    const auto put = [&message](std::uint64_t n) {
        message.append(reinterpret_cast<const char*>(&n), sizeof n);
    };
    put(strings.size());
    for (const std::string& each : strings) {
        put(each.size());
        message += each;
    }
    WriteAll(fd, message);
}

inline bool ReadExactly(int fd, void* into, std::size_t size) {
    char* at = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t n = ::read(fd, at, size);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return false;
        }
        at += n;
        size -= std::size_t(n);
    }
    return true;
}

inline bool ReceiveStrings(int fd, std::vector<std::string>& strings) {
    std::uint64_t count = 0;
    if (!ReadExactly(fd, &count, sizeof count)) {
        return false;
    }
    strings.assign(count, {});
    for (std::string& each : strings) {
        std::uint64_t size = 0;
        if (!ReadExactly(fd, &size, sizeof size)) {
            return false;
        }
        each.resize(size);
        if (size > 0 && !ReadExactly(fd, each.data(), size)) {
            return false;
        }
    }
    return true;
}

inline void StartSpawner() {
    int requests[2];
    int answers[2];
    if (::pipe(requests) != 0 || ::pipe(answers) != 0) {
        Fail("pipe");
    }
    const pid_t spawner = ::fork();
    if (spawner < 0) {
        Fail("fork");
    }
    if (spawner == 0) {
        ::close(requests[1]);
        ::close(answers[0]);
        // Each request: the input file, then the program and its arguments.
        for (std::vector<std::string> request; ReceiveStrings(requests[0], request);) {
            const std::string input = request.front();
            request.erase(request.begin());
            const ChildRun run = ForkChild(request, input);
            const std::int64_t answer[2] = {run.status, run.peak};
            WriteAll(answers[1],
                     std::string_view(reinterpret_cast<const char*>(answer), sizeof answer));
        }
        ::_exit(0);
    }
    ::close(requests[0]);
    ::close(answers[1]);
    TheSpawner() = {requests[1], answers[0]};
}

// Runs `program` with `args` (through the spawner once it is started), its
// standard input from `input` (or /dev/null) and its standard output and
// errors thrown away.
inline ChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "/dev/null") {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    const Spawner& spawner = TheSpawner();
    if (spawner.requests < 0) {
        return ForkChild(argv, input);
    }
    argv.insert(argv.begin(), input);
    SendStrings(spawner.requests, argv);
    std::int64_t answer[2] = {-1, 0};
    if (!ReadExactly(spawner.answers, answer, sizeof answer)) {
        Fail("the spawner did not answer");
    }
    return {int(answer[0]), answer[1]};
}

} // namespace bench
