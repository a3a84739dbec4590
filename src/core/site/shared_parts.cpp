#include "site/shared_parts.h"

#include "components/insertion.h"
#include "document/file_io.h"
#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "document/shared_markers.h"
#include "error.h"
#include "site/site_menu.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QDir>

#include <algorithm>
#include <cstdio>

namespace qf {

namespace {

constexpr std::string_view kPartSuffix = ".part";

// The kinds that belong to their page: a rollover brings its page a script,
// a background sound stands outside every area.
bool Shareable(std::string_view kind_tag) {
    return kind_tag != "Roll_Img" && kind_tag != "Bgsound";
}

std::string KindOfMarkerName(std::string_view marker_name) {
    const std::optional<NumberedName> split = SplitTrailingNumber(marker_name);
    return split ? std::string(split->prefix) : std::string();
}

// `text` with the body of every copy of `part` of the part's kind replaced
// by `body`; `only` limits it to the copy of that marker name.
std::string WithPartBody(const std::string& text, const SharedPart& part,
                         std::string_view only = {}) {
    std::string changed = text;
    const std::vector<SharedCopy> copies = SharedCopies(text, part.name);
    for (auto it = copies.rbegin(); it != copies.rend(); ++it) {
        if ((only.empty() || it->marker_name == only) &&
            KindOfMarkerName(it->marker_name) == part.kind_tag) {
            changed.replace(it->body_begin, it->body_end - it->body_begin, part.body);
        }
    }
    return changed;
}

// The page text as it is now: the open page's, else its file's.
std::string CurrentPageText(const Workspace& workspace, const std::string& page) {
    const std::string path = workspace.project_folder + page;
    if (workspace.HasOpenPage() && workspace.page_path == path) {
        return workspace.page_text;
    }
    return ReadPageFile(path);
}

// Writes `part` as the part's new body on every page holding it, one undo
// step, which also puts the part's file back (`old`, when there was one).
SiteChangeReport SpreadPart(Workspace& workspace, const SharedPart& part,
                            std::optional<SharedPart> old, std::string step_name,
                            std::vector<std::string> pages) {
    WriteSharedPart(workspace.project_folder, part);
    SiteChangeReport report = ChangeSitePages(
        workspace, pages, step_name,
        [&part](const std::string&, const std::string& text) { return WithPartBody(text, part); });
    const std::string folder = workspace.project_folder;
    workspace.after_group_step[workspace.last_group] = [folder, part, old](bool undone) {
        if (undone && old) {
            WriteSharedPart(folder, *old);
        } else if (!undone) {
            WriteSharedPart(folder, part);
        }
    };
    return report;
}

std::vector<std::string> WithPage(std::vector<std::string> pages, const std::string& page) {
    if (std::find(pages.begin(), pages.end(), page) == pages.end()) {
        pages.push_back(page);
    }
    return pages;
}

std::optional<SharedPart> PartIfThere(const std::string& folder, std::string_view name) {
    if (!EntryExists(SharedPartPath(folder, name))) {
        return std::nullopt;
    }
    return ReadSharedPart(folder, name);
}

} // namespace

std::string SharedPartPath(const std::string& project_folder, std::string_view name) {
    return FolderPath(project_folder) + std::string(kSharedPartsFolder) + "/" + std::string(name) +
           std::string(kPartSuffix);
}

SharedPart ReadSharedPart(const std::string& project_folder, std::string_view name) {
    CheckSharedPartName(name);
    const std::string path = SharedPartPath(project_folder, name);
    if (!EntryExists(path)) {
        throw CommandError("There is no shared part \"" + std::string(name) + "\" in the project.");
    }
    const std::string bytes = ReadRegularFile(path);
    const std::size_t line_end = bytes.find('\n');
    if (line_end == std::string::npos || line_end == 0) {
        throw CommandError("The shared part \"" + std::string(name) + "\" (" + path +
                           ") names no kind on its first line.");
    }
    return {std::string(name), bytes.substr(0, line_end), bytes.substr(line_end + 1)};
}

void WriteSharedPart(const std::string& project_folder, const SharedPart& part) {
    CheckSharedPartName(part.name);
    const QString folder =
        QString::fromStdString(FolderPath(project_folder) + std::string(kSharedPartsFolder));
    if (!QDir().mkpath(folder)) {
        throw CommandError("Cannot make the folder " + folder.toStdString() +
                           " for the shared parts.");
    }
    WriteFileAtomically(SharedPartPath(project_folder, part.name),
                        part.kind_tag + "\n" + part.body);
}

std::vector<std::string> SharedPartNames(const std::string& project_folder) {
    std::vector<std::string> names;
    const QDir folder(
        QString::fromStdString(FolderPath(project_folder) + std::string(kSharedPartsFolder)));
    for (const QString& file : folder.entryList({"*" + QString::fromLatin1(kPartSuffix.data())},
                                                QDir::Files, QDir::Name)) {
        std::string name = file.chopped(int(kPartSuffix.size())).toStdString();
        try {
            CheckSharedPartName(name);
            names.push_back(std::move(name));
        } catch (const CommandError&) {
            // a file put there by hand: no part of ours
        }
    }
    return names;
}

std::vector<std::string> PagesSharing(const std::string& project_folder, std::string_view name) {
    std::vector<std::string> pages;
    const std::string folder = FolderPath(project_folder);
    for (const std::string& page : ProjectPages(folder)) {
        try {
            if (!SharedCopies(ReadPageFile(folder + page), name).empty()) {
                pages.push_back(page);
            }
        } catch (const CommandError&) {
            // a page that cannot be read shows nothing
        }
    }
    return pages;
}

void ShareComponent(Workspace& workspace, std::string_view entry, std::string_view name) {
    RequireOpenPage(workspace);
    CheckSharedPartName(name);
    const ComponentSelection selection = ComponentToEdit(entry);
    if (!Shareable(selection.kind_tag)) {
        throw CommandError(std::string(entry) + " belongs to its page and cannot be shared.");
    }
    const std::string marker = selection.MarkerName();
    const BlockPosition block = FindBlock(workspace.page_text, marker);
    if (!block.found()) {
        throw CommandError(std::string(entry) + " is not on this page");
    }
    if (const std::string part = SharedPartOf(workspace.page_text, marker); !part.empty()) {
        throw CommandError(std::string(entry) + " is shared already, as \"" + part + "\".");
    }
    const std::string path = SharedPartPath(workspace.project_folder, name);
    if (EntryExists(path)) {
        throw CommandError("There is a shared part \"" + std::string(name) +
                           "\" already; give another name.");
    }
    std::string text = workspace.page_text;
    text.insert(block.block_end, SharedPartClosing(name));
    text.insert(block.begin, SharedPartOpening(name));
    WriteSharedPart(
        workspace.project_folder,
        {std::string(name), selection.kind_tag,
         workspace.page_text.substr(block.content_begin, block.end - block.content_begin)});
    try {
        CommitPageText(workspace, std::move(text), "Share " + std::string(entry));
    } catch (...) {
        std::remove(path.c_str());
        throw;
    }
}

std::vector<std::string> ShareAreaComponents(Workspace& workspace, std::string_view area_entry,
                                             std::string_view name) {
    RequireOpenPage(workspace);
    CheckSharedPartName(name);
    const std::optional<NumberedName> area = SplitTrailingNumber(area_entry);
    if (!area || area->prefix != "Area") {
        throw CommandError(std::string(area_entry) + " is not an area of this page");
    }
    const std::string area_marker = std::string(kAreaKind) + std::to_string(area->number);
    const BlockPosition area_block = FindBlock(workspace.page_text, area_marker);
    if (!area_block.found()) {
        throw CommandError(std::string(area_entry) + " is not an area of this page");
    }
    // The area's own components, in order: the blocks at its top level,
    // past the areas of a platform inside it.
    struct Found {
        std::string marker;
        BlockPosition block;
    };
    std::vector<Found> found;
    const std::string_view text = workspace.page_text;
    const std::string begin_prefix = std::string(kMarkerOpen) + "Begin_";
    std::size_t at = area_block.content_begin;
    while (true) {
        const std::size_t start = FindText(text.substr(0, area_block.end), begin_prefix, at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t name_begin = start + begin_prefix.size();
        const std::size_t name_end = text.find(kMarkerClose, name_begin);
        if (name_end == std::string_view::npos || name_end > area_block.end) {
            break;
        }
        const std::string marker(text.substr(name_begin, name_end - name_begin));
        const BlockPosition block = FindBlock(text, marker);
        if (!block.found() || block.begin != start || block.block_end > area_block.end) {
            at = name_end;
            continue;
        }
        const std::string kind = KindOfMarkerName(marker);
        if (kind != kAreaKind && Shareable(kind) && SharedPartOf(text, marker).empty()) {
            found.push_back({marker, block});
        }
        at = block.block_end; // what is inside the block is the block's
    }
    if (found.empty()) {
        throw CommandError(std::string(area_entry) +
                           " holds no component that can be shared and is not shared already.");
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < found.size(); ++i) {
        names.push_back(found.size() == 1 ? std::string(name)
                                          : std::string(name) + " " + std::to_string(i + 1));
        if (EntryExists(SharedPartPath(workspace.project_folder, names.back()))) {
            throw CommandError("There is a shared part \"" + names.back() +
                               "\" already; give another name.");
        }
    }
    std::string changed = workspace.page_text;
    for (std::size_t i = found.size(); i-- > 0;) {
        changed.insert(found[i].block.block_end, SharedPartClosing(names[i]));
        changed.insert(found[i].block.begin, SharedPartOpening(names[i]));
    }
    std::vector<std::string> written;
    try {
        for (std::size_t i = 0; i < found.size(); ++i) {
            const BlockPosition& block = found[i].block;
            WriteSharedPart(
                workspace.project_folder,
                {names[i], KindOfMarkerName(found[i].marker),
                 workspace.page_text.substr(block.content_begin, block.end - block.content_begin)});
            written.push_back(SharedPartPath(workspace.project_folder, names[i]));
        }
        CommitPageText(workspace, std::move(changed), "Share " + std::string(area_entry));
    } catch (...) {
        for (const std::string& path : written) {
            std::remove(path.c_str());
        }
        throw;
    }
    return names;
}

std::string PlaceSharedPart(Workspace& workspace, std::string_view name) {
    RequireOpenPage(workspace);
    return PlaceSharedCopy(workspace, ReadSharedPart(workspace.project_folder, name));
}

std::string PlaceSharedCopy(Workspace& workspace, const SharedPart& part) {
    RequireOpenPage(workspace);
    const std::optional<int> area =
        SelectedAreaOnPage(workspace.page_text, workspace.area_list.text);
    if (!area) {
        throw CommandError(std::string(kNeedAreaMessage));
    }
    PageWithComponent placed = WithComponent(workspace.page_text, part.kind_tag, part.body, *area);
    const std::string marker = part.kind_tag + std::to_string(placed.number);
    const BlockPosition block = FindBlock(placed.text, marker);
    placed.text.insert(block.block_end, SharedPartClosing(part.name));
    placed.text.insert(block.begin, SharedPartOpening(part.name));
    CommitPageText(workspace, std::move(placed.text), "Place Shared Part " + part.name);
    RebuildSelectionLists(workspace.area_list, workspace.component_list, workspace.page_text);
    return ComponentEntry(part.kind_tag, placed.number);
}

void UnshareComponent(Workspace& workspace, std::string_view entry) {
    RequireOpenPage(workspace);
    const std::string marker = ComponentToEdit(entry).MarkerName();
    if (SharedPartOf(workspace.page_text, marker).empty()) {
        throw CommandError(std::string(entry) + " is not a shared part's copy.");
    }
    CommitPageText(workspace, WithoutSharedComments(workspace.page_text, marker),
                   "Unshare " + std::string(entry));
}

std::string SharedPartOfEntry(const Workspace& workspace, std::string_view entry) {
    const std::optional<ComponentSelection> selection = SelectedComponentName(entry);
    return selection ? SharedPartOf(workspace.page_text, selection->MarkerName()) : std::string();
}

SiteChangeReport ModifySharedComponent(Workspace& workspace, std::string_view entry,
                                       const FieldValues& changes, bool all_pages) {
    RequireOpenPage(workspace);
    const ComponentSelection selection = ComponentToEdit(entry);
    const std::string marker = selection.MarkerName();
    const std::string name = SharedPartOf(workspace.page_text, marker);
    if (name.empty()) {
        throw CommandError(std::string(entry) + " is not a shared part's copy.");
    }
    const std::string modified = ModifiedComponentValuesText(workspace.page_text, entry, changes);
    if (all_pages && name == kSiteMenuPart) {
        throw CommandError(std::string(kMadeFromPagesMessage));
    }
    if (!all_pages) {
        CommitPageText(workspace, WithoutSharedComments(modified, marker),
                       "Modify " + std::string(entry));
        return {{workspace.page_name}, {}};
    }
    const BlockPosition block = FindBlock(modified, marker);
    const SharedPart part{name, selection.kind_tag,
                          modified.substr(block.content_begin, block.end - block.content_begin)};
    return SpreadPart(workspace, part, PartIfThere(workspace.project_folder, name),
                      "Modify Shared Part " + name,
                      WithPage(PagesSharing(workspace.project_folder, name), workspace.page_name));
}

SiteChangeReport UseSharedPart(Workspace& workspace, const std::string& page,
                               std::string_view marker_name) {
    RequireProject(workspace);
    const std::string name = SharedPartOf(CurrentPageText(workspace, page), marker_name);
    if (name.empty()) {
        throw CommandError(std::string(marker_name) + " on " + page +
                           " is not a shared part's copy.");
    }
    SharedPart part = ReadSharedPart(workspace.project_folder, name);
    if (name == kSiteMenuPart) {
        part.body = SiteMenuBody(SiteMenuLinks(workspace.project_folder), page);
    }
    const std::string only(marker_name);
    return ChangeSitePages(workspace, {page}, "Use the Shared Part " + name,
                           [&](const std::string&, const std::string& text) {
                               return WithPartBody(text, part, only);
                           });
}

SiteChangeReport MakeThisTheSharedPart(Workspace& workspace, const std::string& page,
                                       std::string_view marker_name) {
    RequireProject(workspace);
    const std::string text = CurrentPageText(workspace, page);
    for (const SharedCopy& copy : SharedCopies(text)) {
        if (copy.marker_name != marker_name) {
            continue;
        }
        if (copy.part == kSiteMenuPart) {
            throw CommandError(std::string(kMadeFromPagesMessage));
        }
        const SharedPart part{copy.part, KindOfMarkerName(copy.marker_name),
                              text.substr(copy.body_begin, copy.body_end - copy.body_begin)};
        return SpreadPart(workspace, part, PartIfThere(workspace.project_folder, copy.part),
                          "Make This the Shared Part " + copy.part,
                          PagesSharing(workspace.project_folder, copy.part));
    }
    throw CommandError(std::string(marker_name) + " on " + page + " is not a shared part's copy.");
}

} // namespace qf
