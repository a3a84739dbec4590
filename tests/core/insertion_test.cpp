#include "components/insertion.h"
#include "components/rollover.h"
#include "document/markers.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "random_edits.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/layouts.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace qf {
namespace {

const std::string kEmptyImage =
    "<img src=\"http://\" align=\"\" alt=\"\" border=\"0\" bordercolor=\"\">";

TEST(AddComponent, DeclaresNumbersAndPlacesTheBlockAtTheEndOfTheCell) {
    std::string page = test::PageWith("<!---Table1---!>", test::TableArea(1));
    EXPECT_EQ(AddComponent(page, "Image", "<img A>", 1), 1);
    EXPECT_EQ(AddComponent(page, "Image", "<img B>", 1), 2);
    EXPECT_EQ(page, test::PageWith(
                        "<!---Table1---!><!---Image1---!><!---Image2---!>",
                        test::TableArea(1, "<!---Begin_Image1---!><img A><!---End_Image1---!>"
                                           "<!---Begin_Image2---!><img B><!---End_Image2---!>")));

    // A plain prefix count: an imaged submit button counts as an image.
    page = test::PageWith("<!---Table1---!><!---Table2---!><!---Image_Button1---!>",
                          test::TableArea(1) + test::CellArea(2));
    EXPECT_EQ(AddComponent(page, "Image", "x", 2), 2);
    EXPECT_EQ(page, test::PageWith(
                        "<!---Table1---!><!---Table2---!><!---Image_Button1---!><!---Image2---!>",
                        test::TableArea(1) +
                            test::CellArea(2, "<!---Begin_Image2---!>x<!---End_Image2---!>")));
}

TEST(AddComponent, TopLevelAreaWithAdjacentCellsTakesItInItsOwnCell) {
    // Area1's table holds its own cell, then the adjacent cells of Area2 and Area3.
    const std::string area1_cell = "<!---Begin_Table1---!><Table><td>own";
    const std::string adjacent = test::CellArea(2) + test::CellArea(3);
    std::string page =
        test::PageWith("<!---Table1---!><!---Table2---!><!---Table3---!>",
                       area1_cell + "</td>" + adjacent + "</table><!---End_Table1---!>");
    AddComponent(page, "Hr", "<hr>", 1);
    EXPECT_NE(page.find("<td>own<!---Begin_Hr1---!><hr><!---End_Hr1---!></td>" + adjacent),
              std::string::npos)
        << page;
    AddComponent(page, "Hr", "<hr2>", 3);
    EXPECT_NE(page.find(test::CellArea(3, "<!---Begin_Hr2---!><hr2><!---End_Hr2---!>")),
              std::string::npos);
}

TEST(AddComponent, AMissingAreaChangesNothing) {
    std::string page = test::PageWith("<!---Table1---!>", test::TableArea(1));
    const std::string before = page;
    EXPECT_THROW(AddComponent(page, "Image", "x", 4), CommandError);
    EXPECT_EQ(page, before);
}

// The insertion as single steps on the text, each searching the text the
// step before left: the number, the declaration, then the block at the
// area's insertion point (or before the declaration block).
std::string StepByStep(std::string page, std::string_view kind, std::string_view body, int area) {
    const std::string name = std::string(kind) + std::to_string(NextInstanceNumber(page, kind));
    AddDeclaration(page, name);
    const std::size_t point = area == 0 ? page.find(kDeclareBegin) : AreaInsertPoint(page, area);
    if (point == std::string::npos) {
        throw CommandError("no declaration block");
    }
    page.insert(point, BeginMarker(name) + std::string(body) + EndMarker(name));
    return page;
}

// The one-pass text against the steps: the same bytes, or a refusal by both.
void ExpectSameAsStepByStep(const std::string& page, std::string_view kind, int area) {
    SCOPED_TRACE("Area" + std::to_string(area) + " of " + page);
    std::string expected;
    try {
        expected = StepByStep(page, kind, "<b>x</b>", area);
    } catch (const CommandError&) {
        expected = "(refused)";
    }
    std::string text;
    try {
        text = area == 0 ? WithComponentBeforeDeclarations(page, kind, "<b>x</b>").text
                         : WithComponent(page, kind, "<b>x</b>", area).text;
    } catch (const CommandError&) {
        text = "(refused)";
    }
    EXPECT_EQ(text, expected);
}

TEST(AddComponent, OnePassGivesTheBytesOfTheStepsOneAfterAnother) {
    // Every area of pages from each shipped layout after random edits
    // (platforms, adjacent cells, components, deletions), and one missing.
    QTemporaryDir app;
    const std::string app_folder = app.path().toStdString() + "/";
    FillAppFolder(app_folder);
    std::mt19937 random(7);
    for (const int layout : LayoutNumbers(app_folder)) {
        std::string page = test::PageFromLayout(ReadLayout(app_folder, layout));
        for (int edit = 0; edit < 40; ++edit) {
            try {
                test::RandomEdit(random, page);
            } catch (const CommandError&) {
            }
            if (edit % 10 != 9) {
                continue;
            }
            for (const std::string& area : AreaEntries(page)) {
                ExpectSameAsStepByStep(page, "Image", TrailingNumber(area));
            }
            ExpectSameAsStepByStep(page, "Bgsound", 0);
            ExpectSameAsStepByStep(page, "Image", 977);
        }
    }
    // The declaration block after the areas, inside an area's cell, inside a
    // row of adjacent cells, and missing.
    const std::string declarations = "<!---declare_begin---!><!---Table1---!><!---Table2---!>"
                                     "<!---Table3---!><!---////---!><!---declare_end---!>";
    const std::string row = "<!---Begin_Table1---!><Table><td>own</td>" + test::CellArea(2) +
                            test::CellArea(3) + "</table><!---End_Table1---!>";
    const std::vector<std::string> pages = {
        "<body><!---End_Body---!></body>" + row + declarations,
        "<body><!---End_Body---!><!---Begin_Table1---!><Table><td>own" + declarations +
            "</td></table><!---End_Table1---!></body>",
        "<body><!---End_Body---!><!---Begin_Table1---!><Table><td>own</td>" + declarations +
            test::CellArea(2) + "</table><!---End_Table1---!></body>",
        "<body><!---End_Body---!><!---Begin_Table1---!><Table><td>own</td>" + test::CellArea(2) +
            declarations + "</table><!---End_Table1---!></body>",
        "<body><!---End_Body---!></body>" + row,
    };
    for (const std::string& page : pages) {
        for (int area : {0, 1, 2, 3, 4}) {
            ExpectSameAsStepByStep(page, "Hr", area);
        }
    }
}

class InsertionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app_.isValid() && project_.isValid());
        workspace_.app_folder = app_.path().toStdString() + "/";
        workspace_.project_folder = project_.path().toStdString() + "/";
        Open(test::PageWith("<!---Table1---!><!---Table2---!><!---Image_Button1---!>",
                            test::TableArea(1) + test::TableArea(2)));
    }
    void Open(const std::string& text) {
        WritePageFile(PagePath(), text);
        OpenPage(workspace_, PagePath());
        workspace_.area_list.text = "Area2";
    }
    std::string PagePath() const { return project_.filePath("index.html").toStdString(); }
    std::string FileBytes(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
    }
    void WriteAppScript(const std::string& bytes) {
        QFile file(app_.filePath("js.js"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }
    // Expects `insert` to be refused with `message` and to leave the page,
    // both lists and the file as they were.
    template <typename F> void ExpectRefusedUnchanged(F insert, const std::string& message) {
        const Workspace before = workspace_;
        const std::string file_before = FileBytes(QString::fromStdString(PagePath()));
        try {
            insert();
            ADD_FAILURE() << "not refused: " << message;
        } catch (const CommandError& error) {
            EXPECT_EQ(error.what(), message);
        }
        EXPECT_EQ(workspace_.page_text, before.page_text);
        EXPECT_EQ(workspace_.component_list.entries, before.component_list.entries);
        EXPECT_EQ(workspace_.component_list.text, before.component_list.text);
        EXPECT_EQ(workspace_.area_list.entries, before.area_list.entries);
        EXPECT_EQ(workspace_.area_list.text, before.area_list.text);
        EXPECT_EQ(FileBytes(QString::fromStdString(PagePath())), file_before);
    }

    QTemporaryDir app_;
    QTemporaryDir project_;
    Workspace workspace_;
};

TEST_F(InsertionTest, InsertsWritesTheFileAndAppendsTheEntry) {
    workspace_.component_list.text = "Image Button1";
    EXPECT_EQ(InsertComponent(workspace_, "Image", {}), "Image2");
    EXPECT_NE(workspace_.page_text.find("<!---Begin_Image2---!>" + kEmptyImage +
                                        "<!---End_Image2---!></td></table>"
                                        "<!---End_Table2---!>"),
              std::string::npos);
    EXPECT_EQ(ReadPageFile(PagePath()), workspace_.page_text);
    EXPECT_EQ(workspace_.component_list.entries,
              (std::vector<std::string>{"Image Button1", "Image2"}));
    // The shown texts of both lists stay as they were.
    EXPECT_EQ(workspace_.component_list.text, "Image Button1");
    EXPECT_EQ(workspace_.area_list.text, "Area2");

    EXPECT_EQ(InsertComponent(workspace_, "Text", {{"text", "Hi"}}), "Text String1");
    EXPECT_EQ(CommitComponent(workspace_, "Hr", "<hr>"), "Horizontal Line1");
    EXPECT_EQ(workspace_.component_list.entries.back(), "Horizontal Line1");
    EXPECT_EQ(ReadPageFile(PagePath()), workspace_.page_text);
}

TEST_F(InsertionTest, TheAreaAndTheFieldsAreCheckedBeforeAnythingChanges) {
    workspace_.area_list.text = "Area";
    ExpectRefusedUnchanged([&] { InsertComponent(workspace_, "Image", {}); },
                           "'Area' is not a valid integer value");
    workspace_.area_list.text = "Select Area";
    ExpectRefusedUnchanged([&] { InsertComponent(workspace_, "Image", {}); },
                           "Your Must Select an Area!");
    workspace_.area_list.text = "Area7";
    ExpectRefusedUnchanged([&] { InsertComponent(workspace_, "Image", {}); },
                           "Area7 is not on this page");
    ExpectRefusedUnchanged([&] { CommitComponent(workspace_, "Image", "x"); },
                           "Area7 is not on this page");
    workspace_.area_list.text = "Area1";
    ExpectRefusedUnchanged(
        [&] {
            InsertComponent(workspace_, "Text", {{"text", "<!---End_Table1---!>"}});
        },
        "Text (text) may not contain \"<!---\" or \"---!>\"");
    ExpectRefusedUnchanged(
        [&] {
            InsertComponent(workspace_, "Image", {{"size", "3"}});
        },
        "'size' is not a field of Image");
}

TEST_F(InsertionTest, AFileErrorChangesNothing) {
    // The page's folder is gone: the page file cannot be written.
    workspace_.page_path = project_.filePath("gone/index.html").toStdString();
    const Workspace before = workspace_;
    EXPECT_THROW(InsertComponent(workspace_, "Image", {}), CommandError);
    EXPECT_EQ(workspace_.page_text, before.page_text);
    EXPECT_EQ(workspace_.component_list.entries, before.component_list.entries);
    workspace_.page_name.clear();
    ExpectRefusedUnchanged([&] { InsertComponent(workspace_, "Image", {}); },
                           "A page must be open!");
}

TEST_F(InsertionTest, RolloverCopiesTheScriptAndTakesOnePerPage) {
    const std::string script("// swap\r\nfunction SwitchImg(){}\0\xff\n", 34);
    WriteAppScript(script);
    Open(test::PageWith("<!---Table1---!><!---Table2---!>",
                        test::TableArea(1) + test::TableArea(2)));
    EXPECT_TRUE(PageTakesRollover(workspace_.page_text));
    EXPECT_EQ(InsertComponent(workspace_, "Roll_Img", {{"src", "a.gif"}}), "Rollover Image1");
    EXPECT_EQ(FileBytes(project_.filePath("js.js")), script);
    EXPECT_NE(workspace_.page_text.find("<title>T</title><SCRIPT SRC=\"js.js\"></SCRIPT></head>"),
              std::string::npos);
    EXPECT_NE(workspace_.page_text.find("<!---Begin_Roll_Img1---!><a href=\"http://\" onMouseOut"),
              std::string::npos);
    EXPECT_EQ(ReadPageFile(PagePath()), workspace_.page_text);
    EXPECT_FALSE(PageTakesRollover(workspace_.page_text));
    ExpectRefusedUnchanged([&] { InsertComponent(workspace_, "Roll_Img", {}); },
                           std::string(kPageHoldsRolloverMessage));

    // A page that already refers to the script gets no second reference; the
    // script is copied again.
    std::string page = test::PageWith("<!---Table1---!>", test::TableArea(1));
    page.insert(page.find("</head>"), kRolloverScriptReference);
    Open(page);
    workspace_.area_list.text = "Area1";
    QFile::remove(project_.filePath("js.js"));
    InsertComponent(workspace_, "Roll_Img", {});
    EXPECT_EQ(FileBytes(project_.filePath("js.js")), script);
    EXPECT_EQ(workspace_.page_text.find(kRolloverScriptReference),
              workspace_.page_text.rfind(kRolloverScriptReference));
}

TEST_F(InsertionTest, RolloverWithoutTheScriptChangesNothing) {
    Open(test::PageWith("<!---Table1---!><!---Table2---!>",
                        test::TableArea(1) + test::TableArea(2)));
    const std::string source = workspace_.app_folder + "js.js";
    ExpectRefusedUnchanged([&] { InsertComponent(workspace_, "Roll_Img", {}); },
                           "Cannot open file \"" + source + "\". No such file or directory");
    EXPECT_FALSE(QFile::exists(project_.filePath("js.js")));
}

} // namespace
} // namespace qf
