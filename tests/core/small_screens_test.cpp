#include "check/site_check.h"
#include "components/page_properties.h"
#include "components/small_screens.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/new_page.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace qf {
namespace {

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// A page of two areas side by side in a 760 pixel table, as the shipped
// layouts make them, with a margin of 5 pixels.
std::string TwoColumnPage() {
    std::string page =
        test::PageWith("<!---Table1---!><!---Table2---!>",
                       "<!---Begin_Table1---!><Table align=\"Center\" valign=\"Top\" "
                       "width=760><td width=240>a</td>" +
                           test::CellArea(2, "b") + "</table><!---End_Table1---!>");
    page.insert(page.find("<body") + 5, " topmargin=\"5\" leftmargin=\"5\"");
    return page;
}

TEST(SmallScreens, OnPutsOneBlockIntoTheHeadAndOffGivesThePageBackByteForByte) {
    for (const std::string& original : {test::WorkedExamplePage(), TwoColumnPage()}) {
        EXPECT_FALSE(PageFitsSmallScreens(original));
        const std::string on = WithSmallScreenFit(original, true);
        EXPECT_TRUE(PageFitsSmallScreens(on));
        // The block stands right before the head's end tag, and it is all
        // that changed: every marker, area and component is where it was.
        const std::size_t start = on.find(kFitStartMarker);
        const std::size_t end = on.find(kFitEndMarker) + kFitEndMarker.size();
        ASSERT_NE(start, std::string::npos);
        EXPECT_EQ(on.compare(end, 7, "</head>"), 0);
        EXPECT_LT(on.find("</title>"), start);
        EXPECT_EQ(on.substr(0, start) + on.substr(end), original);
        EXPECT_EQ(Count(on, "<meta name=\"viewport\""), 1u);
        // On again leaves it as it is; off takes exactly the block away.
        EXPECT_EQ(WithSmallScreenFit(on, true), on);
        EXPECT_EQ(WithSmallScreenFit(on, false), original);
        EXPECT_EQ(WithSmallScreenFit(original, false), original);
        // The page's own readers see the same page.
        EXPECT_EQ(DeclarationNames(on), DeclarationNames(original));
        EXPECT_EQ(CheckPage(on), CheckPage(original));
        EXPECT_EQ(NextInstanceNumber(on, "Table"), NextInstanceNumber(original, "Table"));
    }
    EXPECT_TRUE(CheckPage(WithSmallScreenFit(TwoColumnPage(), true)).empty());
}

TEST(SmallScreens, CheckSiteFindsNothingNewOnAFittedPage) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    const std::string plain = test::WorkedExamplePage();
    WritePageFile(folder + "plain.html", plain);
    WritePageFile(folder + "fitted.html", WithSmallScreenFit(plain, true));
    auto findings = [&](const std::string& page) {
        std::vector<std::string> seen;
        for (const Finding& finding : CheckSitePage(folder, page)) {
            seen.push_back(std::to_string(int(finding.severity)) + " " + finding.entry + " " +
                           finding.message);
        }
        return seen;
    };
    const std::vector<std::string> before = findings("plain.html");
    EXPECT_FALSE(before.empty()); // the page format's note at least
    EXPECT_EQ(findings("fitted.html"), before);
}

TEST(SmallScreens, TheRulesApplyOnlyBelowTheWidthTheAreasNeed) {
    // The widest table or cell, with the body's left margin and the
    // browser's 8 pixels on the right.
    EXPECT_EQ(SmallScreenLimit(TwoColumnPage()), 760 + 5 + 8);
    const std::string on = WithSmallScreenFit(TwoColumnPage(), true);
    EXPECT_NE(on.find("@media (max-width:772.98px){"), std::string::npos) << on;
    // Only the area tables (those with a valign) have their cells put one
    // under the other; pictures are never made larger than they are.
    EXPECT_NE(on.find("table[valign]>tbody>tr>td{display:block"), std::string::npos);
    EXPECT_NE(on.find("img,video{max-width:100%;height:auto}"), std::string::npos);
    EXPECT_EQ(on.find("min-width"), std::string::npos);

    const std::string head = "<html><head><title>T</title></head>";
    const std::string end = "<!---End_Body---!></body></html>";
    // The first of two margins counts, as in a browser; marginwidth gives
    // both sides; percentages and other tags do not count.
    EXPECT_EQ(SmallScreenLimit(head + "<body leftmargin=20 leftmargin=0>" + end +
                               "<table width='500px'><tr><TD WIDTH=\"600\">"),
              600 + 20 + 8);
    EXPECT_EQ(SmallScreenLimit(head + "<body marginwidth=\"10\">" + end +
                               "<table width=\"100%\"><img width=\"2000\">"),
              20);
    EXPECT_EQ(SmallScreenLimit(head + "<body>" + end), 16);
    EXPECT_EQ(SmallScreenLimit(head + "<body>" + end + "<table width=99999999999999999999>"),
              100000);
    // A page whose areas grew is measured again when it is turned on again.
    std::string wider = on;
    wider.replace(wider.find("width=760"), 9, "width=900");
    const std::string measured = WithSmallScreenFit(wider, true);
    EXPECT_NE(measured.find("@media (max-width:912.98px){"), std::string::npos);
    EXPECT_EQ(Count(measured, std::string(kFitStartMarker)), 1u);
    std::string wider_page = TwoColumnPage();
    wider_page.replace(wider_page.find("width=760"), 9, "width=900");
    EXPECT_EQ(WithSmallScreenFit(measured, false), wider_page);
}

