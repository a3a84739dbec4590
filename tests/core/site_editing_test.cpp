// Changes to several pages at once: one undo step across pages, and Find and
// Replace in Site, which changes only what visitors read.

#include "check/site_check.h"
#include "components/component_fields.h"
#include "components/insertion.h"
#include "components/page_properties.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/shared_markers.h"
#include "error.h"
#include "site/page_rename.h"
#include "site/shared_parts.h"
#include "site/site_menu.h"
#include "site/site_replace.h"
#include "site/site_settings.h"
#include "test_pages.h"
#include "workspace/area_content.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/page_guard.h"
#include "workspace/site_change.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

class SiteEditing : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    std::string project_ = dir_.path().toStdString() + "/";
    Workspace workspace_;

    static std::string TextPage(const std::string& title, const FieldValues& text) {
        std::string page = test::PageWith(
            "<!---Table1---!><!---Text1---!>",
            test::TableArea(1, test::Block("Text1", BuildComponentBody("Text", text))));
        const std::size_t from = page.find("<title>") + 7;
        return page.replace(from, page.find("</title>") - from, title);
    }
    std::string Read(const std::string& page) { return ReadPageFile(project_ + page); }
    void SetUp() override {
        workspace_.project_folder = project_;
        for (const char* page : {"a.html", "b.html", "c.html"}) {
            WritePageFile(project_ + page, TextPage("", {{"text", "old"}}));
        }
        OpenPage(workspace_, project_ + "a.html");
    }
    static std::string Upper(const std::string&, const std::string& text) {
        std::string changed = text;
        changed.replace(changed.find(">old<") + 1, 3, "NEW");
        return changed;
    }
};

TEST_F(SiteEditing, OneUndoStepTakesAChangeBackOnEveryPageAndFailuresAreNamed) {
    const std::string before = Read("b.html");
    // c.html cannot be written (a folder where its lock goes): named, the
    // others written.
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(PageLockPath(project_ + "c.html"))));
    SiteChangeReport report =
        ChangeSitePages(workspace_, {"b.html", "c.html", "gone.html"}, "Step", Upper);
    EXPECT_EQ(report.written, std::vector<std::string>{"b.html"});
    ASSERT_EQ(report.failed.size(), 2u);
    EXPECT_EQ(report.failed[0].rfind("c.html: ", 0), 0u) << report.failed[0];
    EXPECT_EQ(report.failed[1].rfind("gone.html: ", 0), 0u) << report.failed[1];
    EXPECT_NE(Read("b.html").find(">NEW<"), std::string::npos);
    // The open page was not changed, yet holds the step: Undo there takes
    // it back on b.html, and Redo does it again.
    EXPECT_EQ(UndoPageChange(workspace_), "Step");
    EXPECT_EQ(Read("b.html"), before);
    EXPECT_EQ(RedoPageChange(workspace_), "Step");
    EXPECT_NE(Read("b.html").find(">NEW<"), std::string::npos);

    // A change of the open page and another: Undo from the other page's
    // side (opened now) takes back both.
    ASSERT_TRUE(QDir().rmdir(QString::fromStdString(PageLockPath(project_ + "c.html"))));
    const std::string a_before = Read("a.html");
    const std::string c_before = Read("c.html");
    report = ChangeSitePages(workspace_, {"a.html", "c.html"}, "Both", Upper);
    EXPECT_TRUE(report.failed.empty());
    EXPECT_EQ(workspace_.page_text, Read("a.html"));
    OpenPage(workspace_, project_ + "c.html");
    EXPECT_EQ(UndoPageChange(workspace_), "Both");
    EXPECT_EQ(Read("a.html"), a_before);
    EXPECT_EQ(Read("c.html"), c_before);
    EXPECT_EQ(workspace_.page_text, c_before);

    // A page changed by another program since is not undone, and named; the
    // rest is.
    EXPECT_EQ(RedoPageChange(workspace_), "Both");
    const std::string outside = TextPage("", {{"text", "theirs"}});
    WritePageFile(project_ + "a.html", outside);
    try {
        UndoPageChange(workspace_);
        ADD_FAILURE() << "a page changed outside was undone";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("a.html: "), std::string::npos) << error.what();
    }
    EXPECT_EQ(Read("a.html"), outside);
    EXPECT_EQ(Read("c.html"), c_before);
}

