#pragma once

#include <QStringList>
#include <string>

namespace qf::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the quenfort-cli binary with the given arguments and standard input.
CliResult RunCli(const QStringList& args, const std::string& input = {});

} // namespace qf::test