TEST(SmallScreens, DamagedMarkersAndAMissingHeadAreRefusedChangingNothing) {
    const std::string page = test::WorkedExamplePage();
    const std::string on = WithSmallScreenFit(page, true);
    const std::string start(kFitStartMarker);
    const std::string stop(kFitEndMarker);
    std::string lone_start = on;
    lone_start.erase(lone_start.find(stop), stop.size());
    std::string lone_end = on;
    lone_end.erase(lone_end.find(start), start.size());
    std::string swapped = page;
    swapped.insert(swapped.find("</head>"), stop + start);
    std::string twice = on;
    twice.insert(twice.find("</head>"), SmallScreenBlock(100));
    // Each damaged page, and whether the block still counts as there.
    const std::vector<std::pair<std::string, bool>> damaged_pages{
        {lone_start, false}, {lone_end, false}, {swapped, false}, {twice, true}};
    for (const auto& entry : damaged_pages) {
        const std::string& damaged = entry.first;
        for (const bool fit : {true, false}) {
            EXPECT_NE(test::Refusal([&] { WithSmallScreenFit(damaged, fit); }).find("damaged"),
                      std::string::npos)
                << damaged;
        }
        EXPECT_EQ(PageFitsSmallScreens(damaged), entry.second) << damaged;
    }
    EXPECT_NE(test::Refusal([] {
                  WithSmallScreenFit("<html><body><!---End_Body---!></body></html>", true);
              }).find("</head>"),
              std::string::npos);
    // Page Properties refuses as a whole.
    PageProperties properties;
    properties.heading = "New";
    properties.fit_small_screens = true;
    EXPECT_THROW(ApplyPageProperties(lone_start, properties), CommandError);
}

TEST(SmallScreens, PagePropertiesTurnsItOnAndOffAsOneStepThatUndoTakesBack) {
    PageProperties fit;
    fit.fit_small_screens = true;
    PageProperties keep;
    keep.heading = "Kept";
    const std::string page = test::WorkedExamplePage();
    const std::string on = ApplyPageProperties(page, fit);
    EXPECT_EQ(on, WithSmallScreenFit(page, true));
    // A change that does not name it keeps the block as it is.
    const std::string titled = ApplyPageProperties(on, keep);
    EXPECT_TRUE(PageFitsSmallScreens(titled));
    EXPECT_NE(titled.find("<title>Kept</title>" + SmallScreenBlock(SmallScreenLimit(page))),
              std::string::npos);

    QTemporaryDir dir;
    Workspace workspace;
    const std::string path = dir.filePath("p.html").toStdString();
    WritePageFile(path, page);
    OpenPage(workspace, path);
    SetPageProperties(workspace, fit);
    EXPECT_EQ(workspace.page_text, on);
    EXPECT_EQ(ReadPageFile(path), on);
    fit.fit_small_screens = false;
    SetPageProperties(workspace, fit);
    EXPECT_EQ(ReadPageFile(path), page);
    EXPECT_EQ(UndoPageChange(workspace), "Page Properties");
    EXPECT_EQ(ReadPageFile(path), on);
    EXPECT_EQ(UndoPageChange(workspace), "Page Properties");
    EXPECT_EQ(ReadPageFile(path), page);
    EXPECT_EQ(workspace.page_text, page);
    EXPECT_EQ(RedoPageChange(workspace), "Page Properties");
    EXPECT_EQ(ReadPageFile(path), on);
}

TEST(SmallScreens, NewPagesHaveTheBlockWhenAskedFor) {
    const std::string layout = "<html><head><title>x</title></head><body bgcolor=\"#FFFFFF\">"
                               "<!---End_Body---!><!---declare_begin---!><!---Table1---!>"
                               "<!---////---!><!---declare_end---!></body><!---Begin_Table1---!>"
                               "<Table valign=\"Top\" width=760><td width=760></td></table>"
                               "<!---End_Table1---!></html>";
    NewPageProperties properties;
    properties.name = "a";
    properties.border = 12;
    const std::string plain = PageTextFromLayout(layout, properties);
    EXPECT_FALSE(PageFitsSmallScreens(plain));
    properties.fit_small_screens = true;
    const std::string fitted = PageTextFromLayout(layout, properties);
    EXPECT_EQ(fitted, WithSmallScreenFit(plain, true));
    EXPECT_NE(fitted.find("(max-width:779.98px)"), std::string::npos) << fitted;
    EXPECT_EQ(WithSmallScreenFit(fitted, false), plain);
}

} // namespace
} // namespace qf
