#include "check/site_check.h"

#include "check/html_check.h"
#include "check/page_places.h"
#include "check/rendered_check.h"
#include "components/page_properties.h"
#include "components/php_script.h"
#include "components/picture_import.h"
#include "components/small_screens.h"
#include "document/ascii_case.h"
#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "document/shared_markers.h"
#include "error.h"
#include "render/render_page.h"
#include "site/shared_parts.h"
#include "site/site_menu.h"
#include "site/site_settings.h"
#include "work/on_every_core.h"
#include "workspace/project.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <sys/stat.h>

namespace qf {

std::string_view SeverityName(Severity severity) {
    switch (severity) {
    case Severity::kError:
        return "error";
    case Severity::kWarning:
        return "warning";
    case Severity::kNote:
        return "note";
    }
    return "error";
}

int SiteCheckResult::Errors() const {
    return int(std::count_if(findings.begin(), findings.end(),
                             [](const Finding& f) { return f.severity == Severity::kError; }));
}

std::vector<std::string> SitePageNames(const std::string& project_folder) {
    const std::string folder = FolderPath(project_folder);
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        const int error = errno;
        throw CommandError("Cannot open folder \"" + folder + "\". " + std::strerror(error));
    }
    std::vector<std::string> pages;
    while (const dirent* entry = ::readdir(dir)) {
        if (IsPageName(entry->d_name)) {
            pages.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    const auto lower = [](std::string text) {
        for (char& c : text) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    };
    std::sort(pages.begin(), pages.end(), [&](const std::string& a, const std::string& b) {
        const std::string la = lower(a);
        const std::string lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
    return pages;
}

namespace {

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The field names a generated feedback script reads, in its order: each
// line of the mail ("mail_line('NAME', ...)"), or in a script made before
// the mail had lines, each read of the POST data ("$_POST['NAME']").
std::vector<std::string> ScriptFieldNames(std::string_view script) {
    std::vector<std::string> names;
    for (const std::string_view read : {"mail_line('", "$_POST['"}) {
        for (std::size_t at = script.find(read); at != std::string_view::npos;
             at = script.find(read, at + 1)) {
            const std::size_t from = at + read.size();
            const std::size_t end = script.find('\'', from);
            if (end == std::string_view::npos) {
                break;
            }
            names.emplace_back(script.substr(from, end - from));
        }
        if (!names.empty()) {
            break;
        }
    }
    return names;
}

std::string JoinQuoted(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty()) {
            joined += ", ";
        }
        joined += "\"" + name + "\"";
    }
    return joined;
}

// The action a form block's form tag names, as written.
std::string_view FormBlockAction(std::string_view text, const check::BlockIndex::Block& block) {
    const std::string_view body = text.substr(block.content, block.end - block.content);
    const std::size_t attribute = body.find(" action=\"");
    if (attribute == std::string_view::npos) {
        return {};
    }
    const std::size_t value = attribute + 9;
    const std::size_t end = body.find('"', value);
    return end == std::string_view::npos ? std::string_view() : body.substr(value, end - value);
}

// Every form block's "</form>" stands behind the areas, so a second form
// block opens inside the first one: a browser drops the inner form, and the
// fields post through the first form alone.
void CheckNestedForms(check::PageCheck& check, std::string_view text) {
    const check::BlockIndex::Block* outer = nullptr;
    for (const check::BlockIndex::Block& block : check.blocks.blocks()) {
        if (block.name != "Form") {
            continue;
        }
        if (outer == nullptr) {
            outer = &block;
            continue;
        }
        check.AddAtTextOffset(
            Severity::kError, block.begin,
            "The form posting to \"" + std::string(FormBlockAction(text, block)) +
                "\" stands inside the form posting to \"" +
                std::string(FormBlockAction(text, *outer)) +
                "\", and a browser drops a form inside another, so Send posts to \"" +
                std::string(FormBlockAction(text, *outer)) +
                "\": choose the script again with Prepare your Form, which keeps one form");
    }
}

// Each copy of a shared part against the part as the project keeps it.
void CheckSharedCopies(check::PageCheck& check, const std::string& text) {
    std::map<std::string, std::optional<SharedPart>> parts;
    for (const SharedCopy& copy : SharedCopies(text)) {
        auto found = parts.find(copy.part);
        if (found == parts.end()) {
            std::optional<SharedPart> part;
            try {
                part = ReadSharedPart(check.folder, copy.part);
            } catch (const CommandError&) {
                // said below
            }
            found = parts.emplace(copy.part, std::move(part)).first;
        }
        const std::string_view body(text.data() + copy.body_begin, copy.body_end - copy.body_begin);
        if (!found->second) {
            check.AddAtTextOffset(Severity::kWarning, copy.body_begin,
                                  "This is a copy of the shared part \"" + copy.part +
                                      "\", which the project no longer has: Unshare it, or Make "
                                      "This the Shared Part");
        } else if (body != (copy.part == kSiteMenuPart
                                ? MarkedMenuBody(found->second->body, check.page)
                                : found->second->body) ||
                   copy.marker_name.rfind(found->second->kind_tag, 0) != 0) {
            check.AddAtTextOffset(Severity::kWarning, copy.body_begin,
                                  "This copy differs from the shared part \"" + copy.part +
                                      "\" (changed outside the editor?): Use the Shared Part, or "
                                      "Make This the Shared Part");
        }
    }
}

void CheckForm(check::PageCheck& check, const std::string& text) {
    CheckNestedForms(check, text);
    const std::vector<FormField> fields = ScanFormFields(text);
    if (check.form_offset == check::PageCheck::kNoOffset) {
        if (!fields.empty()) {
            check.AddForPage(Severity::kWarning,
                             "The page has form fields but no form, so nothing a visitor enters "
                             "is sent: make it a form with Prepare your Form");
        }
        return;
    }
    // Only a script of the project that the form names is compared.
    const std::string action(check.form_action);
    if (action.empty() || action.find(':') != std::string::npos || action.find('/') == 0 ||
        !EndsWith(action.substr(0, action.find_first_of("?#")), ".php")) {
        return;
    }
    const std::string path = check.folder + action.substr(0, action.find_first_of("?#"));
    if (!check.files.Look(path).file) {
        return; // reported with the form's location
    }
    std::string script;
    try {
        script = ReadRegularFile(path);
    } catch (const CommandError& error) {
        check.AddAtFileOffset(Severity::kError, check.form_offset,
                              "The form's script cannot be read: " + std::string(error.what()));
        return;
    }
    const std::vector<std::string> read = ScriptFieldNames(script);
    std::vector<std::string> added;
    std::vector<std::string> removed;
    for (const FormField& field : fields) {
        if (std::find(read.begin(), read.end(), field.name) == read.end() &&
            std::find(added.begin(), added.end(), field.name) == added.end()) {
            added.push_back(field.name);
        }
    }
    for (const std::string& name : read) {
        if (std::none_of(fields.begin(), fields.end(),
                         [&](const FormField& f) { return f.name == name; })) {
            removed.push_back(name);
        }
    }
    if (added.empty() && removed.empty()) {
        return;
    }
    std::string message = "The script \"" + action + "\" was made for other fields:";
    if (!added.empty()) {
        message += " it does not send " + JoinQuoted(added);
    }
    if (!removed.empty()) {
        message += std::string(added.empty() ? "" : ";") + " it reads " + JoinQuoted(removed) +
                   ", which the form no longer has";
    }
    message += ". Make the script again with Create PHP script";
    check.AddAtFileOffset(Severity::kWarning, check.form_offset, message);
}

bool IsScriptOnly(const std::string& page, std::string_view text) {
    if (!EndsWith(page, ".php") || text.find(kDeclareBegin) != std::string_view::npos) {
        return false;
    }
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && text.substr(first, 5) == "<?php";
}

std::string StructuralMessage(const std::string& problem) {
    if (problem == "no declaration block") {
        return "The page has no declaration block, so the editor lists none of its areas and "
               "components: it was not made by this editor, or its start was changed by hand";
    }
    std::string message = problem;
    message.front() = char(std::toupper(static_cast<unsigned char>(message.front())));
    return message +
           ": the page was changed outside the editor; delete the component or area concerned "
           "and insert it again, or put its markers back as they were";
}

} // namespace

std::vector<Finding> CheckSitePage(const std::string& project_folder, const std::string& page,
                                   const SiteCheckOptions& options,
                                   std::set<std::string>* used_files) {
    check::FileFacts files;
    std::vector<Finding> findings;
    const std::string folder = FolderPath(project_folder);
    const std::string path = folder + page;
    std::string bytes;
    try {
        const std::string problem = PageFileProblem(path);
        if (!problem.empty()) {
            throw CommandError(problem);
        }
        if (FileSizeOf(path) > kLargestCheckedPage) {
            findings.push_back({Severity::kNote, page, 0, 0, std::string(),
                                "The page is over 50 MB, so it was not checked"});
            return findings;
        }
        bytes = ReadRegularFile(path);
    } catch (const CommandError& error) {
        findings.push_back({Severity::kError, page, 0, 0, std::string(),
                            "The page cannot be read, so nothing of it was checked: " +
                                std::string(error.what())});
        return findings;
    }
    const check::PageFileView view(std::move(bytes));
    const std::string& text = view.text();
    if (IsScriptOnly(page, text)) {
        return findings; // a feedback script, not a page
    }
    const check::BlockIndex blocks(text);
    check::PageCheck check{
        folder, page, view, blocks, options, files, findings, {}, check::PageCheck::kNoOffset,
        {},     {}};
    std::string site_address;
    try {
        const SiteSettings settings = ReadSiteSettings(folder);
        check.site_language = settings.language;
        site_address = settings.address;
    } catch (const CommandError&) {
        // told once by the site's findings
    }

    for (const PageProblem& problem : FindPageProblems(text)) {
        const Severity severity =
            problem.position == std::string_view::npos ? Severity::kWarning : Severity::kError;
        if (problem.position == std::string_view::npos) {
            check.AddForPage(severity, StructuralMessage(problem.message));
        } else {
            check.AddAtTextOffset(severity, problem.position, StructuralMessage(problem.message));
        }
    }
    check::CheckPageHtml(check);
    if (options.cancel == nullptr || !options.cancel->load()) {
        CheckForm(check, text);
        CheckSharedCopies(check, text);
        check::CheckRenderedPage(check);
        // A link shared in a chat shows the page's first picture wide enough
        // for a large card, else only the site's small icon.
        if (!site_address.empty() && options.picture_size &&
            check.widest_picture < render::kCardPictureWidth) {
            check.AddForPage(Severity::kNote,
                             "A link to this page shared in a chat or a social network shows a "
                             "small picture: no picture on the page is " +
                                 std::to_string(render::kCardPictureWidth) +
                                 " pixels wide or more, so the site's icon stands in");
        }
    }
    std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    if (used_files != nullptr) {
        used_files->merge(check.used_files);
    }
    return findings;
}

namespace {

// What the site's findings need of a page of the editor.
struct PageSummary {
    bool page = false; // a page of HTML that could be read
    std::string title; // as its reader sees it; empty: none
    std::string description;
    bool hidden = false;    // kept from search engines
    bool fits = false;      // holds the small-screen block
    bool site_menu = false; // shows the site menu
};

// The regular files below `folder` (ending in "/"), hidden ones aside, by
// full path; at most a few thousand, one level of folders deep at most 8.
std::vector<std::string> FilesBelow(const std::string& folder, int depth = 0) {
    std::vector<std::string> files;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr || depth > 8) {
        if (dir != nullptr) {
            ::closedir(dir);
        }
        return files;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') {
            continue;
        }
        struct stat info {};
        const std::string path = folder + name;
        if (::lstat(path.c_str(), &info) != 0) {
            continue;
        }
        if (S_ISREG(info.st_mode)) {
            files.push_back(path);
        } else if (S_ISDIR(info.st_mode) && files.size() < 5000) {
            for (std::string& below : FilesBelow(path + "/", depth + 1)) {
                files.push_back(std::move(below));
            }
        }
        if (files.size() >= 5000) {
            break;
        }
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

PageSummary Summarize(const std::string& project_folder, const std::string& page) {
    PageSummary summary;
    const std::string path = FolderPath(project_folder) + page;
    try {
        if ((!EndsWithNoCase(page, ".html") && !EndsWithNoCase(page, ".htm")) ||
            !PageFileProblem(path).empty() || FileSizeOf(path) > kLargestCheckedPage) {
            return summary;
        }
        const std::string text = ReadPageFile(path);
        summary.page = true;
        summary.title = TitleEnd(text) == 0 ? std::string() : HeadingForEditing(text);
        summary.description = DescriptionForEditing(text);
        summary.hidden = PageHiddenFromSearch(text);
        summary.fits = PageFitsSmallScreens(text);
        summary.site_menu = !SharedCopies(text, kSiteMenuPart).empty();
    } catch (const CommandError&) {
        return {}; // the check of the page itself says why it cannot be read
    }
    return summary;
}

std::string Trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1));
}

