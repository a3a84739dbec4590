// File > Publish Project: a dry run and a publish through the dialog, the
// deletions asked first, a cancel, a failure shown with its reason, and an
// FTP target whose password is asked once and then kept.

#include "app/main_window.h"
#include "app/publish_dialog.h"
#include "dialog_driving.h"
#include "gui_test.h"
#include "publish/secret_store.h"
#include "scripted_prompts.h"
#include "test_servers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <map>

namespace qf {

namespace {

// A secret store in memory, shared with the test.
class MemoryStore : public publish::SecretStore {
public:
    explicit MemoryStore(std::map<std::string, std::string>& kept) : kept_(kept) {}
    std::optional<std::string> Read(const std::string& key) override {
        const auto it = kept_.find(key);
        return it == kept_.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void Write(const std::string& key, const std::string& secret) override { kept_[key] = secret; }

private:
    std::map<std::string, std::string>& kept_;
};

QString ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "<none>";
}

} // namespace

class PublishDialogTest : public test::GuiTest {
    Q_OBJECT

private:
    QString Site() const { return dir_->filePath("site/"); }
    QString Served() const { return dir_->filePath("served"); }
    void WriteSiteFile(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(Site() + name).path());
        QFile file(Site() + name);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    std::unique_ptr<PublishDialog> NewDialog() {
        auto dialog = std::make_unique<PublishDialog>(
            Site(), std::make_unique<MemoryStore>(secrets_), nullptr);
        dialog->show();
        return dialog;
    }
    void SetFields(PublishDialog* dialog, const QString& name, const QString& url,
                   const QString& user = {}) {
        test::Find<QComboBox>(dialog, "TargetName")->setEditText(name);
        test::Type(dialog, "TargetUrl", url);
        test::Type(dialog, "TargetUser", user);
    }
    // Clicks a button and waits for the run to end; the run's result.
    bool RunAndWait(PublishDialog* dialog, const char* button) {
        QSignalSpy finished(dialog, &PublishDialog::Finished);
        test::Click(dialog, button);
        if (finished.isEmpty() && !finished.wait(60000)) {
            qWarning("the run did not end");
            return false;
        }
        return finished.first().first().toBool();
    }
    // The rows of the list as "ACTION FILE (SIZE)".
    QStringList Rows(PublishDialog* dialog) {
        auto* list = test::Find<QTreeWidget>(dialog, "PlanList");
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = list->topLevelItem(i);
            rows << item->text(0) + " " + item->text(1) + " (" + item->text(2) + ")";
        }
        return rows;
    }
    QString Status(PublishDialog* dialog) {
        return test::Find<QLabel>(dialog, "PublishStatus")->text();
    }

    std::map<std::string, std::string> secrets_;

private Q_SLOTS:
    void initTestCase() { StartProgram(); }
    void init() {
        StartTest();
        QDir(dir_->path()).mkpath("site");
        secrets_.clear();
    }
    void cleanup() { EndTest(); }

    void TheFileMenuOpensItForAProjectOnly() {
        StartWindow();
        QAction* action = window_->findChild<QAction*>("PublishProject");
        QVERIFY(action != nullptr);
        QCOMPARE(action->text(), QString("Publish Project..."));
        QCOMPARE(action->shortcut(), QKeySequence("Ctrl+Shift+P"));
        // No other command of the window shares its keys.
        for (const QAction* other : window_->findChildren<QAction*>()) {
            QVERIFY(other == action || other->shortcut() != action->shortcut());
        }
        action->trigger();
        QCOMPARE(prompts_->asked, QStringList{"inform: Open or Create a new project first"});

        prompts_->Queue(Site());
        window_->OpenProjectClick();
        bool opened = false;
        test::OnModal([&](QWidget* dialog) {
            opened = dialog->objectName() == "PublishDialog";
            test::Click(dialog, "Close");
        });
        action->trigger();
        QVERIFY(opened);
    }

