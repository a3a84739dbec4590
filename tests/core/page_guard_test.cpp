#include "workspace/page_guard.h"

#include "components/insertion.h"
#include "components/page_properties.h"
#include "document/page_file.h"
#include "error.h"
#include "random_edits.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/layouts.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace qf {
namespace {

class PageOnDiskTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        workspace_.project_folder = Folder();
        workspace_.lock_wait_ms = 200;
        WritePageFile(Path("index.html"), test::WorkedExamplePage());
        WritePageFile(Path("other.html"), test::WorkedExamplePage());
        OpenPage(workspace_, Path("index.html"));
        workspace_.area_list.text = "Area1";
    }

    std::string Folder() const { return dir_.path().toStdString() + "/"; }
    std::string Path(const std::string& name) const { return Folder() + name; }

    // Another program rewrites the page.
    void RewriteBehind(const std::string& text) {
        QFile file(QString::fromStdString(workspace_.page_path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.data(), qint64(text.size()));
    }

    std::string OnDisk() const { return ReadPageFile(workspace_.page_path); }

    QTemporaryDir dir_;
    Workspace workspace_;
};

TEST_F(PageOnDiskTest, EditsAreUndoneAndRedoneOnDiskAndInTheLists) {
    const std::string original = workspace_.page_text;
    EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());
    EXPECT_THROW(UndoPageChange(workspace_), CommandError);

    EXPECT_EQ(InsertComponent(workspace_, "Image", {}), "Image2");
    const std::string with_image = workspace_.page_text;
    PageProperties properties;
    properties.heading = "Other title";
    SetPageProperties(workspace_, properties);
    EXPECT_EQ(OpenPageHistory(workspace_).UndoName(), "Page Properties");

    EXPECT_EQ(UndoPageChange(workspace_), "Page Properties");
    EXPECT_EQ(workspace_.page_text, with_image);
    EXPECT_EQ(OnDisk(), with_image);
    EXPECT_NE(workspace_.page_header, "Other title");
    EXPECT_EQ(OpenPageHistory(workspace_).UndoName(), "Insert Image2");
    EXPECT_EQ(OpenPageHistory(workspace_).RedoName(), "Page Properties");

    EXPECT_EQ(UndoPageChange(workspace_), "Insert Image2");
    EXPECT_EQ(OnDisk(), original);
    EXPECT_EQ(workspace_.component_list.entries, std::vector<std::string>{"Image1"});

    EXPECT_EQ(RedoPageChange(workspace_), "Insert Image2");
    EXPECT_EQ(workspace_.component_list.entries, (std::vector<std::string>{"Image1", "Image2"}));
    EXPECT_EQ(RedoPageChange(workspace_), "Page Properties");
    EXPECT_EQ(workspace_.page_header, "Other title");
    EXPECT_EQ(OnDisk(), workspace_.page_text);
    EXPECT_THROW(RedoPageChange(workspace_), CommandError);

    // A new step after an undo drops what could have been redone.
    UndoPageChange(workspace_);
    CommitPageText(workspace_, workspace_.page_text + "<p>x</p>", "Add Paragraph");
    EXPECT_FALSE(OpenPageHistory(workspace_).CanRedo());
    EXPECT_EQ(OpenPageHistory(workspace_).UndoName(), "Add Paragraph");
}

