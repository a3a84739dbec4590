#include "components/page_properties.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "error.h"
#include "site/thank_you_page.h"
#include "workspace/layout_designer.h"
#include "workspace/layouts.h"
#include "workspace/new_page.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(NewPageName, AddsHtmlOnceAndRefusesEmptyNamesAndSlashes) {
    EXPECT_EQ(NewPageFileName("index"), "index.html");
    EXPECT_EQ(NewPageFileName("index.html"), "index.html");
    EXPECT_EQ(NewPageFileName("Index.HTML"), "Index.HTML");
    EXPECT_EQ(NewPageFileName("my page.htm"), "my page.htm.html");
    EXPECT_EQ(NewPageFileName("a.b"), "a.b.html");
    EXPECT_EQ(NewPageFileName("caf\xC3\xA9"), "caf\xC3\xA9.html");
    // A name starting with "." would be a hidden file; control characters
    // (ASCII, DEL and the C1 range) have no place in a file name.
    for (const char* bad : {"", "   ", ".html", "a/b", "/index", "sub/", ".hidden", "..x",
                            ".x.html", "a\tb", "a\nb", "x\r", "a\x7F", "a\xC2\x85"}) {
        EXPECT_THROW(NewPageFileName(bad), CommandError) << bad;
    }
    try {
        NewPageFileName("a/b");
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("\"/\""), std::string::npos) << error.what();
    }
}

TEST(NewPageBody, ColourImageOrOnlyMargins) {
    EXPECT_EQ(NewPageBodyAttributes("#ff0000", 5),
              " bgcolor=\"#ff0000\" topmargin=\"5\" leftmargin=\"5\"");
    EXPECT_EQ(NewPageBodyAttributes("/home/u/pics/sky.jpg", 0),
              " background=\"/home/u/pics/sky.jpg\" topmargin=\"0\" leftmargin=\"0\"");
    EXPECT_EQ(NewPageBodyAttributes("", 3), " topmargin=\"3\" leftmargin=\"3\"");
    EXPECT_EQ(NewPageBodyAttributes("", -2), " topmargin=\"-2\" leftmargin=\"-2\"");
}

TEST(NewPageText, PutsThePageAttributesInFrontOfTheLayoutsAndSetsTheTitle) {
    const std::string page = PageTextFromLayout(SeedLayout(), {"index", "Home", "#ff0000", 5});
    // The whole page the seed layout gives, byte for byte.
    EXPECT_EQ(page, "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html><head>"
                    "<title>Home</title></head><body bgcolor=\"#ff0000\" topmargin=\"5\" "
                    "leftmargin=\"5\" bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"0\">"
                    "<!---End_Body---!><!---declare_begin---!><!---////---!><!---declare_end---!>"
                    "</body></html>");
    EXPECT_NE(page.find("<title>Home</title>"), std::string::npos);
    EXPECT_NE(page.find("<body bgcolor=\"#ff0000\" topmargin=\"5\" leftmargin=\"5\" "
                        "bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"0\"><!---End_Body---!>"),
              std::string::npos)
        << page;
    // Nothing else of the layout changes.
    std::string back = page;
    back.erase(back.find(" bgcolor=\"#ff0000\""), NewPageBodyAttributes("#ff0000", 5).size());
    back.replace(back.find("Home"), 4, "Welcome to .....");
    EXPECT_EQ(back, SeedLayout());
}

TEST(NewPageText, AreasOfOldLayoutsGetSpacersThatTakeNoRoom) {
    // A layout saved before: its spacer one pixel wide, with the space
    // browsers leave beside a floated picture.
    const std::string layout =
        std::string(SeedLayout())
            .insert(SeedLayout().find("</html>"),
                    "<!---Begin_Table1---!><Table align=\"Left\" valign=\"Top\" "
                    "width=320 cellpadding=\"8\" cellspacing=\"0\"><td "
                    "bgcolor=\"#ffffff\" bordercolor=\"#000000\" width=320>"
                    "<img src=\"\" height=\"250\" width=\"1\" "
                    "align=\"left\"></td></table><!---End_Table1---!>");
    const std::string page = PageTextFromLayout(layout, {"index", "Home", "", 0});
    EXPECT_NE(page.find("width=320><img src=\"\" height=\"250\" width=\"0\" align=\"left\" "
                        "hspace=\"0\"></td></table>"),
              std::string::npos)
        << page;
}

