#include "components/component_fields.h"
#include "components/component_reading.h"
#include "components/form.h"
#include "random_values.h"

#include <gtest/gtest.h>

#include <random>

namespace qf {
namespace {

// Building what was read gives the body again, for thousands of random
// values of every field of every kind (a few hundred in the sanitizer build,
// which looks for memory faults, not for more shapes).
#ifdef QUENFORT_SANITIZED_TESTS
constexpr int kRoundsAKind = 300;
#else
constexpr int kRoundsAKind = 2000;
#endif
TEST(ComponentReading, EveryKindReadsBackWhatItsBuilderWrote) {
    std::mt19937 random(20261209);
    for (const ComponentSpec& spec : ComponentSpecs()) {
        if (spec.kind_tag == "Custom_Table") {
            continue;
        }
        for (int round = 0; round < kRoundsAKind; ++round) {
            const FieldValues values = test::RandomFieldValues(spec, random);
            const std::string body = BuildComponentBody(spec.kind_tag, values);
            const ComponentReading reading = ReadComponentBody(spec.kind_tag, body);
            ASSERT_TRUE(reading.readable) << spec.kind_tag << ": " << reading.reason << "\n"
                                          << body;
            ASSERT_EQ(BuildComponentBody(spec.kind_tag, reading.Values()), body) << spec.kind_tag;
        }
    }
}

TEST(ComponentReading, ValuesComeBackAsTypedInTheFieldTablesOrder) {
    const FieldValues typed{{"href", "a \"b\" & c.html"},
                            {"face", "Verdana"},
                            {"color", "#FF0000"},
                            {"size", "5"},
                            {"bold", "1"},
                            {"underline", "0"},
                            {"newwindow", "1"},
                            {"text", "Caf\xC3\xA9 <i>&</i>"},
                            {"status", "it's a \\ path"}};
    const ComponentReading reading =
        ReadComponentBody("Text_Link", BuildComponentBody("Text_Link", typed));
    ASSERT_TRUE(reading.readable) << reading.reason;
    std::vector<std::string> names;
    for (const auto& [name, value] : reading.fields) {
        names.push_back(name);
    }
    std::vector<std::string> table_names;
    for (const FieldSpec& field : FindComponentSpec("Text_Link")->fields) {
        table_names.emplace_back(field.name);
    }
    EXPECT_EQ(names, table_names);
    for (const auto& [name, value] : typed) {
        EXPECT_EQ(reading.Values().at(name), value) << name;
    }

    // A data table's cells, row by row, in the place of its cell row; a list's
    // items one a line, the empty lines gone.
    const ComponentReading table = ReadComponentBody(
        "Data_Table", BuildComponentBody("Data_Table", {{"rows", "2"},
                                                        {"cols", "3"},
                                                        {"cell.1.1", "Name"},
                                                        {"cell.2.3", "</td><td>x"},
                                                        {"bgcolor", "1"},
                                                        {"background", "#00FF00"}}));
    ASSERT_TRUE(table.readable) << table.reason;
    EXPECT_EQ(table.fields[6], (std::pair<std::string, std::string>{"cell.1.1", "Name"}));
    EXPECT_EQ(table.fields[11], (std::pair<std::string, std::string>{"cell.2.3", "</td><td>x"}));
    EXPECT_EQ(table.Values().at("rows"), "2");
    EXPECT_EQ(table.Values().at("cols"), "3");
    EXPECT_EQ(table.Values().at("header"), "0");
    // A header row: its cells are header cells, and Modify reads it back.
    const std::string headed = BuildComponentBody("Data_Table", {{"rows", "2"},
                                                                 {"cols", "2"},
                                                                 {"cell.1.1", "Bread"},
                                                                 {"cell.2.1", "Rye"},
                                                                 {"header", "1"}});
    EXPECT_NE(headed.find("<tr><th background=\"\""), std::string::npos) << headed;
    EXPECT_NE(headed.find(">Bread</th><th "), std::string::npos) << headed;
    EXPECT_NE(headed.find("<tr><td "), std::string::npos) << headed;
    const ComponentReading headed_reading = ReadComponentBody("Data_Table", headed);
    ASSERT_TRUE(headed_reading.readable) << headed_reading.reason;
    EXPECT_EQ(headed_reading.Values().at("header"), "1");
    EXPECT_EQ(headed_reading.Values().at("cell.2.1"), "Rye");
    const ComponentReading list = ReadComponentBody(
        "Bullet_Item_List", BuildComponentBody("Bullet_Item_List", {{"items", "one\n\ntwo</li>"}}));
    ASSERT_TRUE(list.readable) << list.reason;
    EXPECT_EQ(list.Values().at("items"), "one\ntwo</li>");
}

// A grid of the most rows a table may have, and a list of hundreds of items,
// read back in one piece.
TEST(ComponentReading, LargeGridsAndListsReadBack) {
    FieldValues grid{{"rows", "100"}, {"cols", "7"}};
    for (int row = 1; row <= 100; ++row) {
        grid["cell." + std::to_string(row) + ".7"] = "r" + std::to_string(row);
    }
    const std::string table = BuildComponentBody("Data_Table", grid);
    const ComponentReading reading = ReadComponentBody("Data_Table", table);
    ASSERT_TRUE(reading.readable) << reading.reason;
    EXPECT_EQ(BuildComponentBody("Data_Table", reading.Values()), table);

    std::string options;
    for (int i = 0; i < 500; ++i) {
        options += "<option>" + std::to_string(i) + "\n";
    }
    const std::string list = BuildComponentBody("Drop_List", {{"options", options}});
    const ComponentReading list_reading = ReadComponentBody("Drop_List", list);
    ASSERT_TRUE(list_reading.readable) << list_reading.reason;
    EXPECT_EQ(BuildComponentBody("Drop_List", list_reading.Values()), list);
}

// A body the builder could not have written is not readable, and the reason
// says where it first differs.
TEST(ComponentReading, HandEditedBodiesAreRefusedWithTheFirstDifference) {
    const std::string image = BuildComponentBody("Image", {{"src", "a.gif"}});
    struct Case {
        std::string kind, body;
        std::string where;
    } cases[] = {
        // An attribute added by hand, in the middle.
        {"Image", "<img src=\"a.gif\" class=\"x\" width=\"0\" height=\"0\">", "character 18"},
        {"Image", image + " ", "character " + std::to_string(image.size() + 1)},
        {"Image", "", "character 1 (where it ends)"},
        // A number the builder writes without its leading zero.
        {"Image",
         "<img src=\"\" width=\"007\" height=\"0\" align=\"\" alt=\"\" border=\"0\" "
         "bordercolor=\"\">",
         "character"},
        // An unescaped quote in a status-bar string, a character outside ASCII.
        {"Mail_Link",
         BuildComponentBody("Mail_Link", {{"status", "x"}})
             .replace(BuildComponentBody("Mail_Link", {{"status", "x"}}).find("='x'"), 4, "='x'y'"),
         "character"},
        {"Text", "<div align=\"\"><font face=\"\" size=\"0\" color=\"\">\xE9</font></div>",
         "character 47"},
        // Another kind's body.
        {"Video", image, "character 2"},
    };
    for (const Case& c : cases) {
        const ComponentReading reading = ReadComponentBody(c.kind, c.body);
        EXPECT_FALSE(reading.readable) << c.body;
        EXPECT_NE(reading.reason.find(c.where), std::string::npos) << reading.reason;
        EXPECT_NE(reading.reason.find("not what the editor writes"), std::string::npos);
    }
    const ComponentReading custom = ReadComponentBody("Custom_Table", "<table></table>");
    EXPECT_FALSE(custom.readable);
    EXPECT_NE(custom.reason.find("its file"), std::string::npos) << custom.reason;
}

TEST(ComponentReading, TheFormBlockReadsItsActionWithOrWithoutTheRobotTrap) {
    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        const bool trap = round % 2 == 0;
        const std::string body = FormBody(test::RandomText(random), trap);
        const ComponentReading reading = ReadFormBody(body);
        ASSERT_TRUE(reading.readable) << reading.reason;
        EXPECT_EQ(reading.Values().at("trap"), trap ? "1" : "0");
        EXPECT_EQ(FormBody(reading.Values().at("action"), trap), body);
    }
    EXPECT_EQ(ReadFormBody(FormBody("feedback.php")).Values().at("action"), "feedback.php");
    // A form prepared before the trap existed still reads.
    EXPECT_EQ(ReadFormBody("<form method=\"POST\" action=\"a.php\">").Values().at("trap"), "0");
    EXPECT_FALSE(ReadFormBody("<form method=\"GET\" action=\"x\">").readable);
}

} // namespace
} // namespace qf
