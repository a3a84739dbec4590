#include "document/markers.h"
#include "document/page_text.h"
#include "error.h"
#include "test_pages.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

using test::CellArea;
using test::PageWith;
using test::TableArea;

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(DeclarationWalk, FreshLayoutHasNoDeclarations) {
    const std::string page = PageWith("");
    EXPECT_EQ(DeclarationBlockText(page), "<!---declare_begin---!><!---////---!>");
    EXPECT_TRUE(DeclarationNames(page).empty());
    EXPECT_EQ(NextDesignerAreaNumber(page), 1);
}

TEST(DeclarationWalk, LongNamesDoNotHideTheDeclarationsAfterThem) {
    const std::string page = PageWith("<!---Table1---!><!---Table2---!><!---Bullet_Item_List1---!>"
                                      "<!---Table3---!><!---Superscript12---!><!---Table13---!>");
    EXPECT_EQ(DeclarationNames(page),
              (std::vector<std::string>{"Table1", "Table2", "Bullet_Item_List1", "Table3",
                                        "Superscript12", "Table13"}));
}

TEST(DeclarationWalk, PageWithoutBlockGivesNothing) {
    EXPECT_TRUE(DeclarationBlockText("<html><body>hi</body></html>").empty());
    EXPECT_TRUE(DeclarationNames("<html><body>hi</body></html>").empty());
    // An end before the begin is no block either.
    EXPECT_TRUE(
        DeclarationNames("<!---declare_end---!><!---Image1---!><!---declare_begin---!>").empty());
}

TEST(DeclarationWalk, CountsWithoutOverlapsInAnyText) {
    EXPECT_EQ(CountOccurrences("aaaa", "aa"), 2u);
    EXPECT_EQ(CountOccurrences("ab", "abc"), 0u);
    // A page without a declaration block counts in an empty text (no data).
    EXPECT_EQ(CountOccurrences(std::string_view(), "<!---Image"), 0u);
    EXPECT_EQ(NextInstanceNumber("<html><body>hi</body></html>", "Image"), 1);
}

TEST(InstanceNumbers, PrefixCountIncludesLongerTags) {
    EXPECT_EQ(NextInstanceNumber(PageWith("<!---Text1---!><!---Text_Link1---!><!---TextArea1---!>"),
                                 "Text"),
              4);
    EXPECT_EQ(NextInstanceNumber(PageWith("<!---Image_Button1---!>"), "Image"), 2);
    EXPECT_EQ(NextInstanceNumber(PageWith("<!---Table1---!>"), "Image"), 1);
}

TEST(InstanceNumbers, NumberStillInUseIsSkipped) {
    // Image1 was deleted: counting gives 2 again, which Image2 still holds.
    const std::string page = PageWith("<!---Table1---!><!---Image2---!>",
                                      TableArea(1, "<!---Begin_Image2---!>x<!---End_Image2---!>"));
    EXPECT_EQ(NextInstanceNumber(page, "Image"), 3);
    // A block without its declaration also holds its name.
    const std::string orphan =
        PageWith("<!---Table1---!>", TableArea(1, "<!---Begin_Hr1---!><hr><!---End_Hr1---!>"));
    EXPECT_EQ(NextInstanceNumber(orphan, "Hr"), 2);
}

TEST(InstanceNumbers, RefusedPast999) {
    const std::string full = PageWith(Repeat("<!---Image_Button1---!>", 999));
    EXPECT_THROW(NextInstanceNumber(full, "Image"), CommandError);
    std::string last_free = PageWith(Repeat("<!---Hr0---!>", 998));
    EXPECT_EQ(NextInstanceNumber(last_free, "Hr"), 999);
    last_free += "<!---Begin_Hr999---!>";
    try {
        NextInstanceNumber(last_free, "Hr");
        FAIL() << "number 1000 was handed out";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("999"), std::string::npos);
    }
}

TEST(InstanceNumbers, DesignerCountsDigitRunsAndSkipsUsedNumbers) {
    EXPECT_EQ(NextDesignerAreaNumber(PageWith("<!---Table1---!><!---Table2---!>")), 3);
    // Area 2 of 1 to 3 deleted: the count gives 3, which is still in use.
    EXPECT_EQ(NextDesignerAreaNumber(
                  PageWith("<!---Table1---!><!---Table3---!>", TableArea(1) + TableArea(3))),
              4);
}