std::size_t Characters(std::string_view text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The findings of the site as a whole, each put first among its page's.
void AddSiteFindings(const std::string& project_folder, const std::vector<std::string>& pages,
                     const std::vector<PageSummary>& summaries,
                     std::vector<std::vector<Finding>>& found) {
    std::vector<std::vector<Finding>> site(pages.size());
    const auto add = [&](std::size_t index, Severity severity, std::string message) {
        site[index].push_back(
            Finding{severity, pages[index], 0, 0, std::string(), std::move(message)});
    };
    std::map<std::string, std::size_t> titles;
    std::map<std::string, std::size_t> descriptions;
    // Said once, on the home page (or the first page).
    std::optional<std::size_t> first_page;
    for (std::size_t index = 0; index < pages.size(); ++index) {
        if (summaries[index].page && (!first_page || pages[index] == "index.html")) {
            first_page = index;
        }
    }
    if (first_page) {
        try {
            if (ReadSiteSettings(FolderPath(project_folder)).address.empty()) {
                add(*first_page, Severity::kWarning,
                    "The site has no address, so its pages get no canonical link and search "
                    "engines no sitemap: give it in Site Settings (File menu)");
            }
        } catch (const CommandError& error) {
            add(*first_page, Severity::kWarning,
                std::string("The site's settings cannot be read: ") + error.what());
        }
    }
    // A page kept from search engines that the menu of a public page links
    // to is found through that link all the same.
    bool public_menu = false;
    for (const PageSummary& summary : summaries) {
        public_menu = public_menu || (summary.site_menu && !summary.hidden);
    }
    if (public_menu) {
        std::set<std::string> in_menu;
        try {
            const std::string body = ReadSharedPart(project_folder, kSiteMenuPart).body;
            for (std::size_t at = body.find("href=\""); at != std::string::npos;
                 at = body.find("href=\"", at + 1)) {
                const std::size_t end = body.find('"', at + 6);
                if (end != std::string::npos) {
                    in_menu.insert(PageOfLink(body.substr(at + 6, end - at - 6)));
                }
            }
        } catch (const CommandError&) {
            // the copies' own findings say the part is missing
        }
        for (std::size_t index = 0; index < pages.size(); ++index) {
            if (summaries[index].hidden && in_menu.count(pages[index]) > 0) {
                add(index, Severity::kNote,
                    "The site menu of public pages links to this page, which is hidden from "
                    "search engines, so they find it all the same: hide it from the menu in "
                    "Site Settings, or let search engines list it");
            }
        }
    }
    const auto fitting = std::count_if(summaries.begin(), summaries.end(),
                                       [](const PageSummary& page) { return page.fits; });
    for (std::size_t index = 0; index < pages.size(); ++index) {
        const PageSummary& summary = summaries[index];
        if (!summary.page) {
            continue;
        }
        if (fitting > 0 && !summary.fits) {
            add(index, Severity::kWarning,
                "The page does not fit small screens while " + std::to_string(fitting) +
                    (fitting == 1 ? " other page does" : " other pages do") +
                    ", so on a phone it is shown at full width: tick \"Fit small screens\" in "
                    "Page Properties");
        }
        const std::string title = Trimmed(summary.title);
        if (!title.empty() && title != kDefaultHeading) {
            const auto [first, fresh] = titles.emplace(title, index);
            if (!fresh) {
                add(index, Severity::kWarning,
                    "The page title \"" + title + "\" is also the title of " +
                        pages[first->second] +
                        ": give each page its own, so search results tell them apart");
            }
        }
        if (summary.hidden) {
            continue;
        }
        const std::string description = Trimmed(summary.description);
        if (description.empty()) {
            add(index, Severity::kNote,
                "The page has no description, so search engines and shared links show its "
                "first sentences: write one with Page Properties");
            continue;
        }
        if (Characters(description) > kLongestDescription) {
            add(index, Severity::kNote,
                "The page's description has " + std::to_string(Characters(description)) +
                    " characters; search results cut it after about " +
                    std::to_string(kLongestDescription) + ": shorten it");
        }
        const auto [first, fresh] = descriptions.emplace(description, index);
        if (!fresh) {
            add(index, Severity::kWarning,
                "The page's description is also the description of " + pages[first->second] +
                    ": give each page its own");
        }
    }
    for (std::size_t index = 0; index < pages.size(); ++index) {
        found[index].insert(found[index].begin(), std::make_move_iterator(site[index].begin()),
                            std::make_move_iterator(site[index].end()));
    }
}

// The files of images/ and media/ (relative paths) that are not in `used`
// (full paths), the site's icon aside.
std::vector<std::string> UnusedFilesOf(const std::string& folder,
                                       const std::set<std::string>& used) {
    std::string icon; // the site's icon is the site's, not a page's
    try {
        const std::string chosen = ReadSiteSettings(folder).icon;
        icon = chosen.empty() ? chosen : folder + chosen;
    } catch (const CommandError&) {
        // told by the site's findings
    }
    std::vector<std::string> unused;
    for (const std::string_view sub : {kImagesFolder, kMediaFolder}) {
        for (const std::string& file : FilesBelow(folder + std::string(sub) + "/")) {
            if (used.count(file) == 0 && file != icon) {
                unused.push_back(file.substr(folder.size()));
            }
        }
    }
    return unused;
}

// The files in images/ and media/ (where pictures and media are put when
// they come into the project) that no page uses: publishing sends them all
// the same. A note each, on the home page.
void AddUnusedFiles(const std::string& project_folder, const std::vector<std::string>& pages,
                    const std::vector<PageSummary>& summaries, const std::set<std::string>& used,
                    std::vector<std::vector<Finding>>& found) {
    std::optional<std::size_t> home;
    for (std::size_t index = 0; index < pages.size(); ++index) {
        if (summaries[index].page && (!home || pages[index] == "index.html")) {
            home = index;
        }
    }
    if (!home) {
        return;
    }
    for (const std::string& file : UnusedFilesOf(FolderPath(project_folder), used)) {
        found[*home].push_back(Finding{Severity::kNote, pages[*home], 0, 0, std::string(),
                                       file + " is used by no page, yet publishing sends it: "
                                              "delete it if it is left over (an undone "
                                              "insertion, say), or leave it out when you "
                                              "publish"});
    }
}

} // namespace