TEST_F(PageOnDiskTest, AFailedEditLeavesTheHistoryAsItWas) {
    const std::string original = workspace_.page_text;
    InsertComponent(workspace_, "Image", {});
    const std::string after_insert = workspace_.page_text;

    workspace_.area_list.text = "Area7"; // not on the page
    EXPECT_THROW(InsertComponent(workspace_, "Hr", {}), CommandError);
    workspace_.area_list.text = "Area1";
    EXPECT_EQ(OpenPageHistory(workspace_).StepCount(), 1u);

    // A write the user cancels at the question.
    workspace_.ask_outside_change = [](const std::string&) { return OutsideChangeAnswer::Cancel; };
    const std::string behind = after_insert + "<p>behind</p>";
    WritePageFile(workspace_.page_path, behind);
    EXPECT_THROW(InsertComponent(workspace_, "Hr", {}), CommandCancelled);
    EXPECT_EQ(workspace_.page_text, after_insert);
    EXPECT_EQ(OpenPageHistory(workspace_).StepCount(), 1u);
    EXPECT_THROW(UndoPageChange(workspace_), CommandCancelled);
    EXPECT_EQ(OnDisk(), behind);

    // Put back what the run last wrote: the undo takes back the insertion.
    WritePageFile(workspace_.page_path, after_insert);
    EXPECT_EQ(UndoPageChange(workspace_), "Insert Image2");
    EXPECT_EQ(OnDisk(), original);
}

TEST_F(PageOnDiskTest, TwoHundredRandomEditsUndoneToTheOriginalBytes) {
    QTemporaryDir app;
    const std::string app_folder = app.path().toStdString() + "/";
    FillAppFolder(app_folder);
    const std::vector<int> layouts = LayoutNumbers(app_folder);
    ASSERT_FALSE(layouts.empty());
    const std::string path = Path("layout.html");
    WritePageFile(path, test::PageFromLayout(ReadLayout(app_folder, layouts.back())));
    QFile raw(QString::fromStdString(path));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray original_bytes = raw.readAll();
    raw.close();
    OpenPage(workspace_, path);

    std::mt19937 random(11);
    int steps = 0;
    for (int edit = 0; edit < 200; ++edit) {
        std::string next = workspace_.page_text;
        try {
            test::RandomEdit(random, next);
        } catch (const CommandError&) {
            continue;
        }
        if (next != workspace_.page_text) {
            CommitPageText(workspace_, std::move(next));
            ++steps;
        }
    }
    const std::string final_text = workspace_.page_text;
    EXPECT_EQ(int(OpenPageHistory(workspace_).StepCount()), steps);
    while (OpenPageHistory(workspace_).CanUndo()) {
        UndoPageChange(workspace_);
    }
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    EXPECT_EQ(raw.readAll(), original_bytes);
    raw.close();
    while (OpenPageHistory(workspace_).CanRedo()) {
        RedoPageChange(workspace_);
    }
    EXPECT_EQ(workspace_.page_text, final_text);
    EXPECT_EQ(OnDisk(), final_text);
}

TEST_F(PageOnDiskTest, EachPageKeepsItsHistoryUntilItChangesOnDisk) {
    InsertComponent(workspace_, "Image", {});
    OpenPage(workspace_, Path("other.html"));
    EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());
    workspace_.area_list.text = "Area1";
    InsertComponent(workspace_, "Hr", {});
    EXPECT_EQ(OpenPageHistory(workspace_).UndoName(), "Insert Horizontal Line1");

    OpenPage(workspace_, Path("index.html"));
    EXPECT_EQ(OpenPageHistory(workspace_).UndoName(), "Insert Image2");

    // Changed by another program while another page was open: a new history.
    OpenPage(workspace_, Path("other.html"));
    WritePageFile(Path("index.html"), test::WorkedExamplePage() + "<p>new</p>");
    OpenPage(workspace_, Path("index.html"));
    EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());

    // A text changed in memory without a step cannot be undone step by step.
    InsertComponent(workspace_, "Image", {});
    workspace_.page_text += "<p>by hand</p>";
    PageRefresh(workspace_);
    EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());
}

