#include "components/component_fields.h"
#include "components/insertion.h"
#include "document/page_file.h"
#include "test_pages.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/page_history.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::Refusal;

class ModifyComponentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        workspace_.project_folder = dir_.path().toStdString() + "/";
        WritePageFile(workspace_.project_folder + "index.html", test::WorkedExamplePage());
        OpenPage(workspace_, workspace_.project_folder + "index.html");
        workspace_.area_list.text = "Area1";
    }
    QTemporaryDir dir_;
    Workspace workspace_;
};

// The body is built anew in its own place: a second page that had the new
// values inserted instead holds exactly the same bytes.
TEST_F(ModifyComponentTest, OnlyTheNamedFieldsChangeAndTheBodyStaysInPlace) {
    const FieldValues first{{"text", "one"}, {"color", "#000000"}, {"bold", "1"}};
    const std::string page_before = workspace_.page_text;
    ASSERT_EQ(InsertComponent(workspace_, "Text_Link", first), "Text Link1");
    ASSERT_EQ(InsertComponent(workspace_, "Image", {{"src", "b.gif"}}), "Image2");
    const auto entries = workspace_.component_list.entries;
    workspace_.component_list.text = "Text Link1";

    ModifyComponent(workspace_, "Text Link1", {{"color", "#FF0000"}, {"status", "it's \"it\""}});

    std::string expected = page_before;
    FieldValues changed = first;
    changed["color"] = "#FF0000";
    changed["status"] = "it's \"it\"";
    AddComponent(expected, "Text_Link", BuildComponentBody("Text_Link", changed), 1);
    AddComponent(expected, "Image", BuildComponentBody("Image", {{"src", "b.gif"}}), 1);
    EXPECT_EQ(workspace_.page_text, expected);
    EXPECT_EQ(ReadPageFile(workspace_.page_path), expected);
    EXPECT_EQ(workspace_.component_list.entries, entries);
    EXPECT_EQ(workspace_.component_list.text, "Text Link1");
    EXPECT_EQ(OpenPageHistory(workspace_).UndoName(), "Modify Text Link1");

    // The values the dialog would show, changed or not.
    const ComponentReading reading = ReadComponent(workspace_.page_text, "Text Link1");
    ASSERT_TRUE(reading.readable);
    EXPECT_EQ(reading.Values().at("status"), "it's \"it\"");
    EXPECT_EQ(reading.Values().at("bold"), "1");
    EXPECT_EQ(reading.Values().at("text"), "one");
}

TEST_F(ModifyComponentTest, ASmallerGridLosesTheCellsItNoLongerHas) {
    ASSERT_EQ(InsertComponent(workspace_, "Data_Table",
                              {{"rows", "2"}, {"cols", "2"}, {"cell.1.1", "a"}, {"cell.2.2", "d"}}),
              "Data Table1");
    ModifyComponent(workspace_, "Data Table1", {{"rows", "1"}});
    const FieldValues values = ReadComponent(workspace_.page_text, "Data Table1").Values();
    EXPECT_EQ(values.at("cell.1.1"), "a");
    EXPECT_EQ(values.count("cell.2.2"), 0u);
    EXPECT_EQ(values.at("cols"), "2");
    // A cell named outside the grid is still refused.
    EXPECT_NE(Refusal([&] {
                  ModifyComponent(workspace_, "Data Table1", {{"cell.3.1", "x"}});
              }),
              "(no refusal)");
}

// Nothing changes for a body that does not read back, a value the builder
// refuses, a field the kind does not have, or an entry the page lacks.
TEST_F(ModifyComponentTest, RefusalsChangeNothing) {
    ASSERT_EQ(InsertComponent(workspace_, "Hr", {}), "Horizontal Line1");
    workspace_.component_list.text = "Horizontal Line1";
    SaveComponentSource(workspace_, "<hr class=\"mine\">");
    const std::string page = workspace_.page_text;
    const std::string refusal = Refusal([&] {
        ModifyComponent(workspace_, "Horizontal Line1", {{"size", "3"}});
    });
    EXPECT_NE(refusal.find("Horizontal Line1 cannot be read back: "), std::string::npos) << refusal;
    EXPECT_NE(refusal.find("character 5"), std::string::npos) << refusal;
    ASSERT_EQ(InsertComponent(workspace_, "Hr", {}), "Horizontal Line2");
    const std::string with_second = workspace_.page_text;
    EXPECT_EQ(Refusal([&] {
                  ModifyComponent(workspace_, "Horizontal Line2", {{"width", "101"}});
              }),
              "Width (width) must be between 1 and 100");
    EXPECT_EQ(Refusal([&] {
                  ModifyComponent(workspace_, "Horizontal Line2", {{"src", "x"}});
              }),
              "'src' is not a field of Hr");
    EXPECT_EQ(Refusal([&] {
                  ModifyComponent(workspace_, "Horizontal Line2", {{"color", "<!---"}});
              }),
              "Color (color) may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(Refusal([&] { ModifyComponent(workspace_, "Image9", {}); }),
              "Image9 is not on this page");
    EXPECT_EQ(workspace_.page_text, with_second);
    EXPECT_EQ(ReadPageFile(workspace_.page_path), with_second);
    EXPECT_NE(page, with_second);
}

} // namespace
} // namespace qf
