#include "site/page_rename.h"

#include "document/ascii_case.h"
#include "document/file_io.h"
#include "document/page_file.h"
#include "error.h"
#include "site/site_menu.h"
#include "site/site_settings.h"
#include "workspace/new_page.h"
#include "workspace/page_guard.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qf {

namespace {

// What may stand before an address that is a link: the quote or the equals
// sign of an attribute, or the quote of an attribute followed by "./".
bool OpensLink(std::string_view text, std::size_t at) {
    if (at == 0) {
        return false;
    }
    const char before = text[at - 1];
    if (before == '"' || before == '\'' || before == '=') {
        return true;
    }
    return at >= 3 && before == '/' && text[at - 2] == '.' &&
           (text[at - 3] == '"' || text[at - 3] == '\'' || text[at - 3] == '=');
}

// What may stand after it: the end of the value, or its part or query.
bool ClosesLink(std::string_view text, std::size_t end) {
    if (end >= text.size()) {
        return false;
    }
    const char after = text[end];
    return after == '"' || after == '\'' || after == '#' || after == '?' || after == '>' ||
           after == ' ' || after == '\t';
}

// The name a page is renamed to: as a new page's name, keeping a PHP page's
// ending when none is typed.
std::string RenamedFileName(std::string_view from, std::string_view new_name) {
    if (EndsWithNoCase(from, ".php") && !EndsWithNoCase(new_name, ".php") &&
        !EndsWithNoCase(new_name, ".html")) {
        NewPageFileName(new_name); // the same refusals
        return std::string(new_name) + ".php";
    }
    if (EndsWithNoCase(new_name, ".php")) {
        NewPageFileName(std::string(new_name.substr(0, new_name.size() - 4)));
        return std::string(new_name);
    }
    return NewPageFileName(new_name);
}

// rename(2) that never replaces a file: -1 and errno as the system sets them.
int RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
    const long done = ::syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                                1u /* RENAME_NOREPLACE */);
    if (done == 0 || (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)) {
        return int(done);
    }
#endif
    // A file system without it: link, then unlink, which refuses as well.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return -1;
    }
    return ::unlink(from.c_str());
}

} // namespace

std::string WithLinksRenamed(std::string_view text, std::string_view from, std::string_view to,
                             int* count) {
    std::vector<std::pair<std::string, std::string>> forms{{std::string(from), PageLink(to)}};
    const std::string escaped = PageLink(from);
    if (escaped != from) {
        forms.emplace_back(escaped, PageLink(to));
    }
    std::string out;
    int changed = 0;
    std::size_t copied = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t best = std::string_view::npos;
        const std::pair<std::string, std::string>* form = nullptr;
        for (const auto& candidate : forms) {
            const std::size_t found = text.find(candidate.first, at);
            if (found < best) {
                best = found;
                form = &candidate;
            }
        }
        if (form == nullptr) {
            break;
        }
        const std::size_t end = best + form->first.size();
        if (OpensLink(text, best) && ClosesLink(text, end)) {
            out.append(text.substr(copied, best - copied));
            out += form->second;
            copied = end;
            ++changed;
        }
        at = best + 1;
    }
    out.append(text.substr(copied));
    if (count != nullptr) {
        *count = changed;
    }
    return out;
}

PageRenamePlan PlanPageRename(const std::string& project_folder, std::string_view from,
                              std::string_view new_name) {
    const std::string folder = FolderPath(project_folder);
    const std::vector<std::string> pages = ProjectPages(folder);
    if (std::find(pages.begin(), pages.end(), from) == pages.end()) {
        throw CommandError("The project has no page \"" + std::string(from) + "\"");
    }
    PageRenamePlan plan;
    plan.from = from;
    plan.to = RenamedFileName(from, new_name);
    if (plan.to == plan.from) {
        throw CommandError("The page is already called \"" + plan.to + "\"");
    }
    if (EntryExists(folder + plan.to)) {
        throw CommandError("The project already has a page \"" + plan.to +
                           "\": choose another name");
    }
    plan.pages = PagesLinkingTo(folder, plan.from);
    return plan;
}

std::vector<std::string> PagesLinkingTo(const std::string& project_folder, std::string_view page) {
    const std::string folder = FolderPath(project_folder);
    std::vector<std::string> linking;
    for (const std::string& other : ProjectPages(folder)) {
        int links = 0;
        // Renamed to a name that holds no link of its own, links are counted.
        WithLinksRenamed(ReadPageFile(folder + other), page, page, &links);
        if (links > 0) {
            linking.push_back(other);
        }
    }
    return linking;
}

PageRenameReport RenamePage(Workspace& workspace, const PageRenamePlan& plan) {
    RequireProject(workspace);
    const std::string& folder = workspace.project_folder;
    PageRenameReport report;
    report.plan = plan;
    const std::string old_path = folder + plan.from;
    const std::string new_path = folder + plan.to;
    {
        // The file is renamed first, under its lock: if that fails, nothing
        // has changed.
        const PageLock lock(old_path, workspace.lock_wait_ms);
        if (RenameNoReplace(old_path, new_path) != 0) {
            const int error = errno;
            throw CommandError("Cannot rename \"" + plan.from + "\" to \"" + plan.to + "\". " +
                               (error == EEXIST ? std::string("A file of that name is there now.")
                                                : std::string(std::strerror(error))));
        }
    }
    if (workspace.page_path == old_path) {
        // The open page stays open, and keeps its history, under its new name.
        auto memory = workspace.pages.extract(old_path);
        if (!memory.empty()) {
            memory.key() = new_path;
            workspace.pages.insert(std::move(memory));
        }
        workspace.page_path = new_path;
        workspace.page_name = plan.to;
    }
    for (std::string page : plan.pages) {
        if (page == plan.from) {
            page = plan.to;
        }
        const std::string path = folder + page;
        try {
            if (path == workspace.page_path) {
                int links = 0;
                std::string text =
                    WithLinksRenamed(workspace.page_text, plan.from, plan.to, &links);
                if (links > 0) {
                    CommitPageText(workspace, std::move(text), "Rename Links to " + plan.to);
                }
                report.links += links;
                continue;
            }
            Workspace other;
            other.project_folder = folder;
            other.hold_page_lock = true;
            other.keep_history = false;
            other.lock_wait_ms = workspace.lock_wait_ms;
            OpenPage(other, path);
            int links = 0;
            std::string text = WithLinksRenamed(other.page_text, plan.from, plan.to, &links);
            if (links > 0) {
                CommitPageText(other, std::move(text), "Rename Links to " + plan.to);
            }
            report.links += links;
        } catch (const CommandError& error) {
            report.failed.push_back(page + ": " + error.what());
        }
    }
    try {
        SiteSettings settings = ReadSiteSettings(folder);
        NotePageMoved(settings, plan.from, plan.to);
        WriteSiteSettings(folder, settings);
    } catch (const CommandError& error) {
        report.failed.push_back(std::string(kSiteSettingsFileName) + ": " + error.what() +
                                " (the published site has no page at the old name)");
    }
    // The site menu names the page by its new name.
    try {
        const SiteChangeReport menu = RefreshSiteMenuIfAny(workspace);
        report.failed.insert(report.failed.end(), menu.failed.begin(), menu.failed.end());
    } catch (const CommandError& error) {
        report.failed.push_back(std::string("the site menu: ") + error.what());
    }
    return report;
}

} // namespace qf