TEST(InstanceNumbers, PlatformCountsTablesAndSkipsUsedNumbers) {
    EXPECT_EQ(NextPlatformAreaNumbers(
                  PageWith("<!---Table1---!><!---Table2---!><!---Data_Table1---!>"), 2),
              (std::vector<int>{4, 5}));
    // A text numbered with two digits counts as well.
    EXPECT_EQ(NextPlatformAreaNumbers(PageWith("<!---Table1---!><!---Text12---!>"), 1),
              (std::vector<int>{3}));
    // Table2 deleted: the count is 2, but Table3 is in use.
    EXPECT_EQ(NextPlatformAreaNumbers(PageWith("<!---Table1---!><!---Table3---!>"), 3),
              (std::vector<int>{4, 5, 6}));
    EXPECT_THROW(NextPlatformAreaNumbers(PageWith(Repeat("<!---Table0---!>", 998)), 2),
                 CommandError);
}

TEST(InstanceNumbers, OnlyExactMarkerNamesHoldANumber) {
    // Undeclared end markers hold 1 to 998: the last free number is found.
    std::string ends;
    for (int i = 1; i <= 998; ++i) {
        ends += "<!---End_Hr" + std::to_string(i) + "---!>";
    }
    EXPECT_EQ(NextInstanceNumber(PageWith("", ends), "Hr"), 999);
    EXPECT_THROW(NextInstanceNumber(PageWith("", ends + "<!---Hr999---!>"), "Hr"), CommandError);
    // Leading zeros, extra characters and longer numbers are other names.
    const std::string others =
        "<!---End_Hr01---!><!---Hr1 ---!><!---Begin_Hr1x---!><!---End_Hr00002---!><!---Hr_1---!>";
    EXPECT_EQ(NextInstanceNumber(PageWith("", others), "Hr"), 1);
    EXPECT_EQ(NextInstanceNumber(PageWith("", others + "<!---End_Hr1---!><!---Hr2---!>"), "Hr"), 3);
    // A marker that starts inside the text of another one still counts.
    EXPECT_EQ(NextInstanceNumber(PageWith("", "<!---Begin_<!---Hr1---!>"), "Hr"), 2);
    EXPECT_EQ(NextDesignerAreaNumber(PageWith("", "<!---<!---Begin_Table1---!>")), 2);
}

TEST(Declarations, AddGoesBeforeTheSeparatorAndRemoveTakesTheFirstExactName) {
    std::string page = PageWith("<!---Table1---!>");
    AddDeclaration(page, "Image1");
    AddDeclaration(page, "Table12");
    EXPECT_EQ(DeclarationNames(page), (std::vector<std::string>{"Table1", "Image1", "Table12"}));
    EXPECT_TRUE(RemoveDeclaration(page, "Table1"));
    EXPECT_EQ(DeclarationNames(page), (std::vector<std::string>{"Image1", "Table12"}));
    EXPECT_FALSE(RemoveDeclaration(page, "Table1"));
}

TEST(Declarations, AddRefusedWithoutSeparator) {
    std::string page = "<html><body>plain</body></html>";
    const std::string before = page;
    EXPECT_THROW(AddDeclaration(page, "Image1"), CommandError);
    EXPECT_EQ(page, before);
}

TEST(AreaInsertPoint, TableShapeGoesBehindExistingComponents) {
    const std::string page = test::WorkedExamplePage();
    const std::size_t point = AreaInsertPoint(page, 1);
    EXPECT_EQ(page.substr(point), "</td></table><!---End_Table1---!></html>");
    EXPECT_EQ(page.substr(point - 20, 20), "<!---End_Image1---!>");
}

TEST(AreaInsertPoint, CellShapeGoesBeforeItsClosingCell) {
    const std::string page =
        PageWith("<!---Table1---!><!---Table2---!>", TableArea(1, CellArea(2, "<b>x</b>")));
    const std::size_t point = AreaInsertPoint(page, 2);
    EXPECT_EQ(page.substr(point - 8, 8), "<b>x</b>");
    EXPECT_EQ(page.substr(point, 25), "</td><!---End_Table2---!>");
}

