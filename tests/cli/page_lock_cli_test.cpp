#include "cli_runner.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "test_pages.h"
#include "workspace/page_guard.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace qf {
namespace {

class PageLockCli : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
        WritePageFile(Path().toStdString(), test::PageWith("<!---Table1---!>", test::TableArea(1)));
    }
    void TearDown() override { qunsetenv("XDG_DATA_HOME"); }
    QString Path() const { return dir_.filePath("index.html"); }

    QTemporaryDir dir_;
    QTemporaryDir data_;
};

// Twenty inserts at once, every other one through `alias`, a link to `page`.
void TwentyWritersLoseNoInsertion(const QString& page, const QString& alias) {
    const std::string name = QFileInfo(page).fileName().toStdString();
    auto texts_declared = [&] {
        int declared = 0;
        for (const std::string& declaration : DeclarationNames(ReadPageFile(page.toStdString()))) {
            declared += declaration.starts_with("Text") ? 1 : 0;
        }
        return declared;
    };
    const int declared_before = texts_declared();
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < 20; ++i) {
        auto process = std::make_unique<QProcess>();
        process->start(QUENFORT_CLI_PATH, {"insert", i % 2 == 0 ? page : alias, "Area1", "Text",
                                           "text=writer " + QString::number(i)});
        writers.push_back(std::move(process));
    }
    std::set<std::string> entries;
    int succeeded = 0;
    for (auto& process : writers) {
        ASSERT_TRUE(process->waitForFinished(60000));
        const std::string err = process->readAllStandardError().toStdString();
        if (process->exitCode() == 0) {
            ++succeeded;
            entries.insert(process->readAllStandardOutput().trimmed().toStdString());
        } else {
            // Failing is allowed only clearly: the lock's message and exit 1.
            EXPECT_EQ(process->exitCode(), 1);
            EXPECT_NE(err.find(" is being changed by another program"), std::string::npos) << err;
        }
    }
    EXPECT_GT(succeeded, 0);
    EXPECT_EQ(int(entries.size()), succeeded); // every success got its own number
    EXPECT_EQ(texts_declared() - declared_before, succeeded) << name.size() << " characters";
    const test::CliResult check = test::RunCli({"check", page});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PageLockPath(page.toStdString()))));
    EXPECT_TRUE(QFileInfo(alias).isSymLink()); // the link stays a link
}

TEST_F(PageLockCli, TwentyWritersAtOnceThroughTwoNamesLoseNoInsertion) {
    ASSERT_TRUE(QFile::link("index.html", dir_.filePath("alias.html")));
    TwentyWritersLoseNoInsertion(Path(), dir_.filePath("alias.html"));
    // A name as long as a file name may be: its lock's name is short all the same.
    const QString long_page = dir_.filePath(QString(250, 'n') + ".html");
    ASSERT_TRUE(QFile::copy(Path(), long_page));
    ASSERT_TRUE(QFile::link(QFileInfo(long_page).fileName(), dir_.filePath("long.html")));
    TwentyWritersLoseNoInsertion(long_page, dir_.filePath("long.html"));
}

TEST_F(PageLockCli, AHeldLockFailsTheCommandAfterFiveSeconds) {
    const std::string before = ReadPageFile(Path().toStdString());
    auto held = std::make_unique<PageLock>(Path().toStdString(), 0);
    // The lock is held by a live process (this one).
    const test::CliResult result = test::RunCli({"insert", Path(), "Area1", "Hr"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "index.html is being changed by another program\n");
    EXPECT_EQ(ReadPageFile(Path().toStdString()), before);
    held.reset();
    EXPECT_EQ(test::RunCli({"insert", Path(), "Area1", "Hr"}).status, 0);
}

} // namespace
} // namespace qf
