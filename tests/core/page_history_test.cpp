#include "workspace/page_history.h"

#include "components/component_fields.h"
#include "components/form.h"
#include "components/insertion.h"
#include "components/page_properties.h"
#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "random_edits.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/layouts.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace qf {
namespace {

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    // Letters and markup, a few bytes outside ASCII and a lone CR among them.
    static constexpr std::string_view kAlphabet = "abc<>/=\" #&;\r\xe9\xc3\xa9";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += kAlphabet[random() % kAlphabet.size()];
    }
    return text;
}

TEST(DiffTexts, KeepsOnlyTheChangedRunsAndRoundTrips) {
    std::mt19937 random(7);
    std::string big;
    while (big.size() < (1u << 20)) {
        big += "<p>paragraph " + std::to_string(big.size()) + " of running text</p>";
    }
    // A declaration near the top and a block far below: two small runs.
    std::string changed = big;
    changed.insert(big.size() - 100, "<!---Begin_Image1---!><img><!---End_Image1---!>");
    changed.insert(40, "<!---Image1---!>");
    std::vector<TextHunk> hunks = DiffTexts(big, changed);
    ASSERT_EQ(hunks.size(), 2u);
    EXPECT_LT(hunks[0].inserted.size() + hunks[1].inserted.size(), 100u);
    EXPECT_EQ(ApplyHunks(big, hunks), changed);
    EXPECT_EQ(RevertHunks(changed, hunks), big);

    EXPECT_TRUE(DiffTexts(big, big).empty());
    EXPECT_EQ(ApplyHunks("", DiffTexts("", "new")), "new");
    EXPECT_EQ(RevertHunks("", DiffTexts("old", "")), "old");

    // A text made of one repeated run: any pairing must still round-trip.
    const std::string repeated(5000, 'x');
    const std::string repeated_changed =
        "y" + repeated.substr(0, 2500) + "zz" + repeated.substr(2600);
    hunks = DiffTexts(repeated, repeated_changed);
    EXPECT_EQ(ApplyHunks(repeated, hunks), repeated_changed);
    EXPECT_EQ(RevertHunks(repeated_changed, hunks), repeated);

    // Random texts with several random replacements.
    for (int round = 0; round < 300; ++round) {
        const std::string before = RandomBytes(random, random() % 3000);
        std::string after = before;
        const int edits = int(random() % 5);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = after.empty() ? 0 : random() % after.size();
            const std::size_t cut = std::min<std::size_t>(random() % 200, after.size() - at);
            after.replace(at, cut, RandomBytes(random, random() % 200));
        }
        hunks = DiffTexts(before, after);
        ASSERT_EQ(ApplyHunks(before, hunks), after) << round;
        ASSERT_EQ(RevertHunks(after, hunks), before) << round;
    }
}

TEST(DiffTexts, HunksRefuseATextTheyWereNotTakenFrom) {
    const std::vector<TextHunk> hunks = DiffTexts("<p>one</p><p>two</p>", "<p>one</p><p>2</p>");
    EXPECT_FALSE(ApplyHunks("<p>one</p>", hunks));
    EXPECT_FALSE(RevertHunks("<p>one</p><p>two</p>", hunks));
    EXPECT_FALSE(ApplyHunks("", hunks));
}