SiteCheckResult CheckSite(const std::string& project_folder, const SiteCheckOptions& options) {
    SiteCheckResult result;
    const std::vector<std::string> pages = SitePageNames(project_folder);
    // The pages are checked on every core, one parser a thread; the findings
    // come out in page order all the same.
    std::vector<std::vector<Finding>> found(pages.size());
    std::vector<PageSummary> summaries(pages.size());
    std::vector<std::set<std::string>> used(pages.size());
    std::vector<char> checked(pages.size(), 0);
    std::mutex progress_lock;
    int done = 0;
    const auto cancelled = [&options] {
        return options.cancel != nullptr && options.cancel->load();
    };
    OnEveryCore(pages.size(), [&](std::size_t index) {
        if (cancelled()) {
            return;
        }
        found[index] = CheckSitePage(project_folder, pages[index], options, &used[index]);
        summaries[index] = Summarize(project_folder, pages[index]);
        // A page that ends after the cancel is not counted: the check stops
        // at the progress it last told.
        const std::lock_guard<std::mutex> lock(progress_lock);
        if (cancelled()) {
            return;
        }
        checked[index] = 1;
        if (options.progress) {
            options.progress(++done, int(pages.size()));
        }
    });
    if (std::find(checked.begin(), checked.end(), 0) == checked.end()) {
        AddSiteFindings(project_folder, pages, summaries, found);
        std::set<std::string> all_used;
        for (std::set<std::string>& page_used : used) {
            all_used.merge(page_used);
        }
        AddUnusedFiles(project_folder, pages, summaries, all_used, found);
    }
    for (std::size_t index = 0; index < pages.size(); ++index) {
        if (!checked[index]) {
            result.cancelled = true;
            continue;
        }
        result.findings.insert(result.findings.end(), std::make_move_iterator(found[index].begin()),
                               std::make_move_iterator(found[index].end()));
        ++result.pages;
    }
    if (cancelled()) {
        result.cancelled = true;
    }
    if (!pages.empty() && !result.cancelled) {
        if (std::optional<Finding> home = HomePageFinding(pages)) {
            result.findings.insert(result.findings.begin(), std::move(*home));
        }
    }
    return result;
}

