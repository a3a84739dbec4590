#include "components/builders.h"
#include "components/component_fields.h"
#include "components/custom_tables.h"
#include "components/insertion.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::ErrorOf;

const std::string kHead = "<table width=\"0\" Cellpadding=\"0\" Cellspacing=\"0\" border=\"0\" "
                          "bordercolor=\"#000000\">";

// One cell of a data table whose spins are all 0 and whose colour is empty.
std::string Cell(const std::string& background, const std::string& text) {
    return "<td" + background +
           " Cellpadding=\"0\" Cellspacing=\"0\"><font color=\"\" bordercolor=\"#000000\">" + text +
           "</td>";
}

TEST(DataTable, DefaultTableAndTheTwoCellExample) {
    EXPECT_EQ(BuildComponentBody("Data_Table", {}),
              kHead + "<tr>" + Cell(" background=\"\"", "") + "</tr></table>");
    EXPECT_EQ(BuildComponentBody("Data_Table", {{"cols", "2"},
                                                {"cell.1.1", "a"},
                                                {"cell.1.2", "b"},
                                                {"bgcolor", "1"},
                                                {"background", "#FFFFFF"}}),
              kHead + "<tr>" + Cell(" bgcolor=\"#FFFFFF\"", "a") +
                  Cell(" bgcolor=\"#FFFFFF\"", "b") + "</tr></table>");
}

TEST(DataTable, GridOrderStylesSpinsAndBackgroundPicture) {
    FieldValues values{{"rows", "2"}, {"cols", "3"}};
    for (int row = 1; row <= 2; ++row) {
        for (int column = 1; column <= 3; ++column) {
            values["cell." + std::to_string(row) + "." + std::to_string(column)] =
                std::to_string(row) + std::to_string(column);
        }
    }
    const std::string none = " background=\"\"";
    EXPECT_EQ(BuildComponentBody("Data_Table", values),
              kHead + "<tr>" + Cell(none, "11") + Cell(none, "12") + Cell(none, "13") + "</tr>" +
                  "<tr>" + Cell(none, "21") + Cell(none, "22") + Cell(none, "23") +
                  "</tr></table>");

    // All four styles nest bold, underline, italic, strike; the table's
    // spacing is repeated in every cell; a picture background.
    EXPECT_EQ(BuildComponentBody("Data_Table", {{"bold", "1"},
                                                {"italic", "1"},
                                                {"underline", "1"},
                                                {"strikeout", "1"},
                                                {"width", "400"},
                                                {"padding", "2"},
                                                {"spacing", "-3"},
                                                {"border", "1"},
                                                {"color", "#FF8000"},
                                                {"size", "4"},
                                                {"background", "C:/Pics/tile.gif"},
                                                {"cell.1.1", "x"}}),
              "<table width=\"400\" Cellpadding=\"2\" Cellspacing=\"-3\" border=\"1\" "
              "bordercolor=\"#000000\"><tr><td background=\"C:/Pics/tile.gif\" Cellpadding=\"2\" "
              "Cellspacing=\"-3\"><font color=\"#FF8000\" size=\"4\" bordercolor=\"#000000\">"
              "<b><u><i><strike>x</strike></i></u></b></td></tr></table>");
}

TEST(DataTable, CountsBelowOneGiveOneAndAboveAHundredAreRefused) {
    const std::string one_cell = kHead + "<tr>" + Cell(" background=\"\"", "") + "</tr></table>";
    EXPECT_EQ(BuildComponentBody("Data_Table", {{"rows", "0"}, {"cols", "-4"}}), one_cell);
    EXPECT_EQ(BuildComponentBody("Data_Table", {{"rows", "-2147483648"}}), one_cell);
    const std::string big = BuildComponentBody("Data_Table", {{"rows", "100"}, {"cols", "100"}});
    EXPECT_EQ(CountOccurrences(big, "<td"), 10000u);
    EXPECT_EQ(ErrorOf("Data_Table", {{"rows", "101"}}), "A data table can have at most 100 rows.");
    EXPECT_EQ(ErrorOf("Data_Table", {{"cols", "10000"}}),
              "A data table can have at most 100 columns.");
}