    void PublishesToAFolderAndDeletesOnlyWhatTheUserConfirms() {
        WriteSiteFile("index.html", "<html>home</html>");
        WriteSiteFile("pictures/sky.png", QByteArray(300, 'x'));
        WriteSiteFile(".quenfort-0123.lock", "");
        auto dialog = NewDialog();
        QVERIFY(Status(dialog.get()).contains("no publish target yet"));
        SetFields(dialog.get(), "site", Served());

        QVERIFY(RunAndWait(dialog.get(), "DryRun"));
        QCOMPARE(Rows(dialog.get()), (QStringList{"would add index.html (17 bytes)",
                                                  "would add pictures/sky.png (300 bytes)"}));
        QVERIFY(Status(dialog.get()).startsWith("Dry run for site: 2 to send (317 bytes)"));
        QVERIFY(!QFileInfo::exists(Served()));
        QVERIFY(ReadFile(Site() + ".quenfort-publish-targets").contains("url=" + Served()));

        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(Rows(dialog.get()), (QStringList{"added index.html (17 bytes)",
                                                  "added pictures/sky.png (300 bytes)"}));
        QCOMPARE(Status(dialog.get()),
                 QString("Published to site: 2 files sent (317 bytes), 0 deleted, 0 unchanged."));
        QCOMPARE(ReadFile(Served() + "/index.html"), QString("<html>home</html>"));
        QVERIFY(!QFileInfo::exists(Served() + "/.quenfort-0123.lock"));
        QVERIFY(dialog->Progress() == nullptr);

        // Gone from the project: with Delete ticked the user is asked, and No keeps it.
        QFile::remove(Site() + "pictures/sky.png");
        test::Find<QCheckBox>(dialog.get(), "DeleteGone")->setChecked(true);
        prompts_->Queue(Prompts::Answer::No);
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked.size(), 1);
        QVERIFY(prompts_->asked[0].startsWith("ask: Delete this file on the server?"));
        QVERIFY(prompts_->asked[0].contains("pictures/sky.png (300 bytes)"));
        QCOMPARE(Rows(dialog.get()), QStringList{"kept pictures/sky.png (300 bytes)"});
        QVERIFY(QFileInfo::exists(Served() + "/pictures/sky.png"));
        prompts_->Queue(Prompts::Answer::Yes);
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(Rows(dialog.get()), QStringList{"deleted pictures/sky.png (300 bytes)"});
        QVERIFY(!QFileInfo::exists(Served() + "/pictures/sky.png"));
        test::Shoot(dialog.get(), "publish-dialog");

