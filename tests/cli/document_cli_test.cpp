#include "cli_runner.h"
#include "document/page_file.h"
#include "test_pages.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::RunCli;

class CliPages : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString Page(const char* name, const std::string& text) {
        const QString path = dir_.filePath(name);
        WritePageFile(path.toStdString(), text);
        return path;
    }
};

TEST_F(CliPages, ListsAreasComponentsAndDeclarations) {
    const QString page =
        Page("index.html", test::PageWith("<!---Table1---!><!---Table2---!><!---Image1---!>"
                                          "<!---Spaced_List1---!><!---Text_Link1---!>"));
    auto result = RunCli({"areas", page});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Area1\nArea2\n");
    result = RunCli({"components", page});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Image1\nSpaced Item List1\nText Link1\n");
    result = RunCli({"declarations", page});
    EXPECT_EQ(result.out, "Table1\nTable2\nImage1\nSpaced_List1\nText_Link1\n");
}

TEST_F(CliPages, CheckReportsProblemsThroughItsStatus) {
    auto result = RunCli({"check", Page("good.html", test::WorkedExamplePage())});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    result = RunCli({"check", Page("bad.html", test::PageWith("<!---Table1---!><!---Hr1---!>",
                                                              test::TableArea(1)))});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "declaration Hr1 has no block\n");
}

TEST_F(CliPages, FailuresAndUsageErrorsHaveTheirOwnStatus) {
    const QString missing = dir_.filePath("missing.html");
    auto result = RunCli({"areas", missing});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(missing.toStdString()), std::string::npos) << result.err;
    EXPECT_EQ(RunCli({"areas"}).status, 2);
    EXPECT_EQ(RunCli({"areas", "a", "b"}).status, 2);
    EXPECT_EQ(RunCli({"frobnicate"}).status, 2);
    EXPECT_EQ(RunCli({}).status, 2);
}

TEST_F(CliPages, HelpForTheProgramAndEachCommand) {
    auto result = RunCli({"--help"});
    EXPECT_EQ(result.status, 0);
    for (const char* command : {"areas", "components", "declarations", "check"}) {
        EXPECT_NE(result.out.find(command), std::string::npos) << command;
        auto own = RunCli({command, "--help"});
        EXPECT_EQ(own.status, 0);
        EXPECT_EQ(own.out.rfind("Usage: quenfort-cli " + std::string(command), 0), 0u) << own.out;
    }
}

} // namespace
} // namespace qf