TEST_F(SiteEditing, ReplaceChangesWhatVisitorsReadNeverMarkup) {
    WritePageFile(
        project_ + "a.html",
        TextPage("Acme Shop", {{"text", "<b class=\"acme\">Acme</b> &acme; acmes ACME"}}));
    WritePageFile(project_ + "b.html", TextPage("Caf\xC3\xA9 acme", {{"text", "Caf\xC3\xA9"}}));
    // A component changed by hand is not searched, and said so.
    std::string by_hand = TextPage("", {{"text", "acme"}});
    by_hand.replace(by_hand.find(">acme<"), 1, " id=x>");
    WritePageFile(project_ + "c.html", by_hand);

    FindOptions whole;
    whole.whole_words = true;
    SiteSearch search = FindInSite(project_, "acme", whole);
    ASSERT_EQ(search.matches.size(), 4u);
    EXPECT_EQ(search.matches[0].component, "Title");
    EXPECT_EQ(search.matches[1].component, "Text String1");
    EXPECT_EQ(search.matches[1].found, "Acme");
    EXPECT_EQ(search.matches[2].found, "ACME");
    EXPECT_EQ(search.matches[3].page, "b.html");
    ASSERT_EQ(search.skipped.size(), 1u);
    EXPECT_EQ(search.skipped[0], "c.html: Text String1 was changed by hand and is not searched");
    FindOptions exact;
    exact.match_case = true;
    EXPECT_EQ(FindInSite(project_, "ACME", exact).matches.size(), 1u);
    // Letters outside ASCII match in either case.
    EXPECT_EQ(FindInSite(project_, "CAF\xC3\x89", FindOptions()).matches.size(), 2u);
    EXPECT_THROW(FindInSite(project_, "", FindOptions()), CommandError);

    // The title and the last text match only: the rest stays as it was.
    OpenPage(workspace_, project_ + "b.html");
    const std::vector<SiteMatch> chosen{search.matches[0], search.matches[2]};
    const SiteReplaceReport report = ReplaceInSite(workspace_, "acme", "<Zed & Co>", whole, chosen);
    EXPECT_EQ(report.replaced, 2);
    EXPECT_EQ(report.pages.written, std::vector<std::string>{"a.html"});
    const std::string page = Read("a.html");
    const ComponentReading reading = ReadComponent(page, "Text String1");
    ASSERT_TRUE(reading.readable) << reading.reason;
    EXPECT_EQ(reading.Values().at("text"),
              "<b class=\"acme\">Acme</b> &acme; acmes &lt;Zed &amp; Co>");
    EXPECT_NE(page.find("<title><Zed & Co> Shop</title>"), std::string::npos) << page;
    EXPECT_EQ(CheckPage(page), std::vector<std::string>());
    // Matches no longer there are counted, not replaced elsewhere.
    const SiteReplaceReport again = ReplaceInSite(workspace_, "acme", "x", whole, chosen);
    EXPECT_EQ(again.replaced, 0);
    EXPECT_EQ(again.gone, 2);
    // One undo step, from the open page, takes it back.
    EXPECT_EQ(UndoPageChange(workspace_), "Replace in Site");
    EXPECT_NE(Read("a.html").find("<title>Acme Shop</title>"), std::string::npos);
}

// Sharing an area shares its own components, each a part, in one step; a
// platform's areas inside it keep theirs.
TEST_F(SiteEditing, AnAreasComponentsAreSharedTogetherInOneStep) {
    std::string page = TextPage("", {{"text", "one"}});
    AddComponent(page, "Hr", BuildComponentBody("Hr", {}), 1);
    const std::vector<int> platform = AddPlatform(page, 1, 2, 100, 20);
    AddComponent(page, "Text", BuildComponentBody("Text", {{"text", "inner"}}), platform[0]);
    WritePageFile(project_ + "area.html", page);
    OpenPage(workspace_, project_ + "area.html");
    // A name taken by one of the parts refuses all and changes nothing.
    WriteSharedPart(project_, {"Top 2", "Text", "x"});
    EXPECT_THROW(ShareAreaComponents(workspace_, "Area1", "Top"), CommandError);
    EXPECT_EQ(Read("area.html"), page);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(SharedPartPath(project_, "Top 1"))));

    EXPECT_EQ(ShareAreaComponents(workspace_, "Area1", "Head"),
              (std::vector<std::string>{"Head 1", "Head 2"}));
    EXPECT_EQ(ReadSharedPart(project_, "Head 1").kind_tag, "Text");
    EXPECT_EQ(ReadSharedPart(project_, "Head 2").kind_tag, "Hr");
    EXPECT_EQ(SharedPartOfEntry(workspace_, "Text String1"), "Head 1");
    EXPECT_EQ(SharedPartOfEntry(workspace_, "Text String2"), "");
    // Nothing is left to share there; an area that is none is refused.
    EXPECT_THROW(ShareAreaComponents(workspace_, "Area1", "Again"), CommandError);
    EXPECT_THROW(ShareAreaComponents(workspace_, "Area9", "Other"), CommandError);
    // One undo step takes both back.
    EXPECT_EQ(UndoPageChange(workspace_), "Share Area1");
    EXPECT_EQ(workspace_.page_text, page);
}

