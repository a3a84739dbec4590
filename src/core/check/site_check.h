#pragma once

#include "document/picture_size.h"

#include <atomic>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// Check Site: what is broken or weak across a project, read from its pages
// alone. The check only reads: it writes no file and takes no page lock.

enum class Severity { kError, kWarning, kNote };

// "error", "warning", "note".
std::string_view SeverityName(Severity severity);

struct Finding {
    Severity severity = Severity::kError;
    std::string page; // the page's file name in the project folder ("index.html")
    // Where in the page file as written, both counted from 1 (the file's
    // leading empty line is line 1, columns count bytes); 0 when the finding
    // is about the whole page.
    int line = 0;
    int column = 0;
    // The Select Area or Select Component entry the finding belongs to
    // ("Image Link3", "Area2"), "Form" for the form block; empty for the page.
    std::string entry;
    std::string message; // what is wrong and what to do
};

// The natural size of a picture file, as the caller reads it (core links no
// image library); nothing when the file is not a picture it can read.
using PictureSizeReader = std::function<std::optional<PictureSize>(const std::string& path)>;

struct SiteCheckOptions {
    // Reads picture sizes for "much larger than shown"; without it only the
    // file size is compared with kLargePictureBytes.
    PictureSizeReader picture_size;
    // Called after each page with the pages done and the pages in all.
    std::function<void(int done, int total)> progress;
    // Set from another thread to stop between pages (and inside long ones).
    const std::atomic<bool>* cancel = nullptr;
};

// Search results show about this many characters of a title, and of a
// description.
inline constexpr std::size_t kLongestTitle = 60;
inline constexpr std::size_t kLongestDescription = 160;

// A page larger than this is one note, not parsed.
inline constexpr long long kLargestCheckedPage = 50LL * 1024 * 1024;

// A picture file larger than this is reported, whatever it is shown at.
inline constexpr long long kLargePictureBytes = 500 * 1024;

struct SiteCheckResult {
    std::vector<Finding> findings; // by page (as listed), then by place in the page
    int pages = 0;                 // pages checked
    bool cancelled = false;
    int Errors() const;
};

// The file names of the pages of a project folder: every entry named
// "*.html" or "*.php", folders and other non-files among them (each is one
// finding of the check), sorted as the page list sorts them.
std::vector<std::string> SitePageNames(const std::string& project_folder);

// Checks every page of the project folder (ending in "/"), on every core;
// the findings come in page order and `progress` is called from the
// checking threads, one call at a time. Throws CommandError only when the
// folder itself cannot be read.
SiteCheckResult CheckSite(const std::string& project_folder, const SiteCheckOptions& options = {});

// The files of the project's images/ and media/ folders (relative paths)
// that no page uses, the site's icon aside: what Check Site notes and
// publishing may leave out. Reads every page, on every core.
std::vector<std::string> UnusedProjectFiles(const std::string& project_folder);

// The warning that a site of these pages has no home page (no index.html,
// index.htm or index.php), so the site's address shows none; it is given for
// the page named like a home page ("Home.html") or else the first.
// Nothing when there is one.
std::optional<Finding> HomePageFinding(const std::vector<std::string>& pages);

// Checks one page of the project: `page` is its file name in the folder. A
// page that cannot be read is one finding.
// `used_files`, when given, gets the project's files (full paths) the page's
// locations reach.
std::vector<Finding> CheckSitePage(const std::string& project_folder, const std::string& page,
                                   const SiteCheckOptions& options = {},
                                   std::set<std::string>* used_files = nullptr);

// A text for a terminal: control characters as "\xNN" and a backslash
// doubled, so a name holding an escape sequence or a line break is printed
// as one harmless line.
std::string EscapedForTerminal(std::string_view text);

// The findings as JSON: {"pages": N, "errors": N, "warnings": N, "notes": N,
// "cancelled": false, "findings": [{"severity", "page", "line", "column",
// "entry", "message"}, ...]}. Texts are escaped as JSON strings; bytes that
// are not UTF-8 become U+FFFD.
std::string FindingsJson(const SiteCheckResult& result);

// One line a finding: "PAGE:LINE:COLUMN: SEVERITY: ENTRY: MESSAGE" (the
// place and the entry left out where there is none).
std::string FindingText(const Finding& finding);

} // namespace qf
