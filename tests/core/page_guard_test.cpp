#include "workspace/page_guard.h"

#include "components/insertion.h"
#include "components/page_properties.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "error.h"
#include "random_edits.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/layouts.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

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

TEST_F(PageOnDiskTest, WithoutHistoryEveryChangeIsWrittenAndNoneKeptToUndo) {
    // As the command line runs: each kind of write lands on disk and in the
    // lists, and nothing is kept to undo.
    workspace_.keep_history = false;
    EXPECT_EQ(InsertComponent(workspace_, "Image", {}), "Image2"); // the insertion path
    EXPECT_EQ(OnDisk(), workspace_.page_text);
    EXPECT_EQ(workspace_.component_list.entries, (std::vector<std::string>{"Image1", "Image2"}));
    PageProperties properties;
    properties.heading = "Other title";
    SetPageProperties(workspace_, properties); // a whole new text
    EXPECT_EQ(OnDisk(), workspace_.page_text);
    EXPECT_NE(OnDisk().find("Other title"), std::string::npos);
    EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());
    EXPECT_THROW(UndoPageChange(workspace_), CommandError);
}

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
            // An edit that leaves the page less sound is refused, and no step.
            try {
                CommitPageText(workspace_, std::move(next));
                ++steps;
            } catch (const CommandError& error) {
                EXPECT_NE(std::string(error.what()).find("unsound"), std::string::npos);
            }
        }
    }
    const std::string final_text = workspace_.page_text;
    EXPECT_GT(steps, 50); // most edits are sound ones
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
    const std::string lock_path = PageLockPath(workspace_.page_path);
    EXPECT_EQ(lock_path.rfind(Folder() + ".quenfort-", 0), 0u) << lock_path;
    // Every name of one file has one lock; another file has another, and a
    // name of any length a short one.
    ASSERT_EQ(::symlink("index.html", Path("alias.html").c_str()), 0);
    EXPECT_EQ(PageLockPath(Path("alias.html")), lock_path);
    EXPECT_NE(PageLockPath(Path("other.html")), lock_path);
    const std::string long_name = std::string(250, 'n') + ".html";
    EXPECT_LT(BaseName(PageLockPath(Path(long_name))).size(), 40u);
    {
        PageLock other(Path("alias.html"), 0);
        const std::string before = OnDisk();
        try {
            InsertComponent(workspace_, "Image", {});
            FAIL() << "written under another writer's lock";
        } catch (const CommandError& error) {
            EXPECT_EQ(std::string(error.what()), "index.html is being changed by another program");
        }
        EXPECT_EQ(OnDisk(), before);
        EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());
        EXPECT_EQ(ProjectPages(workspace_.project_folder),
                  (std::vector<std::string>{"alias.html", "index.html", "other.html"}));
    }
    // Free again; the lock is gone after the write.
    InsertComponent(workspace_, "Image", {});
    EXPECT_FALSE(EntryExists(lock_path));

    // What a lock file holds means nothing: one left empty or with garbage by
    // a killed holder blocks no one, and one that cannot be opened is taken
    // as left over after a short look.
    for (const std::string& left : {std::string(), std::string("\x01garbage\n")}) {
        WriteFileAtomically(lock_path, left);
        EXPECT_NO_THROW(InsertComponent(workspace_, "Image", {}));
    }
    ASSERT_EQ(::symlink("/nowhere", lock_path.c_str()), 0);
    EXPECT_NO_THROW(InsertComponent(workspace_, "Image", {}));
    EXPECT_FALSE(EntryExists(lock_path));

    // The command line holds the lock from opening the page to its end.
    Workspace command;
    command.hold_page_lock = true;
    command.lock_wait_ms = 100;
    OpenPage(command, workspace_.page_path);
    EXPECT_THROW(InsertComponent(workspace_, "Image", {}), CommandError);
    command.page_lock.reset();
    EXPECT_NO_THROW(InsertComponent(workspace_, "Image", {}));
}

TEST_F(PageOnDiskTest, APageWhoseLockCannotBeMadeIsNotWritten) {
    const std::string before = OnDisk();
    const std::string lock_path = PageLockPath(workspace_.page_path);
    ASSERT_EQ(::mkdir(lock_path.c_str(), 0755), 0);
    try {
        InsertComponent(workspace_, "Image", {});
        FAIL() << "written without its lock";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot lock \"" + workspace_.page_path +
                      "\" for writing. A folder is in the way of its lock file \"" + lock_path +
                      "\"; remove it.");
    }
    EXPECT_EQ(OnDisk(), before);
    EXPECT_FALSE(OpenPageHistory(workspace_).CanUndo());

    // The command line still reads such a page, and refuses to write it.
    Workspace command;
    command.hold_page_lock = true;
    command.lock_wait_ms = 100;
    OpenPage(command, workspace_.page_path);
    command.area_list.text = "Area1";
    EXPECT_THROW(InsertComponent(command, "Hr", {}), CommandError);
    EXPECT_EQ(OnDisk(), before);
    ::rmdir(lock_path.c_str());
    EXPECT_EQ(InsertComponent(command, "Hr", {}), "Horizontal Line1");
}

