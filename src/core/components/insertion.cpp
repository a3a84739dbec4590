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

// WithComponent, with the area's place on `page` given when it is known.
PageWithComponent WithComponentAt(std::string_view page, std::string_view kind_tag,
                                  std::string_view body, int area, const AreaPlace* known) {
    const int number = NextInstanceNumber(page, kind_tag);
    const std::string name = std::string(kind_tag) + std::to_string(number);
    const std::size_t separator = DeclarationSeparator(page);
    const AreaPlace place = known != nullptr ? *known : FindAreaPlace(page, area);
    const std::string block = ComponentBlock(name, body);
    if (separator > place.begin && separator < place.end) {
        // The declaration block inside the area itself: the declaration may
        // change how the area's cell is found, so the steps go one by one.
        std::string text(page);
        AddDeclaration(text, name);
        text.insert(AreaInsertPoint(text, area), block);
        return {std::move(text), number};
    }
    // Elsewhere the declaration only moves what stands behind it: both points
    // are those of the original text.
    return {WithInsertions(page, separator, DeclarationMarker(name), place.insert_point, block),
            number};
}

} // namespace

PageWithComponent WithComponent(std::string_view page, std::string_view kind_tag,
                                std::string_view body, int area) {
    return WithComponentAt(page, kind_tag, body, area, nullptr);
}

int AddComponent(std::string& page, std::string_view kind_tag, std::string_view body, int area) {
    PageWithComponent result = WithComponent(page, kind_tag, body, area);
    page = std::move(result.text);
    return result.number;
}

PageWithComponent WithComponentBeforeDeclarations(std::string_view page, std::string_view kind_tag,
                                                  std::string_view body) {
    const int number = NextInstanceNumber(page, kind_tag);
    const std::string name = std::string(kind_tag) + std::to_string(number);
    const std::size_t separator = DeclarationSeparator(page);
    const std::size_t point = page.find(kDeclareBegin);
    if (point == std::string::npos) {
        throw CommandError("The page has no declaration block (" + std::string(kDeclareBegin) +
                           "): it was not made by this editor.");
    }
    return {
        WithInsertions(page, separator, DeclarationMarker(name), point, ComponentBlock(name, body)),
        number};
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
    PageWithComponent page =
        WithComponentAt(workspace.page_text, kind_tag, body, area.number, &area.place);
    return Commit(workspace, kind_tag, page.number, std::move(page.text));
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
    const bool rollover = kind_tag == "Roll_Img";
    std::string_view source = workspace.page_text;
    std::string with_script;
    if (rollover) {
        if (!PageTakesRollover(source)) {
            throw CommandError(std::string(kPageHoldsRolloverMessage));
        }
        with_script = workspace.page_text;
        AddRolloverScriptReference(with_script);
        source = with_script;
    }
    // The script's reference in the head moves the area: its place is found again.
    PageWithComponent page = outside_areas ? WithComponentBeforeDeclarations(source, kind_tag, body)
                                           : WithComponentAt(source, kind_tag, body, area.number,
                                                             rollover ? nullptr : &area.place);
    with_script = std::string();
    if (rollover) {
        // The page refers to the script by its bare name: it goes beside the page.
        CopyRolloverScript(workspace.app_folder, PageFolder(workspace));
    }
    return Commit(workspace, kind_tag, page.number, std::move(page.text));
}

} // namespace qf
