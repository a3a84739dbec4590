#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(Workspace, SizeTextCountsWholeBlocksOf128Bytes) {
    EXPECT_EQ(SizeText(2000), "1.92Kb");
    EXPECT_EQ(SizeText(100), "0Kb");
    EXPECT_EQ(SizeText(127), "0Kb");
    EXPECT_EQ(SizeText(128), "0.128Kb");
    EXPECT_EQ(SizeText(1280), "1.28Kb");
    EXPECT_EQ(SizeText(1000 * 128), "128Kb");
}

TEST(Workspace, HeaderIsTheTitleText) {
    EXPECT_EQ(PageHeader(test::WorkedExamplePage()), "My Page");
    EXPECT_EQ(PageHeader("<html><body>none</body></html>"), "");
    EXPECT_EQ(PageHeader("</title><title>"), "");
}

TEST(Workspace, OpeningAPageRebuildsTheListsAndKeepsOnlyTextsOfItsEntries) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("index.html").toStdString();
    WritePageFile(path, test::WorkedExamplePage());
    Workspace workspace;
    // Left over from the page before: an area this page lacks, a component it has.
    workspace.area_list.text = "Area3";
    workspace.component_list.text = "Image1";
    OpenPage(workspace, path);
    EXPECT_EQ(workspace.page_name, "index.html");
    EXPECT_EQ(workspace.page_header, "My Page");
    EXPECT_EQ(workspace.page_text, test::WorkedExamplePage());
    EXPECT_EQ(workspace.area_list.entries, std::vector<std::string>{"Area1"});
    EXPECT_EQ(workspace.component_list.entries, std::vector<std::string>{"Image1"});
    EXPECT_EQ(workspace.area_list.text, "Select Area");
    EXPECT_EQ(workspace.component_list.text, "Image1");
    EXPECT_TRUE(workspace.palette_enabled);
    EXPECT_EQ(workspace.page_file_size, std::int64_t(EncodePageFile(workspace.page_text).size()));

    // A failed open changes nothing.
    EXPECT_THROW(OpenPage(workspace, dir.filePath("missing.html").toStdString()), CommandError);
    EXPECT_EQ(workspace.page_name, "index.html");
    EXPECT_EQ(workspace.page_text, test::WorkedExamplePage());
}

TEST(Workspace, FailedCommitKeepsTheOldTextInMemory) {
    QTemporaryDir dir;
    Workspace workspace;
    workspace.page_name = "gone.html";
    workspace.page_path = dir.filePath("no/such/folder/gone.html").toStdString();
    workspace.page_text = "old";
    EXPECT_THROW(CommitPageText(workspace, "new"), CommandError);
    EXPECT_EQ(workspace.page_text, "old");
    EXPECT_THROW(RequireProject(workspace), CommandError);
    workspace.page_name.clear();
    try {
        RequireOpenPage(workspace);
        FAIL();
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), "A page must be open!");
    }
}

} // namespace
} // namespace qf