TEST(DataTable, CellTextsAreElementContentCheckedLikeAnyText) {
    // Markup and quotes as typed; characters outside ASCII as references.
    EXPECT_NE(BuildComponentBody("Data_Table", {{"cell.1.1", "<b>\"5 \xE2\x82\xAC\"</b>"}})
                  .find("#000000\"><b>\"5 &#8364;\"</b></td>"),
              std::string::npos);
    EXPECT_EQ(ErrorOf("Data_Table", {{"cell.1.1", "a<!---b"}}),
              "Cell 1.1 (cell.1.1) may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(ErrorOf("Data_Table", {{"cell.1.1", "two\nlines"}}),
              "Cell 1.1 (cell.1.1) must be a single line");
    EXPECT_EQ(ErrorOf("Data_Table", {{"cell.2.1", "x"}}),
              "The cell cell.2.1 lies outside the grid of 1 row(s) and 1 column(s).");
    // Columns are bounded as rows are: one past the last column is refused.
    EXPECT_EQ(ErrorOf("Data_Table", {{"cols", "2"}, {"cell.1.3", "x"}}),
              "The cell cell.1.3 lies outside the grid of 1 row(s) and 2 column(s).");
    EXPECT_NE(BuildComponentBody("Data_Table", {{"cols", "2"}, {"cell.1.2", "x"}}).find(">x</"),
              std::string::npos);
    for (const char* name :
         {"cell.0.1", "cell.01.1", "cell.1", "cell.1.1.1", "cell.a.b", "cell."}) {
        EXPECT_EQ(ErrorOf("Data_Table", {{name, "x"}}),
                  "'" + std::string(name) + "' is not a field of Data_Table")
            << name;
    }
    // A cell is no field of a kind without a grid.
    EXPECT_EQ(ErrorOf("Image", {{"cell.1.1", "x"}}), "'cell.1.1' is not a field of Image");
    EXPECT_EQ(ErrorOf("Data_Table", {{"bgcolor", "yes"}}),
              "Cell Background: Color (else Image) (bgcolor) must be 0 or 1");
}

TEST(Frame, ProjectPageUrlAndFlags) {
    EXPECT_EQ(BuildComponentBody("Frame", {{"src", "about.html"},
                                           {"width", "400"},
                                           {"height", "300"},
                                           {"align", "Center"},
                                           {"noscroll", "1"}}),
              "<iframe src=\"about.html\" align=\"Center\" width=\"400\" height=\"300\" "
              "Frameborder=\"yes\" scrolling=\"no\"></iframe>");
    EXPECT_EQ(BuildComponentBody("Frame", {{"noborder", "1"}, {"src", "http://x.org/?a=\"1\""}}),
              "<iframe src=\"http://x.org/?a=&quot;1&quot;\" align=\"\" Frameborder=\"no\" "
              "scrolling=\"yes\"></iframe>");
    EXPECT_NE(
        BuildComponentBody("Frame", {{"height", "90"}}).find("align=\"\" height=\"90\" Frame"),
        std::string::npos);
}

TEST(Multimedia, SoundVideoFlashAndShockwave) {
    EXPECT_EQ(BuildComponentBody("Bgsound", {{"src", "tune.mid"}}),
              "<embed src=\"tune.mid\" autostart=\"true\" hidden=\"true\" loop=\"0\"><bgsound "
              "src=\"tune.mid\" loop=\"infinite\">");
    EXPECT_EQ(BuildComponentBody(
                  "Video",
                  {{"src", "clip.avi"}, {"width", "320"}, {"height", "240"}, {"autostart", "1"}}),
              "<embed src=\"clip.avi\" autostart=\"true\" width=\"320\" height=\"240\">");
    EXPECT_EQ(BuildComponentBody("Video", {{"src", "http://"}}),
              "<embed src=\"http://\" autostart=\"false\">");
    const std::string flash = BuildComponentBody("Flash", {{"src", "intro.swf"}});
    EXPECT_EQ(flash, "<object classid=\"clsid:d27cdb6e-ae6d-11cf-96b8-444553540000\" codebase=\"" +
                         std::string(builders::kFlashCabinetAddress) +
                         "\"><param name=\"src\" value=\"intro.swf\"><embed "
                         "src=\"intro.swf\" pluginspage=\"" +
                         std::string(builders::kPluginDownloadPage) +
                         "\" type=\"application/x-shockwave-flash\"></embed>"
                         "</object>");
    // The Shockwave object differs in its class id and cabinet only.
    std::string shock = BuildComponentBody("Shock", {{"src", "intro.swf"}});
    shock.replace(shock.find("166b1bca-3f9c-11cf-8075-444553540000"), 36,
                  "d27cdb6e-ae6d-11cf-96b8-444553540000");
    shock.replace(shock.find(builders::kShockwaveCabinetAddress),
                  builders::kShockwaveCabinetAddress.size(), builders::kFlashCabinetAddress);
    EXPECT_EQ(shock, flash);
    const std::string sized =
        BuildComponentBody("Flash", {{"src", "a.swf"}, {"width", "550"}, {"height", "400"}});
    EXPECT_NE(sized.find("swflash.cab#3,0,0,0\" width=\"550\" height=\"400\"><param"),
              std::string::npos);
    EXPECT_NE(sized.find("-flash\" width=\"550\" height=\"400\"></embed>"), std::string::npos);
    // The vendor's addresses keep their fixed paths.
    EXPECT_TRUE(builders::kFlashCabinetAddress.starts_with("http://"));
    EXPECT_TRUE(
        builders::kFlashCabinetAddress.ends_with("/pub/shockwave/cabs/flash/swflash.cab#3,0,0,0"));
    EXPECT_TRUE(
        builders::kShockwaveCabinetAddress.ends_with("/director/cabs/sw.cab#version=6,0,1,0"));
    EXPECT_TRUE(builders::kPluginDownloadPage.ends_with("/shockwave/download/"));
}

