#include "cli_runner.h"
#include "test_pages.h"
#include "test_servers.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qf {
namespace {

using test::CliResult;

std::string Read(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<none>");
}

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

// Every name under `folder`, hidden ones too, "/" between folders.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    QDir root(QString::fromStdString(folder));
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        names.push_back(root.relativeFilePath(it.next()).toStdString());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class PublishCli : public ::testing::Test {
protected:
    QTemporaryDir project_dir_;
    QTemporaryDir scratch_;
    std::string project_ = project_dir_.path().toStdString();

    void Write(const std::string& path, const std::string& bytes) {
        const std::string full = project_ + "/" + path;
        QDir().mkpath(QFileInfo(QString::fromStdString(full)).path());
        test::WriteBytes(full, bytes);
    }

    // A small site with the names a publish must carry: blanks, non-ASCII,
    // a folder, js.js, beside the editor's own files that must stay home.
    void MakeSite() {
        Write("index.html", "<html><body>home</body></html>");
        Write("about us.html", "<html><body>about</body></html>");
        Write("js.js", "function roll() {}");
        Write("bilder/größe 1.png", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(300, 'x'));
        Write(".quenfort-0123456789abcdef.lock", "");
        Write(".index.html.77-abc.saving", "half");
        Write(".hidden", "secret");
    }

    CliResult Run(std::vector<std::string> args, const std::string& password = {},
                  int timeout = 120) {
        test::RawRun run;
        run.wrapper = {"/usr/bin/setsid", "-w"}; // no terminal to ask
        run.args = std::move(args);
        if (!password.empty()) {
            run.stdin_path = scratch_.filePath("password").toStdString();
            test::WriteBytes(run.stdin_path, password + "\n");
            run.args.push_back("--password-stdin");
        }
        run.timeout_seconds = timeout;
        return test::RunCliRaw(run);
    }

    CliResult SetTarget(const std::string& name, const std::string& url,
                        std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"publish-target", project_, name, url};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args);
    }

    CliResult Publish(std::vector<std::string> extra = {}, const std::string& password = {}) {
        std::vector<std::string> args{"publish", project_};
        args.insert(args.end(), extra.begin(), extra.end());
        return Run(args, password);
    }

    std::string Manifest(const std::string& target) {
        return Read(project_ + "/.quenfort-publish-" + target + ".manifest");
    }

    // The whole round of a target: dry run, first publish, nothing to send,
    // one change, a file deleted and one changed on the server, deletion only
    // with --delete. `site` is where the server keeps the files.
    void Round(const std::string& site, const std::vector<std::string>& first_extra,
               const std::string& password) {
        MakeSite();
        std::vector<std::string> dry_args = first_extra;
        dry_args.push_back("--dry-run");
        auto dry = Publish(dry_args, password);
        ASSERT_EQ(dry.status, 0) << dry.err;
        EXPECT_NE(dry.out.find("would add bilder/größe 1.png (308 bytes)"), std::string::npos)
            << dry.out;
        EXPECT_FALSE(Exists(site + "/index.html"));
        EXPECT_FALSE(Exists(project_ + "/.quenfort-publish-site.manifest"));

        auto first = Publish(first_extra, password);
        ASSERT_EQ(first.status, 0) << first.err;
        EXPECT_NE(first.out.find("4 files sent"), std::string::npos) << first.out;
        EXPECT_EQ(Names(site), (std::vector<std::string>{"about us.html", "bilder/größe 1.png",
                                                         "index.html", "js.js"}));
        EXPECT_EQ(Read(site + "/bilder/größe 1.png"), Read(project_ + "/bilder/größe 1.png"));
        EXPECT_NE(Manifest("site").find(" 308 bilder/größe 1.png\n"), std::string::npos);

        auto second = Publish({}, password);
        ASSERT_EQ(second.status, 0) << second.err;
        EXPECT_NE(second.out.find("0 files sent (0 bytes), 0 deleted, 4 unchanged"),
                  std::string::npos)
            << second.out;

        Write("index.html", "<html><body>home, changed</body></html>");
        auto changed = Publish({}, password);
        ASSERT_EQ(changed.status, 0) << changed.err;
        EXPECT_NE(
            changed.out.find("replaced index.html (39 bytes)\nPublished to site: 1 file sent"),
            std::string::npos)
            << changed.out;
        EXPECT_EQ(Read(site + "/index.html"), "<html><body>home, changed</body></html>");

        // Deleted on the server, and changed there in size: both are sent again.
        QFile::remove(QString::fromStdString(site + "/about us.html"));
        test::WriteBytes(site + "/js.js", "broken");
        auto repaired = Publish({}, password);
        ASSERT_EQ(repaired.status, 0) << repaired.err;
        EXPECT_NE(repaired.out.find("added about us.html"), std::string::npos) << repaired.out;
        EXPECT_NE(repaired.out.find("replaced js.js"), std::string::npos) << repaired.out;
        EXPECT_NE(repaired.out.find("2 files sent"), std::string::npos) << repaired.out;
        EXPECT_EQ(Read(site + "/js.js"), "function roll() {}");

        // Gone from the project: kept until --delete; a file of the server's own never goes.
        test::WriteBytes(site + "/theirs.txt", "not ours");
        QFile::remove(QString::fromStdString(project_ + "/about us.html"));
        auto kept = Publish({}, password);
        ASSERT_EQ(kept.status, 0) << kept.err;
        EXPECT_NE(kept.out.find("kept about us.html (31 bytes; gone from the project"),
                  std::string::npos)
            << kept.out;
        EXPECT_TRUE(Exists(site + "/about us.html"));
        auto dry_delete = Publish({"--dry-run", "--delete"}, password);
        EXPECT_NE(dry_delete.out.find("would delete about us.html (31 bytes)"), std::string::npos)
            << dry_delete.out;
        EXPECT_TRUE(Exists(site + "/about us.html"));
        auto deleted = Publish({"--delete"}, password);
        ASSERT_EQ(deleted.status, 0) << deleted.err;
        EXPECT_NE(deleted.out.find("deleted about us.html"), std::string::npos) << deleted.out;
        EXPECT_EQ(Names(site), (std::vector<std::string>{"bilder/größe 1.png", "index.html",
                                                         "js.js", "theirs.txt"}));
        EXPECT_EQ(Manifest("site").find("about us.html"), std::string::npos);
    }
};

