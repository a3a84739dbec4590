#include "document/page_check.h"
#include "test_pages.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

using test::CellArea;
using test::PageWith;
using test::TableArea;
using Problems = std::vector<std::string>;

std::string Repeat(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(PageCheck, SoundPagesHaveNoProblems) {
    EXPECT_EQ(CheckPage(test::WorkedExamplePage()), Problems{});
    const std::string form = "<!---Begin_Form---!><form method=\"POST\" action=\"x\"><!---End_Form"
                             "---!>";
    std::string page = PageWith("<!---Table1---!><!---Form1---!>", TableArea(1));
    page.insert(page.find("<!---declare_begin"), form);
    EXPECT_EQ(CheckPage(page), Problems{});
}

TEST(PageCheck, ReportsEachKindOfFault) {
    EXPECT_EQ(CheckPage("<html><body></body></html>"), Problems{"no declaration block"});
    EXPECT_EQ(CheckPage(PageWith("<!---Table1---!><!---Image1---!>", TableArea(1))),
              Problems{"declaration Image1 has no block"});
    EXPECT_EQ(CheckPage(PageWith("", TableArea(2))), Problems{"block Table2 has no declaration"});
    EXPECT_EQ(CheckPage(PageWith("<!---Table1---!>", TableArea(1) + TableArea(1))),
              Problems{"marker name Table1 is used by 2 blocks"});
    EXPECT_EQ(CheckPage(PageWith("<!---Table1---!>", "<!---Begin_Table1---!><td>")),
              Problems{"start marker Begin_Table1 has no end marker"});
    EXPECT_EQ(CheckPage(PageWith("", "<td></td><!---End_Table3---!>")),
              Problems{"end marker End_Table3 has no start marker"});
}

TEST(PageCheck, DoubledEndMarkersOrderAndTheLongestMarkerWord) {
    // One start and two ends is a block used twice, as two starts are.
    EXPECT_EQ(CheckPage(PageWith("<!---Table1---!>", TableArea(1) + "<!---End_Table1---!>")),
              Problems{"marker name Table1 is used by 2 blocks"});
    EXPECT_EQ(
        CheckPage(PageWith("<!---Table1---!>", "<!---End_Table1---!>x<!---Begin_Table1---!>")),
        Problems{"end marker End_Table1 comes before its start marker"});
    // A marker word of 64 characters is a marker; one of 65 is none.
    const std::string name64 = "Begin_" + std::string(58, 'x'); // 64 in all
    ASSERT_EQ(name64.size(), 64u);
    EXPECT_EQ(CheckPage(PageWith("", "<!---" + name64 + "---!>")),
              Problems{"start marker " + name64 + " has no end marker"});
    const std::string name65 = "Begin_" + std::string(59, 'x');
    EXPECT_EQ(CheckPage(PageWith("", "<!---" + name65 + "---!>")), Problems{});
}

TEST(PageCheck, KeptRowOfADeletedAreaIsNotAFault) {
    std::string area = TableArea(417);
    area.replace(area.find("</td></table>"), 13, "</td>" + CellArea(2) + "</table>");
    EXPECT_EQ(CheckPage(PageWith("<!---Table2---!>", area)), Problems{});
}

TEST(PageCheck, ManyMarkerOpeningsBeforeOneClose) {
    // Only the last opening before the close makes a marker word.
    const std::string page =
        PageWith("<!---Table1---!>", TableArea(1) + Repeat("<!---", 3000) + "End_Table9---!>");
    EXPECT_EQ(CheckPage(page), Problems{"end marker End_Table9 has no start marker"});
    EXPECT_EQ(CheckPage(PageWith("<!---Table1---!>", TableArea(1) + Repeat("<!---", 3000))),
              Problems{});
}

TEST(PageCheck, KeptRowNeedsATableInsideTheDeletedArea) {
    // A table after the undeclared area's end does not make it a kept row.
    EXPECT_EQ(
        CheckPage(PageWith("<!---Table6---!>",
                           "<!---Begin_Table5---!><td></td><!---End_Table5---!>" + TableArea(6))),
        Problems{"block Table5 has no declaration"});
    // Nested undeclared areas, each around a table.
    std::string nested = TableArea(6);
    for (int i = 10; i < 200; ++i) {
        nested = "<!---Begin_Table" + std::to_string(i) + "---!>" + nested + "<!---End_Table" +
                 std::to_string(i) + "---!>";
    }
    EXPECT_EQ(CheckPage(PageWith("<!---Table6---!>", nested)), Problems{});
}

TEST(PageCheck, FindingsComeInTheOrderOfTheBlocksNamesWhateverTheirPlaces) {
    // Faults spread over the page out of name order; Text5 has two of its own.
    const std::string page = PageWith(
        "<!---Table1---!><!---Table9---!>",
        TableArea(1) + "<!---Begin_Text5---!>x" + TableArea(9) + "<!---Begin_Table2---!><td>" +
            "<!---Begin_Table2---!><td></td><!---End_Table2---!><!---End_Image3---!>");
    EXPECT_EQ(CheckPage(page), (Problems{"end marker End_Image3 has no start marker",
                                         "marker name Table2 is used by 2 blocks",
                                         "start marker Begin_Text5 has no end marker",
                                         "block Text5 has no declaration"}));
    // A declaration "Form1" declares the block Form, not a block Form1.
    std::string forms = PageWith("<!---Table1---!><!---Form1---!>",
                                 TableArea(1, "<!---Begin_Form1---!>f<!---End_Form1---!>"));
    EXPECT_EQ(CheckPage(forms), Problems{"declaration Form1 has no block"});
}

} // namespace
} // namespace qf
