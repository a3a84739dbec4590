#include "cli_runner.h"
#include "components/component_fields.h"
#include "document/page_file.h"
#include "test_pages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::RunCli;

// A 64 x 8 grey PNG.
const std::string kPicture(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x40\x00\x00"
    "\x00\x08\x08\x00\x00\x00\x00\x6c\x09\xa6\x03\x00\x00\x00\x0f\x49\x44\x41\x54\x78\x9c\x63"
    "\x60\x18\x05\xa3\x80\x81\x01\x00\x02\x08\x00\x01\xe9\x4a\xf5\xc7\x00\x00\x00\x00\x49\x45"
    "\x4e\x44\xae\x42\x60\x82",
    72);

class CheckSiteCli : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString Project() const { return dir_.path(); }
    void Page(const char* name, const std::string& component) {
        std::string page = "<html lang=\"en\"><head><title>Home</title></head><body>"
                           "<!---End_Body---!><!---declare_begin---!><!---Table1---!>"
                           "<!---Image1---!><!---////---!><!---declare_end---!></body>" +
                           test::TableArea(1, test::Block("Image1", component)) + "</html>";
        WritePageFile(dir_.filePath(name).toStdString(), page);
    }
};

TEST_F(CheckSiteCli, ExitsWithOneOnlyForErrorsInEitherFormat) {
    test::WriteBytes(dir_.filePath("dot.png").toStdString(), kPicture);
    Page("index.html", "<img src=\"dot.png\" width=\"16\" alt=\"Dot\">");
    auto result = RunCli({"check-site", Project()});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    // Real picture sizes: 64 pixels wide, shown at 16.
    EXPECT_NE(result.out.find("index.html:"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(": warning: Image1: The picture \"dot.png\" is 64x8 pixels"),
              std::string::npos)
        << result.out;
    // With the site's own: no address, no description.
    EXPECT_NE(result.out.find("1 page checked: 0 errors, 2 warnings, 2 notes\n"), std::string::npos)
        << result.out;

    Page("broken.html", "<img src=\"gone.png\" alt=\"Gone\">");
    result = RunCli({"check-site", Project(), "--format=json"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.rfind("{\"pages\": 2, \"errors\": 1, \"warnings\": 3, \"notes\": 4, "
                               "\"cancelled\": false, \"findings\": [",
                               0),
              0u)
        << result.out;
    EXPECT_NE(result.out.find("{\"severity\": \"error\", \"page\": \"broken.html\", \"line\": "),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("\"entry\": \"Image1\", \"message\": \"The picture \\\"gone.png\\\""),
              std::string::npos)
        << result.out;
    result = RunCli({"check-site", "--format=text", Project()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("broken.html:"), std::string::npos);
}

TEST_F(CheckSiteCli, UsageErrorsAndAFolderThatCannotBeRead) {
    EXPECT_EQ(RunCli({"check-site"}).status, 2);
    EXPECT_EQ(RunCli({"check-site", Project(), Project()}).status, 2);
    EXPECT_EQ(RunCli({"check-site", Project(), "--format=xml"}).status, 2);
    EXPECT_EQ(RunCli({"check-site", Project(), "--strict"}).status, 2);
    const auto missing = RunCli({"check-site", dir_.filePath("nothing")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Cannot open folder"), std::string::npos) << missing.err;
    // An empty project is sound; the help documents the JSON format.
    const auto empty = RunCli({"check-site", Project(), "--format=json"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.out, "{\"pages\": 0, \"errors\": 0, \"warnings\": 0, \"notes\": 0, "
                         "\"cancelled\": false, \"findings\": []}\n");
    EXPECT_NE(RunCli({"check-site", "--help"}).out.find("\"findings\": ["), std::string::npos);
}

TEST_F(CheckSiteCli, RenderPrintsThePageAsVisitorsGetItAndExportWritesTheSite) {
    Page("index.html", "<img src=\"logo.png\" alt=\"Logo\" align=\"left\">");
    const std::string page = test::ReadBytes(dir_.filePath("index.html").toStdString());
    auto result = RunCli({"render", dir_.filePath("index.html")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.rfind("<!DOCTYPE html>\n<html lang=\"en\">", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("<img src=\"logo.png\" alt=\"Logo\" style=\"float:left"),
              std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("<!--"), std::string::npos) << result.out;

    QTemporaryDir out;
    result = RunCli({"export", Project(), out.filePath("site")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "Exported 1 page and 0 other files to " + out.filePath("site").toStdString() + "\n");
    EXPECT_EQ(test::ReadBytes(out.filePath("site/index.html").toStdString()),
              RunCli({"render", dir_.filePath("index.html")}).out);
    // The project's page is the editor's document, unchanged.
    EXPECT_EQ(test::ReadBytes(dir_.filePath("index.html").toStdString()), page);

    result = RunCli({"export", Project(), dir_.filePath("public")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("inside it"), std::string::npos) << result.err;
    EXPECT_FALSE(QDir(dir_.filePath("public")).exists());
    EXPECT_EQ(RunCli({"render"}).status, 2);
    EXPECT_EQ(RunCli({"export", Project()}).status, 2);
    EXPECT_EQ(RunCli({"render", dir_.filePath("none.html")}).status, 1);
}

TEST_F(CheckSiteCli, RenamePageListsThenRenamesAndRefusesATakenName) {
    Page("index.html", "<a href=\"about.html\"><img src=\"logo.png\" alt=\"Logo\"></a>");
    Page("about.html", "<img src=\"logo.png\" alt=\"Logo\">");
    const std::string index = dir_.filePath("index.html").toStdString();
    const std::string before = test::ReadBytes(index);
    auto dry = RunCli({"rename-page", dir_.filePath("about.html"), "Our Story", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "would change links on index.html\nWould rename about.html to Our "
                       "Story.html; nothing was changed.\n");
    EXPECT_EQ(test::ReadBytes(index), before);
    EXPECT_EQ(RunCli({"rename-page", dir_.filePath("about.html"), "index"}).status, 1);
    EXPECT_EQ(RunCli({"rename-page", dir_.filePath("about.html")}).status, 2);
    auto done = RunCli({"rename-page", dir_.filePath("about.html"), "Our Story"});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.out.find("Renamed about.html to Our Story.html: 1 link changed on 1 page"),
              std::string::npos)
        << done.out;
    EXPECT_NE(test::ReadBytes(index).find("href=\"Our%20Story.html\""), std::string::npos);
    EXPECT_TRUE(QFile::exists(dir_.filePath("Our Story.html")));
}

TEST_F(CheckSiteCli, ReplaceListsMatchesAndChangesOnlyTextThatVisitorsRead) {
    Page("index.html", BuildComponentBody("Image", {{"src", "acme.png"}, {"alt", "Acme logo"}}));
    const std::string index = dir_.filePath("index.html").toStdString();
    const std::string before = test::ReadBytes(index);
    auto dry = RunCli({"replace", Project(), "acme", "Zed", "--dry-run"});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "index.html: Image1: [Acme] logo\n1 match; nothing was changed\n");
    EXPECT_EQ(test::ReadBytes(index), before);
    EXPECT_EQ(RunCli({"replace", Project(), "acme"}).status, 2);
    EXPECT_EQ(RunCli({"replace", Project(), "", "x"}).status, 1);
    auto done = RunCli({"replace", Project(), "acme", "Zed \"Co\""});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out.substr(done.out.rfind("Replaced")), "Replaced 1 of 1 on 1 page\n");
    // The picture's file name is markup, not text: it stays.
    const std::string after = test::ReadBytes(index);
    EXPECT_NE(after.find("acme.png"), std::string::npos) << after;
    EXPECT_NE(after.find("alt=\"Zed &quot;Co&quot; logo\""), std::string::npos) << after;
}

} // namespace
} // namespace qf
