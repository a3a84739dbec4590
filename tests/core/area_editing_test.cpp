#include "document/page_check.h"
#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/layouts.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::Refusal;

// The shipped layouts' texts, from a fresh application folder.
std::vector<std::string> ShippedLayouts() {
    QTemporaryDir dir;
    const std::string app = dir.path().toStdString() + "/";
    FillAppFolder(app);
    std::vector<std::string> texts;
    for (int number : LayoutNumbers(app)) {
        texts.push_back(ReadLayout(app, number));
    }
    return texts;
}

// Every field of `reading` given back as a change, texts as they stand.
AreaChanges Unchanged(const AreaReading& reading) {
    AreaChanges changes;
    const AreaFields& f = reading.fields;
    changes.width = f.width;
    changes.height = f.height;
    changes.background = f.background;
    changes.border_colour = f.border_colour;
    if (reading.shape == AreaShape::Table) {
        changes.inner = f.inner;
        changes.outer = f.outer;
        changes.align = f.align;
        changes.valign = f.valign;
    }
    return changes;
}

TEST(ReadArea, ReadsEveryShapeTheEditorWrites) {
    // A layout's top-level area (spacer one pixel wide).
    AreaReading r = ReadArea(test::WorkedExamplePage(), 1);
    EXPECT_EQ(r.shape, AreaShape::Table);
    EXPECT_EQ(r.fields.width, 400);
    EXPECT_EQ(r.fields.height, 200);
    EXPECT_EQ(r.fields.inner, 0);
    EXPECT_EQ(r.fields.outer, 0);
    EXPECT_EQ(r.fields.align, "Left");
    EXPECT_EQ(r.fields.valign, "Top");
    EXPECT_EQ(r.fields.background, "#ffffff");
    EXPECT_EQ(r.fields.border_colour, "#000000");

    // A cell beside another area: only width, height and colours.
    const std::string cell =
        test::PageWith("<!---Table1---!><!---Table2---!>", test::TableArea(1) + test::CellArea(2));
    r = ReadArea(cell, 2);
    EXPECT_EQ(r.shape, AreaShape::Cell);
    EXPECT_EQ(r.fields.width, 200);
    EXPECT_EQ(r.fields.height, 100);
    EXPECT_EQ(r.fields.align, "");

    // A platform's area (spacer zero wide), and colours of any length.
    std::string page = test::PageWith("<!---Table1---!>", test::TableArea(1));
    AddPlatform(page, 1, 2, 150, 40);
    r = ReadArea(page, 3);
    EXPECT_EQ(r.fields.width, 150);
    EXPECT_EQ(r.fields.height, 40);
    EXPECT_EQ(r.fields.align, "left");
    page = ModifiedAreaText(page, 3, {.background = "red", .border_colour = "#0a0b0c0d"});
    r = ReadArea(page, 3);
    EXPECT_EQ(r.fields.background, "red");
    EXPECT_EQ(r.fields.border_colour, "#0a0b0c0d");
    page = ModifiedAreaText(page, 3, {.background = "#fff"});
    EXPECT_EQ(ReadArea(page, 3).fields.background, "#fff");
    EXPECT_EQ(ReadArea(page, 3).fields.border_colour, "#0a0b0c0d");
}

TEST(ModifyArea, OkWithoutChangesLeavesEveryShippedAreaByteForByte) {
    for (const std::string& layout : ShippedLayouts()) {
        std::string page = layout;
        AddPlatform(page, 1, 3, 100, 20); // platform areas too
        for (const std::string& entry : AreaEntries(page)) {
            SCOPED_TRACE(entry);
            const int area = AreaToEdit(entry);
            const AreaReading reading = ReadArea(page, area);
            EXPECT_EQ(ModifiedAreaText(page, area, Unchanged(reading)), page);
            EXPECT_EQ(ModifiedAreaText(page, area, {}), page);
        }
    }
}