std::vector<std::string> UnusedProjectFiles(const std::string& project_folder) {
    const std::string folder = FolderPath(project_folder);
    const std::vector<std::string> pages = SitePageNames(folder);
    std::vector<std::set<std::string>> used(pages.size());
    OnEveryCore(pages.size(),
                [&](std::size_t index) { CheckSitePage(folder, pages[index], {}, &used[index]); });
    std::set<std::string> all_used;
    for (std::set<std::string>& page_used : used) {
        all_used.merge(page_used);
    }
    return UnusedFilesOf(folder, all_used);
}

std::optional<Finding> HomePageFinding(const std::vector<std::string>& pages) {
    for (const std::string& page : pages) {
        if (page == "index.html" || page == "index.php" || page == "index.htm") {
            return std::nullopt;
        }
    }
    Finding finding;
    finding.severity = Severity::kWarning;
    // Told on the page that looks most like the home page.
    finding.page = pages.front();
    for (const std::string& page : pages) {
        std::string lower = page;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        if (lower.rfind("home.", 0) == 0 || lower.rfind("start.", 0) == 0 ||
            lower.rfind("default.", 0) == 0 || lower.rfind("welcome.", 0) == 0) {
            finding.page = page;
            break;
        }
    }
    finding.message = "The site has no index.html (or index.php), so its address shows no "
                      "page on a web server: rename the home page \"index\" (Edit > Rename "
                      "Project Page; its links follow), or make it with New Page";
    return finding;
}