TEST_F(SiteEditing, ASharedPartIsChangedOnEveryPageAndUndoneWithItsFile) {
    const auto body = [this](const std::string& page) {
        const std::string text = Read(page);
        const std::vector<SharedCopy> copies = SharedCopies(text, "Foot er");
        return copies.size() == 1
                   ? text.substr(copies[0].body_begin, copies[0].body_end - copies[0].body_begin)
                   : std::string("copies: ") + std::to_string(copies.size());
    };
    for (const char* bad : {"", "a/b", ".x", "a--b", " a", "x\n", "<!--"}) {
        EXPECT_THROW(ShareComponent(workspace_, "Text String1", bad), CommandError) << bad;
    }
    ShareComponent(workspace_, "Text String1", "Foot er");
    EXPECT_THROW(ShareComponent(workspace_, "Text String1", "Other"), CommandError);
    const std::string old_body = body("a.html");
    EXPECT_EQ(ReadSharedPart(project_, "Foot er").body, old_body);
    for (const char* page : {"b.html", "c.html"}) {
        OpenPage(workspace_, project_ + page);
        workspace_.area_list.text = "Area1";
        EXPECT_EQ(PlaceSharedPart(workspace_, "Foot er"), "Text String2");
    }
    EXPECT_EQ(PagesSharing(project_, "Foot er"),
              (std::vector<std::string>{"a.html", "b.html", "c.html"}));

    // Changed from c.html while b.html cannot be written: b.html is named,
    // the others and the part take the change.
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(PageLockPath(project_ + "b.html"))));
    const SiteChangeReport report =
        ModifySharedComponent(workspace_, "Text String2", {{"text", "new"}}, true);
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].rfind("b.html: ", 0), 0u) << report.failed[0];
    const std::string new_body = ReadSharedPart(project_, "Foot er").body;
    EXPECT_NE(new_body, old_body);
    EXPECT_EQ(body("a.html"), new_body);
    EXPECT_EQ(body("c.html"), new_body);
    EXPECT_EQ(body("b.html"), old_body);
    ASSERT_TRUE(QDir().rmdir(QString::fromStdString(PageLockPath(project_ + "b.html"))));
    // Check Site names the copy that differs; Use the Shared Part mends it.
    const auto differing = [this] {
        std::vector<std::string> pages;
        for (const Finding& finding : CheckSite(project_).findings) {
            if (finding.message.find("differs from the shared part \"Foot er\"") !=
                std::string::npos) {
                pages.push_back(finding.page + " " + finding.entry);
            }
        }
        return pages;
    };
    EXPECT_EQ(differing(), std::vector<std::string>{"b.html Text String2"});
    EXPECT_TRUE(UseSharedPart(workspace_, "b.html", "Text2").failed.empty());
    EXPECT_EQ(body("b.html"), new_body);
    EXPECT_TRUE(differing().empty());

    // Undo, from the page the change was made on, takes back the last
    // change to several pages wherever it was made, then the one before,
    // on the pages and in the part's file; Redo does it again.
    OpenPage(workspace_, project_ + "c.html");
    EXPECT_EQ(UndoPageChange(workspace_), "Use the Shared Part Foot er");
    EXPECT_EQ(differing(), std::vector<std::string>{"b.html Text String2"});
    EXPECT_EQ(UndoPageChange(workspace_), "Modify Shared Part Foot er");
    EXPECT_EQ(body("a.html"), old_body);
    EXPECT_EQ(body("c.html"), old_body);
    EXPECT_EQ(ReadSharedPart(project_, "Foot er").body, old_body);
    EXPECT_TRUE(differing().empty());
    EXPECT_EQ(RedoPageChange(workspace_), "Modify Shared Part Foot er");
    EXPECT_EQ(ReadSharedPart(project_, "Foot er").body, new_body);
    // Make This the Shared Part: b.html's copy becomes the part everywhere.
    EXPECT_TRUE(MakeThisTheSharedPart(workspace_, "b.html", "Text2").failed.empty());
    EXPECT_EQ(body("a.html"), old_body);
    EXPECT_EQ(body("c.html"), old_body);
    EXPECT_EQ(ReadSharedPart(project_, "Foot er").body, old_body);
    EXPECT_EQ(workspace_.page_text, Read("c.html"));

    // Changed on this page only: the copy is unshared in the same step;
    // deleting a copy takes its comments with it.
    ModifySharedComponent(workspace_, "Text String2", {{"text", "mine"}}, false);
    EXPECT_EQ(SharedPartOfEntry(workspace_, "Text String2"), "");
    EXPECT_EQ(PagesSharing(project_, "Foot er"), (std::vector<std::string>{"a.html", "b.html"}));
    OpenPage(workspace_, project_ + "b.html");
    workspace_.component_list.text = "Text String2";
    DeleteComponent(workspace_);
    EXPECT_EQ(Read("b.html").find("shared"), std::string::npos);
    OpenPage(workspace_, project_ + "a.html");
    UnshareComponent(workspace_, "Text String1");
    EXPECT_TRUE(PagesSharing(project_, "Foot er").empty());
    EXPECT_EQ(CheckPage(Read("a.html")), std::vector<std::string>());
}

