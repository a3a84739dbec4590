#include "components/insertion.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/area_content.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

namespace qf {
namespace {

std::string PlatformArea(int m, int w, int h) {
    const std::string n = std::to_string(m);
    return "<!---Begin_Table" + n +
           "---!><Table align=\"left\" valign=\"top\" border=\"1\" bordercolor=\"#ffffff\" "
           "width=" +
           std::to_string(w) + " cellpadding=\"0\" cellspacing=\"0\"><td border=\"1\" " +
           "bordercolor=\"#000000\" bgcolor=\"#ffffff\" width=" + std::to_string(w) +
           "><img src=\"\" height=\"" + std::to_string(h) +
           "\" width=\"0\" align=\"left\" hspace=\"0\"></td></table><!---End_Table" + n + "---!>";
}

TEST(Platform, DeclaresInReverseAndPutsTheRowAtTheEndOfTheCell) {
    std::string page =
        test::PageWith("<!---Table1---!><!---Image1---!>",
                       test::TableArea(1, "<!---Begin_Image1---!>i<!---End_Image1---!>"));
    EXPECT_EQ(AddPlatform(page, 1, 2, 150, 40), (std::vector<int>{2, 3}));
    const std::string platform = "<Table width=\"300\" cellpadding=\"0\" cellspacing=\"0\" "
                                 "border=\"0\"><tr>" +
                                 PlatformArea(2, 150, 40) + PlatformArea(3, 150, 40) +
                                 "</tr></table>";
    EXPECT_EQ(page,
              test::PageWith(
                  "<!---Table1---!><!---Image1---!><!---Table3---!><!---Table2---!>",
                  test::TableArea(1, "<!---Begin_Image1---!>i<!---End_Image1---!>" + platform)));
    EXPECT_TRUE(CheckPage(page).empty());

    // Insertion afterwards: into the outer area behind the platform, into a
    // platform area inside its own cell.
    AddComponent(page, "Hr", "<hr>", 1);
    EXPECT_NE(page.find("</tr></table><!---Begin_Hr1---!><hr><!---End_Hr1---!></td></table>"
                        "<!---End_Table1---!>"),
              std::string::npos);
    AddComponent(page, "Hr", "<hr3>", 3);
    EXPECT_NE(page.find("hspace=\"0\"><!---Begin_Hr2---!><hr3><!---End_Hr2---!>"
                        "</td></table><!---End_Table3---!>"),
              std::string::npos);

    // A platform inside a platform's area.
    EXPECT_EQ(AddPlatform(page, 3, 3, 10, 5), (std::vector<int>{4, 5, 6}));
    const std::size_t inner = page.find("<Table width=\"30\"");
    EXPECT_GT(inner, page.find("<!---Begin_Table3---!>"));
    EXPECT_LT(inner, page.find("<!---End_Table3---!>"));
    EXPECT_TRUE(CheckPage(page).empty());
    AddComponent(page, "Hr", "<in5>", 5);
    EXPECT_NE(page.find("<!---Begin_Hr3---!><in5><!---End_Hr3---!></td></table><!---End_Table5"),
              std::string::npos);
}

TEST(PictureSizes, AWidePictureIsOfferedAtTheAreasWidthInProportion) {
    const std::string page = test::PageWith("<!---Table1---!>", PlatformArea(1, 400, 40));
    EXPECT_EQ(OfferedPictureSize(page, 1, {3000, 2000}), (PictureSize{400, 267}));
    EXPECT_EQ(OfferedPictureSize(page, 1, {400, 50}), (PictureSize{400, 50}));
    EXPECT_EQ(OfferedPictureSize(page, 1, {300, 200}), (PictureSize{300, 200}));
    EXPECT_EQ(OfferedPictureSize(page, 7, {3000, 2000}), (PictureSize{3000, 2000})); // no area 7
    EXPECT_EQ(OfferedPictureSize(page, 1, {0, 0}), (PictureSize{0, 0}));
    // Linked width and height: rounded, never 0 for a real width, never past int.
    EXPECT_EQ(ProportionalWidth({3000, 2000}, 200), 300);
    EXPECT_EQ(ProportionalHeight({3000, 1}, 10), 1);
    EXPECT_EQ(ProportionalHeight({0, 2}, 10), 0);
    EXPECT_EQ(ProportionalHeight({3, 2}, 0), 0);
    EXPECT_EQ(ProportionalHeight({1, 2000000000}, 2000000000), std::numeric_limits<int>::max());
}

TEST(Platform, NumbersFollowTheCountAndSkipNumbersInUse) {
    // Areas 1 to 3 and a data table: the count is four, the first area 5.
    std::string page =
        test::PageWith("<!---Table1---!><!---Table2---!><!---Table3---!><!---Data_Table1---!>",
                       test::TableArea(1) + test::TableArea(2) + test::TableArea(3) +
                           "<!---Begin_Data_Table1---!><!---End_Data_Table1---!>");
    EXPECT_EQ(AddPlatform(page, 2, 2, 0, 0), (std::vector<int>{5, 6}));

    // After area 2 of 1 to 3 went, the count gives 3, which area 3 still has.
    page =
        test::PageWith("<!---Table1---!><!---Table3---!>", test::TableArea(1) + test::TableArea(3));
    EXPECT_EQ(AddPlatform(page, 1, 2, 0, 0), (std::vector<int>{4, 5}));
    EXPECT_TRUE(CheckPage(page).empty());
}

TEST(Platform, RefusalsChangeNothing) {
    std::string page = test::PageWith("<!---Table1---!>", test::TableArea(1));
    const std::string before = page;
    EXPECT_THROW(AddPlatform(page, 1, 1, 10, 10), CommandError);
    EXPECT_THROW(AddPlatform(page, 1, 21, 10, 10), CommandError);
    EXPECT_THROW(AddPlatform(page, 2, 2, 10, 10), CommandError);
    EXPECT_NO_THROW(AddPlatform(page = before, 1, 20, -3, 0));
    // Numbers would pass 999: refused before anything changes.
    page = test::PageWith("<!---Table1---!><!---Table998---!>",
                          test::TableArea(1) + test::TableArea(998));
    EXPECT_EQ(AddPlatform(page, 1, 2, 1, 1), (std::vector<int>{3, 4}));
    std::string declarations;
    for (int n = 1; n <= 998; ++n) {
        declarations += "<!---Table" + std::to_string(n) + "---!>";
    }
    page = test::PageWith(declarations, test::TableArea(1));
    const std::string full = page;
    try {
        AddPlatform(page, 1, 2, 1, 1);
        ADD_FAILURE() << "a platform past 999 was accepted";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("999"), std::string::npos);
    }
    EXPECT_EQ(page, full);
    // The page without a declaration block cannot take one.
    page = "<html><body>" + test::TableArea(1) + "</body></html>";
    const std::string bare = page;
    EXPECT_THROW(AddPlatform(page, 1, 2, 1, 1), CommandError);
    EXPECT_EQ(page, bare);
}

class ContentWorkspace : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.filePath("index.html").toStdString();
        WritePageFile(path_, test::PageWith("<!---Table1---!><!---Table2---!>",
                                            test::TableArea(1) + test::CellArea(2)));
        OpenPage(workspace_, path_);
        workspace_.area_list.text = "Area2";
    }
    std::string Message(const std::function<void()>& command) {
        const std::string before = workspace_.page_text;
        const std::string message = test::Refusal(command);
        EXPECT_EQ(workspace_.page_text, before);
        EXPECT_EQ(ReadPageFile(path_), before);
        return message;
    }
    QTemporaryDir dir_;
    std::string path_;
    Workspace workspace_;
};

