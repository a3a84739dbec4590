#pragma once

#include "components/component_fields.h"
#include "workspace/site_change.h"

#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct Workspace;

// The hidden folder of the project that keeps the shared parts, one file a
// part (publishing never sends hidden files).
inline constexpr std::string_view kSharedPartsFolder = ".quenfort-shared";

// A component shown on several pages: its kind and its body (the HTML
// between its markers), kept once in the project; each page that shows it
// holds a copy between comments that name it (see shared_markers.h).
struct SharedPart {
    std::string name;     // "Footer"
    std::string kind_tag; // "Text"
    std::string body;
};

// The part's file: ".quenfort-shared/NAME.part", its kind on the first line
// and then its body.
std::string SharedPartPath(const std::string& project_folder, std::string_view name);
// Throws CommandError naming the part when it is not in the project or its
// file cannot be read.
SharedPart ReadSharedPart(const std::string& project_folder, std::string_view name);
// Written atomically; the folder is made when missing.
void WriteSharedPart(const std::string& project_folder, const SharedPart& part);
// The parts of the project, sorted.
std::vector<std::string> SharedPartNames(const std::string& project_folder);

// The pages (file names, in the project's order) that hold a copy of the
// part; a page that cannot be read holds none.
std::vector<std::string> PagesSharing(const std::string& project_folder, std::string_view name);

// Share on Other Pages (`quenfort-cli share`): the component the Select
// Component text `entry` names on the open page becomes the shared part
// `name`: the part's file is written and the component put between the
// comments that name it (one undo step). Refuses (CommandError, changing
// nothing) a bad or taken name, a component that is a copy already or has
// no block, and a rollover or background sound (which belong to their page).
void ShareComponent(Workspace& workspace, std::string_view entry, std::string_view name);

// Share on Other Pages for every component of the area `area_entry`
// ("Area2") of the open page that is not shared yet, its own components
// only (a platform's areas keep theirs): each becomes a part, named `name`
// for a single one, else "NAME 1", "NAME 2"... in the order they stand; one
// undo step. Returns the parts' names. Refuses (changing nothing) an area
// without such components, a name taken by any of the parts, and what
// ShareComponent refuses.
std::vector<std::string> ShareAreaComponents(Workspace& workspace, std::string_view area_entry,
                                             std::string_view name);

// Place Shared Part: a copy of the part at the end of the selected area of
// the open page, as a new component of the part's kind. Returns its Select
// Component entry.
std::string PlaceSharedPart(Workspace& workspace, std::string_view name);
// The same for a copy whose body is given (the site menu marks each page's
// own link).
std::string PlaceSharedCopy(Workspace& workspace, const SharedPart& copy);

// Unshare: the open page's copy becomes an ordinary component (the comments
// go; the part and the other copies stay).
void UnshareComponent(Workspace& workspace, std::string_view entry);

// The part the open page's component `entry` is a copy of; empty for none.
std::string SharedPartOfEntry(const Workspace& workspace, std::string_view entry);

// Modify on a shared component. With `all_pages` the component's values
// change as ModifyComponent changes them, the part's file takes the new
// body, and every page holding a copy gets it (ChangeSitePages: one undo
// step on all pages, which also takes the part back). Without, only the
// open page's component changes and it is unshared, in one step.
SiteChangeReport ModifySharedComponent(Workspace& workspace, std::string_view entry,
                                       const FieldValues& changes, bool all_pages);

// Mending a copy that differs from its part (Check Site). Use the Shared
// Part: the copy of `marker_name` ("Text2") on `page` takes the part's body.
// Make This the Shared Part: the part takes that copy's body, and every
// other copy with it.
SiteChangeReport UseSharedPart(Workspace& workspace, const std::string& page,
                               std::string_view marker_name);
SiteChangeReport MakeThisTheSharedPart(Workspace& workspace, const std::string& page,
                                       std::string_view marker_name);

} // namespace qf
