#include "workspace/site_change.h"

#include "error.h"
#include "workspace/workspace.h"

namespace qf {

SiteChangeReport ChangeSitePages(Workspace& workspace, const std::vector<std::string>& pages,
                                 const std::string& step_name, const PageTextChange& change) {
    RequireProject(workspace);
    SiteChangeReport report;
    const std::uint64_t group = ++workspace.last_group;
    // Every step recorded from here on belongs to the change, and only
    // while it is written.
    struct GroupScope {
        Workspace& workspace;
        ~GroupScope() { workspace.step_group = 0; }
    } scope{workspace};
    workspace.step_group = group;
    for (const std::string& page : pages) {
        const std::string path = workspace.project_folder + page;
        try {
            const auto commit = [&](Workspace& target) {
                std::string text = change(page, target.page_text);
                if (text != target.page_text) {
                    CommitPageText(target, std::move(text), step_name);
                    report.written.push_back(page);
                }
            };
            if (workspace.HasOpenPage() && path == workspace.page_path) {
                commit(workspace);
            } else {
                ChangeOtherPage(workspace, path, commit);
            }
        } catch (const CommandCancelled&) {
            report.failed.push_back(page + ": not changed (cancelled)");
        } catch (const CommandError& error) {
            report.failed.push_back(page + ": " + error.what());
        }
    }
    // The open page holds the step too, so Undo there takes the change back.
    if (workspace.HasOpenPage() && workspace.keep_history && !report.written.empty()) {
        PageHistory& history = workspace.pages[workspace.page_path].history;
        if (history.UndoGroup() != group) {
            history.RecordHunks({}, step_name, group);
        }
    }
    return report;
}

} // namespace qf