class SftpPublish : public PublishCli {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Start()) << server_.error();
        key_ = scratch_.filePath("key").toStdString();
        QFile::copy(QString::fromStdString(server_.user_key()), QString::fromStdString(key_));
        site_ = server_.folder() + "/www";
        url_ = "sftp://127.0.0.1:" + std::to_string(server_.port()) + site_;
    }
    void KeyTarget() {
        auto set = SetTarget("site", url_, {"user=" + server_.user(), "key=" + key_});
        ASSERT_EQ(set.status, 0) << set.err;
    }
    test::SshServer server_;
    std::string key_;
    std::string site_;
    std::string url_;
};

TEST_F(SftpPublish, SendsOnlyWhatChangedAndDeletesOnlyWhatItPublished) {
    KeyTarget();
    Round(site_, {"--host-key=" + server_.Fingerprint()}, {});
    EXPECT_EQ(Read(project_ + "/.quenfort-publish-targets").find("password="), std::string::npos);
}

TEST_F(SftpPublish, HostKeyIsPinnedOnlyWhenConfirmedAndAChangedOneIsRefused) {
    KeyTarget();
    Write("index.html", "home");
    // No terminal to confirm it, and a fingerprint that is not the server's.
    auto unconfirmed = Publish();
    EXPECT_EQ(unconfirmed.status, 1);
    EXPECT_NE(unconfirmed.err.find(server_.Fingerprint()), std::string::npos) << unconfirmed.err;
    auto wrong = Publish({"--host-key=" + server_.Fingerprint(1)});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_FALSE(Exists(site_ + "/index.html"));
    EXPECT_EQ(Read(project_ + "/.quenfort-publish-known-hosts").find("ssh-ed25519"),
              std::string::npos);

    ASSERT_EQ(Publish({"--host-key=" + server_.Fingerprint()}).status, 0);
    // The same address answers with another host key.
    ASSERT_TRUE(server_.Start(server_.port(), 1)) << server_.error();
    Write("index.html", "home, changed");
    for (const auto& extra : {std::vector<std::string>{},
                              std::vector<std::string>{"--host-key=" + server_.Fingerprint(1)}}) {
        auto changed = Publish(extra);
        EXPECT_EQ(changed.status, 1);
        EXPECT_NE(changed.err.find("has changed"), std::string::npos) << changed.err;
        EXPECT_EQ(Read(site_ + "/index.html"), "home");
    }
    EXPECT_EQ(Manifest("site").find(" 13 index.html"), std::string::npos);
}

