#include "cli_runner.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "test_pages.h"
#include "workspace/page_guard.h"

#include <QLockFile>
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

TEST_F(PageLockCli, TwentyWritersAtOnceLoseNoInsertion) {
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int i = 0; i < 20; ++i) {
        auto process = std::make_unique<QProcess>();
        process->start(QUENFORT_CLI_PATH,
                       {"insert", Path(), "Area1", "Text", "text=writer " + QString::number(i)});
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
            EXPECT_NE(err.find("index.html is being changed by another program"), std::string::npos)
                << err;
        }
    }
    EXPECT_GT(succeeded, 0);
    EXPECT_EQ(int(entries.size()), succeeded); // every success got its own number
    const std::string page = ReadPageFile(Path().toStdString());
    int declared = 0;
    for (const std::string& name : DeclarationNames(page)) {
        declared += name.starts_with("Text") ? 1 : 0;
    }
    EXPECT_EQ(declared, succeeded);
    for (int i = 0; i < 20; ++i) {
        const bool present = page.find(">writer " + std::to_string(i) + "<") != std::string::npos;
        EXPECT_TRUE(present || succeeded < 20) << i;
    }
    const test::CliResult check = test::RunCli({"check", Path()});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(PageLockPath(Path().toStdString()))));
}

TEST_F(PageLockCli, AHeldLockFailsTheCommandAfterFiveSeconds) {
    const std::string before = ReadPageFile(Path().toStdString());
    QLockFile held(QString::fromStdString(PageLockPath(Path().toStdString())));
    ASSERT_TRUE(held.tryLock(0));
    // The lock is held by a live process (this one), so it is never stale.
    const test::CliResult result = test::RunCli({"insert", Path(), "Area1", "Hr"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "index.html is being changed by another program\n");
    EXPECT_EQ(ReadPageFile(Path().toStdString()), before);
    held.unlock();
    EXPECT_EQ(test::RunCli({"insert", Path(), "Area1", "Hr"}).status, 0);
}

} // namespace
} // namespace qf