TEST_F(SiteEditing, TheSiteMenuFollowsThePagesAndMarksEachPagesOwnLink) {
    SiteSettings settings;
    settings = WithSiteSetting(settings, "menu", "c.html\tContact & us");
    settings = WithSiteSetting(settings, "menu", "b.html\t\t1");
    WriteSiteSettings(project_, settings);
    const auto items = [this](const std::string& page) {
        return ReadComponent(Read(page), "Bullet Item List1").Values().at("items");
    };
    for (const char* page : {"a.html", "c.html"}) {
        OpenPage(workspace_, project_ + page);
        workspace_.area_list.text = "Area1";
        EXPECT_EQ(InsertSiteMenu(workspace_), "Bullet Item List1");
    }
    EXPECT_EQ(
        items("a.html"),
        "<a href=\"c.html\">Contact &amp; us</a>\n<a href=\"a.html\" aria-current=\"page\">a</a>");
    EXPECT_EQ(
        items("c.html"),
        "<a href=\"c.html\" aria-current=\"page\">Contact &amp; us</a>\n<a href=\"a.html\">a</a>");
    // A renamed page is renamed in every menu; Check Site finds every copy
    // as it should be.
    RenamePage(workspace_, PlanPageRename(project_, "a.html", "home"));
    EXPECT_EQ(items("c.html"), "<a href=\"c.html\" aria-current=\"page\">Contact &amp; us</a>\n"
                               "<a href=\"home.html\">home</a>");
    EXPECT_EQ(items("home.html"), "<a href=\"c.html\">Contact &amp; us</a>\n"
                                  "<a href=\"home.html\" aria-current=\"page\">home</a>");
    for (const Finding& finding : CheckSite(project_).findings) {
        EXPECT_EQ(finding.message.find("shared part"), std::string::npos) << finding.message;
    }
    // It is made from the pages: not changed by hand on all of them.
    workspace_.component_list.text = "Bullet Item List1";
    try {
        ModifySharedComponent(workspace_, "Bullet Item List1", {{"items", "x"}}, true);
        ADD_FAILURE() << "the site menu was changed by hand on every page";
    } catch (const CommandError& error) {
        EXPECT_EQ(error.what(), std::string(kMadeFromPagesMessage));
    }
    // A page shown again, refreshed as one step that Undo takes back.
    settings = ReadSiteSettings(project_);
    settings = WithSiteSetting(settings, "menu", "b.html\tBee");
    WriteSiteSettings(project_, settings);
    EXPECT_EQ(RefreshSiteMenu(workspace_).written,
              (std::vector<std::string>{"c.html", "home.html"}));
    EXPECT_NE(items("home.html").find("<a href=\"b.html\">Bee</a>"), std::string::npos);
    EXPECT_EQ(UndoPageChange(workspace_), "Update Site Menu");
    EXPECT_EQ(items("home.html").find("Bee"), std::string::npos);

    // A page hidden from search engines that the menu of a public page
    // links to is noted: they find it through the menu all the same.
    PageProperties hidden;
    hidden.hide_from_search = true;
    WritePageFile(project_ + "c.html", ApplyPageProperties(Read("c.html"), hidden));
    std::vector<std::string> noted;
    for (const Finding& finding : CheckSite(project_).findings) {
        if (finding.message.find("which is hidden from search engines") != std::string::npos) {
            noted.push_back(finding.page);
        }
    }
    EXPECT_EQ(noted, std::vector<std::string>{"c.html"});
}

} // namespace
} // namespace qf
