#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "error.h"
#include "workspace/app_folder.h"
#include "workspace/layout_designer.h"
#include "workspace/layouts.h"
#include "workspace/new_page.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

class LaysFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = dir_.path().toStdString() + "/";
        QDir(dir_.path()).mkpath("lays");
    }
    void Put(const char* name, const std::string& text = "<html></html>") {
        WritePageFile(LaysFolder(app_) + name, text);
    }
    QTemporaryDir dir_;
    std::string app_;
};

TEST_F(LaysFolderTest, ListsNumberedFilesInNumericOrderWithGapsAndNoLimit) {
    for (int i = 1; i <= 60; ++i) {
        if (i != 7) {
            Put((std::to_string(i) + ".html").c_str());
        }
    }
    Put("notes.html");
    Put("07.html");
    Put("3.htm");
    Put("readme.txt");
    QDir(QString::fromStdString(LaysFolder(app_))).mkpath("99.html");
    const std::vector<int> numbers = LayoutNumbers(app_);
    ASSERT_EQ(numbers.size(), 59u);
    EXPECT_EQ(numbers.front(), 1);
    EXPECT_EQ(numbers[8], 10); // 10 after 9, not after 1
    EXPECT_EQ(numbers.back(), 60);
    EXPECT_EQ(std::find(numbers.begin(), numbers.end(), 7), numbers.end());
}

TEST_F(LaysFolderTest, SaveWritesTheHighestNumberPlusOneAndNeverOverwrites) {
    EXPECT_TRUE(LayoutNumbers(app_).empty());
    EXPECT_EQ(SaveLayout(app_, "first"), 1);
    Put("5.html", "five");
    EXPECT_EQ(SaveLayout(app_, "second"), 6);
    EXPECT_EQ(ReadLayout(app_, 5), "five");
    EXPECT_EQ(ReadLayout(app_, 6), "second");
    EXPECT_EQ(ReadLayout(app_, 1), "first");
    EXPECT_EQ(LayoutNumbers(app_), (std::vector<int>{1, 5, 6}));
    // No number is left behind the largest one: refused, and nothing written.
    Put("2147483647.html", "last");
    EXPECT_THROW(SaveLayout(app_, "third"), CommandError);
    EXPECT_EQ(LayoutNumbers(app_), (std::vector<int>{1, 5, 6, 2147483647}));
}

TEST_F(LaysFolderTest, MissingLayoutsAndFoldersAreReported) {
    EXPECT_THROW(ReadLayout(app_, 3), CommandError);
    EXPECT_THROW(ReadLayout(app_, 0), CommandError);
    const std::string nowhere = app_ + "missing/";
    EXPECT_TRUE(LayoutNumbers(nowhere).empty());
    EXPECT_THROW(SaveLayout(nowhere, "text"), CommandError);
}

TEST(ShippedLayouts, AreSoundLayoutsWhoseAreasAllTakeContent) {
    QTemporaryDir dir;
    const std::string app = dir.path().toStdString() + "/";
    FillAppFolder(app);
    const std::vector<int> numbers = LayoutNumbers(app);
    ASSERT_GE(numbers.size(), 8u);
    EXPECT_EQ(numbers.back(), int(numbers.size())); // numbered 1 to N without gaps
    for (int number : numbers) {
        SCOPED_TRACE("layout " + std::to_string(number));
        const std::string text = ReadLayout(app, number);
        EXPECT_TRUE(CheckPage(text).empty());
        const std::vector<std::string> names = DeclarationNames(text);
        EXPECT_FALSE(names.empty());
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i], "Table" + std::to_string(i + 1));
            EXPECT_NO_THROW(AreaInsertPoint(text, int(i + 1)));
        }
        const std::string page = PageTextFromLayout(text, {"index", "Home", "#ff0000", 5});
        EXPECT_NE(page.find("<title>Home</title>"), std::string::npos);
        EXPECT_NE(page.find("<body bgcolor=\"#ff0000\" topmargin=\"5\""), std::string::npos);
    }
}

// The chooser's buttons after each step, as "current previous next".
std::string State(const LayoutChooser& chooser) {
    return std::to_string(chooser.Current()) + (chooser.PreviousEnabled() ? " P" : " -") +
           (chooser.NextEnabled() ? "N" : "-");
}

