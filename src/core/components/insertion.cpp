#include "components/insertion.h"

#include "components/custom_tables.h"
#include "components/rollover.h"
#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "workspace/workspace.h"

namespace qf {

namespace {

// The area named by the Select Area text, checked against the page before
// anything changes.
int CheckedArea(const Workspace& workspace) {
    const std::optional<int> area = SelectedAreaNumber(workspace.area_list.text);
    if (!area) {
        throw CommandError(std::string(kNeedAreaMessage));
    }
    AreaInsertPoint(workspace.page_text, *area); // throws when the area is not there
    return *area;
}

// The background sound reads no area: the palette's gate is all it needs.
void CheckAreaSelected(const Workspace& workspace) {
    if (workspace.area_list.text.empty() || workspace.area_list.text.front() != 'A') {
        throw CommandError(std::string(kNeedAreaMessage));
    }
}

// Writes the page text the pipeline produced, and only then takes it and
// appends the new Select Component entry.
std::string Commit(Workspace& workspace, std::string_view kind_tag, int number, std::string page) {
    std::string entry = ComponentEntry(kind_tag, number);
    CommitPageText(workspace, std::move(page));
    if (!entry.empty()) {
        workspace.component_list.entries.push_back(entry);
    }
    return entry;
}

// The folder of the open page file, ending in "/": where the page looks for
// the files it references by a bare name.
std::string PageFolder(const Workspace& workspace) {
    return FolderOfFile(workspace.page_path);
}

} // namespace

int AddComponent(std::string& page, std::string_view kind_tag, std::string_view body, int area) {
    std::string text = page;
    const int number = NextInstanceNumber(text, kind_tag);
    const std::string name = std::string(kind_tag) + std::to_string(number);
    AddDeclaration(text, name);
    const std::size_t point = AreaInsertPoint(text, area);
    std::string block = BeginMarker(name);
    block.append(body).append(EndMarker(name));
    text.insert(point, block);
    page = std::move(text);
    return number;
}

int AddComponentBeforeDeclarations(std::string& page, std::string_view kind_tag,
                                   std::string_view body) {
    std::string text = page;
    const int number = NextInstanceNumber(text, kind_tag);
    const std::string name = std::string(kind_tag) + std::to_string(number);
    AddDeclaration(text, name);
    const std::size_t point = text.find(kDeclareBegin);
    if (point == std::string::npos) {
        throw CommandError("The page has no declaration block (" + std::string(kDeclareBegin) +
                           "): it was not made by this editor.");
    }
    std::string block = BeginMarker(name);
    block.append(body).append(EndMarker(name));
    text.insert(point, block);
    page = std::move(text);
    return number;
}

std::string CommitComponent(Workspace& workspace, std::string_view kind_tag,
                            std::string_view body) {
    RequireOpenPage(workspace);
    const int area = CheckedArea(workspace);
    std::string page = workspace.page_text;
    const int number = AddComponent(page, kind_tag, body, area);
    return Commit(workspace, kind_tag, number, std::move(page));
}

std::string InsertComponent(Workspace& workspace, std::string_view kind_tag,
                            const FieldValues& values) {
    RequireOpenPage(workspace);
    const bool outside_areas = kind_tag == "Bgsound";
    int area = 0;
    if (outside_areas) {
        CheckAreaSelected(workspace);
    } else {
        area = CheckedArea(workspace);
    }
    const std::string body = kind_tag == "Custom_Table"
                                 ? CustomTableBody(workspace.app_folder, values)
                                 : BuildComponentBody(kind_tag, values);
    const bool rollover = kind_tag == "Roll_Img";
    std::string page = workspace.page_text;
    if (rollover) {
        if (!PageTakesRollover(page)) {
            throw CommandError(std::string(kPageHoldsRolloverMessage));
        }
        AddRolloverScriptReference(page);
    }
    const int number = outside_areas ? AddComponentBeforeDeclarations(page, kind_tag, body)
                                     : AddComponent(page, kind_tag, body, area);
    if (rollover) {
        // The page refers to the script by its bare name: it goes beside the page.
        CopyRolloverScript(workspace.app_folder, PageFolder(workspace));
    }
    return Commit(workspace, kind_tag, number, std::move(page));
}

} // namespace qf
