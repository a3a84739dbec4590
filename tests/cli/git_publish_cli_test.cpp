#include "cli_runner.h"
#include "test_pages.h"
#include "test_servers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace qf {
namespace {

using test::CliResult;

// Every file under `folder` with its bytes, git's own folder left out.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    const QDir root(QString::fromStdString(folder));
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const std::string relative = root.relativeFilePath(path).toStdString();
        if (relative.rfind(".git/", 0) == 0) {
            continue;
        }
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[relative] = file.readAll().toStdString();
    }
    return files;
}

class GitPublishCli : public ::testing::Test {
protected:
    QTemporaryDir project_dir_;
    QTemporaryDir scratch_;
    std::string project_ = project_dir_.path().toStdString();
    std::string scratch_path_ = scratch_.path().toStdString();

    void SetUp() override {
        // The git command line of the tests: a user of its own, and the
        // repositories the server's user owns taken as safe.
        test::WriteBytes(scratch_path_ + "/gitconfig",
                         "[user]\n\tname = Other Person\n\temail = other@example.org\n"
                         "[safe]\n\tdirectory = *\n[init]\n\tdefaultBranch = main\n");
    }

    void Write(const std::string& path, const std::string& bytes) {
        const std::string full = project_ + "/" + path;
        QDir().mkpath(QFileInfo(QString::fromStdString(full)).path());
        test::WriteBytes(full, bytes);
    }

    void MakeSite() {
        Write("index.html", "<html><head><title>Home</title></head><body>home</body></html>");
        Write("about us.html", "<html><head><title>About</title></head><body>about</body></html>");
        Write("bilder/größe 1.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(300, 'x'));
        Write(".hidden", "secret");
    }

    // Runs git with the tests' own configuration; its standard output, or
    // "<failed: ...>".
    std::string Git(const QStringList& args, const std::string& in = {}) {
        QProcess git;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("GIT_CONFIG_GLOBAL", QString::fromStdString(scratch_path_ + "/gitconfig"));
        env.insert("GIT_CONFIG_NOSYSTEM", "1");
        git.setProcessEnvironment(env);
        if (!in.empty()) {
            git.setWorkingDirectory(QString::fromStdString(in));
        }
        git.start("git", args);
        if (!git.waitForFinished(60000) || git.exitCode() != 0) {
            return "<failed: " + git.readAllStandardError().toStdString() + ">";
        }
        return git.readAllStandardOutput().trimmed().toStdString();
    }

    CliResult Run(std::vector<std::string> args) {
        test::RawRun run;
        run.wrapper = {"/usr/bin/setsid", "-w"}; // no terminal to ask
        run.args = std::move(args);
        run.env = {"XDG_CACHE_HOME=" + scratch_path_ + "/cache",
                   "GIT_CONFIG_GLOBAL=" + scratch_path_ + "/gitconfig"};
        run.timeout_seconds = 120;
        return test::RunCliRaw(run);
    }

    CliResult SetTarget(const std::string& url, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"publish-target", project_, "pages", url};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    CliResult Publish(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"publish", project_};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    // The branch's commit in `repo`, or "<failed...>" when there is none.
    std::string Tip(const std::string& repo, const std::string& branch = "pages") {
        return Git({"--git-dir=" + QString::fromStdString(repo), "rev-parse", "--verify", "-q",
                    QString::fromStdString("refs/heads/" + branch)});
    }

    // The branch checked out with git, file by file.
    std::map<std::string, std::string> CheckedOut(const std::string& repo,
                                                  const std::string& branch = "pages") {
        const std::string copy = scratch_path_ + "/checkout";
        QDir(QString::fromStdString(copy)).removeRecursively();
        const std::string cloned =
            Git({"clone", "-q", "-b", QString::fromStdString(branch), QString::fromStdString(repo),
                 QString::fromStdString(copy)});
        EXPECT_EQ(cloned.find("<failed"), std::string::npos) << cloned;
        return Files(copy);
    }

    // The site as `export` writes it, with what the branch carries beside it.
    std::map<std::string, std::string> Exported(const std::string& cname) {
        const std::string out = scratch_path_ + "/export";
        QDir(QString::fromStdString(out)).removeRecursively();
        const CliResult exported = Run({"export", project_, out});
        EXPECT_EQ(exported.status, 0) << exported.err;
        std::map<std::string, std::string> files = Files(out);
        if (!cname.empty()) {
            files["CNAME"] = cname + "\n";
        }
        files[".nojekyll"] = "";
        return files;
    }

    // Someone else commits `file` to the branch of `repo` and pushes it.
    std::string PushFromElsewhere(const std::string& repo, const std::string& branch,
                                  const std::string& file, const std::string& subject) {
        const std::string other = scratch_path_ + "/other";
        QDir(QString::fromStdString(other)).removeRecursively();
        Git({"clone", "-q", QString::fromStdString(repo), QString::fromStdString(other)});
        const QString name = QString::fromStdString(branch);
        if (Git({"checkout", "-q", "-B", name, "origin/" + name}, other).find("<failed") == 0) {
            Git({"checkout", "-q", "-B", name}, other); // a branch of its own
        }
        const std::string full = other + "/" + file;
        QDir().mkpath(QFileInfo(QString::fromStdString(full)).path());
        test::WriteBytes(full, "not ours\n");
        Git({"add", "-A"}, other);
        Git({"commit", "-q", "-m", QString::fromStdString(subject)}, other);
        return Git({"push", "-q", "origin", QString::fromStdString(branch)}, other) +
               Git({"rev-parse", "HEAD"}, other);
    }

    std::string MakeBareRepository(const std::string& path) {
        Git({"init", "-q", "--bare", QString::fromStdString(path)});
        return path;
    }
};

TEST_F(GitPublishCli, LocalRepositoryGetsOneCommitOfTheSiteAndAMovedBranchIsRefused) {
    const std::string repo = MakeBareRepository(scratch_path_ + "/site.git");
    MakeSite();
    auto site = Run({"site-settings", project_, "address=https://www.example.org/"});
    ASSERT_EQ(site.status, 0) << site.err;
    auto set = SetTarget("git+file://" + repo);
    ASSERT_EQ(set.status, 0) << set.err;

    auto dry = Publish({"--dry-run"});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("would add about us.html"), std::string::npos) << dry.out;
    EXPECT_NE(Tip(repo).find("<failed"), std::string::npos) << "a dry run pushed";

