#include "components/page_properties.h"

#include "components/small_screens.h"
#include "components/user_text.h"
#include "document/markers.h"
#include "error.h"
#include "site/site_settings.h"
#include "workspace/source_text.h"
#include "workspace/workspace.h"

#include <optional>
#include <vector>

namespace qf {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The body start tag: from the first "<body" to the ">" just before the body
// marker.
struct BodyTag {
    std::size_t begin = 0; // "<"
    std::size_t close = 0; // the closing ">"
};

// The ">" that ends the tag starting at `begin`, a quoted value after "="
// read whole as browsers read it; npos when the text ends first.
std::size_t TagClose(std::string_view page, std::size_t begin) {
    bool after_equals = false;
    for (std::size_t pos = begin + 1; pos < page.size(); ++pos) {
        const char c = page[pos];
        if (c == '>') {
            return pos;
        }
        if (after_equals && (c == '"' || c == '\'')) {
            pos = page.find(c, pos + 1);
            if (pos == std::string_view::npos) {
                return pos;
            }
            after_equals = false;
        } else if (c == '=') {
            after_equals = true;
        } else if (!IsBlank(c)) {
            after_equals = false;
        }
    }
    return std::string_view::npos;
}

BodyTag FindBodyTag(std::string_view page) {
    const std::size_t begin = BodyTagStart(page);
    const std::size_t marker = page.find(kBodyMarker);
    // The tag must end right before the marker: other markup between them, or
    // a value that never closes, is not the body start tag's to change.
    if (begin == std::string_view::npos || marker == std::string_view::npos ||
        marker <= begin + 5 || page[marker - 1] != '>' || TagClose(page, begin) != marker - 1) {
        throw CommandError(
            "The body start tag of this page cannot be found (\"<body ...>\" followed by \"" +
            std::string(kBodyMarker) + "\")");
    }
    return {begin, marker - 1};
}

// One attribute of a tag with a value: name="value", name='value' or name=value.
struct Attribute {
    std::size_t start = 0;       // the blank in front of the name
    std::size_t value_begin = 0; // the opening quote, or the value's first character
    std::size_t end = 0;         // one past the closing quote or the value
};

// The first attribute called `name` (any case) that has a value, reading the
// tag's attributes one by one, so a name inside another attribute's value is
// never taken for an attribute.
std::optional<Attribute> FindAttribute(std::string_view page, const BodyTag& tag,
                                       std::string_view name) {
    std::size_t pos = tag.begin + 5;
    while (pos < tag.close) {
        const std::size_t blank = pos;
        while (pos < tag.close && IsBlank(page[pos])) {
            ++pos;
        }
        const std::size_t name_begin = pos;
        while (pos < tag.close && !IsBlank(page[pos]) && page[pos] != '=') {
            ++pos;
        }
        const std::string_view found = page.substr(name_begin, pos - name_begin);
        if (pos >= tag.close || page[pos] != '=') {
            if (pos == name_begin) {
                ++pos; // a stray character
            }
            continue;
        }
        ++pos; // '='
        const std::size_t value_begin = pos;
        if (pos < tag.close && (page[pos] == '"' || page[pos] == '\'')) {
            const std::size_t quote_end = page.find(page[pos], pos + 1);
            pos = (quote_end == std::string_view::npos || quote_end >= tag.close) ? tag.close
                                                                                  : quote_end + 1;
        } else {
            while (pos < tag.close && !IsBlank(page[pos])) {
                ++pos;
            }
        }
        if (SameName(found, name)) {
            const std::size_t start =
                (name_begin > blank && IsBlank(page[name_begin - 1])) ? name_begin - 1 : name_begin;
            return Attribute{start, value_begin, pos};
        }
    }
    return std::nullopt;
}

void ReplaceTitle(std::string& page, std::string_view heading) {
    const std::size_t open = page.find("<title>");
    const std::size_t close = page.find("</title>");
    if (open == std::string::npos || close == std::string::npos || close < open + 7) {
        throw CommandError("This page has no title (\"<title>\" ... \"</title>\")");
    }
    page.replace(open + 7, close - open - 7, heading);
}

void SetColour(std::string& page, std::string_view colour) {
    BodyTag tag = FindBodyTag(page);
    if (const auto bgcolor = FindAttribute(page, tag, "bgcolor")) {
        const bool quoted =
            bgcolor->end > bgcolor->value_begin &&
            (page[bgcolor->value_begin] == '"' || page[bgcolor->value_begin] == '\'');
        const std::size_t first = bgcolor->value_begin + (quoted ? 1 : 0);
        const bool closed = quoted && bgcolor->end - 1 > bgcolor->value_begin &&
                            page[bgcolor->end - 1] == page[bgcolor->value_begin];
        const std::size_t last = closed ? bgcolor->end - 1 : bgcolor->end;
        page.replace(first, last - first, colour);
    } else {
        page.insert(tag.begin + 5, " bgcolor=" + std::string(colour));
    }
    tag = FindBodyTag(page);
    if (const auto background = FindAttribute(page, tag, "background")) {
        page.erase(background->start, background->end - background->start);
    }
}

void SetPicture(std::string& page, std::string_view picture) {
    const BodyTag tag = FindBodyTag(page);
    const std::string value = "\"" + std::string(picture) + "\"";
    if (const auto background = FindAttribute(page, tag, "background")) {
        page.replace(background->value_begin, background->end - background->value_begin, value);
    } else {
        page.insert(tag.close, " background=" + value);
    }
}

void SetScroll(std::string& page, bool disable_scrollers) {
    const BodyTag tag = FindBodyTag(page);
    const auto scroll = FindAttribute(page, tag, "scroll");
    if (disable_scrollers) {
        if (scroll) {
            page.replace(scroll->value_begin, scroll->end - scroll->value_begin, "\"no\"");
        } else {
            page.insert(tag.begin + 5, " scroll=\"no\"");
        }
    } else if (scroll) {
        page.erase(scroll->start, scroll->end - scroll->start);
    }
}

// A background starting with "#" is a colour, which the body start tag takes
// without quotes: only letters and digits may follow.
void CheckColour(std::string_view background) {
    if (background.empty() || background.front() != '#') {
        return;
    }
    for (const char c : background.substr(1)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            throw CommandError("A background colour is \"#\" followed by letters and digits "
                               "(\"#336699\")");
        }
    }
}