TEST(NewPageText, TypedTextEntersAsAsciiAndCannotBreakThePage) {
    const std::string page =
        PageTextFromLayout(SeedLayout(), {"x", "Caf\xC3\xA9", "/pics/\"sky\".jpg", 0});
    EXPECT_NE(page.find("<title>Caf&#233;</title>"), std::string::npos);
    EXPECT_NE(page.find(" background=\"/pics/&quot;sky&quot;.jpg\""), std::string::npos);
    EXPECT_THROW(PageTextFromLayout(SeedLayout(), {"x", "a<!---declare_end---!>", "", 0}),
                 CommandError);
    EXPECT_THROW(PageTextFromLayout(SeedLayout(), {"x", "", "#fff---!>", 0}), CommandError);
    EXPECT_THROW(PageTextFromLayout("<html><title>t</title></html>", {"x", "", "", 0}),
                 CommandError);
    EXPECT_THROW(PageTextFromLayout("<html><body></body></html>", {"x", "", "", 0}), CommandError);
}

TEST(NewPageText, AHeaderCannotReachTheBodyTagOrEndTheTitle) {
    // "<body" in the header: the attributes still go into the real body tag.
    const std::string page = PageTextFromLayout(SeedLayout(), {"x", "a <body> b", "#ff0000", 1});
    EXPECT_NE(page.find("<title>a <body> b</title></head><body bgcolor=\"#ff0000\""),
              std::string::npos)
        << page;
    // A title whose layout holds "<body" in its head as well.
    std::string layout(SeedLayout());
    layout.replace(layout.find("Welcome"), 7, "<body");
    EXPECT_NE(PageTextFromLayout(layout, {"x", "T", "#ff0000", 1})
                  .find("</head><body bgcolor=\"#ff0000\""),
              std::string::npos);
    for (const char* bad : {"a</title>b", "a</TITLE", "x</Title >", "two\nlines", "cr\r"}) {
        EXPECT_THROW(PageTextFromLayout(SeedLayout(), {"x", bad, "", 0}), CommandError) << bad;
        EXPECT_THROW(CheckNewPageProperties({"x", bad, "", 0}), CommandError) << bad;
    }
    EXPECT_THROW(CheckNewPageProperties({"x", "", "a\nb", 0}), CommandError);
    EXPECT_THROW(CheckNewPageProperties({".x", "", "", 0}), CommandError);
    EXPECT_NO_THROW(CheckNewPageProperties({"x", "a </titl b", "#fff", 0}));
}

class NewPageProject : public ::testing::Test {
protected:
    void SetUp() override {
        workspace_.app_folder = app_dir_.path().toStdString() + "/";
        workspace_.project_folder = project_dir_.path().toStdString() + "/";
        QDir(app_dir_.path()).mkpath("lays");
        LayoutDesigner designer(1);
        designer.Commit({400, 100, 0, 0, "Left", "Top", "NONE", "NONE"});
        designer.Commit({200, 100, 0, 0, "", "", "NONE", "Table1"});
        designer.Commit({600, 50, 0, 0, "Left", "Top", "NONE", "NONE"});
        designer.Save(workspace_.app_folder);
    }
    std::string ProjectFile(const char* name) { return workspace_.project_folder + name; }
    QTemporaryDir app_dir_;
    QTemporaryDir project_dir_;
    Workspace workspace_;
};