    auto first = Publish();
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("pushed to pages"), std::string::npos) << first.out;
    const std::string first_commit = Tip(repo);
    EXPECT_EQ(CheckedOut(repo), Exported("www.example.org"));

    // One page changed: one commit on top, named after it, holding the site.
    Write("about us.html", "<html><head><title>About</title></head><body>changed</body></html>");
    auto second = Publish();
    ASSERT_EQ(second.status, 0) << second.err;
    const std::string second_commit = Tip(repo);
    EXPECT_EQ(Git({"--git-dir=" + QString::fromStdString(repo), "rev-parse",
                   QString::fromStdString(second_commit + "^")}),
              first_commit);
    const std::string subject =
        Git({"--git-dir=" + QString::fromStdString(repo), "log", "-1", "--format=%s", "pages"});
    EXPECT_NE(subject.find("about us.html"), std::string::npos) << subject;
    EXPECT_EQ(subject.find("index.html"), std::string::npos) << subject;
    EXPECT_EQ(CheckedOut(repo), Exported("www.example.org"));

    auto again = Publish();
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("nothing changed"), std::string::npos) << again.out;
    EXPECT_EQ(Tip(repo), second_commit);

    // Someone else pushes to the branch: refused, naming their commit.
    PushFromElsewhere(repo, "pages", "theirs.txt", "Add their notes");
    const std::string theirs = Tip(repo);
    Write("index.html", "<html><head><title>Home</title></head><body>new home</body></html>");
    auto refused = Publish();
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(theirs.substr(0, 12) + " \"Add their notes\" (Other Person)"),
              std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out.find("Published"), std::string::npos) << refused.out;
    EXPECT_EQ(Tip(repo), theirs);

    // Forced: their files replaced, their commit kept below ours, and said.
    auto forced = Publish({"--force"});
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(forced.err.find("Replaced what others pushed"), std::string::npos) << forced.err;
    EXPECT_EQ(Git({"--git-dir=" + QString::fromStdString(repo), "rev-parse", "pages^"}), theirs);
    EXPECT_EQ(CheckedOut(repo), Exported("www.example.org"));
}

TEST_F(GitPublishCli, FirstPublishAsksBeforeReplacingFilesItDidNotPutThereAndKeepsTheRest) {
    const std::string repo = MakeBareRepository(scratch_path_ + "/project.git");
    PushFromElsewhere(repo, "main", "src/app.c", "The program");
    PushFromElsewhere(repo, "main", "docs/old.html", "Old pages");
    const std::string theirs = Tip(repo, "main");
    MakeSite();
    auto set = SetTarget("git+file://" + repo, {"branch=main", "folder=/docs/"});
    ASSERT_EQ(set.status, 0) << set.err;

    // No terminal to ask: nothing is replaced.
    auto asked = Publish();
    EXPECT_EQ(asked.status, 1);
    EXPECT_NE(asked.err.find("did not put there"), std::string::npos) << asked.err;
    EXPECT_EQ(Tip(repo, "main"), theirs);

    auto forced = Publish({"--force"});
    ASSERT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(forced.out.find("deleted old.html"), std::string::npos) << forced.out;
    std::map<std::string, std::string> expected;
    for (const auto& [path, bytes] : Exported({})) {
        expected["docs/" + path] = bytes;
    }
    expected["src/app.c"] = "not ours\n";
    EXPECT_EQ(CheckedOut(repo, "main"), expected);
    EXPECT_EQ(Git({"--git-dir=" + QString::fromStdString(repo), "rev-parse", "main^"}), theirs);
}