TEST(AreaInsertPoint, AreaOneIsNotConfusedWithAreaTwelve) {
    // Area 1's cell holds a platform with areas 12 and 13: the end marker of
    // area 12 stands before that of area 1.
    const std::string platform = "<table><tr>" + CellArea(12) + CellArea(13) + "</tr></table>";
    const std::string page =
        PageWith("<!---Table1---!><!---Table12---!><!---Table13---!>", TableArea(1, platform));
    std::size_t point = AreaInsertPoint(page, 1);
    EXPECT_EQ(page.substr(point), "</td></table><!---End_Table1---!></html>");
    EXPECT_EQ(page.substr(point - 13, 13), "</tr></table>");
    point = AreaInsertPoint(page, 12);
    EXPECT_EQ(page.substr(point, 26), "</td><!---End_Table12---!>");
}

TEST(AreaInsertPoint, AreaWithAdjacentCellsGetsContentInItsOwnCell) {
    // The designer's row: area 1's cell, then adjacent areas 2 and 3, then </table>.
    std::string area = TableArea(1, "<!---Begin_Image1---!><img><!---End_Image1---!>");
    const std::string tail = "</td></table><!---End_Table1---!>";
    area.replace(area.size() - tail.size(), tail.size(),
                 "</td>" + CellArea(2) + CellArea(3) + "</table><!---End_Table1---!>");
    const std::string page =
        PageWith("<!---Table1---!><!---Table2---!><!---Table3---!><!---Image1---!>", area);
    const std::size_t point = AreaInsertPoint(page, 1);
    EXPECT_EQ(page.substr(point - 20, 20), "<!---End_Image1---!>");
    EXPECT_EQ(page.substr(point, 22), "</td><!---Begin_Table2");
    // The adjacent areas keep their own cells.
    EXPECT_EQ(page.substr(AreaInsertPoint(page, 3), 25), "</td><!---End_Table3---!>");
}

TEST(AreaInsertPoint, LongRowsOfAdjacentCells) {
    std::string cells;
    std::string declarations = "<!---Table1---!>";
    for (int i = 2; i <= 400; ++i) {
        cells += CellArea(i);
        declarations += "<!---Table" + std::to_string(i) + "---!>";
    }
    std::string area = TableArea(1);
    const std::string tail = "</td></table><!---End_Table1---!>";
    area.replace(area.size() - tail.size(), tail.size(),
                 "</td>" + cells + "</table><!---End_Table1---!>");
    const std::string page = PageWith(declarations, area);
    EXPECT_EQ(page.substr(AreaInsertPoint(page, 1), 22), "</td><!---Begin_Table2");
    // A second start marker of an adjacent area further on does not matter.
    std::string repeated = page;
    repeated.insert(repeated.rfind("</html>"), "<!---Begin_Table2---!>");
    EXPECT_EQ(repeated.substr(AreaInsertPoint(repeated, 1), 22), "</td><!---Begin_Table2");
    // When an adjacent area's first start marker stands before the row, the
    // row's cell cannot be found.
    std::string stray = page;
    stray.insert(stray.find("<!---Begin_Table1---!>"), "<!---Begin_Table200---!>");
    EXPECT_THROW(AreaInsertPoint(stray, 1), CommandError);
}

TEST(AreaInsertPoint, RefusedWhenTheAreaIsMissingOrHasNoCell) {
    const std::string page = test::WorkedExamplePage();
    try {
        AreaInsertPoint(page, 7);
        FAIL() << "no refusal";
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), "Area7 is not on this page");
    }
    const std::string odd =
        PageWith("<!---Table1---!>", "<!---Begin_Table1---!><p>no cell</p><!---End_Table1---!>");
    EXPECT_THROW(AreaInsertPoint(odd, 1), CommandError);
    // Only an end marker, no start marker.
    EXPECT_THROW(AreaInsertPoint(PageWith("", "</td><!---End_Table4---!>"), 4), CommandError);
}

TEST(FindBlock, FindsBothMarkersByTheirCompleteText) {
    const std::string page = test::WorkedExamplePage();
    const BlockPosition image = FindBlock(page, "Image1");
    ASSERT_TRUE(image.found());
    EXPECT_EQ(page.substr(image.content_begin, image.end - image.content_begin).substr(0, 20),
              "<img src=\"logo.gif\" ");
    const std::string whole = page.substr(image.begin, image.block_end - image.begin);
    EXPECT_EQ(whole.substr(0, 22), "<!---Begin_Image1---!>");
    EXPECT_EQ(whole.substr(whole.size() - 20), "<!---End_Image1---!>");
    const BlockPosition missing = FindBlock(page, "Image11");
    EXPECT_FALSE(missing.found());
    EXPECT_EQ(missing.begin, kNotFound);
    EXPECT_EQ(missing.end, kNotFound);
}

} // namespace
} // namespace qf
