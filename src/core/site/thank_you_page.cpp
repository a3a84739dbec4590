#include "site/thank_you_page.h"

#include "components/insertion.h"
#include "components/page_properties.h"
#include "document/file_io.h"
#include "error.h"
#include "workspace/area_content.h"
#include "workspace/layouts.h"
#include "workspace/new_page.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

namespace qf {

std::string MakeThankYouPage(const std::string& project_folder, const std::string& app_folder) {
    const std::string folder = FolderPath(project_folder);
    if (EntryExists(folder + std::string(kThankYouPage))) {
        return std::string(kThankYouPage);
    }
    const std::vector<int> layouts = LayoutNumbers(app_folder);
    if (layouts.empty()) {
        throw CommandError("There are no layouts in \"" + LaysFolder(app_folder) +
                           "\" to make the thank-you page from.");
    }
    // A workspace of its own: the page open in the editor stays open.
    Workspace page;
    page.app_folder = app_folder;
    page.project_folder = folder;
    page.keep_history = false;
    NewPageProperties properties;
    properties.name = "thanks";
    properties.header = "Thank you";
    properties.fit_small_screens = true;
    CreatePageFromLayout(page, properties, layouts.front(), ExistingPage::Refuse);
    if (page.area_list.entries.empty()) {
        throw CommandError("The first layout has no area to hold the thank-you text.");
    }
    page.area_list.text = page.area_list.entries.front();
    InsertComponent(page, "Text",
                    {{"text", "Thank you, your message has been sent"}, {"size", "4"}});
    InsertLineBreak(page);
    InsertComponent(page, "Text_Link", {{"href", "index.html"}, {"text", "Back to the home page"}});
    PageProperties hidden;
    hidden.hide_from_search = true;
    SetPageProperties(page, hidden);
    return std::string(kThankYouPage);
}

} // namespace qf