// The first `needle` (lower case) in `text` at or after `from`, in any case.
std::size_t FindAnyCase(std::string_view text, std::string_view needle, std::size_t from = 0) {
    for (std::size_t at = from; at + needle.size() <= text.size(); ++at) {
        if (SameName(text.substr(at, needle.size()), needle)) {
            return at;
        }
    }
    return std::string_view::npos;
}

} // namespace

bool PageHidesScrollBars(std::string_view page) {
    try {
        const auto scroll = FindAttribute(page, FindBodyTag(page), "scroll");
        if (!scroll) {
            return false;
        }
        std::string_view value =
            page.substr(scroll->value_begin, scroll->end - scroll->value_begin);
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')) {
            value = value.substr(1, value.size() - 2);
        }
        return SameName(value, "no");
    } catch (const CommandError&) {
        return false; // no body start tag: nothing hides them
    }
}

namespace {

// An attribute's value without its quotes.
std::string_view ValueOf(std::string_view page, const Attribute& attribute) {
    std::string_view value =
        page.substr(attribute.value_begin, attribute.end - attribute.value_begin);
    if (!value.empty() && (value.front() == '"' || value.front() == '\'')) {
        value.remove_prefix(1);
        if (!value.empty() && value.back() == page[attribute.value_begin]) {
            value.remove_suffix(1);
        }
    }
    return value;
}

} // namespace

PageBackground BackgroundForEditing(std::string_view page) {
    PageBackground background;
    BodyTag tag;
    try {
        tag = FindBodyTag(page);
    } catch (const CommandError&) {
        return background;
    }
    if (const auto bgcolor = FindAttribute(page, tag, "bgcolor")) {
        const std::string colour(ValueOf(page, *bgcolor));
        try {
            if (colour.size() > 1 && colour.front() == '#') {
                CheckColour(colour); // what OK could not write back stays out
                background.colour = colour;
            }
        } catch (const CommandError&) {
        }
    }
    if (const auto picture = FindAttribute(page, tag, "background")) {
        background.picture = TypedFromAttributeText(ValueOf(page, *picture));
    }
    return background;
}

std::string HeadingForEditing(std::string_view page) {
    const std::string title = PageHeader(page);
    if (title.empty()) {
        return std::string(kDefaultHeading);
    }
    return ReadableText(title).toStdString();
}

void CheckTitleText(std::string_view field, std::string_view value) {
    CheckNoMarkerDelimiters(field, value);
    CheckSingleLine(field, value);
    if (FindAnyCase(value, "</title") != std::string_view::npos) {
        throw CommandError(std::string(field) + " may not contain \"</title\"");
    }
}

std::size_t TitleEnd(std::string_view page) {
    const std::size_t title = page.find("<title>");
    const std::size_t title_end = page.find("</title>");
    if (title != std::string_view::npos && title_end != std::string_view::npos &&
        title < title_end) {
        return title_end;
    }
    return 0;
}