// Whatever happens to the declarations (names added, removed, doubled,
// moved, anywhere in a long block), a step is named after the first name
// declared after and not before, else the first declared before and not
// after: the lists compared whole.
TEST(DescribeChange, NamesTheSameDeclarationAsTheWholeListsDo) {
    std::mt19937 random(20261209);
    const std::vector<std::string> kinds = {"Image", "Text", "Table", "Link_Img", "Text_Link"};
    auto random_name = [&] {
        return kinds[random() % kinds.size()] + std::to_string(1 + random() % 40);
    };
    auto page_of = [](const std::vector<std::string>& names) {
        std::string declarations;
        for (const std::string& name : names) {
            declarations += DeclarationMarker(name);
        }
        return test::PageWith(declarations, test::TableArea(1));
    };
    auto expected = [](std::string_view before, std::string_view after) -> std::string {
        const std::vector<std::string> old_names = DeclarationNames(before);
        const std::vector<std::string> new_names = DeclarationNames(after);
        std::vector<std::string> added;
        for (const std::string& name : new_names) {
            if (std::find(old_names.begin(), old_names.end(), name) == old_names.end()) {
                added.push_back(name);
            }
        }
        for (const std::string& name : added) {
            if (name.rfind("Table", 0) == 0) {
                return "+area";
            }
        }
        if (!added.empty()) {
            return "+" + added.front();
        }
        for (const std::string& name : old_names) {
            if (std::find(new_names.begin(), new_names.end(), name) == new_names.end()) {
                return "-" + name;
            }
        }
        return "=";
    };
    auto named = [](const std::string& step) -> std::string {
        if (step.rfind("Insert Platform", 0) == 0) {
            return "+area";
        }
        if (step.rfind("Insert ", 0) == 0) {
            return "+" + step.substr(7);
        }
        if (step.rfind("Delete ", 0) == 0) {
            return "-" + step.substr(7);
        }
        return "=";
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> names(random() % 60);
        for (std::string& name : names) {
            name = random_name();
        }
        std::vector<std::string> changed = names;
        for (int edits = 1 + int(random() % 3); edits > 0; --edits) {
            const std::size_t at = changed.empty() ? 0 : random() % (changed.size() + 1);
            switch (random() % 4) {
            case 0:
                changed.insert(changed.begin() + long(at), random_name());
                break;
            case 1:
                if (at < changed.size()) {
                    changed.erase(changed.begin() + long(at));
                }
                break;
            case 2:
                if (at < changed.size()) {
                    changed.insert(changed.begin() + long(random() % changed.size()), changed[at]);
                }
                break;
            default:
                if (at < changed.size()) {
                    std::swap(changed[at], changed[random() % changed.size()]);
                }
                break;
            }
        }
        const std::string before = page_of(names);
        const std::string after = page_of(changed);
        std::string want = expected(before, after);
        if (want.size() > 1 && want != "+area") {
            // The step names the entry; compare by the marker name's entry.
            const std::string name = want.substr(1);
            const std::optional<NumberedName> split = SplitTrailingNumber(name);
            want = want.substr(0, 1) + (split && split->prefix == "Table"
                                            ? "Area" + std::to_string(split->number)
                                            : ComponentEntry(split->prefix, split->number));
        }
        ASSERT_EQ(named(DescribeChange(before, after)), want) << "round " << round;
    }
}

TEST(DescribeChange, NamesEachKindOfStep) {
    const std::string page = test::PageWith(
        "<!---Table1---!><!---Image1---!>",
        test::TableArea(1, "A<!---Begin_Image1---!><img src=\"a.gif\"><!---End_Image1---!>"));

    std::string inserted = page;
    AddComponent(inserted, "Link_Img", "<a><img></a>", 1);
    EXPECT_EQ(DescribeChange(page, inserted), "Insert Image Link1");
    std::string table = page;
    AddComponent(table, "Data_Table", "<table></table>", 1);
    EXPECT_EQ(DescribeChange(page, table), "Insert Data Table1");
    std::string form = page;
    AddForm(form, "feedback.php");
    EXPECT_EQ(DescribeChange(page, form), "Prepare your Form");

    std::string deleted = page;
    const BlockPosition image = FindBlock(deleted, "Image1");
    deleted.erase(image.begin, image.block_end - image.begin);
    RemoveDeclaration(deleted, "Image1");
    EXPECT_EQ(DescribeChange(page, deleted), "Delete Image1");

    std::string area_gone = page;
    const BlockPosition area = FindBlock(area_gone, "Table1");
    area_gone.erase(area.begin, area.block_end - area.begin);
    RemoveDeclaration(area_gone, "Table1");
    EXPECT_EQ(DescribeChange(page, area_gone), "Delete Area1");

    std::string modified = page;
    modified.replace(modified.find("a.gif"), 5, "b.gif");
    EXPECT_EQ(DescribeChange(page, modified), "Modify Image1");

    // A line break behind content ending in the break's own bytes.
    for (const std::string& content : {std::string("<br>"), std::string("<b>hi</b>")}) {
        std::string added = page;
        added.insert(AreaInsertPoint(added, 1), content);
        EXPECT_EQ(DescribeChange(page, added),
                  content == "<br>" ? "Insert Line Break" : "Insert HTML");
        std::string twice = added;
        twice.insert(AreaInsertPoint(twice, 1), content);
        EXPECT_EQ(DescribeChange(added, twice), DescribeChange(page, added));
    }

    // A width made longer by one digit is an area's modification, not an insertion.
    const std::string wide_area = test::PageWith(
        "<!---Table1---!>", "<!---Begin_Table1---!><Table width=40 cellpadding=\"0\"><td>x</td>"
                            "</table><!---End_Table1---!>");
    std::string wider = wide_area;
    wider.replace(wider.find("=40 "), 4, "=400 ");
    EXPECT_EQ(DescribeChange(wide_area, wider), "Modify Area1");

    std::string platform = page;
    AddDeclaration(platform, "Table3");
    AddDeclaration(platform, "Table2");
    EXPECT_EQ(DescribeChange(page, platform), "Insert Platform");

    PageProperties properties;
    properties.heading = "New title";
    const std::string titled = ApplyPageProperties(page, properties);
    EXPECT_EQ(DescribeChange(page, titled), "Page Properties");
}