// A workspace whose application folder holds custom tables and whose open
// page has two areas.
class TablesMediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app_.isValid() && project_.isValid());
        workspace_.app_folder = app_.path().toStdString() + "/";
        QDir(app_.path()).mkpath("custom");
        WritePageFile(PagePath(), test::PageWith("<!---Table1---!><!---Table2---!>",
                                                 test::TableArea(1) + test::TableArea(2)));
        OpenPage(workspace_, PagePath());
        workspace_.area_list.text = "Area2";
    }
    std::string PagePath() const { return project_.filePath("index.html").toStdString(); }
    void PutTable(int number, const std::string& bytes) {
        QFile file(QString::fromStdString(CustomTablePath(workspace_.app_folder, number)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), qint64(bytes.size()));
    }
    std::string Refusal(std::string_view kind, const FieldValues& values) {
        const std::string before = workspace_.page_text;
        try {
            InsertComponent(workspace_, kind, values);
        } catch (const CommandError& error) {
            EXPECT_EQ(workspace_.page_text, before);
            EXPECT_EQ(ReadPageFile(PagePath()), before);
            return error.what();
        }
        return "(no error)";
    }

    QTemporaryDir app_;
    QTemporaryDir project_;
    Workspace workspace_;
};

TEST_F(TablesMediaTest, SoundsGoBeforeTheDeclarationBlockWhateverAreaIsSelected) {
    const std::string body = BuildComponentBody("Bgsound", {{"src", "tune.mid"}});
    for (const char* area : {"Area2", "Area1", "Area77", "A"}) {
        workspace_.area_list.text = area;
        InsertComponent(workspace_, "Bgsound", {{"src", "tune.mid"}});
    }
    EXPECT_EQ(workspace_.component_list.entries,
              (std::vector<std::string>{"Back Ground Sound1", "Back Ground Sound2",
                                        "Back Ground Sound3", "Back Ground Sound4"}));
    // Newest last, directly before the declaration block; the areas untouched.
    const std::string blocks = "<!---Begin_Bgsound1---!>" + body + "<!---End_Bgsound1---!>" +
                               "<!---Begin_Bgsound2---!>" + body + "<!---End_Bgsound2---!>" +
                               "<!---Begin_Bgsound3---!>" + body + "<!---End_Bgsound3---!>" +
                               "<!---Begin_Bgsound4---!>" + body + "<!---End_Bgsound4---!>";
    EXPECT_EQ(workspace_.page_text,
              test::PageWith("<!---Table1---!><!---Table2---!><!---Bgsound1---!>"
                             "<!---Bgsound2---!><!---Bgsound3---!><!---Bgsound4---!>",
                             test::TableArea(1) + test::TableArea(2))
                  .insert(std::string_view("<html><head><title>T</title></head><body><!---End_"
                                           "Body---!>")
                              .size(),
                          blocks));
    EXPECT_EQ(ReadPageFile(PagePath()), workspace_.page_text);

    // The palette's gate still holds, and a page without a declaration block
    // is refused unchanged.
    workspace_.area_list.text = "Select Area";
    EXPECT_EQ(Refusal("Bgsound", {}), "Your Must Select an Area!");
    std::string page = "<html><body><!---////---!></body></html>";
    EXPECT_THROW(AddComponentBeforeDeclarations(page, "Bgsound", "x"), CommandError);
    EXPECT_EQ(page, "<html><body><!---////---!></body></html>");
}

