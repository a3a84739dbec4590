#include "site/site_replace.h"

#include "components/component_fields.h"
#include "components/page_properties.h"
#include "document/page_file.h"
#include "document/selection_lists.h"
#include "error.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QString>

#include <map>
#include <set>

namespace qf {

namespace {

// The page's own texts, listed as if they were components.
constexpr std::string_view kTitleEntry = "Title";
constexpr std::string_view kDescriptionEntry = "Description";

// How much of a field is shown on each side of a match.
constexpr qsizetype kContextLength = 30;

struct Span {
    qsizetype at = 0;
    qsizetype length = 0;
};

bool IsWordCharacter(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool IsAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// For a value written as element content: which of its characters are text
// a visitor reads, not a tag or a character reference.
std::vector<bool> TextPositions(const QString& value) {
    std::vector<bool> text(static_cast<std::size_t>(value.size()), true);
    qsizetype i = 0;
    while (i < value.size()) {
        const QChar c = value[i];
        qsizetype end = i;
        if (c == u'<' && i + 1 < value.size() &&
            (IsAsciiLetter(value[i + 1]) || value[i + 1] == u'/' || value[i + 1] == u'!' ||
             value[i + 1] == u'?')) {
            end = value.indexOf(u'>', i);
            end = end < 0 ? value.size() : end + 1;
        } else if (c == u'&') {
            qsizetype j = i + 1;
            if (j < value.size() && value[j] == u'#') {
                ++j;
                const bool hex = j < value.size() && (value[j] == u'x' || value[j] == u'X');
                j += hex ? 1 : 0;
                while (j < value.size() &&
                       (hex ? std::isxdigit(value[j].unicode() < 128 ? value[j].unicode() : 0)
                            : value[j].isDigit())) {
                    ++j;
                }
            } else {
                while (j < value.size() && (IsAsciiLetter(value[j]) || value[j].isDigit())) {
                    ++j;
                }
            }
            if (j > i + 1 && j < value.size() && value[j] == u';') {
                end = j + 1;
            }
        }
        if (end > i) {
            for (qsizetype k = i; k < end; ++k) {
                text[static_cast<std::size_t>(k)] = false;
            }
            i = end;
        } else {
            ++i;
        }
    }
    return text;
}

// The matches of `find` in `value`, not overlapping, first to last. In
// element content (`markup`) a match lies wholly in text.
std::vector<Span> Matches(const QString& value, const QString& find, const FindOptions& options,
                          bool markup) {
    std::vector<Span> spans;
    const std::vector<bool> text = markup ? TextPositions(value) : std::vector<bool>();
    const Qt::CaseSensitivity cs = options.match_case ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype from = 0;
    while (from <= value.size() - find.size()) {
        const qsizetype at = value.indexOf(find, from, cs);
        if (at < 0) {
            break;
        }
        const qsizetype end = at + find.size();
        bool ok = true;
        if (markup) {
            for (qsizetype k = at; k < end && ok; ++k) {
                ok = text[static_cast<std::size_t>(k)];
            }
        }
        if (ok && options.whole_words) {
            ok = (at == 0 || !IsWordCharacter(value[at - 1])) &&
                 (end == value.size() || !IsWordCharacter(value[end]));
        }
        if (ok) {
            spans.push_back({at, find.size()});
            from = end;
        } else {
            from = at + 1;
        }
    }
    return spans;
}

std::string Shown(QString text) {
    text.replace(u'\n', u' ').replace(u'\r', u' ');
    return text.toStdString();
}

// The fields of a kind that visitors read, and whether each is element
// content (which may hold markup) rather than an attribute's text.
enum class TextField { None, Attribute, Content };

TextField TextFieldOf(std::string_view kind_tag, const FieldSpec& field) {
    switch (field.format) {
    case FieldFormat::kContent:
    case FieldFormat::kLines:
    case FieldFormat::kCell:
        return TextField::Content;
    case FieldFormat::kAttribute:
        if (field.name == "alt") {
            return TextField::Attribute;
        }
        if (field.name == "value" && (kind_tag == "Button" || kind_tag == "Reset" ||
                                      kind_tag == "Input_Text" || kind_tag == "Input_Pass")) {
            return TextField::Attribute;
        }
        return TextField::None;
    default:
        return TextField::None;
    }
}

// A field's text searched: the page entry, the field and its value.
struct SearchedText {
    std::string component;
    std::string field;
    std::string value;
    bool markup = false;
};

// True when `find` cannot stand in a component's body at all: a find of
// ASCII letters, digits and spaces is written in the body as it is (any
// case), so a body without it holds no match.
bool CannotHold(std::string_view body, std::string_view find_ascii) {
    if (find_ascii.empty()) {
        return false;
    }
    const auto lower = [](char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    for (std::size_t i = 0; i + find_ascii.size() <= body.size(); ++i) {
        std::size_t k = 0;
        while (k < find_ascii.size() && lower(body[i + k]) == lower(find_ascii[k])) {
            ++k;
        }
        if (k == find_ascii.size()) {
            return false;
        }
    }
    return true;
}

std::string PlainAsciiOrEmpty(std::string_view find) {
    for (const char c : find) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ';
        if (!plain) {
            return {};
        }
    }
    return std::string(find);
}

// Every searched text of `page`, in page order; the components that do not
// read back are named in `skipped`.
std::vector<SearchedText> SearchedTexts(std::string_view page, std::string_view page_name,
                                        std::string_view find, std::vector<std::string>* skipped) {
    std::vector<SearchedText> texts;
    if (!PageHeader(page).empty()) {
        texts.push_back({std::string(kTitleEntry), "title", HeadingForEditing(page), false});
    }
    if (std::string description = DescriptionForEditing(page); !description.empty()) {
        texts.push_back(
            {std::string(kDescriptionEntry), "description", std::move(description), false});
    }
    const std::string find_ascii = PlainAsciiOrEmpty(find);
    for (const std::string& entry : ComponentEntries(page)) {
        const std::optional<ComponentSelection> selection = SelectedComponentName(entry);
        const ComponentSpec* spec = selection ? FindComponentSpec(selection->kind_tag) : nullptr;
        if (spec == nullptr) {
            continue; // no builder: raw HTML, platforms, the form block
        }
        const bool has_text =
            std::any_of(spec->fields.begin(), spec->fields.end(), [&](const FieldSpec& field) {
                return TextFieldOf(spec->kind_tag, field) != TextField::None;
            });
        if (!has_text) {
            continue;
        }
        std::string body;
        try {
            body = ComponentSource(page, entry);
        } catch (const CommandError&) {
            continue; // its block is gone with its area: nothing a visitor reads
        }
        if (CannotHold(body, find_ascii)) {
            continue;
        }
        const ComponentReading reading = ReadComponent(page, entry);
        if (!reading.readable) {
            if (skipped != nullptr) {
                skipped->push_back(std::string(page_name) + ": " + entry +
                                   " was changed by hand and is not searched");
            }
            continue;
        }
        for (const auto& field : reading.fields) {
            const FieldSpec* spec_field = FindField(*spec, field.first);
            const TextField kind =
                spec_field != nullptr ? TextFieldOf(spec->kind_tag, *spec_field) : TextField::None;
            if (kind != TextField::None && !field.second.empty()) {
                texts.push_back({entry, field.first, field.second, kind == TextField::Content});
            }
        }
    }
    return texts;
}

void RequireFind(std::string_view find) {
    if (find.empty()) {
        throw CommandError("Type the text to find.");
    }
}

// The replacement as it enters a field: in element content it is text.
QString ReplacementFor(std::string_view replacement, bool markup) {
    QString text = QString::fromUtf8(replacement.data(), qsizetype(replacement.size()));
    if (markup) {
        text.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;"));
    }
    return text;
}

} // namespace

SiteSearch FindInSite(const std::string& project_folder, std::string_view find,
                      const FindOptions& options) {
    RequireFind(find);
    SiteSearch search;
    const QString wanted = QString::fromUtf8(find.data(), qsizetype(find.size()));
    for (const std::string& page : ProjectPages(project_folder)) {
        std::string text;
        try {
            text = ReadPageFile(project_folder + page);
        } catch (const CommandError& error) {
            search.skipped.push_back(page + ": " + error.what());
            continue;
        }
        for (const SearchedText& searched : SearchedTexts(text, page, find, &search.skipped)) {
            const QString value = QString::fromStdString(searched.value);
            int ordinal = 0;
            for (const Span& span : Matches(value, wanted, options, searched.markup)) {
                const qsizetype from = std::max<qsizetype>(0, span.at - kContextLength);
                const qsizetype end = span.at + span.length;
                // "…" where the field goes on.
                search.matches.push_back(
                    {page, searched.component, searched.field, ordinal++,
                     (from > 0 ? "\u2026" : "") + Shown(value.mid(from, span.at - from)),
                     Shown(value.mid(span.at, span.length)),
                     Shown(value.mid(end, kContextLength)) +
                         (end + kContextLength < value.size() ? "\u2026" : "")});
            }
        }
    }
    return search;
}

SiteReplaceReport ReplaceInSite(Workspace& workspace, std::string_view find,
                                std::string_view replacement, const FindOptions& options,
                                const std::vector<SiteMatch>& chosen) {
    RequireProject(workspace);
    RequireFind(find);
    const QString wanted = QString::fromUtf8(find.data(), qsizetype(find.size()));
    // The chosen ordinals of each field of each component of each page.
    using Ordinals = std::set<int>;
    std::map<std::string, std::map<std::string, std::map<std::string, Ordinals>>> by_page;
    std::vector<std::string> pages;
    for (const SiteMatch& match : chosen) {
        if (by_page.find(match.page) == by_page.end()) {
            pages.push_back(match.page);
        }
        by_page[match.page][match.component][match.field].insert(match.ordinal);
    }
    SiteReplaceReport report;
    // A page's matches are counted when it is written.
    std::map<std::string, std::pair<int, int>> counted; // page -> replaced, gone
    const auto change = [&](const std::string& page, const std::string& text) {
        std::string changed = text;
        int replaced = 0;
        int gone = 0;
        // The new value of one field, with its chosen matches replaced.
        const auto replace_in = [&](const std::string& value, const Ordinals& ordinals,
                                    bool markup) {
            QString result = QString::fromStdString(value);
            const std::vector<Span> spans = Matches(result, wanted, options, markup);
            const QString with = ReplacementFor(replacement, markup);
            for (auto it = ordinals.rbegin(); it != ordinals.rend(); ++it) {
                if (*it < 0 || static_cast<std::size_t>(*it) >= spans.size()) {
                    ++gone;
                    continue;
                }
                const Span& span = spans[static_cast<std::size_t>(*it)];
                result.replace(span.at, span.length, with);
                ++replaced;
            }
            return result.toStdString();
        };
        for (const auto& component : by_page[page]) {
            if (component.first == kTitleEntry || component.first == kDescriptionEntry) {
                const bool title = component.first == kTitleEntry;
                if (title && PageHeader(changed).empty()) {
                    for (const auto& field : component.second) {
                        gone += static_cast<int>(field.second.size());
                    }
                    continue;
                }
                PageProperties properties;
                for (const auto& field : component.second) {
                    const std::string now =
                        title ? HeadingForEditing(changed) : DescriptionForEditing(changed);
                    (title ? properties.heading : properties.description) =
                        replace_in(now, field.second, false);
                }
                changed = ApplyPageProperties(changed, properties);
                continue;
            }
            const std::optional<ComponentSelection> selection =
                SelectedComponentName(component.first);
            const ComponentSpec* spec =
                selection ? FindComponentSpec(selection->kind_tag) : nullptr;
            ComponentReading reading;
            if (spec != nullptr) {
                try {
                    reading = ReadComponent(changed, component.first);
                } catch (const CommandError&) {
                    reading.readable = false;
                }
            }
            if (!reading.readable) {
                for (const auto& field : component.second) {
                    gone += static_cast<int>(field.second.size());
                }
                continue;
            }
            const FieldValues values = reading.Values();
            FieldValues changes;
            for (const auto& field : component.second) {
                const auto value = values.find(field.first);
                const FieldSpec* spec_field = FindField(*spec, field.first);
                const TextField kind = spec_field != nullptr
                                           ? TextFieldOf(spec->kind_tag, *spec_field)
                                           : TextField::None;
                if (value == values.end() || kind == TextField::None) {
                    gone += static_cast<int>(field.second.size());
                    continue;
                }
                changes[field.first] =
                    replace_in(value->second, field.second, kind == TextField::Content);
            }
            if (!changes.empty()) {
                changed = ModifiedComponentValuesText(changed, component.first, changes);
            }
        }
        counted[page] = {replaced, gone};
        return changed;
    };
    report.pages = ChangeSitePages(workspace, pages, "Replace in Site", change);
    for (const std::string& page : report.pages.written) {
        report.replaced += counted[page].first;
    }
    for (const auto& page : counted) {
        report.gone += page.second.second;
    }
    return report;
}

} // namespace qf
