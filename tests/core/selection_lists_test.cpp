#include "document/kind_table.h"
#include "document/selection_lists.h"
#include "error.h"
#include "test_pages.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

using test::PageWith;
using Entries = std::vector<std::string>;

TEST(TrailingNumber, ReadsAtMostThreeDigits) {
    EXPECT_EQ(TrailingNumber("Area7"), 7);
    EXPECT_EQ(TrailingNumber("Area12"), 12);
    EXPECT_EQ(TrailingNumber("Area123"), 123);
    EXPECT_EQ(TrailingNumber("Area100"), 100);
    EXPECT_EQ(TrailingNumber("Area10"), 10);
    EXPECT_EQ(TrailingNumber("Image Link05"), 5);
    EXPECT_EQ(TrailingNumber("Image1234"), 234);
    EXPECT_EQ(TrailingNumber("7"), 7);
}

TEST(TrailingNumber, TextWithoutTrailingDigitIsRefused) {
    for (const char* text : {"Area", "", "Ar3a", "Area1x2"}) {
        try {
            TrailingNumber(text);
            FAIL() << "accepted " << text;
        } catch (const CommandError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(SelectionLists, RebuildListsAreasAndNamedComponents) {
    const std::string page = PageWith("<!---Table1---!><!---Table2---!><!---Image1---!>"
                                      "<!---Spaced_List1---!><!---Text_Link1---!>");
    EXPECT_EQ(AreaEntries(page), (Entries{"Area1", "Area2"}));
    EXPECT_EQ(ComponentEntries(page), (Entries{"Image1", "Spaced Item List1", "Text Link1"}));
}

TEST(SelectionLists, EveryKindMapsToItsDisplayNameAndBack) {
    for (const Kind& kind : Kinds()) {
        const std::string page = PageWith("<!---" + std::string(kind.tag) + "37---!>");
        const Entries entries = ComponentEntries(page);
        if (kind.display_name.empty()) {
            EXPECT_TRUE(entries.empty()) << kind.tag;
            continue;
        }
        ASSERT_EQ(entries.size(), 1u) << kind.tag;
        EXPECT_EQ(entries[0], std::string(kind.display_name) + "37");
        const auto selection = SelectedComponentName(entries[0]);
        ASSERT_TRUE(selection);
        EXPECT_EQ(selection->MarkerName(), std::string(kind.tag) + "37");
    }
    EXPECT_EQ(ComponentEntries(PageWith("<!---Input_Text1---!><!---Shock2---!><!---Bgsound3---!>"
                                        "<!---Input_Pass4---!>")),
              (Entries{"Text Feild1", "Shockwave2", "Back Ground Sound3", "Password Feild4"}));
}

TEST(SelectionLists, AreaAfterLongNameAndFormIsKept) {
    EXPECT_EQ(AreaEntries(PageWith("<!---Table1---!><!---Superscript12---!><!---Table3---!>")),
              (Entries{"Area1", "Area3"}));
    EXPECT_EQ(ComponentEntries(PageWith("<!---Image1---!><!---Form1---!><!---Image2---!>")),
              (Entries{"Image1", "Image2"}));
    EXPECT_EQ(ComponentEntries(PageWith("<!---Form1---!><!---Table1---!>")), Entries{});
    // Unknown tags and names without a number add nothing.
    EXPECT_EQ(ComponentEntries(PageWith("<!---Marquee1---!><!---Image---!><!---Hr2---!>")),
              (Entries{"Horizontal Line2"}));
}

TEST(SelectionLists, RebuildKeepsTheShownText) {
    SelectionList areas{{"Area1", "Area2", "Area3"}, "Area3"};
    SelectionList components{{"Image1"}, "Image1"};
    RebuildSelectionLists(areas, components, PageWith("<!---Table1---!><!---Image2---!>"));
    EXPECT_EQ(areas.entries, Entries{"Area1"});
    EXPECT_EQ(areas.text, "Area3");
    EXPECT_EQ(components.entries, Entries{"Image2"});
    EXPECT_EQ(components.text, "Image1");
    RebuildSelectionLists(areas, components, "<html>no block</html>");
    EXPECT_TRUE(areas.entries.empty());
    EXPECT_TRUE(components.entries.empty());
    EXPECT_EQ(components.text, "Image1");
    components.entries = {"Image1", "Hr1"};
    components.Remove("Image1");
    EXPECT_EQ(components.entries, Entries{"Hr1"});
}

TEST(SelectionLists, SelectedAreaNeedsALeadingA) {
    EXPECT_EQ(SelectedAreaNumber("Area100"), 100);
    EXPECT_EQ(SelectedAreaNumber("Area10"), 10);
    EXPECT_EQ(SelectedAreaNumber("Select Area"), std::nullopt);
    EXPECT_EQ(SelectedAreaNumber(""), std::nullopt);
    EXPECT_EQ(SelectedAreaNumber("area3"), std::nullopt);
    EXPECT_THROW(SelectedAreaNumber("Area"), CommandError);
}

TEST(SelectionLists, SelectedComponentMapsDisplayNamesBack) {
    EXPECT_EQ(SelectedComponentName("Image Link12")->MarkerName(), "Link_Img12");
    EXPECT_EQ(SelectedComponentName("Shockwave3")->MarkerName(), "Shock3");
    EXPECT_EQ(SelectedComponentName("Spaced Item List1")->MarkerName(), "Spaced_List1");
    EXPECT_FALSE(SelectedComponentName("Select Component"));
    EXPECT_FALSE(SelectedComponentName(""));
    // A name the table does not hold gives no kind tag.
    const auto unknown = SelectedComponentName("Marquee4");
    ASSERT_TRUE(unknown);
    EXPECT_TRUE(unknown->kind_tag.empty());
    EXPECT_EQ(ComponentEntry("Roll_Img", 1), "Rollover Image1");
    EXPECT_EQ(ComponentEntry("Form", 1), "");
}

} // namespace
} // namespace qf