TEST_F(SftpPublish, WrongPasswordIsRefusedWithTheServersReason) {
    auto set = SetTarget("site", url_, {"user=" + server_.user()});
    ASSERT_EQ(set.status, 0) << set.err;
    Write("index.html", "home");
    auto refused = Publish({"--host-key=" + server_.Fingerprint()}, "not the password");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Authentication failure"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out.find("Published"), std::string::npos);
    EXPECT_FALSE(Exists(site_ + "/index.html"));
}

TEST_F(SftpPublish, AKilledPublishLeavesNoHalfFileAndTheNextOneCompletes) {
    KeyTarget();
    Write("index.html", "home");
    const std::string big = project_ + "/big.bin";
    test::WriteBytes(big, std::string(std::size_t(96) << 20, 'b'));
    QProcess publish;
    publish.setStandardInputFile(QProcess::nullDevice());
    publish.start(QUENFORT_CLI_PATH,
                  {"publish", QString::fromStdString(project_),
                   QString::fromStdString("--host-key=" + server_.Fingerprint())});
    const std::string temporary = site_ + "/.big.bin.quenfort-upload";
    bool caught = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!caught && std::chrono::steady_clock::now() < deadline &&
           publish.state() != QProcess::NotRunning) {
        struct stat info {};
        caught = ::stat(temporary.c_str(), &info) == 0 && info.st_size > 0;
        if (!caught) {
            QThread::msleep(2);
        }
    }
    ASSERT_TRUE(caught) << "the big file was never seen on its way";
    ::kill(pid_t(publish.processId()), SIGKILL);
    publish.waitForFinished(10000);
    EXPECT_FALSE(Exists(site_ + "/big.bin"));
    EXPECT_EQ(Manifest("site").find("big.bin"), std::string::npos);

    auto again = Publish();
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(QFileInfo(QString::fromStdString(site_ + "/big.bin")).size(), 96 << 20);
    EXPECT_EQ(Names(site_), (std::vector<std::string>{"big.bin", "index.html"}));
}

// A small tmpfs as the served folder, when this system lets the test mount one.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& folder) : folder_(folder) {
        QDir().mkpath(QString::fromStdString(folder));
        mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k,mode=0777") == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }

private:
    std::string folder_;
    bool mounted_ = false;
};

TEST_F(SftpPublish, AFullDiskOnTheServerIsAFailureThatClaimsNothing) {
    SmallDisk disk(site_);
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    }
    KeyTarget();
    Write("a.html", "first");
    Write("big.bin", std::string(1 << 20, 'b'));
    Write("c.html", "never reached");
    auto full = Publish({"--host-key=" + server_.Fingerprint()});
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("Publishing stopped at big.bin"), std::string::npos) << full.err;
    EXPECT_EQ(full.out.find("Published"), std::string::npos);
    EXPECT_NE(Manifest("site").find(" 5 a.html"), std::string::npos);
    EXPECT_EQ(Manifest("site").find("big.bin"), std::string::npos);
    EXPECT_FALSE(Exists(site_ + "/big.bin"));
    EXPECT_FALSE(Exists(site_ + "/c.html"));
}

class FtpPublish : public PublishCli {
protected:
    std::string Start(bool tls) {
        root_ = scratch_.filePath("ftp").toStdString();
        QDir().mkpath(QString::fromStdString(root_));
        EXPECT_TRUE(server_.Start(root_, "webmaster", "s3cret pass", tls)) << server_.error();
        return std::string(tls ? "ftps" : "ftp") +
               "://127.0.0.1:" + std::to_string(server_.port()) + "/www";
    }
    test::FtpServer server_;
    std::string root_;
};

TEST_F(FtpPublish, FtpsSendsOnlyWhatChangedWithTheCertificateChecked) {
    const std::string url = Start(true);
    // The server's certificate is self-signed: refused until it is trusted.
    ASSERT_EQ(SetTarget("site", url, {"user=webmaster"}).status, 0);
    Write("index.html", "home");
    auto untrusted = Publish({}, "s3cret pass");
    EXPECT_EQ(untrusted.status, 1);
    EXPECT_NE(untrusted.err.find("certificate"), std::string::npos) << untrusted.err;
    QFile::remove(QString::fromStdString(project_ + "/index.html"));
    ASSERT_EQ(SetTarget("site", url, {"user=webmaster", "ca=" + server_.certificate()}).status, 0);
    Round(root_ + "/www", {}, "s3cret pass");
}