TEST_F(PageOnDiskTest, AnOutsideChangeIsSeenThoughSizeAndTimeAreKept) {
    // As a copy made with its times, or a write within one tick of a coarse
    // clock: the same size and modification time, other bytes.
    struct stat info {};
    ASSERT_EQ(::stat(workspace_.page_path.c_str(), &info), 0);
    std::string theirs = OnDisk();
    const std::size_t title = theirs.find("<title>");
    ASSERT_NE(title, std::string::npos);
    theirs[title + 7] = theirs[title + 7] == 'X' ? 'Y' : 'X';
    RewriteBehind(EncodePageFile(theirs));
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, workspace_.page_path.c_str(), times, 0), 0);
    ASSERT_EQ(QFileInfo(QString::fromStdString(workspace_.page_path)).size(), info.st_size);

    try {
        InsertComponent(workspace_, "Image", {});
        FAIL() << "written over another program's change";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "index.html was changed by another program; nothing was written");
    }
    EXPECT_EQ(OnDisk(), theirs);
    EXPECT_EQ(CheckOpenPageOnDisk(workspace_), PageOnDisk::Changed);
}

TEST_F(PageOnDiskTest, APageDeletedByAnotherProgramIsNotMadeAgain) {
    InsertComponent(workspace_, "Image", {});
    workspace_.ask_outside_change = [](const std::string&) {
        return OutsideChangeAnswer::Overwrite;
    };
    ASSERT_EQ(::unlink(workspace_.page_path.c_str()), 0);
    for (const std::function<void()>& write : std::vector<std::function<void()>>{
             [&] { InsertComponent(workspace_, "Hr", {}); }, [&] { UndoPageChange(workspace_); },
             [&] { PageRefresh(workspace_); }}) {
        try {
            write();
            FAIL() << "a deleted page was written again";
        } catch (const CommandError& error) {
            EXPECT_EQ(std::string(error.what()), "index.html was deleted by another program");
        }
        EXPECT_FALSE(EntryExists(workspace_.page_path));
    }
}

TEST_F(PageOnDiskTest, APageThatCannotBeLookedAtIsNamedForWhy) {
    ASSERT_EQ(::unlink(workspace_.page_path.c_str()), 0);
    ASSERT_EQ(::symlink("index.html", workspace_.page_path.c_str()), 0); // a loop
    try {
        InsertComponent(workspace_, "Image", {});
        FAIL() << "a page that cannot be read was written";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("Too many levels of symbolic links"),
                  std::string::npos)
            << error.what();
    }
}

TEST_F(PageOnDiskTest, NoChangeLeavesThePageLessSoundThanItWas) {
    // Three pieces of code, each harmless, that would join into a second end
    // marker of the area they are in.
    InsertHtml(workspace_, "<p><!--");
    InsertHtml(workspace_, "-End_Table1---!");
    const std::string before = OnDisk();
    try {
        InsertHtml(workspace_, "></p>");
        FAIL() << "a forged marker was written";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()), "This change would leave index.html unsound (marker "
                                             "name Table1 is used by 2 blocks); nothing was "
                                             "changed");
    }
    EXPECT_EQ(OnDisk(), before);
    EXPECT_TRUE(CheckPage(OnDisk()).empty());
    EXPECT_EQ(OpenPageHistory(workspace_).StepCount(), 2u);

    // A page that is wrong already: a change that adds to it is refused and
    // says what is wrong; one that adds nothing goes through.
    const std::string wrong =
        test::PageWith("<!---Table1---!><!---Table2---!>",
                       test::TableArea(1, "<!---End_Table2---!>x") + "<!---Begin_Table2---!>y");
    WritePageFile(Path("wrong.html"), wrong);
    OpenPage(workspace_, Path("wrong.html"));
    const std::vector<std::string> findings = CheckPage(wrong);
    EXPECT_EQ(findings,
              std::vector<std::string>{"end marker End_Table2 comes before its start marker"});
    workspace_.area_list.text = "Area2";
    try {
        DeleteArea(workspace_);
        FAIL() << "the page was made worse";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "This change would leave wrong.html unsound (block Table2 has no declaration); "
                  "what is wrong with the page already: end marker End_Table2 comes before its "
                  "start marker; nothing was changed");
    }
    EXPECT_EQ(OnDisk(), wrong);
    workspace_.area_list.text = "Area1";
    EXPECT_NO_THROW(InsertLineBreak(workspace_));
    EXPECT_EQ(CheckPage(OnDisk()), findings);
}

} // namespace
} // namespace qf