// Fields compared whole, so a reading that changed shows which field did.
std::string Described(const AreaReading& r) {
    const AreaFields& f = r.fields;
    return std::to_string(int(r.shape)) + " " + std::to_string(f.width) + "x" +
           std::to_string(f.height) + " " + std::to_string(f.inner) + "/" +
           std::to_string(f.outer) + " " + f.align + "/" + f.valign + " " + f.background + "/" +
           f.border_colour;
}

TEST(AreaSpacer, TakesNoRoomAndEveryAreaReadsAsBefore) {
    for (const std::string& layout : ShippedLayouts()) {
        std::string page = layout;
        AddPlatform(page, 1, 2, 100, 20);
        const std::string mended = WithStandingSpacers(page);
        EXPECT_EQ(WithStandingSpacers(mended), mended); // once is enough
        for (const std::string& entry : AreaEntries(page)) {
            SCOPED_TRACE(entry);
            const int area = AreaToEdit(entry);
            EXPECT_EQ(Described(ReadArea(mended, area)), Described(ReadArea(page, area)));
            // Modify still writes what it read, and only that.
            EXPECT_EQ(ModifiedAreaText(mended, area, Unchanged(ReadArea(mended, area))), mended);
        }
        // Every spacer is floated, without width and without space beside it.
        const std::size_t spacers = AreaEntries(page).size();
        std::size_t standing = 0;
        for (std::size_t at = mended.find("width=\"0\" align=\"left\" hspace=\"0\">");
             at != std::string::npos;
             at = mended.find("width=\"0\" align=\"left\" hspace=\"0\">", at + 1)) {
            ++standing;
        }
        EXPECT_EQ(standing, spacers);
        EXPECT_EQ(mended.find("width=\"1\" align=\"left\">"), std::string::npos);
    }
    EXPECT_EQ(AreaSpacer(40),
              "<img src=\"\" height=\"40\" width=\"0\" align=\"left\" hspace=\"0\">");

    // Spacers written otherwise are mended the same way; a picture of its
    // own at the start of a cell, and anything outside an area, stay.
    const auto area = [](int n, const std::string& first) {
        return "<!---Begin_Table" + std::to_string(n) + "---!><td width=10 bgcolor=\"#fff\" " +
               "bordercolor=\"#000\">" + first + "</td><!---End_Table" + std::to_string(n) +
               "---!>";
    };
    const std::string odd = "<img src=\"\" width=5>" + area(1, "<IMG SRC='' WIDTH=1 HSPACE=3 />") +
                            area(2, "<img src=\"a.png\" height=\"9\" width=\"1\">") +
                            area(3, "<b>no picture</b>");
    EXPECT_EQ(WithStandingSpacers(odd),
              "<img src=\"\" width=5>" + area(1, "<IMG SRC='' WIDTH=0 HSPACE=0 />") +
                  area(2, "<img src=\"a.png\" height=\"9\" width=\"1\">") +
                  area(3, "<b>no picture</b>"));
}

