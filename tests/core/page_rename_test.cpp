// Renaming a page rewrites every link to it, on every page, and leaves the
// old address sending visitors on.

#include "document/page_file.h"
#include "error.h"
#include "render/render_site.h"
#include "site/page_rename.h"
#include "site/site_settings.h"
#include "test_pages.h"
#include "workspace/page_guard.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(PageRename, EveryKindOfLinkIsRewrittenAndNothingElse) {
    const std::string from = "Opening Hours.html";
    const std::string to = "opening-hours.html";
    struct Case {
        std::string before;
        std::string after;
    };
    for (const Case& c : std::vector<Case>{
             {"<a href=\"Opening Hours.html\">", "<a href=\"opening-hours.html\">"},
             {"<a href=\"Opening%20Hours.html#when\">", "<a href=\"opening-hours.html#when\">"},
             {"<a href='./Opening%20Hours.html?x=1'>", "<a href='./opening-hours.html?x=1'>"},
             {"<frame src=\"Opening Hours.html\">", "<frame src=\"opening-hours.html\">"},
             {"<form action=Opening%20Hours.html method=post>",
              "<form action=opening-hours.html method=post>"},
             {"content='3; url=Opening%20Hours.html'>", "content='3; url=opening-hours.html'>"},
             // Names that only contain it, and the text visitors read, stay.
             {"<a href=\"old/Opening Hours.html\">", "<a href=\"old/Opening Hours.html\">"},
             {"<a href=\"Late Opening Hours.html\">", "<a href=\"Late Opening Hours.html\">"},
             {"<a href=\"Opening Hours.htmlx\">", "<a href=\"Opening Hours.htmlx\">"},
             {"See Opening Hours.html today", "See Opening Hours.html today"},
         }) {
        int count = -1;
        EXPECT_EQ(WithLinksRenamed(c.before, from, to, &count), c.after) << c.before;
        EXPECT_EQ(count, c.before == c.after ? 0 : 1) << c.before;
    }
}

class PageRenameSite : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    std::string project_ = dir_.path().toStdString() + "/";
    Workspace workspace_;

    std::string Linking(const std::string& target) {
        return test::PageWith(
            "<!---Table1---!><!---Text_Link1---!>",
            test::TableArea(1, test::Block("Text_Link1", "<a href=\"" + target + "\">go</a>")));
    }
    void SetUp() override {
        WritePageFile(project_ + "index.html", Linking("about.html"));
        WritePageFile(project_ + "about.html", Linking("about.html#top"));
        WritePageFile(project_ + "contact.html", Linking("index.html"));
        workspace_.project_folder = project_;
        OpenPage(workspace_, project_ + "about.html");
    }
};

TEST_F(PageRenameSite, LinksFollowTheOpenPageStaysOpenAndTheOldAddressForwards) {
    const PageRenamePlan plan = PlanPageRename(project_, "about.html", "About Us");
    EXPECT_EQ(plan.to, "About Us.html");
    EXPECT_EQ(plan.pages, (std::vector<std::string>{"about.html", "index.html"}));
    const PageRenameReport report = RenamePage(workspace_, plan);
    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(report.links, 2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(project_ + "about.html")));
    EXPECT_EQ(ReadPageFile(project_ + "index.html"), Linking("About%20Us.html"));
    EXPECT_EQ(ReadPageFile(project_ + "About Us.html"), Linking("About%20Us.html#top"));
    EXPECT_EQ(ReadPageFile(project_ + "contact.html"), Linking("index.html"));
    // The open page is the renamed one, with its text and an undo step.
    EXPECT_EQ(workspace_.page_name, "About Us.html");
    EXPECT_EQ(workspace_.page_text, Linking("About%20Us.html#top"));
    EXPECT_EQ(OpenPageHistory(workspace_).UndoName(), "Rename Links to About Us.html");

    // The published site keeps the old address, out of the sitemap.
    SiteSettings settings = ReadSiteSettings(project_);
    settings.address = "https://bakery.example/";
    WriteSiteSettings(project_, settings);
    QTemporaryDir elsewhere;
    const std::string out = elsewhere.filePath("out").toStdString();
    render::ExportSite(project_, out);
    const std::string forward = test::ReadBytes(out + "/about.html");
    EXPECT_NE(forward.find("url=About%20Us.html\""), std::string::npos) << forward;
    EXPECT_NE(forward.find("<a href=\"About%20Us.html\">About Us.html</a>"), std::string::npos);
    EXPECT_EQ(test::ReadBytes(out + "/sitemap.xml").find("about.html"), std::string::npos);

    // Renamed again: the first old name forwards to the newest.
    RenamePage(workspace_, PlanPageRename(project_, "About Us.html", "team"));
    EXPECT_EQ(ReadSiteSettings(project_).moved,
              (std::vector<std::pair<std::string, std::string>>{{"about.html", "team.html"},
                                                                {"About Us.html", "team.html"}}));
    EXPECT_EQ(ReadPageFile(project_ + "index.html"), Linking("team.html"));
}

TEST_F(PageRenameSite, RefusalsChangeNothingAndAPageThatCannotBeWrittenIsNamed) {
    for (const auto& [page, name] :
         std::vector<std::pair<std::string, std::string>>{{"gone.html", "x"},
                                                          {"about.html", "contact"},
                                                          {"about.html", "a/b"},
                                                          {"about.html", ""},
                                                          {"about.html", "about.html"},
                                                          {"about.html", ".hidden"}}) {
        EXPECT_THROW(PlanPageRename(project_, page, name), CommandError) << page << " " << name;
    }
    EXPECT_EQ(ReadPageFile(project_ + "about.html"), Linking("about.html#top"));
    // A page that links to it but cannot be written (a folder where its lock
    // file goes): named, and the others written all the same.
    WritePageFile(project_ + "team.html", Linking("index.html"));
    const PageRenamePlan plan = PlanPageRename(project_, "index.html", "home");
    EXPECT_EQ(plan.pages, (std::vector<std::string>{"contact.html", "team.html"}));
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(PageLockPath(project_ + "contact.html"))));
    const PageRenameReport report = RenamePage(workspace_, plan);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].rfind("contact.html: ", 0), 0u) << report.failed[0];
    EXPECT_TRUE(QFile::exists(QString::fromStdString(project_ + "home.html")));
    EXPECT_EQ(ReadPageFile(project_ + "team.html"), Linking("home.html"));
    EXPECT_EQ(ReadPageFile(project_ + "contact.html"), Linking("index.html"));
}

} // namespace
} // namespace qf