        // A second dialog finds the target as it was set.
        auto again = NewDialog();
        QCOMPARE(test::Find<QLineEdit>(again.get(), "TargetUrl")->text(), Served());
        QCOMPARE(test::Find<QComboBox>(again.get(), "TargetName")->currentText(), QString("site"));
    }

    void AGitBranchOthersPushedToIsReplacedOnlyAfterTheUsersYes() {
        const QString repo = dir_->filePath("site.git");
        const QString config = dir_->filePath("gitconfig");
        QFile config_file(config);
        QVERIFY(config_file.open(QIODevice::WriteOnly));
        config_file.write("[user]\n\tname = Other Person\n\temail = other@example.org\n");
        config_file.close();
        const auto git = [&](const QStringList& args) {
            QProcess process;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("GIT_CONFIG_GLOBAL", config);
            process.setProcessEnvironment(env);
            process.start("git", args);
            process.waitForFinished(60000);
            return process.exitCode() == 0 ? QString(process.readAllStandardOutput()).trimmed()
                                           : QString("<failed>");
        };
        QCOMPARE(git({"init", "-q", "--bare", repo}), QString());
        WriteSiteFile("index.html", "<html><head><title>Home</title></head><body>home</body>"
                                    "</html>");
        auto dialog = NewDialog();
        auto* branch = test::Find<QLineEdit>(dialog.get(), "TargetBranch");
        SetFields(dialog.get(), "pages", Served());
        QVERIFY(!branch->isEnabled());
        SetFields(dialog.get(), "pages", "git+file://" + repo);
        QVERIFY(branch->isEnabled());
        test::Type(dialog.get(), "TargetBranch", "live");
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QVERIFY2(Status(dialog.get()).contains("pushed to live"), qPrintable(Status(dialog.get())));
        QVERIFY(ReadFile(Site() + ".quenfort-publish-targets").contains("branch=live"));

        // Someone else pushes to the branch.
        const QString other = dir_->filePath("other");
        QVERIFY(git({"clone", "-q", "-b", "live", repo, other}) != "<failed>");
        WriteSiteFile("../other/theirs.txt", "theirs");
        QVERIFY(git({"-C", other, "add", "-A"}) != "<failed>");
        QVERIFY(git({"-C", other, "commit", "-q", "-m", "Their notes"}) != "<failed>");
        QVERIFY(git({"-C", other, "push", "-q", "origin", "live"}) != "<failed>");
        const QString theirs = git({"--git-dir=" + repo, "rev-parse", "live"});

        // Refused, and the question answered No: nothing changes.
        WriteSiteFile("index.html", "<html><head><title>Home</title></head><body>new</body>"
                                    "</html>");
        prompts_->Queue(Prompts::Answer::No);
        QVERIFY(!RunAndWait(dialog.get(), "Publish"));
        QVERIFY2(prompts_->asked.last().startsWith("ask: Others pushed to") &&
                     prompts_->asked.last().contains("\"Their notes\" (Other Person)"),
                 qPrintable(prompts_->asked.last()));
        QCOMPARE(git({"--git-dir=" + repo, "rev-parse", "live"}), theirs);

        // Yes: a second run replaces their files, on top of their commit.
        prompts_->Queue(Prompts::Answer::Yes);
        QSignalSpy finished(dialog.get(), &PublishDialog::Finished);
        test::Click(dialog.get(), "Publish");
        QElapsedTimer clock;
        clock.start();
        while (finished.size() < 2 && clock.elapsed() < 60000) {
            finished.wait(1000);
        }
        QCOMPARE(finished.size(), 2);
        QCOMPARE(finished.at(1).first().toBool(), true);
        QVERIFY(Status(dialog.get()).contains("Replaced what others pushed"));
        QCOMPARE(git({"--git-dir=" + repo, "rev-parse", "live^"}), theirs);
        QCOMPARE(git({"--git-dir=" + repo, "cat-file", "-e", "live:theirs.txt"}),
                 QString("<failed>"));
        test::Shoot(dialog.get(), "publish-dialog-git");
    }

    void CancelStopsWithinAFileAndAFailureIsShownWithItsReason() {
        WriteSiteFile("a.html", "first");
        {
            QFile big(Site() + "big.bin");
            QVERIFY(big.open(QIODevice::WriteOnly));
            const QByteArray block(1 << 20, 'b');
            for (int i = 0; i < 384; ++i) {
                big.write(block);
            }
        }
        auto dialog = NewDialog();
        SetFields(dialog.get(), "site", Served());
        QSignalSpy finished(dialog.get(), &PublishDialog::Finished);
        test::Click(dialog.get(), "Publish");
        QProgressDialog* progress = dialog->Progress();
        QVERIFY(progress != nullptr);
        QVERIFY(progress->isVisible());
        // Cancelled once part of the big file is on its way; the window goes on meanwhile.
        QElapsedTimer clock;
        clock.start();
        const QRegularExpression bytes_done("files, (\\d+) of");
        while (bytes_done.match(progress->labelText()).captured(1).toLongLong() <= 5) {
            QVERIFY2(finished.isEmpty(), "the publish ended before it could be cancelled");
            QVERIFY(clock.elapsed() < 30000);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        progress->grab().save("/tmp/shots/publish-progress.png");
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(prompts_->asked.size(), 1);
        QVERIFY2(prompts_->asked[0].startsWith("inform: Publishing stopped at big.bin: cancelled"),
                 qPrintable(prompts_->asked[0]));
        QVERIFY(!QFileInfo::exists(Served() + "/big.bin"));
        QVERIFY(!QFileInfo::exists(Served() + "/.big.bin.quenfort-upload"));
        QVERIFY(!ReadFile(Site() + ".quenfort-publish-site.manifest").contains("big.bin"));
        QVERIFY(Status(dialog.get()).startsWith("Not published: "));
        QVERIFY(test::Find<QPushButton>(dialog.get(), "Publish")->isEnabled());

        // A target folder under a plain file cannot be made: the system's reason.
        WriteSiteFile("../blocker", "a file");
        SetFields(dialog.get(), "blocked", dir_->filePath("blocker/www"));
        QVERIFY(!RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked.size(), 2);
        QVERIFY2(prompts_->asked[1].startsWith("error: ") &&
                     prompts_->asked[1].contains("Not a directory"),
                 qPrintable(prompts_->asked[1]));
        QVERIFY(!Status(dialog.get()).contains("Published to"));
        // A bad address is refused before anything starts.
        SetFields(dialog.get(), "bad", "http://127.0.0.1/");
        test::Click(dialog.get(), "Publish");
        QVERIFY(!dialog->Running());
        QVERIFY(prompts_->asked.last().startsWith("error: \"http://127.0.0.1/\" is no target"));
    }

    void HostKeysAndCertificatesAreConfirmedThroughThePrompts() {
        test::SshServer ssh;
        QVERIFY2(ssh.Start(), ssh.error().c_str());
        const QString key = dir_->filePath("key");
        QVERIFY(QFile::copy(QString::fromStdString(ssh.user_key()), key));
        WriteSiteFile("index.html", "home");
        auto dialog = NewDialog();
        const QString site = QString::fromStdString(ssh.folder()) + "/www";
        SetFields(dialog.get(), "sftp", QString("sftp://127.0.0.1:%1%2").arg(ssh.port()).arg(site),
                  QString::fromStdString(ssh.user()));
        test::Type(dialog.get(), "TargetKey", key);
        // Declined: nothing sent, said so; then confirmed, and not asked again.
        QVERIFY(!RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked.size(), 2);
        QVERIFY(prompts_->asked[0].startsWith("ask: The host key of 127.0.0.1"));
        QVERIFY(prompts_->asked[0].contains(QString::fromStdString(ssh.Fingerprint())));
        QVERIFY2(prompts_->asked[1].startsWith("error: ") &&
                     prompts_->asked[1].contains("was not accepted"),
                 qPrintable(prompts_->asked[1]));
        QVERIFY(!QFileInfo::exists(site + "/index.html"));
        prompts_->Queue(Prompts::Answer::Yes);
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(ReadFile(site + "/index.html"), QString("home"));
        WriteSiteFile("index.html", "home, changed");
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked.size(), 3);
        QCOMPARE(ReadFile(site + "/index.html"), QString("home, changed"));

        // An FTPS server's self-signed certificate: asked once, then pinned.
        test::FtpServer ftp;
        const QString root = dir_->filePath("ftp");
        QDir().mkpath(root);
        QVERIFY2(ftp.Start(root.toStdString(), "webmaster", "s3cret pass", true),
                 ftp.error().c_str());
        SetFields(dialog.get(), "ftps", QString("ftps://127.0.0.1:%1/www").arg(ftp.port()),
                  "webmaster");
        test::Type(dialog.get(), "TargetKey", QString());
        prompts_->asked.clear();
        prompts_->Queue(QString("s3cret pass"));
        prompts_->Queue(Prompts::Answer::Yes);
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked.size(), 2);
        QVERIFY(prompts_->asked[1].startsWith("ask: The certificate of 127.0.0.1"));
        QVERIFY(prompts_->asked[1].contains(QString::fromStdString(ftp.Fingerprint())));
        QCOMPARE(ReadFile(root + "/www/index.html"), QString("home, changed"));
        WriteSiteFile("index.html", "home, third");
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked.size(), 2); // the password came from the store
        QCOMPARE(ReadFile(root + "/www/index.html"), QString("home, third"));
    }

    void FtpAsksAboutClearTextAndKeepsThePasswordWhenTold() {
        test::FtpServer server;
        const QString root = dir_->filePath("ftp");
        QDir().mkpath(root);
        QVERIFY2(server.Start(root.toStdString(), "webmaster", "s3cret pass", false),
                 server.error().c_str());
        WriteSiteFile("index.html", "home");
        auto dialog = NewDialog();
        const QString url = QString("ftp://127.0.0.1:%1/www").arg(server.port());
        SetFields(dialog.get(), "live", url, "webmaster");

        // Declining the clear-text warning sends nothing and asks no password.
        QVERIFY(!dialog->Running());
        test::Click(dialog.get(), "Publish");
        QVERIFY(!dialog->Running());
        QCOMPARE(prompts_->asked.size(), 1);
        QVERIFY(prompts_->asked[0].startsWith("ask: ftp:// sends the password in clear text"));

        prompts_->Queue(Prompts::Answer::Yes);
        prompts_->Queue(QString("wrong"));
        QVERIFY(!RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked[2], "secret: Password of webmaster for " + url + ":");
        QVERIFY2(prompts_->asked[3].startsWith("error: ") && prompts_->asked[3].contains("530"),
                 qPrintable(prompts_->asked[3]));

        // Not remembered: asked each time. The right one publishes.
        test::Find<QCheckBox>(dialog.get(), "RememberPassword")->setChecked(false);
        secrets_.clear();
        prompts_->Queue(Prompts::Answer::Yes);
        prompts_->Queue(QString("s3cret pass"));
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QVERIFY(secrets_.empty());
        QCOMPARE(ReadFile(root + "/www/index.html"), QString("home"));

        // Remembered: asked once, then taken from the store.
        test::Find<QCheckBox>(dialog.get(), "RememberPassword")->setChecked(true);
        WriteSiteFile("index.html", "home, changed");
        prompts_->asked.clear();
        prompts_->Queue(Prompts::Answer::Yes);
        prompts_->Queue(QString("s3cret pass"));
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(secrets_.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(secrets_.begin()->second), QString("s3cret pass"));
        WriteSiteFile("index.html", "home, changed again");
        prompts_->Queue(Prompts::Answer::Yes);
        QVERIFY(RunAndWait(dialog.get(), "Publish"));
        QCOMPARE(prompts_->asked.filter("secret: ").size(), 1);
        QCOMPARE(ReadFile(root + "/www/index.html"), QString("home, changed again"));
        QVERIFY(!ReadFile(Site() + ".quenfort-publish-targets").contains("s3cret"));
    }
};

} // namespace qf

QTEST_MAIN(qf::PublishDialogTest)
#include "publish_dialog_test.moc"