TEST_F(ContentWorkspace, LineBreaksAndCodeGoAtTheEndOfTheCellWithoutMarkers) {
    InsertLineBreak(workspace_);
    InsertLineBreak(workspace_);
    InsertHtml(workspace_, "<p class=\"x\">\r\nCaf\xC3\xA9\n</p>");
    EXPECT_EQ(workspace_.page_text,
              test::PageWith("<!---Table1---!><!---Table2---!>",
                             test::TableArea(1) + test::CellArea(2, "<br><br><p class=\"x\">"
                                                                    "\rCaf&#233;\r</p>")));
    EXPECT_EQ(ReadPageFile(path_), workspace_.page_text);
    EXPECT_TRUE(workspace_.component_list.entries.empty());
    EXPECT_EQ(workspace_.area_list.entries, (std::vector<std::string>{"Area1", "Area2"}));

    EXPECT_EQ(Message([&] { InsertHtml(workspace_, "a<!---End_Table2---!>"); }),
              "The HTML code may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(Message([&] { InsertHtml(workspace_, "a---!>"); }),
              "The HTML code may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(Message([&] { InsertHtml(workspace_, "\xFF"); }),
              "The HTML code: the text is not valid UTF-8");
    workspace_.area_list.text = "Select Area";
    EXPECT_EQ(Message([&] { InsertLineBreak(workspace_); }), "Your Must Select an Area!");
    EXPECT_EQ(Message([&] { InsertHtml(workspace_, "x"); }), "Your Must Select an Area!");
    EXPECT_EQ(Message([&] { InsertPlatform(workspace_, 2, 1, 1); }), "Your Must Select an Area!");
    workspace_.area_list.text = "Area9";
    EXPECT_EQ(Message([&] { InsertLineBreak(workspace_); }), "Area9 is not on this page");
}

