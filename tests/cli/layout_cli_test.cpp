#include "cli_runner.h"
#include "components/small_screens.h"
#include "document/page_file.h"
#include "workspace/layout_designer.h"
#include "workspace/layouts.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::RunCli;

// Every run gets an application folder of its own through XDG_DATA_HOME.
class LayoutCli : public ::testing::Test {
protected:
    void SetUp() override {
        old_data_home_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data_home_.path().toUtf8());
        app_ = data_home_.path().toStdString() + "/quenfort/";
        project_ = project_dir_.path().toStdString() + "/";
        // One layout of our own, whatever the shipped ones are.
        QDir().mkpath(QString::fromStdString(LaysFolder(app_)));
        LayoutDesigner designer(1);
        designer.Commit({500, 100, 0, 0, "Left", "Top", "NONE", "NONE"});
        designer.Save(app_);
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", old_data_home_); }

    std::string Layouts() {
        std::string lines;
        for (int number : LayoutNumbers(app_)) {
            lines += std::to_string(number) + "\n";
        }
        return lines;
    }

    QByteArray old_data_home_;
    QTemporaryDir data_home_;
    QTemporaryDir project_dir_;
    std::string app_;
    std::string project_;
};

TEST_F(LayoutCli, DesignLayoutShowsTheDesignersTextAndSavesTheNextNumber) {
    auto result = RunCli({"layouts"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, Layouts());
    const int newest = LayoutNumbers(app_).empty() ? 0 : LayoutNumbers(app_).back();

    result = RunCli({"design-layout"}, "# a header over two columns\n"
                                       "add width=600 height=80 align=Left valign=Top\n"
                                       "\n"
                                       "add width=400 height=300 align=Left valign=Top\n"
                                       "add width=200 height=300 adjacent=Table2\n"
                                       "show\n"
                                       "save\n");
    ASSERT_EQ(result.status, 0) << result.err;
    LayoutDesigner designer(1);
    designer.Commit({600, 80, 0, 0, "Left", "Top", "NONE", "NONE"});
    designer.Commit({400, 300, 0, 0, "Left", "Top", "NONE", "NONE"});
    designer.Commit({200, 300, 0, 0, "", "", "NONE", "Table2"});
    EXPECT_EQ(result.out, designer.Text() + "\n" + std::to_string(newest + 1) + "\n");
    EXPECT_EQ(ReadLayout(app_, newest + 1), designer.Text());

    result = RunCli({"layouts"});
    EXPECT_EQ(result.out, Layouts());
    EXPECT_NE(result.out.find(std::to_string(newest + 1) + "\n"), std::string::npos);
}

TEST_F(LayoutCli, DesignLayoutDeletesAndRefusesUnknownTables) {
    auto result = RunCli({"design-layout"}, "add width=400 height=100\n"
                                            "add width=200 height=100 adjacent=Table1\n"
                                            "delete Table2\n"
                                            "delete NONE\n"
                                            "show\n");
    ASSERT_EQ(result.status, 0) << result.err;
    // The row's table keeps the width it had with both cells.
    LayoutDesigner designer(1);
    designer.Commit({600, 100, 0, 0, "", "", "NONE", "NONE"});
    std::string expected = designer.Text();
    const std::size_t cell_width = expected.find("width=600><img");
    expected.replace(cell_width, 9, "width=400");
    EXPECT_EQ(result.out, expected + "\n");

    result = RunCli({"design-layout"}, "add width=400\nadd width=10 adjacent=Table9\nsave\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("line 2: Table9 is not in this layout."), std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "");

    // Deleting a table the layout does not hold says so; Under is checked
    // also beside Adjacent.
    for (const char* input : {"add width=400\ndelete Table7\nsave\n",
                              "add width=400\nadd adjacent=Table1 under=Table7\n"}) {
        result = RunCli({"design-layout"}, input);
        EXPECT_EQ(result.status, 1) << input;
        EXPECT_EQ(result.err, "line 2: Table7 is not in this layout.\n") << input;
        EXPECT_EQ(result.out, "");
    }

    for (const char* input : {"add width=wide\n", "add colour=red\n", "frobnicate\n", "delete\n",
                              "add width\n", "add under=\n"}) {
        result = RunCli({"design-layout"}, input);
        EXPECT_EQ(result.status, 2) << input;
        EXPECT_NE(result.err.find("line 1: "), std::string::npos) << result.err;
    }
}

TEST_F(LayoutCli, NewPageFromTheNewestLayoutOrAChosenOne) {
    auto result = RunCli({"design-layout"}, "add width=400 height=100\n"
                                            "add width=200 height=100 adjacent=Table1\nsave\n");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string saved = result.out.substr(0, result.out.size() - 1);

    const QString project = QString::fromStdString(project_dir_.path().toStdString());
    result =
        RunCli({"new-page", project, "index", "header=Home", "background=#ff0000", "border=5"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "index.html\n");
    const std::string page = ReadPageFile(project_ + "index.html");
    EXPECT_NE(page.find("<title>Home</title>"), std::string::npos);
    EXPECT_NE(page.find("<body bgcolor=\"#ff0000\" topmargin=\"5\" leftmargin=\"5\" "
                        "bgcolor=\"#FFFFFF\""),
              std::string::npos);
    result = RunCli({"areas", QString::fromStdString(project_ + "index.html")});
    EXPECT_EQ(result.out, "Area1\nArea2\n");

    // Defaults: an empty title, fitting small screens, margins only, and a
    // name typed with ".html".
    result = RunCli(
        {"new-page", project + "/", "plain.html", "layout=" + QString::fromStdString(saved)});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "plain.html\n");
    const std::string plain = ReadPageFile(project_ + "plain.html");
    EXPECT_NE(plain.find("<title></title>" + std::string(kFitStartMarker)), std::string::npos);
    EXPECT_NE(plain.find(std::string(kFitEndMarker) +
                         "</head><body topmargin=\"0\" leftmargin=\"0\" bgcolor="),
              std::string::npos);
}

TEST_F(LayoutCli, NewPagesFitSmallScreensUnlessToldNot) {
    const QString project = project_dir_.path();
    auto result = RunCli({"new-page", project, "fitted", "layout=3", "border=4"});
    ASSERT_EQ(result.status, 0) << result.err;
    result = RunCli({"new-page", project, "plain", "layout=3", "border=4", "fit=0"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string fitted = ReadPageFile(project_ + "fitted.html");
    const std::string plain = ReadPageFile(project_ + "plain.html");
    EXPECT_FALSE(PageFitsSmallScreens(plain));
    EXPECT_EQ(fitted, WithSmallScreenFit(plain, true));
    // The shipped layout's 760 pixels, with a margin of 4 and the browser's 8.
    EXPECT_NE(fitted.find("@media (max-width:771.98px)"), std::string::npos);
    result = RunCli({"new-page", project, "other", "fit=2"});
    EXPECT_EQ(result.status, 2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(project_ + "other.html")));
}

TEST_F(LayoutCli, NewPageNeverReplacesAPageUnlessAsked) {
    const QString project = project_dir_.path();
    WritePageFile(project_ + "index.html", "mine");
    auto result = RunCli({"new-page", project, "index"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("already exists"), std::string::npos) << result.err;
    EXPECT_EQ(ReadPageFile(project_ + "index.html"), "mine");
    result = RunCli({"new-page", project, "index", "replace=yes", "header=New"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(ReadPageFile(project_ + "index.html").find("<title>New</title>"), std::string::npos);
}

TEST_F(LayoutCli, NewPageRefusalsAndUsageErrors) {
    const QString project = project_dir_.path();
    EXPECT_EQ(RunCli({"new-page", project}).status, 2);
    EXPECT_EQ(RunCli({"new-page", project, "a", "border=thick"}).status, 2);
    EXPECT_EQ(RunCli({"new-page", project, "a", "colour=red"}).status, 2);
    EXPECT_EQ(RunCli({"new-page", project, "a", "header"}).status, 2);
    EXPECT_EQ(RunCli({"layouts", "extra"}).status, 2);
    auto result = RunCli({"new-page", project, "a", "layout=9999"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("There is no layout 9999"), std::string::npos) << result.err;
    // Layout 0 is no layout, as -1 is not; neither means the newest.
    for (const char* layout : {"layout=0", "layout=-1", "layout=+0"}) {
        result = RunCli({"new-page", project, "a", layout});
        EXPECT_NE(result.status, 0) << layout;
    }
    result = RunCli({"new-page", project, "a", "layout=0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("There is no layout 0"), std::string::npos) << result.err;
    for (const char* name : {"sub/a", ".hidden", "tab\there", "bell\x07"}) {
        result = RunCli({"new-page", project, name});
        EXPECT_EQ(result.status, 1) << name;
    }
    for (const char* header : {"header=a\nb", "header=x</TITLE>"}) {
        result = RunCli({"new-page", project, "a", header});
        EXPECT_EQ(result.status, 1) << header;
    }
    EXPECT_EQ(result.err, "Header may not contain \"</title\"\n");
    result = RunCli({"new-page", project, ""});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("Please enter a name"), std::string::npos) << result.err;
    result = RunCli({"new-page", project + "/missing", "a"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("does not exist"), std::string::npos) << result.err;
    EXPECT_TRUE(QDir(project).entryList(QDir::Files).isEmpty());
}

} // namespace
} // namespace qf