TEST_F(PageOnDiskTest, AChangeBehindTheEditorIsAskedAbout) {
    std::vector<std::string> asked;
    OutsideChangeAnswer answer = OutsideChangeAnswer::Cancel;
    workspace_.ask_outside_change = [&](const std::string& name) {
        asked.push_back(name);
        return answer;
    };
    const std::string behind = test::WorkedExamplePage() + "<p>theirs</p>";

    // The same text written again by another program is no change.
    RewriteBehind(EncodePageFile(workspace_.page_text) + "");
    InsertComponent(workspace_, "Image", {});
    EXPECT_TRUE(asked.empty());

    RewriteBehind(EncodePageFile(behind));
    const std::string mine = workspace_.page_text;
    EXPECT_THROW(InsertComponent(workspace_, "Hr", {}), CommandCancelled);
    EXPECT_EQ(asked, std::vector<std::string>{"index.html"});
    EXPECT_EQ(OnDisk(), behind);
    EXPECT_EQ(workspace_.page_text, mine);
    EXPECT_EQ(CheckOpenPageOnDisk(workspace_), PageOnDisk::Changed);

    answer = OutsideChangeAnswer::Reload;
    EXPECT_THROW(InsertComponent(workspace_, "Hr", {}), CommandCancelled);
    EXPECT_EQ(workspace_.page_text, behind);
    EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());
    EXPECT_EQ(CheckOpenPageOnDisk(workspace_), PageOnDisk::Unchanged);

    RewriteBehind(EncodePageFile(behind + "<p>again</p>"));
    answer = OutsideChangeAnswer::Overwrite;
    EXPECT_EQ(InsertComponent(workspace_, "Hr", {}), "Horizontal Line1");
    EXPECT_EQ(OnDisk(), workspace_.page_text);
    EXPECT_EQ(workspace_.page_text.find("again"), std::string::npos);

    // Without anyone to ask (the command line) the write is refused.
    workspace_.ask_outside_change = nullptr;
    RewriteBehind(EncodePageFile(behind));
    try {
        InsertComponent(workspace_, "Hr", {});
        FAIL() << "written over another program's change";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "index.html was changed by another program; nothing was written");
    }
    EXPECT_EQ(OnDisk(), behind);

    QFile::remove(QString::fromStdString(workspace_.page_path));
    EXPECT_EQ(CheckOpenPageOnDisk(workspace_), PageOnDisk::Missing);
    EXPECT_EQ(OutsideChangeQuestion("index.html"),
              "index.html was changed by another program. Reload it (your last change is not "
              "applied), or overwrite it?");
}

TEST_F(PageOnDiskTest, ThePageLockKeepsOtherWritersOut) {
    const QString lock_path = QString::fromStdString(PageLockPath(workspace_.page_path));
    EXPECT_EQ(lock_path, QString::fromStdString(Folder()) + ".index.html.lock");
    {
        QLockFile other(lock_path);
        ASSERT_TRUE(other.tryLock(0));
        const std::string before = OnDisk();
        try {
            InsertComponent(workspace_, "Image", {});
            FAIL() << "written under another writer's lock";
        } catch (const CommandError& error) {
            EXPECT_EQ(std::string(error.what()), "index.html is being changed by another program");
        }
        EXPECT_EQ(OnDisk(), before);
        EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());
    }
    // Free again; the lock is gone after the write and never listed as a page.
    InsertComponent(workspace_, "Image", {});
    EXPECT_FALSE(QFile::exists(lock_path));
    {
        QLockFile held(lock_path);
        ASSERT_TRUE(held.tryLock(0));
        EXPECT_EQ(ProjectPages(workspace_.project_folder),
                  (std::vector<std::string>{"index.html", "other.html"}));
    }

    // A lock left by a process that is gone is taken over.
    int dead_pid = 4194000;
    while (QFile::exists(QStringLiteral("/proc/%1").arg(dead_pid))) {
        ++dead_pid;
    }
    QFile stale(lock_path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(dead_pid) + "\nquenfort-cli\n" +
                QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    EXPECT_NO_THROW(InsertComponent(workspace_, "Image", {}));

    // The command line holds the lock from opening the page to its end.
    Workspace command;
    command.hold_page_lock = true;
    command.lock_wait_ms = 100;
    OpenPage(command, workspace_.page_path);
    EXPECT_THROW(InsertComponent(workspace_, "Image", {}), CommandError);
    command.page_lock.reset();
    EXPECT_NO_THROW(InsertComponent(workspace_, "Image", {}));
}

} // namespace
} // namespace qf