// Kept as a component, the same code is listed, read back as typed for
// Modify, and deleted on its own.
TEST_F(ContentWorkspace, CodeKeptAsAComponentIsListedReadBackAndDeletedAlone) {
    InsertLineBreak(workspace_);
    const std::string code = "<p class=\"x\">\r\nCaf\xC3\xA9\n</p>";
    EXPECT_EQ(InsertHtmlComponent(workspace_, code), "HTML Code1");
    EXPECT_NE(workspace_.page_text.find("<br><!---Begin_Html_Code1---!><p class=\"x\">\rCaf&#233;\r"
                                        "</p><!---End_Html_Code1---!>"),
              std::string::npos)
        << workspace_.page_text;
    EXPECT_EQ(workspace_.component_list.entries, std::vector<std::string>{"HTML Code1"});
    const ComponentReading reading = ReadComponent(workspace_.page_text, "HTML Code1");
    ASSERT_TRUE(reading.readable) << reading.reason;
    EXPECT_EQ(reading.Values().at("code"), "<p class=\"x\">\nCaf\xC3\xA9\n</p>");
    EXPECT_EQ(Message([&] { InsertHtmlComponent(workspace_, "a---!>"); }),
              "The HTML code may not contain \"<!---\" or \"---!>\"");
    workspace_.component_list.text = "HTML Code1";
    DeleteComponent(workspace_);
    EXPECT_EQ(workspace_.page_text.find("Html_Code"), std::string::npos);
    EXPECT_NE(workspace_.page_text.find("<br>"), std::string::npos);
}

TEST_F(ContentWorkspace, APlatformAppendsItsAreasToSelectArea) {
    EXPECT_EQ(InsertPlatform(workspace_, 3, 20, 30),
              (std::vector<std::string>{"Area3", "Area4", "Area5"}));
    EXPECT_EQ(workspace_.area_list.entries,
              (std::vector<std::string>{"Area1", "Area2", "Area3", "Area4", "Area5"}));
    EXPECT_EQ(ReadPageFile(path_), workspace_.page_text);
    EXPECT_NE(workspace_.page_text.find("<Table width=\"60\""), std::string::npos);
    EXPECT_EQ(Message([&] { InsertPlatform(workspace_, 21, 1, 1); }),
              "Adjacent Tables must be from 2 to 20, not 21.");
}

} // namespace
} // namespace qf
