#pragma once

#include "document/selection_lists.h"

#include <string>

namespace qf {

// The one workspace state of an editor run: what is open and what the two
// selection lists hold. The page text is the master copy of the open page.
struct Workspace {
    std::string app_folder;     // ends in "/"
    std::string project_folder; // ends in "/"; empty while no project is open
    std::string page_name;      // "index.html"; empty while no page is open
    std::string page_path;      // the open page's file
    std::string page_text;      // the page document, without line breaks
    SelectionList area_list{{}, std::string(kSelectAreaText)};
    SelectionList component_list{{}, std::string(kSelectComponentText)};
};

} // namespace qf
