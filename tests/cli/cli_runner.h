#pragma once

#include <QStringList>
#include <string>
#include <vector>

namespace qf::test {

struct CliResult {
    int status = -1; // the exit status; -1 when killed or timed out
    std::string out;
    std::string err;
};

// Runs the quenfort-cli binary with the given arguments and standard input,
// in `folder` when one is given.
CliResult RunCli(const QStringList& args, const std::string& input = {},
                 const QString& folder = {});

// A run of quenfort-cli set up at the level of the system: arguments as bytes
// (any file name, UTF-8 or not), extra environment, standard output sent to a
// file, a file-size limit.
struct RawRun {
    std::vector<std::string> args;
    std::vector<std::string> env;     // "NAME=value", added to the test's environment
    std::string stdout_path;          // empty: standard output is captured
    std::string stdin_path;           // empty: /dev/null (opened read-only, a folder too)
    std::vector<std::string> wrapper; // a program and its arguments run with ours, as setpriv
    long file_size_limit = -1;        // RLIMIT_FSIZE in bytes, SIGXFSZ at its default; -1: none
    int timeout_seconds = 20;         // killed after this; the status is then -1
};
CliResult RunCliRaw(const RawRun& run);

} // namespace qf::test
