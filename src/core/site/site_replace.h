#pragma once

#include "workspace/site_change.h"

#include <string>
#include <string_view>
#include <vector>

namespace qf {

struct Workspace;

// How Find and Replace in Site compares.
struct FindOptions {
    bool whole_words = false; // no letter, digit or "_" right before or after a match
    bool match_case = false;  // else letters match in either case (any alphabet)
};

// One place where the text to find stands in what visitors read: a text
// field of a component (its text, link text, list items, table cells, a
// form field's label, a picture's alt text, a button's text) or the page's
// title or description. Markers and markup are never searched.
struct SiteMatch {
    std::string page;      // "index.html"
    std::string component; // the Select Component entry ("Text2"), or "Title", "Description"
    std::string field;     // "text", "cell.2.3", "alt", "title", "description"
    int ordinal = 0;       // the n-th match in that field, from 0
    // The field's text around the match, for the list of matches ("…"
    // where the field goes on beyond it).
    std::string before;
    std::string found;
    std::string after;
};

struct SiteSearch {
    std::vector<SiteMatch> matches; // in the project's page order, then the page's
    // "PAGE: ENTRY was changed by hand and is not searched", "PAGE: reason"
    // for a page that cannot be read.
    std::vector<std::string> skipped;
};

// Every match of `find` on every page of the project. Throws CommandError
// for an empty `find` and for a project folder that cannot be read.
SiteSearch FindInSite(const std::string& project_folder, std::string_view find,
                      const FindOptions& options);

struct SiteReplaceReport {
    int replaced = 0;
    SiteChangeReport pages;
    // Matches that were not there any more when the page was changed.
    int gone = 0;
};

// Replaces the `chosen` matches (as FindInSite gave them, with the same
// `find` and `options`) by `replacement`, through each component's own
// builder (its values read back, changed and built again, so Modify still
// reads it; in element content the replacement is text: "<" and "&" are
// written as character references) and Page Properties for titles and
// descriptions: one step for all pages (ChangeSitePages). A match no longer
// found where it was is counted in `gone` and left.
SiteReplaceReport ReplaceInSite(Workspace& workspace, std::string_view find,
                                std::string_view replacement, const FindOptions& options,
                                const std::vector<SiteMatch>& chosen);

} // namespace qf
