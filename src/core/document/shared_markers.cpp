#include "document/shared_markers.h"

#include "document/markers.h"
#include "error.h"

namespace qf {

namespace {

constexpr std::string_view kOpeningStart = "<!--shared ";
constexpr std::string_view kClosingStart = "<!--/shared ";
constexpr std::string_view kCommentEnd = "-->";

bool StartsWith(std::string_view text, std::size_t at, std::string_view with) {
    return text.size() >= at && text.substr(at).substr(0, with.size()) == with;
}

} // namespace

std::string SharedPartOpening(std::string_view part) {
    return std::string(kOpeningStart).append(part).append(kCommentEnd);
}

std::string SharedPartClosing(std::string_view part) {
    return std::string(kClosingStart).append(part).append(kCommentEnd);
}

std::vector<SharedCopy> SharedCopies(std::string_view page, std::string_view part) {
    std::vector<SharedCopy> copies;
    const std::string begin_prefix = std::string(kMarkerOpen) + "Begin_";
    std::size_t at = 0;
    while ((at = page.find(kOpeningStart, at)) != std::string_view::npos) {
        const std::size_t name_at = at + kOpeningStart.size();
        const std::size_t name_end = page.find(kCommentEnd, name_at);
        if (name_end == std::string_view::npos) {
            break;
        }
        SharedCopy copy;
        copy.part = std::string(page.substr(name_at, name_end - name_at));
        copy.begin = at;
        at = name_end + kCommentEnd.size();
        if ((!part.empty() && copy.part != part) || !StartsWith(page, at, begin_prefix)) {
            continue;
        }
        // The component's start marker, right behind the comment.
        const std::size_t marker_name_at = at + begin_prefix.size();
        const std::size_t marker_end = page.find(kMarkerClose, marker_name_at);
        if (marker_end == std::string_view::npos) {
            continue;
        }
        copy.marker_name = std::string(page.substr(marker_name_at, marker_end - marker_name_at));
        copy.body_begin = marker_end + kMarkerClose.size();
        const std::string end_marker = EndMarker(copy.marker_name);
        copy.body_end = page.find(end_marker, copy.body_begin);
        if (copy.body_end == std::string_view::npos ||
            page.substr(copy.body_begin, copy.body_end - copy.body_begin).find(kOpeningStart) !=
                std::string_view::npos) {
            continue;
        }
        const std::size_t closing_at = copy.body_end + end_marker.size();
        const std::string closing = SharedPartClosing(copy.part);
        if (!StartsWith(page, closing_at, closing)) {
            continue;
        }
        copy.end = closing_at + closing.size();
        at = copy.end;
        copies.push_back(std::move(copy));
    }
    return copies;
}

std::string SharedPartOf(std::string_view page, std::string_view marker_name) {
    for (const SharedCopy& copy : SharedCopies(page)) {
        if (copy.marker_name == marker_name) {
            return copy.part;
        }
    }
    return {};
}

std::string WithoutSharedComments(std::string_view page, std::string_view marker_name) {
    std::string text(page);
    for (const SharedCopy& copy : SharedCopies(page)) {
        if (copy.marker_name == marker_name) {
            const std::size_t closing = copy.end - SharedPartClosing(copy.part).size();
            text.erase(closing, copy.end - closing);
            text.erase(copy.begin, SharedPartOpening(copy.part).size());
            break;
        }
    }
    return text;
}

void CheckSharedPartName(std::string_view name) {
    if (name.empty() || name.size() > 60) {
        throw CommandError("A shared part's name has 1 to 60 characters.");
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == ' ' || c == '-';
        if (!plain) {
            throw CommandError("A shared part's name may hold letters (a to z), digits, spaces, "
                               "\"_\" and \"-\" only: \"" +
                               std::string(name) + "\"");
        }
        if (c == '-' && i + 1 < name.size() && name[i + 1] == '-') {
            throw CommandError("A shared part's name may not hold \"--\".");
        }
    }
    if (name.front() == ' ' || name.back() == ' ' || name.front() == '-' || name.back() == '-') {
        throw CommandError("A shared part's name may not begin or end with a space or \"-\".");
    }
}

} // namespace qf