TEST(ModifyArea, WidthGoesIntoTableAndCellOfThatAreaOnly) {
    // Area1 against Area12: only area 1's own tags change.
    const std::string page = test::PageWith("<!---Table1---!><!---Table12---!>",
                                            test::TableArea(1) + test::TableArea(12));
    const std::string modified = ModifiedAreaText(page, 1, {.width = 300});
    std::string area1 = test::TableArea(1);
    area1.replace(area1.find("width=400"), 9, "width=300");
    area1.replace(area1.find("width=400"), 9, "width=300");
    EXPECT_EQ(modified,
              test::PageWith("<!---Table1---!><!---Table12---!>", area1 + test::TableArea(12)));
    EXPECT_EQ(ModifiedAreaText(page, 12, {.width = 300}).substr(0, page.find("<!---Begin_Table12")),
              page.substr(0, page.find("<!---Begin_Table12")));

    // A top-level area holding cells beside its own: the table keeps their share.
    const std::string row =
        test::PageWith("<!---Table1---!><!---Table2---!>",
                       "<!---Begin_Table1---!><Table align=\"Center\" valign=\"Top\" border=\"1\" "
                       "bordercolor=\"#ffffff\" width=600 cellpadding=\"8\" cellspacing=\"0\"><td "
                       "border=\"1\" bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=400><img "
                       "src=\"\" height=\"100\" width=\"1\" align=\"left\"></td>" +
                           test::CellArea(2) + "</table><!---End_Table1---!>");
    EXPECT_EQ(ReadArea(row, 1).fields.width, 400);
    const std::string wider = ModifiedAreaText(row, 1, {.width = 450});
    EXPECT_NE(wider.find("width=650 cellpadding"), std::string::npos);
    EXPECT_NE(wider.find("bgcolor=\"#ffffff\" width=450><img"), std::string::npos);
    EXPECT_NE(wider.find(test::CellArea(2)), std::string::npos);
    // The cell beside it changes alone; the table holding it stays.
    const std::string narrower = ModifiedAreaText(row, 2, {.width = 150, .height = 7});
    EXPECT_NE(narrower.find("width=600 cellpadding"), std::string::npos);
    EXPECT_EQ(ReadArea(narrower, 2).fields.width, 150);
    EXPECT_EQ(ReadArea(narrower, 2).fields.height, 7);
    EXPECT_EQ(ReadArea(narrower, 1).fields.height, 100);
}

TEST(ModifyArea, APlatformAreaChangesInsideThePlatformOnly) {
    std::string page = test::PageWith("<!---Table1---!>", test::TableArea(1));
    AddPlatform(page, 1, 2, 150, 40);
    const std::string modified = ModifiedAreaText(
        page, 2,
        {.width = 90, .height = 5, .inner = 3, .outer = 4, .align = "right", .valign = "bottom"});
    EXPECT_NE(modified.find("<Table width=\"300\" cellpadding=\"0\""), std::string::npos);
    EXPECT_NE(modified.find("<!---Begin_Table2---!><Table align=\"right\" valign=\"bottom\" "
                            "border=\"1\" bordercolor=\"#ffffff\" width=90 cellpadding=\"3\" "
                            "cellspacing=\"4\"><td border=\"1\" bordercolor=\"#000000\" "
                            "bgcolor=\"#ffffff\" width=90><img src=\"\" height=\"5\" width=\"0\""),
              std::string::npos);
    EXPECT_EQ(ReadArea(modified, 3).fields.width, 150);
    EXPECT_EQ(ReadArea(modified, 1).fields.width, 400);
}

TEST(ModifyArea, TypedTextEntersAsAsciiAndCannotBreakTheTag) {
    const std::string page = test::WorkedExamplePage();
    std::string modified =
        ModifiedAreaText(page, 1, {.align = "Cent\"er", .valign = "Caf\xC3\xA9", .background = ""});
    EXPECT_NE(modified.find("align=\"Cent&quot;er\" valign=\"Caf&#233;\""), std::string::npos);
    EXPECT_NE(modified.find("<td border=\"1\" bordercolor=\"#000000\" bgcolor=\"\" width=400>"),
              std::string::npos);
    EXPECT_EQ(ReadArea(modified, 1).fields.align, "Cent&quot;er");

    EXPECT_EQ(Refusal([&] { ModifiedAreaText(page, 1, {.align = "<!---End_Table1---!>"}); }),
              "Align may not contain \"<!---\" or \"---!>\"");
    EXPECT_THROW(ModifiedAreaText(page, 1, {.background = "\xFF"}), CommandError);

    // A cell has no spacings or alignment to change.
    const std::string cell =
        test::PageWith("<!---Table1---!><!---Table2---!>", test::TableArea(1) + test::CellArea(2));
    EXPECT_EQ(Refusal([&] { ModifiedAreaText(cell, 2, {.inner = 1}); }),
              "Area2 is a cell beside another area: it has no spacings or alignment of its own, "
              "only width, height and colours.");

    // A text written into an unquoted attribute gets quotes.
    const std::string bare = test::PageWith(
        "<!---Table1---!>", "<!---Begin_Table1---!><td width=1 bgcolor=x bordercolor=y><img "
                            "height=2></td><!---End_Table1---!>");
    modified = ModifiedAreaText(bare, 1, {.background = "light blue"});
    EXPECT_NE(modified.find("<td width=1 bgcolor=\"light blue\" bordercolor=y>"),
              std::string::npos);
}

