// Publishing 500 files of 20 KB over SFTP on the loopback, beside OpenSSH's
// own sftp putting the same files in one batch: the first publish (every
// file sent) and a publish after one file changed. The server is the tests'
// unprivileged sshd.

#include "bench_support.h"
#include "publish/publish.h"
#include "test_servers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>

namespace {

using bench::Median;
using bench::MsSince;
using bench::WriteFile;

constexpr int kFiles = 500;
constexpr int kFileSize = 20 * 1024;

// The project: kFiles files of kFileSize bytes that do not compress.
struct Project {
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString() + "/";
    std::vector<std::string> names;

    Project() {
        std::mt19937 random(7);
        for (int i = 0; i < kFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "page%03d.html", i);
            names.emplace_back(name);
            std::string bytes(kFileSize, '\0');
            for (char& c : bytes) {
                c = char(' ' + random() % 90);
            }
            WriteFile(folder + name, bytes);
        }
    }
};

// OpenSSH's sftp putting every file of the project into `remote` in one batch.
double SftpBatch(const qf::test::SshServer& server, const Project& project, const std::string& key,
                 const std::string& remote, const QString& batch_file) {
    std::string batch = "mkdir " + remote + "\n";
    for (const std::string& name : project.names) {
        batch += "put " + project.folder + name + " " + remote + "/" + name + "\n";
    }
    WriteFile(batch_file.toStdString(), batch);
    QProcess sftp;
    sftp.setProcessChannelMode(QProcess::MergedChannels);
    const auto start = std::chrono::steady_clock::now();
    sftp.start("sftp", {"-q", "-b", batch_file, "-i", QString::fromStdString(key), "-P",
                        QString::number(server.port()), "-o", "StrictHostKeyChecking=no", "-o",
                        "UserKnownHostsFile=/dev/null", "-o", "BatchMode=yes",
                        QString::fromStdString(server.user() + "@127.0.0.1")});
    if (!sftp.waitForFinished(300000) || sftp.exitCode() != 0) {
        throw std::runtime_error("sftp failed: " + sftp.readAll().toStdString());
    }
    return MsSince(start);
}

double TimedPublish(const Project& project, const qf::publish::Target& target, int expect_sent) {
    qf::publish::PublishEvents events;
    events.questions.accept_host_key = [](const std::string&, const std::string&,
                                          const std::string&) { return true; };
    const auto start = std::chrono::steady_clock::now();
    const qf::publish::PublishReport report =
        qf::publish::Publish(project.folder, target, {}, events);
    const double ms = MsSince(start);
    if (report.sent != expect_sent) {
        throw std::runtime_error("sent " + std::to_string(report.sent) + " files, not " +
                                 std::to_string(expect_sent));
    }
    return ms;
}

void BM_Sftp500FilesOf20KB(benchmark::State& state) {
    qf::test::SshServer server;
    if (!server.Start()) {
        state.SkipWithError(server.error().c_str());
        return;
    }
    const Project project;
    QTemporaryDir scratch;
    const std::string key = scratch.filePath("key").toStdString();
    QFile::copy(QString::fromStdString(server.user_key()), QString::fromStdString(key));
    QFile::setPermissions(QString::fromStdString(key), QFile::ReadOwner | QFile::WriteOwner);
    std::vector<double> sftp, first, one_change;
    int round = 0;
    for (auto _ : state) {
        ++round;
        const std::string remote = server.folder() + "/sftp" + std::to_string(round);
        sftp.push_back(SftpBatch(server, project, key, remote, scratch.filePath("batch")));

        qf::publish::Target target;
        target.name = "bench" + std::to_string(round);
        target.url = "sftp://127.0.0.1:" + std::to_string(server.port()) + server.folder() +
                     "/www" + std::to_string(round);
        target.user = server.user();
        target.key = key;
        first.push_back(TimedPublish(project, target, kFiles));

        std::string changed(kFileSize, 'c');
        changed += std::to_string(round);
        WriteFile(project.folder + project.names[kFiles / 2], changed);
        one_change.push_back(TimedPublish(project, target, 1));
    }
    state.counters["sftp_batch_ms"] = Median(sftp);
    state.counters["first_ms"] = Median(first);
    state.counters["first_ratio"] = Median(first) / std::max(Median(sftp), 1e-6);
    state.counters["one_change_ms"] = Median(one_change);
    std::printf("publish %d files of %d KB over SFTP: first %.0f ms, sftp -b %.0f ms, ratio %.2f "
                "(goal: within 2); one change %.0f ms (goal: under 500)\n",
                kFiles, kFileSize / 1024, Median(first), Median(sftp),
                Median(first) / std::max(Median(sftp), 1e-6), Median(one_change));
}

} // namespace

BENCHMARK(BM_Sftp500FilesOf20KB)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