TEST(LayoutChooser, OpensAtTheFirstLayoutAndStepsUpWithNext) {
    LayoutChooser chooser;
    chooser.SetLayouts({1, 2, 3, 4});
    EXPECT_EQ(State(chooser), "1 -N");
    std::vector<std::string> seen;
    for (int i = 0; i < 4; ++i) {
        chooser.Next(); // the last press is disabled in the dialog; it does not move
        seen.push_back(State(chooser));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"2 PN", "3 PN", "4 P-", "4 P-"}));
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        chooser.Previous();
        seen.push_back(State(chooser));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"3 PN", "2 PN", "1 -N", "1 -N"}));
}

TEST(LayoutChooser, OneLayoutNoneAndGaps) {
    LayoutChooser chooser;
    chooser.SetLayouts({8});
    EXPECT_EQ(State(chooser), "8 --");
    chooser.Next();
    chooser.Previous();
    EXPECT_EQ(State(chooser), "8 --");
    chooser.SetLayouts({});
    EXPECT_TRUE(chooser.Empty());
    EXPECT_EQ(State(chooser), "0 --");
    chooser.Next();
    chooser.Previous();
    EXPECT_FALSE(chooser.Choose(1));
    EXPECT_EQ(State(chooser), "0 --");

    chooser.SetLayouts({2, 9, 40});
    EXPECT_EQ(State(chooser), "2 -N");
    chooser.Next();
    EXPECT_EQ(State(chooser), "9 PN");
    chooser.Next();
    EXPECT_EQ(State(chooser), "40 P-");
}

TEST(LayoutChooser, ChoosingAPreviewChoosesItsNumber) {
    LayoutChooser chooser;
    chooser.SetLayouts({2, 9, 40});
    EXPECT_TRUE(chooser.Choose(40));
    EXPECT_EQ(State(chooser), "40 P-");
    EXPECT_EQ(chooser.Position(), 3u);
    EXPECT_TRUE(chooser.Choose(9));
    EXPECT_EQ(State(chooser), "9 PN");
    // A number that is no layout changes nothing.
    EXPECT_FALSE(chooser.Choose(3));
    EXPECT_FALSE(chooser.Choose(0));
    EXPECT_EQ(State(chooser), "9 PN");
    chooser.Previous();
    EXPECT_EQ(State(chooser), "2 -N");

    // The custom tables' chooser keeps its order: newest first, Next down.
    NumberedChooser newest_first;
    newest_first.SetNumbers({2, 9, 40});
    EXPECT_EQ(newest_first.Current(), 40);
    newest_first.Next();
    EXPECT_EQ(newest_first.Current(), 9);
}

TEST_F(LaysFolderTest, TheOverviewLinksAPreviewOfEveryLayoutAndMarksTheChosenOne) {
    const std::string one = LayoutDesigner(1).Text();
    const std::string two = "<html><head><title>two</title></head><body>two</body></html>";
    Put("1.html", one);
    Put("3.html", two);
    QDir(dir_.path()).mkpath("temp");
    const std::string path = WriteLayoutGallery(app_, {1, 3}, 3, "overview.html");
    EXPECT_EQ(path, app_ + "temp/overview.html");
    EXPECT_EQ(ReadPageFile(app_ + "temp/chooser-1.html"), LayoutPreviewText(one));
    EXPECT_EQ(ReadPageFile(app_ + "temp/chooser-3.html"), LayoutPreviewText(two));
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string gallery = file.readAll().toStdString();
    EXPECT_EQ(gallery, LayoutGalleryText({1, 3}, 3));
    for (const char* tile : {"data-number=\"1\"><a class=\"cover\" href=\"chooser-1.html\"",
                             "data-number=\"3\"><a class=\"cover\" href=\"chooser-3.html\""}) {
        EXPECT_NE(gallery.find(tile), std::string::npos) << tile;
    }
    EXPECT_NE(gallery.find("<script>choose(3)</script>"), std::string::npos);

    // A click names its layout by the link's file; nothing else names one.
    EXPECT_EQ(LayoutThumbnailNumber(app_ + "temp/" + LayoutThumbnailFile(12)), 12);
    for (const char* other : {"chooser-01.html", "chooser-.html", "3.html", "/x/chooser-3.htm",
                              "my-chooser-3.html", ""}) {
        EXPECT_EQ(LayoutThumbnailNumber(other), 0) << other;
    }

    // A layout that is gone by now is reported, naming it.
    EXPECT_THROW(WriteLayoutGallery(app_, {1, 2}, 1, "overview.html"), CommandError);
}

} // namespace
} // namespace qf
