// Random sequences of edits on pages made from every shipped layout: after
// every step the page must be sound, the file must hold the page text, and
// the selection lists must list what a rebuild would.
#include "components/component_fields.h"
#include "components/insertion.h"
#include "document/kind_table.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "error.h"
#include "workspace/app_folder.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/component_editing.h"
#include "workspace/layouts.h"
#include "workspace/new_page.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace qf {
namespace {

class EditingSequence {
public:
    EditingSequence(Workspace& workspace, std::uint32_t seed) : w_(workspace), random_(seed) {}

    // One random edit; returns what it did, for the failure message.
    std::string Step() {
        const int choice = Pick(0, 9);
        const bool has_area = !w_.area_list.entries.empty();
        const bool has_component = !w_.component_list.entries.empty();
        if (!has_area) {
            return "nothing (no area left)";
        }
        w_.area_list.text = Any(w_.area_list.entries);
        if (has_component) {
            w_.component_list.text = Any(w_.component_list.entries);
        }
        switch (choice) {
        case 0:
        case 1:
            return Insert();
        case 2:
            return ModifyRandomArea();
        case 3:
            if (w_.area_list.entries.size() < 3) {
                return Insert();
            }
            {
                const std::string area = Selected();
                DeleteArea(w_);
                return "delete-area " + area;
            }
        case 4:
            if (!has_component) {
                return Insert();
            }
            SaveComponentSource(w_, Pick(0, 1) ? "<p>new</p>\n<b>x</b>" : "");
            return "set-component-source " + w_.component_list.text;
        case 5:
            if (!has_component) {
                return Insert();
            }
            DeleteComponent(w_);
            return "delete-component";
        case 6:
            InsertPlatform(w_, Pick(2, 4), Pick(1, 200), Pick(0, 50));
            return "platform " + Selected();
        case 7:
            InsertLineBreak(w_);
            return "line-break " + Selected();
        default:
            InsertHtml(w_, "<span title=\"a>b\">Caf\xC3\xA9</span>\n<br>");
            return "insert-html " + Selected();
        }
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    const std::string& Any(const std::vector<std::string>& items) {
        return items[std::size_t(Pick(0, int(items.size()) - 1))];
    }
    std::string Selected() const { return w_.area_list.text; }

    std::string Insert() {
        if (Pick(0, 1) == 0) {
            // A kind with a builder, with its dialog's initial values.
            std::vector<std::string_view> kinds;
            // (Not those that need the application folder's files.)
            for (const ComponentSpec& spec : ComponentSpecs()) {
                if (spec.kind_tag != "Roll_Img" && spec.kind_tag != "Custom_Table") {
                    kinds.push_back(spec.kind_tag);
                }
            }
            const std::string_view kind = kinds[std::size_t(Pick(0, int(kinds.size()) - 1))];
            const std::string before = w_.page_text;
            try {
                return "insert " + InsertComponent(w_, kind, {});
            } catch (const CommandError&) {
                // A kind that needs more than its initial values (a custom
                // table without table files): refused without a change.
                EXPECT_EQ(w_.page_text, before) << kind;
            }
        }
        // Any listed kind of the kind table, with a finished body.
        std::vector<std::string_view> kinds;
        for (const Kind& kind : Kinds()) {
            if (!kind.display_name.empty()) {
                kinds.push_back(kind.tag);
            }
        }
        const std::string_view kind = kinds[std::size_t(Pick(0, int(kinds.size()) - 1))];
        return "insert " + CommitComponent(w_, kind, "<i>body</i>");
    }

    std::string ModifyRandomArea() {
        const AreaReading reading = ReadArea(w_.page_text, AreaToEdit(w_.area_list.text));
        AreaChanges changes;
        if (Pick(0, 1)) {
            changes.width = Pick(0, 900);
        }
        if (Pick(0, 1)) {
            changes.height = Pick(0, 400);
        }
        if (Pick(0, 1)) {
            changes.background = Pick(0, 1) ? "#12AB9F" : "red";
        }
        if (Pick(0, 1)) {
            changes.border_colour = "";
        }
        if (reading.shape == AreaShape::Table && Pick(0, 1)) {
            changes.inner = Pick(0, 9);
            changes.outer = Pick(0, 9);
            changes.align = "Right";
            changes.valign = "Bottom \"x\"";
        }
        ModifyArea(w_, changes);
        return "modify-area " + Selected();
    }

    Workspace& w_;
    std::mt19937 random_;
};

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

TEST(EditingSequences, LeaveEveryShippedLayoutsPagesSound) {
    QTemporaryDir dir;
    const std::string app = dir.path().toStdString() + "/app/";
    FillAppFolder(app);
    for (const int layout : LayoutNumbers(app)) {
        for (std::uint32_t seed = 1; seed <= 2; ++seed) {
            const std::string path =
                dir.filePath(QString("page%1_%2.html").arg(layout).arg(seed)).toStdString();
            WritePageFile(
                path, PageTextFromLayout(ReadLayout(app, layout), {"p", "Sequence", "#ffffff", 0}));
            Workspace workspace;
            OpenPage(workspace, path);
            EditingSequence sequence(workspace, seed * 1000 + std::uint32_t(layout));
            std::string history;
            for (int step = 0; step < 30; ++step) {
                try {
                    history += sequence.Step() + "; ";
                } catch (const CommandError& error) {
                    FAIL() << "layout " << layout << " seed " << seed << ": " << history
                           << "refused: " << error.what();
                }
                SCOPED_TRACE("layout " + std::to_string(layout) + " seed " + std::to_string(seed) +
                             ": " + history);
                const std::string& page = workspace.page_text;
                ASSERT_EQ(CheckPage(page), std::vector<std::string>{});
                ASSERT_EQ(ReadPageFile(path), page);
                ASSERT_EQ(Sorted(workspace.area_list.entries), Sorted(AreaEntries(page)));
                ASSERT_EQ(Sorted(workspace.component_list.entries), Sorted(ComponentEntries(page)));
                for (const std::string& entry : workspace.area_list.entries) {
                    ASSERT_NO_THROW(ReadArea(page, AreaToEdit(entry))) << entry;
                }
                for (const std::string& entry : workspace.component_list.entries) {
                    ASSERT_NO_THROW(ComponentSource(page, entry)) << entry;
                }
            }
        }
    }
}

} // namespace
} // namespace qf
