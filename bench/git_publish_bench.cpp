// Publishing one changed page of a 200-page site to a git branch behind the
// tests' unprivileged sshd, beside the git command line pushing the same
// commit over the same server from a clone that holds the branch before it:
// the time of each (the publish renders the site too) and the objects each
// push adds to its repository.

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

constexpr int kPages = 200;

std::string Page(int number, const std::string& words) {
    return "<html><head><title>Page " + std::to_string(number) + "</title></head><body><h1>Page " +
           std::to_string(number) + "</h1><p>" + words +
           "</p><p><a href=\"index.html\">Home</a></p></body></html>";
}

// A site of kPages pages of some 4 KB of text each, and its home page.
struct Site {
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString() + "/";

    Site() {
        std::mt19937 random(11);
        std::string home = "<html><head><title>Home</title></head><body><ul>";
        for (int i = 0; i < kPages; ++i) {
            std::string words;
            while (words.size() < 4000) {
                const int length = 2 + int(random() % 8);
                for (int c = 0; c < length; ++c) {
                    words += char('a' + random() % 26);
                }
                words += ' ';
            }
            char name[32];
            std::snprintf(name, sizeof name, "page%03d.html", i);
            WriteFile(folder + name, Page(i, words));
            home += std::string("<li><a href=\"") + name + "\">" + name + "</a></li>";
        }
        WriteFile(folder + "index.html", home + "</ul></body></html>");
    }
};

// Runs git with `env` added; its standard output, or an exception saying why.
std::string Git(const QStringList& args, const QStringList& env = {}) {
    QProcess git;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : env) {
        environment.insert(entry.section('=', 0, 0), entry.section('=', 1));
    }
    git.setProcessEnvironment(environment);
    git.start("git", args);
    if (!git.waitForFinished(300000) || git.exitCode() != 0) {
        throw std::runtime_error("git " + args.join(' ').toStdString() +
                                 " failed: " + git.readAllStandardError().toStdString());
    }
    return git.readAllStandardOutput().trimmed().toStdString();
}

// The objects of a repository, loose and packed.
long Objects(const std::string& repo, const QStringList& env) {
    long total = 0;
    for (const QString& line :
         QString::fromStdString(
             Git({"--git-dir=" + QString::fromStdString(repo), "count-objects", "-v"}, env))
             .split('\n')) {
        if (line.startsWith("count:") || line.startsWith("in-pack:")) {
            total += line.section(':', 1).trimmed().toLong();
        }
    }
    return total;
}

void BM_GitOneChangedPageOf200(benchmark::State& state) {
    qf::test::SshServer server;
    server.GiveLoginShell();
    if (!server.Start()) {
        state.SkipWithError(server.error().c_str());
        return;
    }
    const Site site;
    QTemporaryDir scratch;
    const std::string key = scratch.filePath("key").toStdString();
    QFile::copy(QString::fromStdString(server.user_key()), QString::fromStdString(key));
    QFile::setPermissions(QString::fromStdString(key), QFile::ReadOwner | QFile::WriteOwner);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(scratch.filePath("cache")));
    WriteFile(scratch.filePath("gitconfig").toStdString(),
              "[user]\n\tname = Bench\n\temail = bench@example.org\n[safe]\n\tdirectory = *\n");
    const QStringList env{
        "GIT_CONFIG_GLOBAL=" + scratch.filePath("gitconfig"),
        "GIT_SSH_COMMAND=ssh -i " + QString::fromStdString(key) + " -p " +
            QString::number(server.port()) +
            " -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o BatchMode=yes"};
    const std::string ours = server.folder() + "/ours.git";
    const std::string theirs = server.folder() + "/cli.git";
    const QString work = scratch.filePath("work.git");
    std::vector<double> publish, push;
    long ours_added = 0;
    long theirs_added = 0;
    try {
        for (const std::string& repo : {ours, theirs}) {
            Git({"init", "-q", "--bare", QString::fromStdString(repo)}, env);
            if (!server.GiveToServerUser(repo)) {
                throw std::runtime_error("cannot give " + repo + " to the server's user");
            }
        }
        const std::string host = server.user() + "@127.0.0.1:" + std::to_string(server.port());
        qf::publish::Target target{"bench", "ssh://" + host + ours, "", key, "", "", "", ""};
        qf::publish::PublishEvents events;
        events.questions.accept_host_key = [](const std::string&, const std::string&,
                                              const std::string&) { return true; };
        qf::publish::Publish(site.folder, target, {}, events);
        // The git command line's clone holds the branch as published.
        Git({"init", "-q", "--bare", work}, env);
        Git({"--git-dir=" + work, "fetch", "-q", QString::fromStdString(ours), "pages:pages"}, env);
        Git({"--git-dir=" + work, "push", "-q", QString::fromStdString("ssh://" + host + theirs),
             "pages:pages"},
            env);
        int round = 0;
        for (auto _ : state) {
            ++round;
            WriteFile(site.folder + "page100.html", Page(100, "changed " + std::to_string(round)));
            const long ours_before = Objects(ours, env);
            auto start = std::chrono::steady_clock::now();
            const qf::publish::PublishReport report =
                qf::publish::Publish(site.folder, target, {}, events);
            publish.push_back(MsSince(start));
            if (report.sent != 1 || report.commit.empty()) {
                throw std::runtime_error("the publish sent " + std::to_string(report.sent) +
                                         " files, not 1");
            }
            ours_added = Objects(ours, env) - ours_before;

            Git({"--git-dir=" + work, "fetch", "-q", QString::fromStdString(ours), "pages:pages"},
                env);
            const long theirs_before = Objects(theirs, env);
            start = std::chrono::steady_clock::now();
            Git({"--git-dir=" + work, "push", "-q",
                 QString::fromStdString("ssh://" + host + theirs),
                 QString::fromStdString(report.commit + ":refs/heads/pages")},
                env);
            push.push_back(MsSince(start));
            theirs_added = Objects(theirs, env) - theirs_before;
        }
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    const double ratio = Median(publish) / std::max(Median(push), 1e-6);
    state.counters["publish_ms"] = Median(publish);
    state.counters["git_push_ms"] = Median(push);
    state.counters["ratio"] = ratio;
    state.counters["objects_pushed"] = double(ours_added);
    state.counters["objects_git_push"] = double(theirs_added);
    std::printf("one changed page of %d over git+ssh: publish %.0f ms (rendering included), "
                "git push %.0f ms, ratio %.2f (goal: at most 1.5); objects added %ld, by git "
                "push %ld\n",
                kPages, Median(publish), Median(push), ratio, ours_added, theirs_added);
}

} // namespace

BENCHMARK(BM_GitOneChangedPageOf200)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