std::size_t HeadEndTag(std::string_view page) {
    return page.find("</head>", TitleEnd(page));
}

std::size_t BodyTagStart(std::string_view page) {
    const std::size_t head_end = HeadEndTag(page);
    // "<body" as the whole tag name, not the start of another ("<bodyx").
    std::size_t at =
        page.find("<body", head_end != std::string_view::npos ? head_end : TitleEnd(page));
    while (at != std::string_view::npos && at + 5 < page.size() && !IsBlank(page[at + 5]) &&
           page[at + 5] != '>' && page[at + 5] != '/') {
        at = page.find("<body", at + 5);
    }
    return at;
}

namespace {

constexpr std::string_view kDescriptionStart = "<meta name=\"description\" content=\"";

// Where the page's description tag stands behind its title: [start, end).
std::pair<std::size_t, std::size_t> DescriptionTag(std::string_view page) {
    const std::size_t title_end = TitleEnd(page);
    if (title_end == 0) {
        return {std::string_view::npos, std::string_view::npos};
    }
    const std::size_t start = title_end + 8; // behind "</title>"
    if (page.substr(start, kDescriptionStart.size()) != kDescriptionStart) {
        return {std::string_view::npos, start};
    }
    const std::size_t close = page.find("\">", start + kDescriptionStart.size());
    return {start, close == std::string_view::npos ? std::string_view::npos : close + 2};
}

void SetDescription(std::string& page, const std::string& attribute_text) {
    const auto [start, end] = DescriptionTag(page);
    const std::string tag = attribute_text.empty()
                                ? std::string()
                                : std::string(kDescriptionStart) + attribute_text + "\">";
    if (start != std::string::npos && end != std::string::npos) {
        page.replace(start, end - start, tag);
    } else if (end != std::string::npos) {
        page.insert(end, tag);
    }
}

// Where the first "<html" start tag stands: [start, end of its ">").
std::pair<std::size_t, std::size_t> HtmlTag(std::string_view page) {
    std::size_t at = 0;
    while ((at = page.find('<', at)) != std::string_view::npos) {
        if (page.size() - at >= 6 && (page[at + 1] | 0x20) == 'h' && (page[at + 2] | 0x20) == 't' &&
            (page[at + 3] | 0x20) == 'm' && (page[at + 4] | 0x20) == 'l' &&
            (IsBlank(page[at + 5]) || page[at + 5] == '>')) {
            const std::size_t end = page.find('>', at);
            return {at, end == std::string_view::npos ? std::string_view::npos : end + 1};
        }
        ++at;
    }
    return {std::string_view::npos, std::string_view::npos};
}

// Where the lang attribute of the tag [start, end) stands, its leading blank
// included, and where its value does: {attribute start, attribute end,
// value start, value end}; npos when it has none.
struct LangAttribute {
    std::size_t start = std::string_view::npos;
    std::size_t end = 0;
    std::size_t value = 0;
    std::size_t value_end = 0;
};
LangAttribute FindLang(std::string_view page, std::size_t start, std::size_t end) {
    LangAttribute found;
    for (std::size_t at = start + 5; at + 5 < end; ++at) {
        if (!IsBlank(page[at]) || (page[at + 1] | 0x20) != 'l' || (page[at + 2] | 0x20) != 'a' ||
            (page[at + 3] | 0x20) != 'n' || (page[at + 4] | 0x20) != 'g' || page[at + 5] != '=') {
            continue;
        }
        found.start = at;
        found.value = at + 6;
        if (found.value < end && (page[found.value] == '"' || page[found.value] == '\'')) {
            const char quote = page[found.value];
            const std::size_t close = page.find(quote, found.value + 1);
            if (close == std::string_view::npos || close >= end) {
                return {};
            }
            found.value_end = close;
            ++found.value;
            found.end = close + 1;
        } else {
            found.value_end = found.value;
            while (found.value_end < end - 1 && !IsBlank(page[found.value_end])) {
                ++found.value_end;
            }
            found.end = found.value_end;
        }
        return found;
    }
    return found;
}

void SetLanguage(std::string& page, const std::string& language) {
    const auto [start, end] = HtmlTag(page);
    if (start == std::string::npos || end == std::string::npos) {
        if (language.empty()) {
            return;
        }
        throw CommandError("The page has no <html> tag to give its language");
    }
    const LangAttribute lang = FindLang(page, start, end);
    const std::string attribute = language.empty() ? std::string() : " lang=\"" + language + "\"";
    if (lang.start != std::string::npos) {
        page.replace(lang.start, lang.end - lang.start, attribute);
    } else {
        page.insert(start + 5, attribute);
    }
}

void SetHiddenFromSearch(std::string& page, bool hide) {
    const std::size_t head_end = HeadEndTag(page);
    const std::size_t found = page.substr(0, head_end).find(kNoIndexTag);
    if (!hide) {
        if (found != std::string::npos) {
            page.erase(found, kNoIndexTag.size());
        }
        return;
    }
    if (found != std::string::npos) {
        return;
    }
    const auto [start, end] = DescriptionTag(page);
    const std::size_t at =
        start != std::string::npos && end != std::string::npos ? end : TitleEnd(page) + 8;
    page.insert(at, kNoIndexTag);
}

} // namespace