namespace {

// A text as a JSON string: quotes, backslashes and control characters
// escaped, bytes that are not UTF-8 replaced by U+FFFD.
void AppendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
            ++i;
        } else if (c < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
            ++i;
        } else if (c < 0x80) {
            out += char(c);
            ++i;
        } else {
            // The length of a well-formed UTF-8 sequence starting here, or 0.
            std::size_t length = 0;
            unsigned min = 0;
            if ((c & 0xE0) == 0xC0) {
                length = 2;
                min = 0x80;
            } else if ((c & 0xF0) == 0xE0) {
                length = 3;
                min = 0x800;
            } else if ((c & 0xF8) == 0xF0) {
                length = 4;
                min = 0x10000;
            }
            unsigned code = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
            bool valid = length > 0 && i + length <= text.size();
            for (std::size_t k = 1; valid && k < length; ++k) {
                const unsigned char next = static_cast<unsigned char>(text[i + k]);
                valid = (next & 0xC0) == 0x80;
                code = (code << 6) | (next & 0x3F);
            }
            valid = valid && code >= min && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
            if (valid) {
                out.append(text.substr(i, length));
                i += length;
            } else {
                out += "\xEF\xBF\xBD";
                ++i;
            }
        }
    }
    out += '"';
}

} // namespace

