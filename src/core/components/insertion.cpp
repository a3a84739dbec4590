#include "components/insertion.h"

#include "components/custom_tables.h"
#include "components/rollover.h"
#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "workspace/workspace.h"

#include <cstdio>

namespace qf {

namespace {

// The area named by the Select Area text, checked against the page before
// anything changes, and where it stands there.
struct SelectedArea {
    int number = 0;
    AreaPlace place;
};
SelectedArea CheckedArea(const Workspace& workspace) {
    const std::optional<int> area = SelectedAreaNumber(workspace.area_list.text);
    if (!area) {
        throw CommandError(std::string(kNeedAreaMessage));
    }
    // Throws when the area is not there.
    return {*area, FindAreaPlace(workspace.page_text, *area)};
}

// The background sound reads no area: the palette's gate is all it needs.
void CheckAreaSelected(const Workspace& workspace) {
    if (workspace.area_list.text.empty() || workspace.area_list.text.front() != 'A') {
        throw CommandError(std::string(kNeedAreaMessage));
    }
}

// Writes the page text the pipeline produced (`commit`), and only then
// appends the new Select Component entry.
template <typename Write>
std::string CommitEntry(Workspace& workspace, std::string_view kind_tag, int number,
                        Write&& commit) {
    std::string entry = ComponentEntry(kind_tag, number);
    commit();
    if (!entry.empty()) {
        workspace.component_list.entries.push_back(entry);
    }
    return entry;
}

// "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>"
std::string ComponentBlock(std::string_view name, std::string_view body) {
    std::string block = BeginMarker(name);
    block.append(body).append(EndMarker(name));
    return block;
}

// The folder of the open page file, ending in "/": where the page looks for
// the files it references by a bare name.
std::string PageFolder(const Workspace& workspace) {
    return FolderOfFile(workspace.page_path);
}

} // namespace

namespace {

// Where a new component goes, found on the page before any change: its
// declaration before the separator, its block at `point`.
struct ComponentPlan {
    int number = 0;
    std::string name;
    std::size_t separator = 0;
    std::size_t point = 0;
    std::string block;
    // The declaration block stands inside the area itself: the declaration
    // may change how the area's cell is found, so the steps go one by one.
    bool step_by_step = false;
};

// The plan in area `area`, with the area's place on `page` given when it is known.
ComponentPlan PlanInArea(std::string_view page, std::string_view kind_tag, std::string_view body,
                         int area, const AreaPlace* known) {
    ComponentPlan plan;
    plan.number = NextInstanceNumber(page, kind_tag);
    plan.name = std::string(kind_tag) + std::to_string(plan.number);
    plan.separator = DeclarationSeparator(page);
    const AreaPlace place = known != nullptr ? *known : FindAreaPlace(page, area);
    plan.point = place.insert_point;
    plan.block = ComponentBlock(plan.name, body);
    plan.step_by_step = plan.separator > place.begin && plan.separator < place.end;
    return plan;
}

ComponentPlan PlanBeforeDeclarations(std::string_view page, std::string_view kind_tag,
                                     std::string_view body) {
    ComponentPlan plan;
    plan.number = NextInstanceNumber(page, kind_tag);
    plan.name = std::string(kind_tag) + std::to_string(plan.number);
    plan.separator = DeclarationSeparator(page);
    plan.point = page.find(kDeclareBegin);
    if (plan.point == std::string::npos) {
        throw CommandError("The page has no declaration block (" + std::string(kDeclareBegin) +
                           "): it was not made by this editor.");
    }
    plan.block = ComponentBlock(plan.name, body);
    return plan;
}

// The new page text of a plan; `area` is the plan's area.
PageWithComponent Assemble(std::string_view page, const ComponentPlan& plan, int area) {
    if (plan.step_by_step) {
        std::string text(page);
        AddDeclaration(text, plan.name);
        text.insert(AreaInsertPoint(text, area), plan.block);
        return {std::move(text), plan.number};
    }
    // Elsewhere the declaration only moves what stands behind it: both points
    // are those of the original text.
    return {
        WithInsertions(page, plan.separator, DeclarationMarker(plan.name), plan.point, plan.block),
        plan.number};
}

// True when the plan can be carried out on the page text where it stands
// (CommitInsertions): both points found on the original, the declaration
// going into the declaration block and the block outside it, so the step is
// named by its declaration alone.
bool InsertsInPlace(std::string_view page, const ComponentPlan& plan) {
    static constexpr std::string_view kBlockEnd = "<!---declare_end";
    const std::size_t begin = page.find("<!---declare_begin");
    const std::size_t end = page.find(kBlockEnd);
    return !plan.step_by_step && begin != kNotFound && end != kNotFound &&
           plan.separator >= begin && plan.separator < end &&
           (plan.point <= begin || plan.point >= end + kBlockEnd.size());
}

// Carries out a plan on the open page: where it can, on the page text where
// it stands, else on a new text.
std::string Commit(Workspace& workspace, std::string_view kind_tag, int area, ComponentPlan plan) {
    return CommitEntry(workspace, kind_tag, plan.number, [&] {
        if (InsertsInPlace(workspace.page_text, plan)) {
            std::vector<TextInsertion> insertions;
            insertions.push_back({plan.separator, DeclarationMarker(plan.name)});
            insertions.push_back({plan.point, std::move(plan.block)});
            CommitInsertions(workspace, std::move(insertions));
        } else {
            CommitPageText(workspace, Assemble(workspace.page_text, plan, area).text);
        }
    });
}

// A labelled form field's id ("field-NAME") must be the page's only one, or
// its label would reach the other field.
void CheckFieldIdsFree(std::string_view page, std::string_view body) {
    constexpr std::string_view kId = " id=\"field-";
    for (std::size_t at = body.find(kId); at != std::string_view::npos;
         at = body.find(kId, at + 1)) {
        const std::size_t end = body.find('"', at + kId.size());
        if (end == std::string_view::npos) {
            break;
        }
        const std::string_view id = body.substr(at, end + 1 - at); // ' id="field-x"'
        if (page.find(id) != std::string_view::npos) {
            throw CommandError("Another field of this page has the id " +
                               std::string(id.substr(4)) +
                               " already, which its label is known by: give this field another "
                               "name");
        }
    }
}

} // namespace

PageWithComponent WithComponent(std::string_view page, std::string_view kind_tag,
                                std::string_view body, int area) {
    return Assemble(page, PlanInArea(page, kind_tag, body, area, nullptr), area);
}

int AddComponent(std::string& page, std::string_view kind_tag, std::string_view body, int area) {
    PageWithComponent result = WithComponent(page, kind_tag, body, area);
    page = std::move(result.text);
    return result.number;
}

PageWithComponent WithComponentBeforeDeclarations(std::string_view page, std::string_view kind_tag,
                                                  std::string_view body) {
    return Assemble(page, PlanBeforeDeclarations(page, kind_tag, body), 0);
}

int AddComponentBeforeDeclarations(std::string& page, std::string_view kind_tag,
                                   std::string_view body) {
    PageWithComponent result = WithComponentBeforeDeclarations(page, kind_tag, body);
    page = std::move(result.text);
    return result.number;
}

std::string CommitComponent(Workspace& workspace, std::string_view kind_tag,
                            std::string_view body) {
    RequireOpenPage(workspace);
    const SelectedArea area = CheckedArea(workspace);
    return Commit(workspace, kind_tag, area.number,
                  PlanInArea(workspace.page_text, kind_tag, body, area.number, &area.place));
}

std::string InsertComponent(Workspace& workspace, std::string_view kind_tag,
                            const FieldValues& values) {
    RequireOpenPage(workspace);
    const bool outside_areas = kind_tag == "Bgsound";
    SelectedArea area;
    if (outside_areas) {
        CheckAreaSelected(workspace);
    } else {
        area = CheckedArea(workspace);
    }
    const std::string body = kind_tag == "Custom_Table"
                                 ? CustomTableBody(workspace.app_folder, values)
                                 : BuildComponentBody(kind_tag, values);
    CheckFieldIdsFree(workspace.page_text, body);
    const bool rollover = kind_tag == "Roll_Img";
    if (!rollover) {
        return Commit(workspace, kind_tag, area.number,
                      outside_areas ? PlanBeforeDeclarations(workspace.page_text, kind_tag, body)
                                    : PlanInArea(workspace.page_text, kind_tag, body, area.number,
                                                 &area.place));
    }
    if (!PageTakesRollover(workspace.page_text)) {
        throw CommandError(std::string(kPageHoldsRolloverMessage));
    }
    // The script's reference in the head moves the area: its place is found again.
    std::string with_script = workspace.page_text;
    AddRolloverScriptReference(with_script);
    PageWithComponent page = Assemble(
        with_script, PlanInArea(with_script, kind_tag, body, area.number, nullptr), area.number);
    with_script = std::string();
    // The page refers to the script by its bare name: it goes beside the page,
    // and goes again when the page could not be written.
    const std::string script = PageFolder(workspace) + std::string(kRolloverScriptFile);
    const bool had_script = EntryExists(script);
    CopyRolloverScript(workspace.app_folder, PageFolder(workspace));
    try {
        return CommitEntry(workspace, kind_tag, page.number,
                           [&] { CommitPageText(workspace, std::move(page.text)); });
    } catch (const NotDurableError&) {
        throw;
    } catch (...) {
        if (!had_script) {
            std::remove(script.c_str());
        }
        throw;
    }
}

} // namespace qf
