#include "document/page_check.h"
#include "test_pages.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

using test::CellArea;
using test::PageWith;
using test::TableArea;
using Problems = std::vector<std::string>;

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

TEST(PageCheck, KeptRowOfADeletedAreaIsNotAFault) {
    std::string area = TableArea(417);
    area.replace(area.find("</td></table>"), 13, "</td>" + CellArea(2) + "</table>");
    EXPECT_EQ(CheckPage(PageWith("<!---Table2---!>", area)), Problems{});
}

} // namespace
} // namespace qf