std::string LanguageForEditing(std::string_view page) {
    const auto [start, end] = HtmlTag(page);
    if (start == std::string_view::npos || end == std::string_view::npos) {
        return {};
    }
    const LangAttribute lang = FindLang(page, start, end);
    return lang.start == std::string_view::npos
               ? std::string()
               : std::string(page.substr(lang.value, lang.value_end - lang.value));
}

bool PageHiddenFromSearch(std::string_view page) {
    return page.substr(0, HeadEndTag(page)).find(kNoIndexTag) != std::string_view::npos;
}

std::string DescriptionForEditing(std::string_view page) {
    const auto [start, end] = DescriptionTag(page);
    if (start == std::string_view::npos || end == std::string_view::npos) {
        return {};
    }
    const std::size_t value = start + kDescriptionStart.size();
    return TypedFromAttributeText(page.substr(value, end - 2 - value));
}

std::string ApplyPageProperties(std::string_view page, const PageProperties& properties) {
    std::optional<std::string> heading;
    if (properties.heading) {
        CheckTitleText("Heading", *properties.heading);
        heading = PageText("Heading", *properties.heading);
    }
    CheckNoMarkerDelimiters("Background", properties.background);
    CheckSingleLine("Background", properties.background);
    CheckColour(properties.background);
    const std::string background = AttributeText("Background", properties.background);
    std::optional<std::string> description;
    if (properties.description) {
        CheckNoMarkerDelimiters("Description", *properties.description);
        CheckSingleLine("Description", *properties.description);
        description = AttributeText("Description", *properties.description);
        if (TitleEnd(page) == 0) {
            throw CommandError("The page has no title to put its description behind");
        }
    }
    if (properties.language && !properties.language->empty() &&
        !IsLanguageTag(*properties.language)) {
        throw CommandError("Language: \"" + *properties.language +
                           "\" is no language tag; give it as en, de or de-CH (empty: the "
                           "site's language)");
    }
    if (properties.hide_from_search && *properties.hide_from_search && TitleEnd(page) == 0) {
        throw CommandError("The page has no title to put the search engines' note behind");
    }
    FindBodyTag(page); // refuse before any change
    // The copy is made once, at its size: with the fit block turned on or
    // off, or with room for what the other changes add, so that growing it
    // never makes a second copy of twice the size.
    const bool edits = heading || !background.empty() || properties.disable_scrollers ||
                       description || properties.hide_from_search || properties.language;
    const std::size_t room = (heading ? heading->size() : 0) + background.size() +
                             (description ? description->size() : 0) + 256;
    std::string text;
    if (properties.fit_small_screens && !edits) {
        return WithSmallScreenFit(page, *properties.fit_small_screens, 0);
    }
    text.reserve(page.size() + room);
    text.assign(page);
    if (heading) {
        ReplaceTitle(text, *heading);
    }
    if (!background.empty()) {
        if (background.front() == '#') {
            SetColour(text, background);
        } else {
            SetPicture(text, background);
        }
    }
    if (properties.disable_scrollers) {
        SetScroll(text, *properties.disable_scrollers);
    }
    if (description) {
        SetDescription(text, *description);
    }
    if (properties.hide_from_search) {
        SetHiddenFromSearch(text, *properties.hide_from_search);
    }
    if (properties.language) {
        SetLanguage(text, *properties.language);
    }
    // The small-screen block last: its width is the widest table of the page
    // as the other changes leave it (a title that was never closed, replaced,
    // may take tables with it), so applying the same properties again
    // changes nothing.
    if (properties.fit_small_screens) {
        return WithSmallScreenFit(text, *properties.fit_small_screens, 0);
    }
    return text;
}

void SetPageProperties(Workspace& workspace, const PageProperties& properties) {
    RequireOpenPage(workspace);
    std::string text = ApplyPageProperties(workspace.page_text, properties);
    CommitPageText(workspace, std::move(text), "Page Properties");
    workspace.page_header = PageHeader(workspace.page_text);
}

} // namespace qf
