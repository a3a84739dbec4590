#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/page_commands.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace qf {
namespace {

class PageCommands : public ::testing::Test {
protected:
    void SetUp() override {
        // The desktop's trash lives under the data home; keep it in the test's folder.
        saved_data_home_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
        QDir(dir_.path()).mkpath("site");
        workspace_.project_folder = dir_.filePath("site").toStdString() + "/";
        WritePageFile(workspace_.project_folder + "index.html", test::WorkedExamplePage());
        WritePageFile(workspace_.project_folder + "other.html", test::WorkedExamplePage());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", saved_data_home_); }

    QTemporaryDir dir_;
    QByteArray saved_data_home_;
    Workspace workspace_;
};

TEST_F(PageCommands, OpeningFromTheListReadsTheProjectPage) {
    Workspace no_project;
    EXPECT_THROW(OpenProjectPage(no_project, "index.html"), CommandError);
    OpenProjectPage(workspace_, "index.html");
    EXPECT_EQ(workspace_.page_name, "index.html");
    EXPECT_EQ(workspace_.page_path, workspace_.project_folder + "index.html");
    EXPECT_EQ(workspace_.component_list.entries, std::vector<std::string>{"Image1"});
}

TEST_F(PageCommands, AClosedPageIsNeverWrittenAgain) {
    OpenProjectPage(workspace_, "index.html");
    const std::string path = workspace_.page_path;
    ClosePage(workspace_);
    EXPECT_FALSE(workspace_.HasOpenPage());
    EXPECT_FALSE(workspace_.palette_enabled);
    // The text and the lists stay for the user to see.
    EXPECT_EQ(workspace_.page_text, test::WorkedExamplePage());
    EXPECT_EQ(workspace_.area_list.entries, std::vector<std::string>{"Area1"});
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
    try {
        CommitPageText(workspace_, "changed");
        FAIL() << "a commit without an open page went through";
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), "A page must be open!");
    }
    EXPECT_THROW(PageRefresh(workspace_), CommandError);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_EQ(workspace_.page_text, test::WorkedExamplePage());
}

TEST_F(PageCommands, DeleteMovesThePageToTheTrash) {
    EXPECT_EQ(TrashOpenPage(workspace_), PageDeletion::NoPage);
    OpenProjectPage(workspace_, "index.html");
    const QString path = QString::fromStdString(workspace_.page_path);
    const PageDeletion outcome = TrashOpenPage(workspace_);
    if (outcome == PageDeletion::NoTrash) {
        // No trash for this file system: nothing may have changed.
        EXPECT_TRUE(QFile::exists(path));
        EXPECT_TRUE(workspace_.HasOpenPage());
        GTEST_SKIP() << "this system has no trash for " << path.toStdString();
    }
    ASSERT_EQ(outcome, PageDeletion::Trashed);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(workspace_.HasOpenPage());
    EXPECT_TRUE(QFile::exists(dir_.filePath("data/Trash/files/index.html")));
    EXPECT_EQ(workspace_.page_text, test::WorkedExamplePage());
}

TEST_F(PageCommands, WithoutATrashNothingMoves) {
    // A data home that cannot hold a trash folder.
    QFile blocker(dir_.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", dir_.filePath("blocker").toUtf8());
    const QString saved_current = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    OpenProjectPage(workspace_, "index.html");
    EXPECT_EQ(TrashOpenPage(workspace_), PageDeletion::NoTrash);
    QDir::setCurrent(saved_current);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(workspace_.page_path)));
    EXPECT_TRUE(workspace_.HasOpenPage());
    // Nothing went into a stand-in trash in the current folder.
    EXPECT_FALSE(QFile::exists(dir_.filePath("files/index.html")));
}

TEST_F(PageCommands, DeleteForGoodReportsWhatStopsIt) {
    OpenProjectPage(workspace_, "index.html");
    const QString site = QString::fromStdString(workspace_.project_folder);
    if (::geteuid() != 0) { // root may change a read-only folder
        QFile::setPermissions(site, QFile::ReadOwner | QFile::ExeOwner);
        try {
            DeleteOpenPage(workspace_);
            ADD_FAILURE() << "deleting from a read-only folder went through";
        } catch (const CommandError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot delete file \"" + workspace_.page_path + "\". Permission denied");
        }
        EXPECT_TRUE(workspace_.HasOpenPage());
        EXPECT_TRUE(QFile::exists(site + "index.html"));
        QFile::setPermissions(site, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    DeleteOpenPage(workspace_);
    EXPECT_FALSE(QFile::exists(site + "index.html"));
    EXPECT_FALSE(workspace_.HasOpenPage());
    DeleteOpenPage(workspace_); // nothing open: nothing happens

    // A page whose file another program removed already is only closed.
    OpenProjectPage(workspace_, "other.html");
    ASSERT_TRUE(QFile::remove(site + "other.html"));
    EXPECT_NO_THROW(DeleteOpenPage(workspace_));
    EXPECT_FALSE(workspace_.HasOpenPage());
}

} // namespace
} // namespace qf
