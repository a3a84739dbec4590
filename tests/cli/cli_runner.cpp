#include "cli_runner.h"

#include <QProcess>

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

} // namespace qf::test