TEST(ModifyArea, AnAreaNoShapeFitsIsRefusedWithItsReason) {
    auto page_with = [](const std::string& content) {
        return test::PageWith("<!---Table1---!>", "<!---Begin_Table1---!>" + content +
                                                      "</td></table><!---End_Table1---!>");
    };
    const std::string table =
        "<Table align=\"Left\" valign=\"Top\" width=400 cellpadding=\"0\" cellspacing=\"0\">";
    const std::string cell = "<td bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=400>";
    const std::string spacer = "<img src=\"\" height=\"100\" width=\"1\">";
    EXPECT_NO_THROW(ReadArea(page_with(table + cell + spacer), 1));
    EXPECT_EQ(Refusal([&] { ReadArea(page_with("<p>" + cell + spacer), 1); }),
              "Area1 cannot be modified: its content does not begin with a table or a cell.");
    EXPECT_EQ(Refusal([&] { ReadArea(page_with(table + spacer), 1); }),
              "Area1 cannot be modified: its table does not begin with a cell.");
    EXPECT_EQ(Refusal([&] { ReadArea(page_with(table + cell + "<br>"), 1); }),
              "Area1 cannot be modified: its cell does not begin with the spacer picture that "
              "gives its height.");
    std::string no_padding = table;
    no_padding.erase(no_padding.find(" cellpadding=\"0\""), 16);
    EXPECT_EQ(Refusal([&] { ReadArea(page_with(no_padding + cell + spacer), 1); }),
              "Area1 cannot be modified: its table has no cellpadding attribute.");
    std::string percent = cell;
    percent.replace(percent.find("400"), 3, "100%");
    EXPECT_EQ(Refusal([&] { ReadArea(page_with(table + percent + spacer), 1); }),
              "Area1 cannot be modified: its width \"100%\" is not a whole number.");
    EXPECT_EQ(Refusal([&] { ReadArea(page_with("<Table align=\"x"), 1); }),
              "Area1 cannot be modified: its content does not begin with a table or a cell.");
    EXPECT_EQ(Refusal([&] { ReadArea(test::WorkedExamplePage(), 2); }),
              "Area2 is not on this page");

    EXPECT_EQ(Refusal([] { AreaToEdit("Select Area"); }), "Please Select an Area");
    EXPECT_EQ(Refusal([] { AreaToEdit(""); }), "Please Select an Area");
    EXPECT_EQ(Refusal([] { AreaToEdit("Area"); }), "'Area' is not a valid integer value");
    EXPECT_EQ(AreaToEdit("Area12"), 12);
}