TEST_F(TablesMediaTest, AreaKindsGoToTheEndOfTheSelectedArea) {
    EXPECT_EQ(InsertComponent(workspace_, "Video", {{"src", "clip.avi"}}), "Video1");
    EXPECT_EQ(InsertComponent(workspace_, "Data_Table", {{"cell.1.1", "a"}}), "Data Table1");
    EXPECT_EQ(InsertComponent(workspace_, "Shock", {}), "Shockwave1");
    const std::size_t video = workspace_.page_text.find("<!---End_Video1---!>");
    const std::size_t table = workspace_.page_text.find("<!---Begin_Data_Table1---!><table");
    const std::size_t shock = workspace_.page_text.find("<!---End_Shock1---!></td></table>"
                                                        "<!---End_Table2---!>");
    EXPECT_TRUE(video < table && table < shock && shock != std::string::npos);
    EXPECT_EQ(Refusal("Data_Table", {{"rows", "101"}}), "A data table can have at most 100 rows.");
}

TEST_F(TablesMediaTest, CustomTablesByNumberJoinedAndUnchanged) {
    PutTable(1, "<table><tr><td>one</td></tr></table>\r\n");
    PutTable(3, "\r\n<table>\r\n<tr><td>caf\xC3\xA9</td>\n</tr></table>\r\n");
    PutTable(12, "<p>twelve</p>");
    QFile(QString::fromStdString(CustomFolder(workspace_.app_folder) + "notes.txt"))
        .open(QIODevice::WriteOnly);
    EXPECT_EQ(CustomTableNumbers(workspace_.app_folder), (std::vector<int>{1, 3, 12}));
    EXPECT_EQ(ReadCustomTable(workspace_.app_folder, 3),
              "<table><tr><td>caf\xC3\xA9</td></tr></table>");

    // table=0 (the default) takes the highest, the one the chooser opens on.
    EXPECT_EQ(InsertComponent(workspace_, "Custom_Table", {}), "Custom Table1");
    EXPECT_NE(workspace_.page_text.find("<!---Begin_Custom_Table1---!><p>twelve</p>"
                                        "<!---End_Custom_Table1---!></td></table>"),
              std::string::npos);
    EXPECT_EQ(InsertComponent(workspace_, "Custom_Table", {{"table", "3"}}), "Custom Table2");
    EXPECT_NE(workspace_.page_text.find("<!---Begin_Custom_Table2---!><table><tr><td>caf\xC3\xA9"),
              std::string::npos);

    const std::string folder = CustomFolder(workspace_.app_folder);
    EXPECT_EQ(Refusal("Custom_Table", {{"table", "2"}}),
              "There is no custom table 2 (\"" + folder + "2.html\" does not exist).");
    EXPECT_EQ(Refusal("Custom_Table", {{"table", "-1"}}),
              "Custom Table (table) must be between 0 and 2147483647");
    PutTable(4, "<table><!---Begin_Image1---!></table>");
    EXPECT_EQ(Refusal("Custom_Table", {{"table", "4"}}),
              "The custom table \"" + folder + "4.html\" may not contain \"<!---\" or \"---!>\"");
    // A file that cannot be read names the file and the reason.
    PutTable(5, "<table></table>");
    QFile::setPermissions(QString::fromStdString(folder + "5.html"), QFileDevice::Permissions());
    if (!QFile(QString::fromStdString(folder + "5.html")).open(QIODevice::ReadOnly)) {
        EXPECT_EQ(Refusal("Custom_Table", {{"table", "5"}})
                      .rfind("Cannot open file \"" + folder + "5.html\". ", 0),
                  0u);
    }
    QDir(QString::fromStdString(folder)).removeRecursively();
    EXPECT_EQ(Refusal("Custom_Table", {}), "There are no custom tables in \"" + folder + "\".");
}

TEST_F(TablesMediaTest, TheChooserOpensOnTheHighestAndHasNoLimit) {
    for (int i = 1; i <= 3; ++i) {
        PutTable(i, "<table></table>");
    }
    CustomTableChooser chooser;
    chooser.Scan(workspace_.app_folder);
    EXPECT_EQ(chooser.Current(), 3);
    EXPECT_FALSE(chooser.PreviousEnabled());
    chooser.Next();
    chooser.Next();
    EXPECT_EQ(chooser.Current(), 1);
    EXPECT_FALSE(chooser.NextEnabled());
    EXPECT_TRUE(chooser.PreviousEnabled());

    for (int i = 4; i <= 75; ++i) {
        PutTable(i, "<table></table>");
    }
    chooser.Scan(workspace_.app_folder);
    EXPECT_EQ(chooser.Numbers().size(), 75u);
    EXPECT_EQ(chooser.Current(), 75);
    EXPECT_EQ(chooser.Position(), 75u);
}

} // namespace
} // namespace qf