TEST(PageHistory, StepsNamesAndTheDroppedRedo) {
    PageHistory history;
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoName(), "");
    EXPECT_FALSE(history.UndoText("a"));

    history.Record("a", "ab", "Insert B");
    history.Record("ab", "ab", "Nothing"); // no change, no step
    history.Record("ab", "abc", "Insert C");
    EXPECT_EQ(history.StepCount(), 2u);
    EXPECT_EQ(history.UndoName(), "Insert C");
    EXPECT_EQ(history.UndoText("abc"), "ab");
    EXPECT_FALSE(history.UndoText("xyz")); // not the text the history knows
    history.StepBack();
    EXPECT_EQ(history.UndoName(), "Insert B");
    EXPECT_EQ(history.RedoName(), "Insert C");
    EXPECT_EQ(history.RedoText("ab"), "abc");

    // A new step after an undo drops the step that could have been redone.
    history.Record("ab", "abd", "Insert D");
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.StepCount(), 2u);
    EXPECT_EQ(history.UndoName(), "Insert D");
    EXPECT_GT(history.MemoryBytes(), 0u);
    history.Clear();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.MemoryBytes(), 0u);
}

TEST(PageHistory, TheOldestStepsGoPastTheLimit) {
    PageHistory history;
    const std::string big(PageHistory::kMaxBytes / 3, 'x');
    history.Record("", big, "one");
    history.Record(big, "", "two");
    history.Record("", big, "three");
    history.Record(big, "", "four");
    EXPECT_LE(history.MemoryBytes(), PageHistory::kMaxBytes);
    EXPECT_EQ(history.UndoName(), "four");
    EXPECT_LT(history.StepCount(), 4u);
    EXPECT_GE(history.StepCount(), 2u);
}

// 200 random edits of every kind on a page from each shipped layout, each
// recorded; undoing all gives back every earlier text to the byte, and
// redoing all the final one.
TEST(PageHistory, RandomEditsOnEveryShippedLayoutUndoAndRedoToTheByte) {
    QTemporaryDir app;
    const std::string app_folder = app.path().toStdString() + "/";
    FillAppFolder(app_folder);
    const std::vector<int> layouts = LayoutNumbers(app_folder);
    ASSERT_FALSE(layouts.empty());
    std::mt19937 random(2024);
    for (const int layout : layouts) {
        SCOPED_TRACE("layout " + std::to_string(layout));
        std::vector<std::string> texts{test::PageFromLayout(ReadLayout(app_folder, layout))};
        PageHistory history;
        int failed = 0;
        for (int edit = 0; edit < 200; ++edit) {
            std::string next = texts.back();
            try {
                test::RandomEdit(random, next);
            } catch (const CommandError&) {
                ++failed; // a refused edit records nothing
                ASSERT_EQ(next, texts.back());
                continue;
            }
            if (next == texts.back()) {
                continue;
            }
            history.Record(texts.back(), next, DescribeChange(texts.back(), next));
            texts.push_back(std::move(next));
        }
        ASSERT_EQ(history.StepCount(), texts.size() - 1);
        std::string current = texts.back();
        for (std::size_t i = texts.size() - 1; i > 0; --i) {
            std::optional<std::string> earlier = history.UndoText(current);
            ASSERT_TRUE(earlier);
            ASSERT_EQ(*earlier, texts[i - 1]) << "undoing " << history.UndoName();
            history.StepBack();
            current = std::move(*earlier);
        }
        EXPECT_FALSE(history.CanUndo());
        while (history.CanRedo()) {
            current = *history.RedoText(current);
            history.StepForward();
        }
        EXPECT_EQ(current, texts.back());
        EXPECT_GT(texts.size(), 20u); // enough edits were taken to walk back through
        EXPECT_GT(failed, 0);         // refused edits were among them
    }
}

} // namespace
} // namespace qf