std::string FindingsJson(const SiteCheckResult& result) {
    int counts[3] = {0, 0, 0};
    for (const Finding& finding : result.findings) {
        ++counts[int(finding.severity)];
    }
    std::string out = "{\"pages\": " + std::to_string(result.pages) +
                      ", \"errors\": " + std::to_string(counts[0]) +
                      ", \"warnings\": " + std::to_string(counts[1]) +
                      ", \"notes\": " + std::to_string(counts[2]) +
                      ", \"cancelled\": " + (result.cancelled ? "true" : "false") +
                      ", \"findings\": [";
    bool first = true;
    for (const Finding& finding : result.findings) {
        out += first ? "\n  {" : ",\n  {";
        first = false;
        out += "\"severity\": \"" + std::string(SeverityName(finding.severity)) + "\", \"page\": ";
        AppendJsonString(out, finding.page);
        out += ", \"line\": " + std::to_string(finding.line) +
               ", \"column\": " + std::to_string(finding.column) + ", \"entry\": ";
        AppendJsonString(out, finding.entry);
        out += ", \"message\": ";
        AppendJsonString(out, finding.message);
        out += "}";
    }
    out += first ? "]}\n" : "\n]}\n";
    return out;
}

std::string EscapedForTerminal(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 15];
        } else if (c == '\\') {
            escaped += "\\\\";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string FindingText(const Finding& finding) {
    std::string line = finding.page;
    if (finding.line > 0) {
        line += ":" + std::to_string(finding.line) + ":" + std::to_string(finding.column);
    }
    line += ": " + std::string(SeverityName(finding.severity)) + ": ";
    if (!finding.entry.empty()) {
        line += finding.entry + ": ";
    }
    line += finding.message;
    // One finding, one line, whatever a page's names hold: control
    // characters (a line break, an escape sequence) are written escaped, so
    // nothing reaches the terminal as a command.
    return EscapedForTerminal(line);
}

} // namespace qf