TEST_F(FtpPublish, ASelfSignedCertificateIsAcceptedOnceAndAChangedOneIsRefused) {
    const std::string url = Start(true);
    ASSERT_EQ(SetTarget("site", url, {"user=webmaster"}).status, 0);
    Write("index.html", "home");
    const std::string fingerprint = server_.Fingerprint();
    ASSERT_EQ(fingerprint.size(), 7u + 95u) << fingerprint;
    const std::string known = project_ + "/.quenfort-publish-known-certificates";

    // No terminal to ask and no acceptance given, or another fingerprint: refused.
    auto refused = Publish({}, "s3cret pass");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(fingerprint), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("was not accepted"), std::string::npos) << refused.err;
    std::string other = fingerprint;
    other.back() = other.back() == 'A' ? 'B' : 'A';
    EXPECT_EQ(Publish({"--accept-certificate=" + other}, "s3cret pass").status, 1);
    EXPECT_FALSE(Exists(root_ + "/www/index.html"));
    EXPECT_FALSE(Exists(known));
    // The unverified server never saw the user's login.
    EXPECT_EQ(server_.Log().find("'webmaster'"), std::string::npos) << server_.Log();

    // Accepted once (typed without the colons, in lower case), then pinned.
    std::string typed;
    for (const char c : fingerprint.substr(7)) {
        if (c != ':') {
            typed += char(std::tolower((unsigned char)c));
        }
    }
    auto accepted = Publish({"--accept-certificate=" + typed}, "s3cret pass");
    ASSERT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_EQ(Read(root_ + "/www/index.html"), "home");
    EXPECT_NE(Read(known).find(fingerprint), std::string::npos);
    EXPECT_NE(server_.Log().find("USER 'webmaster' logged in"), std::string::npos);
    Write("index.html", "home, changed");
    auto pinned = Publish({}, "s3cret pass");
    ASSERT_EQ(pinned.status, 0) << pinned.err;
    EXPECT_EQ(Read(root_ + "/www/index.html"), "home, changed");
    EXPECT_EQ(Names(project_ + "/."),
              (std::vector<std::string>{".quenfort-publish-known-certificates",
                                        ".quenfort-publish-site.manifest",
                                        ".quenfort-publish-targets", "index.html"}));

    // The same address with another certificate: refused, even when it is offered.
    const int port = server_.port();
    ASSERT_TRUE(server_.Start(root_, "webmaster", "s3cret pass", true, port)) << server_.error();
    ASSERT_NE(server_.Fingerprint(), fingerprint);
    Write("index.html", "home, changed again");
    for (const auto& extra :
         {std::vector<std::string>{},
          std::vector<std::string>{"--accept-certificate=" + server_.Fingerprint()}}) {
        auto changed = Publish(extra, "s3cret pass");
        EXPECT_EQ(changed.status, 1);
        EXPECT_NE(changed.err.find("has changed"), std::string::npos) << changed.err;
        EXPECT_EQ(Read(root_ + "/www/index.html"), "home, changed");
    }
}

TEST_F(FtpPublish, PlainFtpWarnsAndAWrongPasswordIsRefused) {
    const std::string url = Start(false);
    auto set = SetTarget("site", url, {"user=webmaster"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_NE(set.err.find("clear text"), std::string::npos);
    Write("index.html", "home");
    auto refused = Publish({}, "wrong");
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("530"), std::string::npos) << refused.err;
    EXPECT_FALSE(Exists(root_ + "/www/index.html"));
    // No password given and no terminal: refused unless the secret store has one.
    auto none = Publish();
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("No password"), std::string::npos) << none.err;
    QFile::remove(QString::fromStdString(project_ + "/index.html"));
    Round(root_ + "/www", {}, "s3cret pass");
}

// vsftpd knows no MLSD: the folders are listed with LIST.
class VsftpdPublish : public PublishCli {
protected:
    std::string Start(bool tls) {
        EXPECT_TRUE(server_.Start(tls)) << server_.error();
        root_ = server_.folder();
        return std::string(tls ? "ftps" : "ftp") +
               "://127.0.0.1:" + std::to_string(server_.port()) + "/www";
    }
    test::VsftpdServer server_;
    std::string root_;
};