TEST(DeleteArea, TakesTheAreaAndTheDeclarationsOfEverythingInIt) {
    // Area 1 holds an image and a platform of areas 12 and 13 with a text in
    // area 13; area 2 stands beside it and keeps its image.
    std::string page =
        test::PageWith("<!---Table1---!><!---Table2---!>", test::TableArea(1) + test::TableArea(2));
    AddPlatform(page, 1, 2, 10, 10); // areas 3 and 4
    EXPECT_EQ(AreaEntries(page), (std::vector<std::string>{"Area1", "Area2", "Area4", "Area3"}));
    const std::string block_of_1 =
        page.substr(page.find("<!---Begin_Table1---!>"),
                    page.find("<!---End_Table1---!>") + 20 - page.find("<!---Begin_Table1---!>"));
    AreaDeletion deletion = DeletedAreaText(page, 1);
    EXPECT_EQ(deletion.area_entries, (std::vector<std::string>{"Area1", "Area3", "Area4"}));
    EXPECT_EQ(deletion.page.find("Table3"), std::string::npos);
    EXPECT_EQ(deletion.page.find("Table1"), std::string::npos);
    EXPECT_NE(deletion.page.find(test::TableArea(2)), std::string::npos);
    EXPECT_TRUE(CheckPage(deletion.page).empty());
    std::string expected = page;
    expected.erase(expected.find(block_of_1), block_of_1.size());
    for (const char* name : {"<!---Table1---!>", "<!---Table3---!>", "<!---Table4---!>"}) {
        expected.erase(expected.find(name), std::string(name).size());
    }
    EXPECT_EQ(deletion.page, expected);

    // Area1 against Area12, not nested: area 12 stays whole.
    page = test::PageWith("<!---Table1---!><!---Table12---!><!---Image1---!>",
                          test::TableArea(1, "<!---Begin_Image1---!>x<!---End_Image1---!>") +
                              test::TableArea(12));
    deletion = DeletedAreaText(page, 1);
    EXPECT_EQ(deletion.page, test::PageWith("<!---Table12---!>", test::TableArea(12)));
    EXPECT_EQ(deletion.component_entries, std::vector<std::string>{"Image1"});

    // A declaration without its block goes alone; with neither, nothing is done.
    page = test::PageWith("<!---Table1---!><!---Table5---!>", test::TableArea(1));
    deletion = DeletedAreaText(page, 5);
    EXPECT_EQ(deletion.page, test::PageWith("<!---Table1---!>", test::TableArea(1)));
    EXPECT_EQ(Refusal([&] { DeletedAreaText(page, 7); }), "Area7 is not on this page");
}

TEST(DeleteArea, ADeclarationInsideItsOwnBlockGoesWithTheBlockAndNothingAfterIt) {
    // Area 1 is declared only inside its own block: the block takes the
    // declaration with it, and area 2 behind it stays whole.
    const std::string page = test::PageWith(
        "<!---Table2---!>", test::TableArea(1, "<!---Table1---!>") + test::TableArea(2));
    const AreaDeletion deletion = DeletedAreaText(page, 1);
    EXPECT_EQ(deletion.page, test::PageWith("<!---Table2---!>", test::TableArea(2)));
    EXPECT_EQ(deletion.area_entries, std::vector<std::string>{"Area1"});
}

TEST(DeleteArea, ANumberStillUsedElsewhereKeepsItsDeclaration) {
    // Image1 was handed out twice: the one outside area 1 keeps its declaration.
    const std::string page =
        test::PageWith("<!---Table1---!><!---Table2---!><!---Image1---!>",
                       test::TableArea(1, "<!---Begin_Image1---!>a<!---End_Image1---!>") +
                           test::TableArea(2, "<!---Begin_Image1---!>b<!---End_Image1---!>"));
    const AreaDeletion deletion = DeletedAreaText(page, 1);
    EXPECT_TRUE(deletion.component_entries.empty());
    EXPECT_NE(deletion.page.find("<!---Image1---!>"), std::string::npos);
    EXPECT_TRUE(CheckPage(deletion.page).empty());
}