TEST_F(NewPageProject, FinishWritesOpensAndListsThePage) {
    workspace_.area_list.text = "Area9";
    const std::string name =
        CreatePageFromLayout(workspace_, {"index", "Home", "#ff0000", 5}, 1, ExistingPage::Refuse);
    EXPECT_EQ(name, "index.html");
    EXPECT_EQ(workspace_.page_name, "index.html");
    EXPECT_EQ(workspace_.page_path, ProjectFile("index.html"));
    EXPECT_EQ(workspace_.page_header, "Home");
    EXPECT_EQ(ReadPageFile(ProjectFile("index.html")), workspace_.page_text);
    EXPECT_EQ(workspace_.area_list.entries, (std::vector<std::string>{"Area1", "Area2", "Area3"}));
    EXPECT_TRUE(workspace_.component_list.entries.empty());
    // A text the new page has no entry for goes back to the prompt.
    EXPECT_EQ(workspace_.area_list.text, "Select Area");
    EXPECT_TRUE(workspace_.palette_enabled);
    EXPECT_EQ(workspace_.pending.header, "Home");
    EXPECT_EQ(workspace_.pending.background, "#ff0000");
    EXPECT_EQ(workspace_.pending.border, 5);
    EXPECT_EQ(workspace_.pending.name, "index");
    EXPECT_GT(workspace_.page_file_size, 0);
}

TEST_F(NewPageProject, AnExistingPageIsReplacedOnlyWhenAsked) {
    WritePageFile(ProjectFile("about.html"), "mine");
    workspace_.page_name = "old.html";
    EXPECT_TRUE(NewPageExists(workspace_, "about"));
    EXPECT_TRUE(NewPageExists(workspace_, "about.html"));
    EXPECT_FALSE(NewPageExists(workspace_, "contact"));
    EXPECT_THROW(
        CreatePageFromLayout(workspace_, {"about", "About", "", 0}, 1, ExistingPage::Refuse),
        CommandError);
    EXPECT_EQ(ReadPageFile(ProjectFile("about.html")), "mine");
    EXPECT_EQ(workspace_.page_name, "old.html");
    CreatePageFromLayout(workspace_, {"about.html", "About", "", 0}, 1, ExistingPage::Replace);
    EXPECT_EQ(workspace_.page_name, "about.html");
    EXPECT_NE(ReadPageFile(ProjectFile("about.html")).find("<title>About</title>"),
              std::string::npos);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(ProjectFile("about.html.html"))));
}

TEST_F(NewPageProject, RefusalsChangeNothing) {
    Workspace before = workspace_;
    EXPECT_THROW(CreatePageFromLayout(workspace_, {"a", "", "", 0}, 2, ExistingPage::Refuse),
                 CommandError);
    EXPECT_THROW(CreatePageFromLayout(workspace_, {"", "", "", 0}, 1, ExistingPage::Refuse),
                 CommandError);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(ProjectFile("a.html"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(ProjectFile(".html"))));
    EXPECT_EQ(workspace_.page_name, before.page_name);
    Workspace no_project;
    no_project.app_folder = workspace_.app_folder;
    try {
        CreatePageFromLayout(no_project, {"a", "", "", 0}, 1, ExistingPage::Refuse);
        ADD_FAILURE() << "created a page without a project";
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), "Open or Create a new project first");
    }
}

TEST_F(NewPageProject, AThankYouPageIsMadeOnceKeptFromSearchAndLinksHome) {
    EXPECT_EQ(MakeThankYouPage(workspace_.project_folder, workspace_.app_folder), "thanks.html");
    const std::string made = ReadPageFile(ProjectFile("thanks.html"));
    EXPECT_NE(made.find("Thank you, your message has been sent"), std::string::npos) << made;
    EXPECT_NE(made.find("<a href=\"index.html\""), std::string::npos) << made;
    EXPECT_TRUE(PageHiddenFromSearch(made));
    EXPECT_TRUE(CheckPage(made).empty());
    // Made once: one the user changed is kept.
    WritePageFile(ProjectFile("thanks.html"), made + " ");
    EXPECT_EQ(MakeThankYouPage(workspace_.project_folder, workspace_.app_folder), "thanks.html");
    EXPECT_EQ(ReadPageFile(ProjectFile("thanks.html")), made + " ");
    // No layout: refused, nothing made.
    QTemporaryDir empty_app;
    QTemporaryDir other;
    EXPECT_THROW(
        MakeThankYouPage(other.path().toStdString() + "/", empty_app.path().toStdString() + "/"),
        CommandError);
    EXPECT_FALSE(QFile::exists(other.filePath("thanks.html")));
}

} // namespace
} // namespace qf