TEST_F(VsftpdPublish, PlainFtpSendsOnlyWhatChanged) {
    ASSERT_EQ(SetTarget("site", Start(false), {"user=anonymous"}).status, 0);
    Round(root_ + "/www", {}, "guest");
}

TEST_F(VsftpdPublish, FtpsSendsOnlyWhatChanged) {
    const std::string url = Start(true);
    ASSERT_EQ(SetTarget("site", url, {"user=anonymous", "ca=" + server_.certificate()}).status, 0);
    Round(root_ + "/www", {}, "guest");
    EXPECT_EQ(Names(root_), (std::vector<std::string>{"www/bilder/größe 1.png", "www/index.html",
                                                      "www/js.js", "www/theirs.txt"}));
}

TEST_F(PublishCli, FolderTargetRoundAndRefusedTargets) {
    const std::string site = scratch_.filePath("served site").toStdString();
    ASSERT_EQ(SetTarget("site", site).status, 0);
    Round(site, {}, {});
    // A password in the URL, a key for FTP, a bad name: refused, nothing kept.
    EXPECT_EQ(SetTarget("other", "ftp://me:pw@127.0.0.1/x", {"user=me"}).status, 1);
    EXPECT_EQ(SetTarget("other", "ftp://127.0.0.1/x", {"user=me", "key=/etc/hostname"}).status, 1);
    EXPECT_EQ(SetTarget("../x", site).status, 1);
    EXPECT_EQ(SetTarget("other", "http://127.0.0.1/").status, 1);
    // A folder that is the project or inside it would copy itself one level
    // deeper at every publish; an ftp:// target needs a user.
    for (const std::string& inside : {project_, project_ + "/out", project_ + "/./a/../out"}) {
        auto refused = SetTarget("other", inside);
        EXPECT_EQ(refused.status, 1) << inside;
        EXPECT_NE(refused.err.find("inside it"), std::string::npos) << refused.err;
    }
    EXPECT_EQ(SetTarget("other", "ftp://127.0.0.1/x").status, 1);
    EXPECT_EQ(SetTarget("other", "ftps://127.0.0.1/x").status, 1);
    EXPECT_EQ(Read(project_ + "/.quenfort-publish-targets").find("other"), std::string::npos);
    // A password the secret store cannot keep: neither it nor the target is kept.
    test::RawRun keep;
    keep.wrapper = {"/usr/bin/setsid", "-w"};
    keep.args = {"publish-target",       project_,  "other",
                 "sftp://127.0.0.1/www", "user=me", "--password-stdin"};
    keep.stdin_path = scratch_.filePath("password").toStdString();
    test::WriteBytes(keep.stdin_path, "pw\n");
    const CliResult kept = test::RunCliRaw(keep);
    EXPECT_EQ(kept.status == 0,
              Read(project_ + "/.quenfort-publish-targets").find("other") != std::string::npos)
        << kept.err;
    if (kept.status != 0) {
        EXPECT_NE(kept.err.find("was not set either"), std::string::npos) << kept.err;
    }
    // With two targets one must be named.
    ASSERT_EQ(SetTarget("second", site + "2").status, 0);
    auto ambiguous = Publish();
    EXPECT_EQ(ambiguous.status, 1);
    EXPECT_NE(ambiguous.err.find("several targets (site, second)"), std::string::npos);
    auto second = Publish({"--target=second"});
    EXPECT_EQ(second.status, 0) << second.err;
    EXPECT_TRUE(Exists(site + "2/index.html"));
}

TEST_F(PublishCli, AFullDiskBehindAFolderTargetStopsWithTheSystemsReason) {
    const std::string site = scratch_.filePath("small").toStdString();
    SmallDisk disk(site);
    if (!disk.mounted()) {
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
    }
    ASSERT_EQ(SetTarget("site", site).status, 0);
    Write("a.html", "first");
    Write("big.bin", std::string(1 << 20, 'b'));
    auto full = Publish();
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
    EXPECT_EQ(Manifest("site").find("big.bin"), std::string::npos);
    EXPECT_EQ(Names(site), std::vector<std::string>{"a.html"});
}

} // namespace
} // namespace qf
