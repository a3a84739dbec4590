#pragma once

#include "document/selection_lists.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qf {

// Header, background, border and name entered while a page is being created.
struct PendingPageProperties {
    std::string header;
    std::string background;
    int border = 0;
    std::string name; // as typed; the page file is NewPageFileName(name)
};

// The one workspace state of an editor run: what is open and what the two
// selection lists hold. The page text is the master copy of the open page;
// every change rewrites the page file from it.
struct Workspace {
    std::string app_folder;     // ends in "/"
    std::string project_folder; // ends in "/"; empty while no project is open
    std::string page_name;      // "index.html"; empty while no page is open
    std::string page_path;      // the open page's file (project folder + page name,
                                // or the path chosen in the open-file dialog)
    std::string page_text;      // the page document, without line breaks
    std::string page_header;    // the text between <title> and </title> when opened
    std::int64_t page_file_size = 0;
    SelectionList area_list{{}, std::string(kSelectAreaText)};
    SelectionList component_list{{}, std::string(kSelectComponentText)};
    PendingPageProperties pending;
    bool palette_enabled = false; // enabled by the first page opened or created

    bool HasProject() const { return !project_folder.empty(); }
    bool HasOpenPage() const { return !page_name.empty(); }
};

inline constexpr std::string_view kNeedProjectMessage = "Open or Create a new project first";
inline constexpr std::string_view kNeedPageMessage = "A page must be open!";
inline constexpr std::string_view kNeedAreaMessage = "Your Must Select an Area!";

// Throws CommandError "Open or Create a new project first" / "A page must be open!".
void RequireProject(const Workspace& workspace);
void RequireOpenPage(const Workspace& workspace);

// The page size label: the length in whole 128-byte blocks, times 128, in
// kilobytes of 1000 bytes, without trailing zeros: 2000 bytes give "1.92Kb".
std::string SizeText(std::int64_t bytes);

// The text between the first "<title>" and the first "</title>"; empty when
// either is missing.
std::string PageHeader(std::string_view page);

// Writes the page text to the open page's file and updates the file size.
// The preview is the caller's to reload. Throws CommandError on a file error;
// the file then stays as it was. With no page open it refuses with "A page
// must be open!", so a closed or deleted page's file is never written again.
void PageRefresh(Workspace& workspace);

// Writes `new_text` as the open page's text: the file first, and only when
// that succeeded the page text in memory, so a failure changes nothing.
// Refuses with "A page must be open!" when no page is open.
void CommitPageText(Workspace& workspace, std::string new_text);

// Opens the page file at `path`: reads its text, takes its bare file name as
// the page name, reads the header and size, rebuilds both selection lists
// (components first) and enables the palette. On a read error nothing changes.
void OpenPage(Workspace& workspace, const std::string& path);

} // namespace qf