class GitSshPublish : public GitPublishCli {
protected:
    void SetUp() override {
        GitPublishCli::SetUp();
        server_.GiveLoginShell();
        ASSERT_TRUE(server_.Start()) << server_.error();
        key_ = scratch_path_ + "/key";
        QFile::copy(QString::fromStdString(server_.user_key()), QString::fromStdString(key_));
        repo_ = MakeBareRepository(server_.folder() + "/site.git");
        ASSERT_TRUE(server_.GiveToServerUser(repo_));
        url_ = "ssh://" + server_.user() + "@127.0.0.1:" + std::to_string(server_.port()) + repo_;
    }
    test::SshServer server_;
    std::string key_;
    std::string repo_;
    std::string url_;
};

TEST_F(GitSshPublish, PushesOverSshWithThePinnedHostKeyAndRefusesAChangedOne) {
    MakeSite();
    ASSERT_EQ(SetTarget(url_, {"key=" + key_}).status, 0);
    auto unconfirmed = Publish({"--host-key=" + server_.Fingerprint(1)});
    EXPECT_EQ(unconfirmed.status, 1);
    EXPECT_NE(unconfirmed.err.find(server_.Fingerprint()), std::string::npos) << unconfirmed.err;
    EXPECT_NE(Tip(repo_).find("<failed"), std::string::npos);

    auto first = Publish({"--host-key=" + server_.Fingerprint()});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(CheckedOut(repo_), Exported({}));
    const std::string published = Tip(repo_);

    // The key pinned for git serves SFTP to the same server, and the other way round.
    auto files =
        Run({"publish-target", project_, "files",
             "sftp://127.0.0.1:" + std::to_string(server_.port()) + server_.folder() + "/www",
             "user=" + server_.user(), "key=" + key_});
    ASSERT_EQ(files.status, 0) << files.err;
    auto sftp = Publish({"--target=files"});
    EXPECT_EQ(sftp.status, 0) << sftp.err;

    // The same address answers with another host key.
    ASSERT_TRUE(server_.Start(server_.port(), 1)) << server_.error();
    Write("index.html", "<html><head><title>Home</title></head><body>changed</body></html>");
    auto changed = Publish({"--target=pages", "--host-key=" + server_.Fingerprint(1)});
    EXPECT_EQ(changed.status, 1);
    EXPECT_NE(changed.err.find("has changed"), std::string::npos) << changed.err;
    EXPECT_EQ(Tip(repo_), published);
}

TEST_F(GitSshPublish, RejectedPushesAndRefusedKeysLeaveTheBranchAsItWas) {
    MakeSite();
    ASSERT_EQ(SetTarget(url_, {"key=" + key_}).status, 0);
    ASSERT_EQ(Publish({"--host-key=" + server_.Fingerprint()}).status, 0);
    const std::string published = Tip(repo_);

    // The server's hook turns the update down.
    const std::string hook = repo_ + "/hooks/pre-receive";
    test::WriteBytes(hook, "#!/bin/sh\necho 'pages are frozen' >&2\nexit 1\n");
    QFile::setPermissions(QString::fromStdString(hook), QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ExeOwner | QFile::ReadOther |
                                                            QFile::ExeOther);
    ASSERT_TRUE(server_.GiveToServerUser(hook));
    Write("index.html", "<html><head><title>Home</title></head><body>changed</body></html>");
    auto rejected = Publish();
    EXPECT_EQ(rejected.status, 1);
    EXPECT_NE(rejected.err.find("rejected"), std::string::npos) << rejected.err;
    EXPECT_EQ(rejected.out.find("Published"), std::string::npos) << rejected.out;
    EXPECT_EQ(Tip(repo_), published);
    QFile::remove(QString::fromStdString(hook));

    // A key the server does not know.
    const std::string stranger = scratch_path_ + "/stranger";
    ASSERT_TRUE(test::RunProgram(
        "ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", QString::fromStdString(stranger)}));
    ASSERT_EQ(SetTarget(url_, {"key=" + stranger}).status, 0);
    auto refused = Publish();
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("authentication failed"), std::string::npos) << refused.err;
    EXPECT_EQ(Tip(repo_), published);

    // The right key again: the commit that was turned down is no obstacle.
    ASSERT_EQ(SetTarget(url_, {"key=" + key_}).status, 0);
    auto completed = Publish();
    ASSERT_EQ(completed.status, 0) << completed.err;
    EXPECT_EQ(CheckedOut(repo_), Exported({}));
}

} // namespace
} // namespace qf