TEST(DeleteArea, ANameHeldTwiceInsideTakesOneDeclarationForEachBlock) {
    // Image1 stands twice in area 1 and is declared twice; Text1 once in each
    // place but declared once; the lists lose as many entries as went.
    const std::string page = test::PageWith(
        "<!---Table1---!><!---Image1---!><!---Image1---!><!---Text1---!><!---Table2---!>",
        test::TableArea(1, "<!---Begin_Image1---!>a<!---End_Image1---!>"
                           "<!---Begin_Text1---!>t<!---End_Text1---!>"
                           "<!---Begin_Image1---!>b<!---End_Image1---!>"
                           "<!---Begin_Text1---!>u<!---End_Text1---!>") +
            test::TableArea(2));
    const AreaDeletion deletion = DeletedAreaText(page, 1);
    EXPECT_EQ(deletion.page, test::PageWith("<!---Table2---!>", test::TableArea(2)));
    EXPECT_EQ(deletion.component_entries,
              (std::vector<std::string>{"Image1", "Text String1", "Image1"}));

    // Through the workspace both lists lose every entry that went, each once.
    QTemporaryDir dir;
    const std::string path = dir.filePath("index.html").toStdString();
    WritePageFile(path, page);
    Workspace workspace;
    OpenPage(workspace, path);
    ASSERT_EQ(workspace.component_list.entries.size(), 3u);
    workspace.area_list.text = "Area1";
    DeleteArea(workspace);
    EXPECT_TRUE(workspace.component_list.entries.empty());
    EXPECT_EQ(workspace.area_list.entries, std::vector<std::string>{"Area2"});
    EXPECT_EQ(ReadPageFile(path), deletion.page);
}

class AreaWorkspace : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.filePath("index.html").toStdString();
        WritePageFile(
            path_, test::PageWith("<!---Table1---!><!---Table2---!><!---Image1---!>",
                                  test::TableArea(1) + test::CellArea(2, "<!---Begin_Image1---!>x"
                                                                         "<!---End_Image1---!>")));
        OpenPage(workspace_, path_);
    }
    QTemporaryDir dir_;
    std::string path_;
    Workspace workspace_;
};

TEST_F(AreaWorkspace, ModifyAndDeleteWriteTheFileAndKeepTheListsTrue) {
    workspace_.area_list.text = "Area1";
    ModifyArea(workspace_, {.height = 33});
    EXPECT_EQ(ReadPageFile(path_), workspace_.page_text);
    EXPECT_EQ(ReadArea(workspace_.page_text, 1).fields.height, 33);
    EXPECT_EQ(workspace_.area_list.text, "Area1");

    workspace_.area_list.text = "Area2";
    workspace_.component_list.text = "Image1";
    const AreaDeletion deletion = DeleteArea(workspace_);
    EXPECT_EQ(deletion.component_entries, std::vector<std::string>{"Image1"});
    EXPECT_EQ(ReadPageFile(path_), workspace_.page_text);
    EXPECT_EQ(workspace_.area_list.entries, std::vector<std::string>{"Area1"});
    EXPECT_TRUE(workspace_.component_list.entries.empty());
    EXPECT_EQ(workspace_.area_list.text, "Select Area");
    EXPECT_EQ(workspace_.component_list.text, "Select Component");
    EXPECT_TRUE(CheckPage(workspace_.page_text).empty());

    // Each edit is one step of the page's history, named after what it did.
    const std::string after_delete = workspace_.page_text;
    EXPECT_EQ(UndoPageChange(workspace_), "Delete Area2");
    EXPECT_NE(workspace_.page_text.find("<!---Begin_Image1---!>"), std::string::npos);
    EXPECT_EQ(workspace_.component_list.entries, std::vector<std::string>{"Image1"});
    EXPECT_EQ(RedoPageChange(workspace_), "Delete Area2");
    EXPECT_EQ(workspace_.page_text, after_delete);

    // Refusals change neither the file nor the text.
    const std::string before = workspace_.page_text;
    EXPECT_EQ(Refusal([&] { DeleteArea(workspace_); }), "Please Select an Area");
    workspace_.area_list.text = "Area2";
    EXPECT_EQ(Refusal([&] { ModifyArea(workspace_, {.width = 1}); }), "Area2 is not on this page");
    EXPECT_EQ(workspace_.page_text, before);
    EXPECT_EQ(ReadPageFile(path_), before);
}

} // namespace
} // namespace qf
