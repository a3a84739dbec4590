#pragma once

#include <QStringList>
#include <string>

namespace qf::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the quenfort-cli binary with the given arguments and standard input,
// in `folder` when one is given.
CliResult RunCli(const QStringList& args, const std::string& input = {},
                 const QString& folder = {});

} // namespace qf::test
