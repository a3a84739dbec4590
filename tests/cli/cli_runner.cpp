#include "cli_runner.h"

#include <QProcess>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qf::test {

CliResult RunCli(const QStringList& args, const std::string& input, const QString& folder) {
    QProcess process;
    if (!folder.isEmpty()) {
        process.setWorkingDirectory(folder);
    }
    process.start(QStringLiteral(QUENFORT_CLI_PATH), args);
    process.waitForStarted();
    if (!input.empty()) {
        process.write(input.data(), qint64(input.size()));
    }
    process.closeWriteChannel();
    process.waitForFinished(60000);
    CliResult result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

CliResult RunCliRaw(const RawRun& run) {
    std::vector<std::string> argv_strings = run.wrapper;
    argv_strings.push_back(QUENFORT_CLI_PATH);
    argv_strings.insert(argv_strings.end(), run.args.begin(), run.args.end());
    std::vector<std::string> env_strings;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool overridden = false;
        for (const std::string& extra : run.env) {
            overridden = overridden || extra.compare(0, name.size(), name) == 0;
        }
        if (!overridden) {
            env_strings.push_back(entry);
        }
    }
    env_strings.insert(env_strings.end(), run.env.begin(), run.env.end());
    std::vector<char*> argv = Pointers(argv_strings);
    std::vector<char*> envp = Pointers(env_strings);

    int out_pipe[2];
    int err_pipe[2];
    if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only calls that are safe between fork and exec.
        const int in =
            ::open(run.stdin_path.empty() ? "/dev/null" : run.stdin_path.c_str(), O_RDONLY);
        ::dup2(in, 0);
        if (!run.stdout_path.empty()) {
            ::dup2(::open(run.stdout_path.c_str(), O_WRONLY), 1);
        } else {
            ::dup2(out_pipe[1], 1);
        }
        ::dup2(err_pipe[1], 2);
        if (run.file_size_limit >= 0) {
            // SIGXFSZ as the shell leaves it: the program must take the
            // limit as a write error itself.
            ::signal(SIGXFSZ, SIG_DFL);
            const rlimit limit{rlim_t(run.file_size_limit), rlim_t(run.file_size_limit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    CliResult result;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(run.timeout_seconds);
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_pipes = 2;
    bool killed = false;
    while (open_pipes > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ::kill(pid, SIGKILL);
            killed = true;
            break;
        }
        if (::poll(fds, 2, int(left.count())) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP)) != 0) {
                char buffer[4096];
                const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
                if (n > 0) {
                    sinks[i]->append(buffer, std::size_t(n));
                } else {
                    ::close(fds[i].fd);
                    fds[i].fd = -1;
                    --open_pipes;
                }
            }
        }
    }
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0) {
            ::close(fd.fd);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = !killed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace qf::test
