#include "render/render_page.h"

#include "check/element_name.h"
#include "workspace/source_text.h"

#include <gumbo.h>

#include <QUrl>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace qf::render {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return lower;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// A whole non-negative number ("120"), as HTML reads a length; nothing for
// anything else.
std::optional<long> Pixels(std::string_view value) {
    value = Trim(value);
    if (value.empty() || value.size() > 7 ||
        value.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    return std::strtol(std::string(value).c_str(), nullptr, 10);
}

// A length attribute as CSS: "120" -> "120px", "80%" -> "80%"; empty for
// anything a browser would not take.
std::string CssLength(std::string_view value) {
    value = Trim(value);
    if (const auto pixels = Pixels(value)) {
        return std::to_string(*pixels) + "px";
    }
    if (EndsWith(value, "%") && Pixels(value.substr(0, value.size() - 1))) {
        return std::string(value);
    }
    return {};
}

// A colour attribute as CSS: "#ff0000", a name; empty when it is none.
std::string CssColour(std::string_view value) {
    value = Trim(value);
    if (value.empty()) {
        return {};
    }
    if (value.front() == '#') {
        const std::string_view digits = value.substr(1);
        if ((digits.size() == 3 || digits.size() == 6) &&
            digits.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos) {
            return std::string(value);
        }
        return {};
    }
    if (value.size() == 6 &&
        value.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos) {
        return "#" + std::string(value); // written without its "#"
    }
    for (const char c : value) {
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            return {};
        }
    }
    return Lower(value);
}

// A font face list as a CSS font-family: names with blanks quoted.
std::string CssFontFamily(std::string_view faces) {
    std::string family;
    std::size_t start = 0;
    while (start <= faces.size()) {
        std::size_t comma = faces.find(',', start);
        if (comma == std::string_view::npos) {
            comma = faces.size();
        }
        std::string_view face = Trim(faces.substr(start, comma - start));
        start = comma + 1;
        if (face.empty() || face.find_first_of("\"';{}<>\\") != std::string_view::npos) {
            continue;
        }
        if (!family.empty()) {
            family += ",";
        }
        if (face.find(' ') != std::string_view::npos) {
            family += "\"" + std::string(face) + "\"";
        } else {
            family += face;
        }
    }
    return family;
}

// "<font size>" as the browser's own sizes: 1 to 7, or relative to 3.
std::string CssFontSize(std::string_view value) {
    value = Trim(value);
    if (value.empty()) {
        return {};
    }
    int size = 0;
    if (value.front() == '+' || value.front() == '-') {
        const auto step = Pixels(value.substr(1));
        if (!step) {
            return {};
        }
        size = 3 + (value.front() == '+' ? int(*step) : -int(*step));
    } else if (const auto absolute = Pixels(value)) {
        size = int(*absolute);
    } else {
        return {};
    }
    static constexpr const char* kSizes[] = {"x-small", "small",    "medium",   "large",
                                             "x-large", "xx-large", "xxx-large"};
    return kSizes[std::clamp(size, 1, 7) - 1];
}

// The declarations of a style attribute that say something: one without a
// value ("COLOR: ;") is left out, so the attribute stays valid CSS.
std::string CleanStyle(std::string_view style) {
    std::string clean;
    std::size_t start = 0;
    while (start < style.size()) {
        std::size_t end = style.find(';', start);
        if (end == std::string_view::npos) {
            end = style.size();
        }
        const std::string_view declaration = Trim(style.substr(start, end - start));
        start = end + 1;
        const std::size_t colon = declaration.find(':');
        if (colon == std::string_view::npos || Trim(declaration.substr(0, colon)).empty() ||
            Trim(declaration.substr(colon + 1)).empty()) {
            continue;
        }
        if (!clean.empty()) {
            clean += ";";
        }
        clean += std::string(Trim(declaration.substr(0, colon))) + ":" +
                 std::string(Trim(declaration.substr(colon + 1)));
    }
    return clean;
}

void AppendEscaped(std::string& out, std::string_view text, bool attribute) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += attribute ? "&quot;" : "\"";
            break;
        default:
            out += c;
        }
    }
}

// The elements that have no end tag.
bool IsVoid(std::string_view tag) {
    static constexpr std::string_view kVoid[] = {"area",  "base",   "br",    "col",  "embed",
                                                 "hr",    "img",    "input", "link", "meta",
                                                 "param", "source", "track", "wbr"};
    return std::find(std::begin(kVoid), std::end(kVoid), tag) != std::end(kVoid);
}

// An element as it is written out: its name, attributes and the CSS that
// the obsolete ones turn into.
struct Tag {
    std::string name;
    std::vector<std::pair<std::string, std::string>> attributes;
    std::string style; // declarations without the element's own style attribute

    void Css(std::string_view property, std::string_view value) {
        if (value.empty()) {
            return;
        }
        if (!style.empty()) {
            style += ";";
        }
        style += std::string(property) + ":" + std::string(value);
    }
    void Set(std::string_view name_, std::string value) {
        for (auto& attribute : attributes) {
            if (attribute.first == name_) {
                attribute.second = std::move(value);
                return;
            }
        }
        attributes.emplace_back(std::string(name_), std::move(value));
    }
    const std::string* Get(std::string_view name_) const {
        for (const auto& attribute : attributes) {
            if (attribute.first == name_) {
                return &attribute.second;
            }
        }
        return nullptr;
    }
    std::string Take(std::string_view name_) {
        for (auto it = attributes.begin(); it != attributes.end(); ++it) {
            if (it->first == name_) {
                std::string value = std::move(it->second);
                attributes.erase(it);
                return value;
            }
        }
        return {};
    }
    bool Has(std::string_view name_) const { return Get(name_) != nullptr; }
};

// What a table gives its cells: borders and padding.
struct TableContext {
    long border = 0;           // the table's border attribute
    std::string border_colour; // the table's bordercolor, as CSS
    std::string padding;       // the table's cellpadding, as CSS
    std::string valign;        // an area table's valign, which its cells take
};

class Renderer {
public:
    explicit Renderer(const RenderOptions& options) : options_(options) {}

    std::string Run(std::string_view page_text);

private:
    void Children(const GumboNode* node);
    void Node(const GumboNode* node);
    void Element(const GumboNode* node);
    void Text(const GumboNode* node);
    void Open(const Tag& tag);
    void Close(std::string_view name) { out_ += "</" + std::string(name) + ">"; }

    std::string TagName(const GumboElement& element) const;
    // A background picture's CSS: the picture, and a smaller WebP of it
    // through image-set where the site makes one.
    void Background(Tag& tag, const std::string& background) const;
    Tag ReadTag(const GumboElement& element) const;
    // Obsolete attributes as CSS; false when the element is not written at
    // all (its replacement has been written).
    bool Convert(const GumboNode* node, Tag& tag);
    void Align(Tag& tag, bool picture);
    void Table(Tag& tag);
    void Cell(Tag& tag);
    void Picture(const GumboNode* node, Tag& tag);
    void SizedPicture(const GumboNode* node, Tag& tag);
    void Link(const GumboNode* node, Tag& tag);
    void Rule(Tag& tag);
    bool Embedded(const GumboNode* node, const Tag& tag);
    bool QuirkLineHeight(const GumboNode* node, Tag& tag);

    void Head(const GumboNode* head, std::string& into);
    std::string Description(const GumboNode* body) const;
    // `own_robots`: the page says itself what robots may do.
    std::string SharingTags(const std::string& title, const std::string& description,
                            bool own_robots) const;
    void CollectText(const GumboNode* node, std::string& text, std::size_t limit) const;

    const RenderOptions& options_;
    std::string out_;
    std::vector<TableContext> tables_;
    std::map<std::string, std::string> hover_classes_; // colour -> class
    std::string link_rules_;                           // the body's link colours
    bool site_menu_ = false;                           // the page shows the site menu
    // Whether the element being written inherits a line height of 0 (see
    // QuirkLineHeight).
    bool zero_line_height_ = false;
    bool in_body_ = false;
    int pictures_ = 0;          // pictures written so far, for lazy loading
    std::string card_picture_;  // the first picture wide enough to share, as written
    bool picture_open_ = false; // an "<img>" written inside "<picture>"
    bool rollover_ = false;
    long widest_area_ = 0; // the widest area table's width in pixels
    // Where the body's elements are written, for the check of the result.
    std::vector<std::pair<std::size_t, std::size_t>>* places_ = nullptr;
    bool legacy_rollover_ = false; // handlers left that call js.js
};

void Renderer::Background(Tag& tag, const std::string& background) const {
    if (background.empty()) {
        return;
    }
    const auto url = [](const std::string& location) {
        std::string quoted = "url(\"";
        for (const char c : location) {
            if (c == '"' || c == '\\' || c == '\n' || c == '\r') {
                char escaped[4];
                std::snprintf(escaped, sizeof escaped, "%%%02X",
                              unsigned(static_cast<unsigned char>(c)));
                quoted += escaped;
            } else {
                quoted += c;
            }
        }
        return quoted + "\")";
    };
    tag.Css("background-image", url(background));
    // Where the site makes a smaller WebP of the picture, browsers that read
    // image-set take it; the others keep the declaration before.
    if (!options_.picture_variant || !options_.picture_size) {
        return;
    }
    const auto size = options_.picture_size(background);
    if (!size || size->first <= 0) {
        return;
    }
    const auto own = options_.picture_variant(background, size->first, "");
    const auto webp = options_.picture_variant(background, size->first, "webp");
    if (own && webp && webp->bytes < own->bytes) {
        tag.Css("background-image", "image-set(" + url(webp->location) + " type(\"image/webp\")," +
                                        url(own->location) + ")");
    }
}

std::string Renderer::TagName(const GumboElement& element) const {
    return check::ElementName(element, "span");
}

Tag Renderer::ReadTag(const GumboElement& element) const {
    Tag tag;
    tag.name = TagName(element);
    for (unsigned i = 0; i < element.attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(element.attributes.data[i]);
        const std::string name = Lower(attribute->name);
        if (!tag.Has(name)) {
            tag.attributes.emplace_back(name, attribute->value);
        }
    }
    return tag;
}

void Renderer::Open(const Tag& tag) {
    out_ += "<" + tag.name;
    std::string style = tag.style;
    for (const auto& [name, value] : tag.attributes) {
        if (name == "style") {
            const std::string own = CleanStyle(value);
            if (!own.empty()) {
                style += (style.empty() ? "" : ";") + own;
            }
            continue;
        }
        if (name.empty() || name.find_first_of("\"'<>/=") != std::string::npos) {
            continue;
        }
        out_ += " " + name;
        static constexpr std::string_view kFlags[] = {"selected", "checked",  "disabled",
                                                      "readonly", "multiple", "controls",
                                                      "autoplay", "loop",     "muted"};
        const bool flag = std::find(std::begin(kFlags), std::end(kFlags), name) != std::end(kFlags);
        if (!value.empty() || !flag) {
            out_ += "=\"";
            AppendEscaped(out_, value, true);
            out_ += "\"";
        }
    }
    if (!style.empty()) {
        out_ += " style=\"";
        AppendEscaped(out_, style, true);
        out_ += "\"";
    }
    out_ += ">";
}

void Renderer::Align(Tag& tag, bool picture) {
    const std::string align = Lower(Trim(tag.Take("align")));
    if (align.empty()) {
        return;
    }
    if (picture) {
        if (align == "left" || align == "right") {
            tag.Css("float", align);
        } else if (align == "top" || align == "texttop") {
            tag.Css("vertical-align", align == "top" ? "top" : "text-top");
        } else if (align == "middle" || align == "absmiddle" || align == "center" ||
                   align == "abscenter") {
            tag.Css("vertical-align", "middle");
        } else if (align == "absbottom") {
            tag.Css("vertical-align", "bottom");
        } else if (align == "bottom" || align == "baseline") {
            tag.Css("vertical-align", "baseline");
        }
        return;
    }
    if (align == "left" || align == "right" || align == "center" || align == "justify") {
        tag.Css("text-align", align);
    } else if (align == "middle") {
        tag.Css("text-align", "center");
    }
}

void Renderer::Table(Tag& tag) {
    TableContext table;
    const std::string align = Lower(Trim(tag.Take("align")));
    if (align == "left" || align == "right") {
        tag.Css("float", align);
    } else if (align == "center" || align == "middle") {
        tag.Css("margin-left", "auto");
        tag.Css("margin-right", "auto");
    }
    // An area's table: its valign tells it from the tables of the page's text.
    if (tag.Has("valign")) {
        if (const std::string* width = tag.Get("width")) {
            widest_area_ = std::max(widest_area_, Pixels(*width).value_or(0));
        }
        const std::string valign = Lower(Trim(tag.Take("valign")));
        if (valign == "top" || valign == "middle" || valign == "bottom") {
            table.valign = valign;
        }
        tag.Set("role", "presentation");
        const std::string* own_class = tag.Get("class");
        tag.Set("class", own_class != nullptr && !Trim(*own_class).empty()
                             ? std::string(Trim(*own_class)) + " q-area"
                             : std::string("q-area"));
    }
    if (tag.Has("border")) {
        const std::string border = tag.Take("border");
        table.border = Trim(border).empty() ? 1 : Pixels(border).value_or(0);
    }
    table.border_colour = CssColour(tag.Take("bordercolor"));
    if (table.border > 0) {
        tag.Css("border-width", std::to_string(table.border) + "px");
        tag.Css("border-style", table.border_colour.empty() ? "outset" : "solid");
        tag.Css("border-color", table.border_colour.empty() ? "gray" : table.border_colour);
    }
    tag.Css("width", CssLength(tag.Take("width")));
    tag.Css("height", CssLength(tag.Take("height")));
    if (tag.Has("cellspacing")) {
        tag.Css("border-spacing", CssLength(tag.Take("cellspacing")));
    }
    if (tag.Has("cellpadding")) {
        table.padding = CssLength(tag.Take("cellpadding"));
    }
    tag.Css("background-color", CssColour(tag.Take("bgcolor")));
    Background(tag, std::string(Trim(tag.Take("background"))));
    tables_.push_back(table);
}

void Renderer::Cell(Tag& tag) {
    const TableContext table = tables_.empty() ? TableContext{} : tables_.back();
    // A cell's own border and bordercolor are passed over by browsers: its
    // borders are the table's.
    tag.Take("bordercolor");
    tag.Take("border");
    tag.Take("cellpadding");
    tag.Take("cellspacing");
    if (table.border > 0) {
        tag.Css("border-width", "1px");
        tag.Css("border-style", table.border_colour.empty() ? "inset" : "solid");
        tag.Css("border-color", table.border_colour.empty() ? "gray" : table.border_colour);
    }
    tag.Css("padding", table.padding);
    tag.Css("width", CssLength(tag.Take("width")));
    tag.Css("height", CssLength(tag.Take("height")));
    tag.Css("background-color", CssColour(tag.Take("bgcolor")));
    Background(tag, std::string(Trim(tag.Take("background"))));
    const std::string valign = Lower(Trim(tag.Take("valign")));
    if (valign == "top" || valign == "middle" || valign == "bottom" || valign == "baseline") {
        tag.Css("vertical-align", valign);
    } else if (!table.valign.empty()) {
        tag.Css("vertical-align", table.valign);
    }
    Align(tag, false);
    if (tag.Has("nowrap")) {
        tag.Take("nowrap");
        tag.Css("white-space", "nowrap");
    }
}

void Renderer::Picture(const GumboNode* node, Tag& tag) {
    Align(tag, true);
    for (const char* size : {"width", "height"}) {
        if (const std::string* value = tag.Get(size)) {
            const auto pixels = Pixels(*value);
            if (pixels && *pixels > 0) {
                tag.Set(size, std::to_string(*pixels));
            } else {
                const std::string css = CssLength(*value);
                tag.Take(size);
                if (!css.empty() && css != "0px") {
                    tag.Css(size, css);
                }
            }
        }
    }
    if (tag.Has("border")) {
        const long border = Pixels(tag.Take("border")).value_or(0);
        if (border > 0) {
            tag.Css("border", std::to_string(border) + "px solid");
        } else {
            tag.Css("border", "0");
        }
    }
    if (const auto hspace = Pixels(tag.Take("hspace")); hspace && *hspace > 0) {
        tag.Css("margin-left", std::to_string(*hspace) + "px");
        tag.Css("margin-right", std::to_string(*hspace) + "px");
    }
    if (const auto vspace = Pixels(tag.Take("vspace")); vspace && *vspace > 0) {
        tag.Css("margin-top", std::to_string(*vspace) + "px");
        tag.Css("margin-bottom", std::to_string(*vspace) + "px");
    }
    tag.Take("bordercolor");
    tag.Take("name");
    tag.Take("lowsrc");
    if (!tag.Has("alt")) {
        tag.Set("alt", "");
    }
    SizedPicture(node, tag);
}

// True when the picture is a rollover's: its script switches its src, which
// a srcset would override.
bool InRollover(const GumboNode* node) {
    for (const GumboNode* up = node->parent; up != nullptr && up->type == GUMBO_NODE_ELEMENT;
         up = up->parent) {
        if (up->v.element.tag == GUMBO_TAG_A) {
            const GumboAttribute* over =
                gumbo_get_attribute(&up->v.element.attributes, "onmouseover");
            return over != nullptr &&
                   std::string_view(over->value).find("SwitchImg(") != std::string_view::npos;
        }
    }
    return false;
}

// The picture's width and height in the proportions of its file, loading
// after the first screen, and its variants for screens of one and two
// device pixels a CSS pixel.
void Renderer::SizedPicture(const GumboNode* node, Tag& tag) {
    ++pictures_;
    if (pictures_ > kEagerPictures && !tag.Has("loading")) {
        tag.Set("loading", "lazy");
        tag.Set("decoding", "async");
    }
    const std::string* src = tag.Get("src");
    if (src == nullptr || !options_.picture_size) {
        return;
    }
    const std::string source = *src;
    const auto natural = options_.picture_size(source);
    if (!natural || natural->first <= 0 || natural->second <= 0) {
        return;
    }
    const auto [natural_width, natural_height] = *natural;
    if (card_picture_.empty() && natural_width >= kCardPictureWidth) {
        card_picture_ = source;
    }
    const long written_width = Pixels(tag.Get("width") ? *tag.Get("width") : "").value_or(0);
    const long written_height = Pixels(tag.Get("height") ? *tag.Get("height") : "").value_or(0);
    long width = written_width;
    long height = written_height;
    if (width > 0 && height <= 0) {
        height = std::max(1L, std::lround(double(width) * natural_height / natural_width));
    } else if (height > 0 && width <= 0) {
        width = std::max(1L, std::lround(double(height) * natural_width / natural_height));
    } else if (width <= 0 && height <= 0) {
        // Its own size, but never wider than its place.
        width = natural_width;
        height = natural_height;
        tag.Css("max-width", "100%");
        tag.Css("height", "auto");
    }
    tag.Set("width", std::to_string(width));
    tag.Set("height", std::to_string(height));
    if (!options_.picture_variant || InRollover(node) || tag.Has("srcset")) {
        return;
    }
    std::vector<long> widths{std::min<long>(width, natural_width)};
    if (natural_width > width) {
        widths.push_back(std::min<long>(2 * width, natural_width));
    }
    std::string own_set;
    std::string webp_set;
    std::int64_t own_bytes = 0;
    std::int64_t webp_bytes = 0;
    bool complete = true;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const std::string density = i == 0 ? " 1x" : " 2x";
        const auto own = options_.picture_variant(source, int(widths[i]), "");
        const auto webp = options_.picture_variant(source, int(widths[i]), "webp");
        if (!own) {
            complete = false;
            break;
        }
        own_set += (own_set.empty() ? "" : ", ") + own->location + density;
        own_bytes += own->bytes;
        if (webp) {
            webp_set += (webp_set.empty() ? "" : ", ") + webp->location + density;
            webp_bytes += webp->bytes;
        } else {
            webp_bytes = -1;
        }
        if (i == 0) {
            tag.Set("src", own->location);
        }
    }
    if (!complete) {
        tag.Set("src", source);
        return;
    }
    if (widths.size() > 1) {
        tag.Set("srcset", own_set);
    }
    (void)own_bytes; // the site offers WebP only where it is smaller
    if (webp_bytes >= 0) {
        out_ += "<picture><source type=\"image/webp\" srcset=\"";
        AppendEscaped(out_, webp_set, true);
        out_ += "\">";
        picture_open_ = true;
    }
}

// The quoted texts of a handler's call ("SwitchImg('a','b','on.png')").
std::vector<std::string> QuotedTexts(std::string_view handler) {
    std::vector<std::string> texts;
    for (std::size_t at = 0; at < handler.size();) {
        const std::size_t open = handler.find_first_of("'\"", at);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = handler.find(handler[open], open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        texts.emplace_back(handler.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return texts;
}

void Renderer::Link(const GumboNode* node, Tag& tag) {
    const std::string over = tag.Take("onmouseover");
    const std::string out = tag.Take("onmouseout");
    bool handled = true;
    if (over.find("SwitchImg(") != std::string::npos) {
        // A rollover: its picture switches by the script written at the end.
        const std::vector<std::string> texts = QuotedTexts(over.substr(over.find("SwitchImg(")));
        if (!texts.empty()) {
            rollover_ = true;
            tag.Set("data-rollover", texts.back());
        }
    } else if (const std::size_t colour = over.find(".style.color='");
               colour != std::string::npos) {
        const std::size_t start = colour + 14;
        const std::size_t end = over.find('\'', start);
        const std::string css =
            CssColour(end == std::string::npos ? std::string() : over.substr(start, end - start));
        if (!css.empty()) {
            auto [it, added] =
                hover_classes_.emplace(css, "q-hover-" + std::to_string(hover_classes_.size() + 1));
            (void)added;
            std::string classes = tag.Take("class");
            tag.Set("class", (classes.empty() ? "" : classes + " ") + it->second);
        }
    } else if (over.find("window.status") == std::string::npos) {
        handled = false;
    }
    if (!handled) {
        // The page's own handlers, raw HTML's among them, stay.
        if (!over.empty()) {
            tag.Set("onmouseover", over);
        }
        if (!out.empty()) {
            tag.Set("onmouseout", out);
        }
        legacy_rollover_ = legacy_rollover_ || over.find("SwitchImg") != std::string::npos ||
                           out.find("RestoreImg") != std::string::npos;
    }
    (void)node;
    if (const std::string* target = tag.Get("target");
        target != nullptr && Lower(*target) == "_blank" && !tag.Has("rel")) {
        tag.Set("rel", "noopener");
    }
    if (tag.Has("name") && !tag.Has("id")) {
        tag.Set("id", tag.Take("name"));
    }
}

void Renderer::Rule(Tag& tag) {
    const std::string align = Lower(Trim(tag.Take("align")));
    if (align == "left") {
        tag.Css("margin-left", "0");
        tag.Css("margin-right", "auto");
    } else if (align == "right") {
        tag.Css("margin-left", "auto");
        tag.Css("margin-right", "0");
    } else if (!align.empty()) {
        tag.Css("margin-left", "auto");
        tag.Css("margin-right", "auto");
    }
    tag.Css("width", CssLength(tag.Take("width")));
    const std::string colour = CssColour(tag.Take("color"));
    const bool noshade = tag.Has("noshade");
    tag.Take("noshade");
    if (!colour.empty()) {
        tag.Css("border-style", "solid");
        tag.Css("border-color", colour);
        tag.Css("background-color", colour);
    } else if (noshade) {
        tag.Css("border-style", "solid");
        tag.Css("border-color", "darkgray");
        tag.Css("background-color", "darkgray");
    }
    if (const auto size = Pixels(tag.Take("size"))) {
        if (*size <= 1) {
            tag.Css("border-bottom-width", "0");
        } else {
            tag.Css("height", std::to_string(*size - 2) + "px");
        }
    }
}

// The file a plug-in element plays, from its src, data or "src" parameter.
std::string PluginFile(const GumboNode* node, const Tag& tag) {
    for (const char* name : {"src", "data", "movie"}) {
        if (const std::string* value = tag.Get(name); value != nullptr && !Trim(*value).empty()) {
            return std::string(Trim(*value));
        }
    }
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type != GUMBO_NODE_ELEMENT) {
            continue;
        }
        const GumboElement& element = child->v.element;
        const GumboAttribute* src = gumbo_get_attribute(&element.attributes, "src");
        if (element.tag == GUMBO_TAG_EMBED && src != nullptr) {
            return src->value;
        }
        const GumboAttribute* name = gumbo_get_attribute(&element.attributes, "name");
        const GumboAttribute* value = gumbo_get_attribute(&element.attributes, "value");
        if (element.tag == GUMBO_TAG_PARAM && name != nullptr && value != nullptr &&
            (Lower(name->value) == "src" || Lower(name->value) == "movie")) {
            return value->value;
        }
    }
    return {};
}

bool IsVideoFile(std::string_view file) {
    const std::string lower = Lower(file.substr(0, file.find_first_of("?#")));
    for (const char* ending :
         {".mp4", ".webm", ".ogv", ".ogg", ".m4v", ".mov", ".avi", ".mpg", ".mpeg", ".wmv"}) {
        if (EndsWith(lower, ending)) {
            return true;
        }
    }
    return false;
}

bool Renderer::Embedded(const GumboNode* node, const Tag& tag) {
    const std::string file = PluginFile(node, tag);
    const std::string lower = Lower(file.substr(0, file.find_first_of("?#")));
    const std::string width = CssLength(tag.Get("width") ? *tag.Get("width") : "");
    const std::string height = CssLength(tag.Get("height") ? *tag.Get("height") : "");
    if (EndsWith(lower, ".swf") || EndsWith(lower, ".dcr")) {
        // No browser plays Flash or Shockwave any more: the file to fetch, in
        // the place the plug-in took.
        Tag box;
        box.name = "span";
        box.Set("class", "q-plugin");
        // Without text in its flow, the box stands on the line as the plug-in
        // did: its bottom on the baseline.
        box.Css("display", "inline-block");
        box.Css("position", "relative");
        box.Css("overflow", "hidden");
        box.Css("width", width);
        box.Css("height", height);
        Open(box);
        const bool flash = EndsWith(lower, ".swf");
        Tag link;
        link.name = "a";
        link.Set("href", file);
        link.Set("title", flash ? "A Flash file, which browsers no longer play"
                                : "A Shockwave file, which browsers no longer play");
        // The whole box is the link: a target a finger can hit.
        link.Css("position", "absolute");
        link.Css("inset", "0");
        link.Css("line-height", "normal");
        Open(link);
        AppendEscaped(out_, file.substr(file.rfind('/') + 1), false);
        AppendEscaped(out_, flash ? " (Flash)" : " (Shockwave)", false);
        Close("a");
        Close("span");
        return true;
    }
    if (tag.name == "embed" && IsVideoFile(file)) {
        Tag video;
        video.name = "video";
        video.Set("src", file);
        video.Set("controls", "");
        video.Set("preload", "metadata");
        long sizes[2] = {0, 0};
        int i = 0;
        for (const char* size : {"width", "height"}) {
            if (const std::string* value = tag.Get(size)) {
                if (const auto pixels = Pixels(*value); pixels && *pixels > 0) {
                    video.Set(size, std::to_string(*pixels));
                    sizes[i] = *pixels;
                }
            }
            ++i;
        }
        // Narrowed to a phone, it keeps its proportions.
        if (sizes[0] > 0 && sizes[1] > 0) {
            video.Css("aspect-ratio", std::to_string(sizes[0]) + "/" + std::to_string(sizes[1]));
        }
        if (const std::string* autostart = tag.Get("autostart");
            autostart != nullptr && Lower(*autostart) == "true") {
            video.Set("autoplay", "");
            video.Set("muted", "");
        }
        Open(video);
        Close("video");
        return true;
    }
    return false;
}

bool Renderer::Convert(const GumboNode* node, Tag& tag) {
    const std::string& name = tag.name;
    if (name == "font") {
        tag.name = "span";
        tag.Css("font-family", CssFontFamily(tag.Take("face")));
        tag.Css("color", CssColour(tag.Take("color")));
        tag.Css("font-size", CssFontSize(tag.Take("size")));
        tag.Take("bordercolor");
    } else if (name == "center") {
        tag.name = "div";
        tag.Css("text-align", "center");
    } else if (name == "strike") {
        tag.name = "s";
    } else if (name == "tt") {
        tag.name = "span";
        tag.Css("font-family", "monospace");
    } else if (name == "big") {
        tag.name = "span";
        tag.Css("font-size", "larger");
    } else if (name == "div" || name == "p" || name == "h1" || name == "h2" || name == "h3" ||
               name == "h4" || name == "h5" || name == "h6" || name == "caption") {
        Align(tag, false);
    } else if (name == "table") {
        Table(tag);
    } else if (name == "td" || name == "th") {
        Cell(tag);
    } else if (name == "tr" || name == "tbody" || name == "thead" || name == "tfoot") {
        tag.Css("background-color", CssColour(tag.Take("bgcolor")));
        const std::string valign = Lower(Trim(tag.Take("valign")));
        if (valign == "top" || valign == "middle" || valign == "bottom") {
            tag.Css("vertical-align", valign);
        }
        Align(tag, false);
        tag.Take("bordercolor");
    } else if (name == "img") {
        const std::string* src = tag.Get("src");
        if (src != nullptr && Trim(*src).empty()) {
            // An area's spacer picture: an empty float of its size.
            Tag spacer;
            spacer.name = "span";
            const std::string align = Lower(Trim(tag.Get("align") ? *tag.Get("align") : ""));
            spacer.Css(align == "left" || align == "right" ? "float" : "display",
                       align == "left" || align == "right" ? align : "inline-block");
            spacer.Css("width", CssLength(tag.Get("width") ? *tag.Get("width") : "0"));
            spacer.Css("height", CssLength(tag.Get("height") ? *tag.Get("height") : "0"));
            Open(spacer);
            Close("span");
            return false;
        }
        Picture(node, tag);
    } else if (name == "a") {
        Link(node, tag);
    } else if (name == "hr") {
        Rule(tag);
    } else if (name == "iframe") {
        // A browser reads frameborder as a number: "yes", like "0", is none.
        if (tag.Has("frameborder")) {
            const auto border = Pixels(tag.Take("frameborder"));
            if (!border || *border == 0) {
                tag.Css("border", "0");
            }
        }
        tag.Take("scrolling");
        Align(tag, true);
        if (!tag.Has("title")) {
            const std::string* src = tag.Get("src");
            tag.Set("title", src != nullptr && !Trim(*src).empty() ? std::string(Trim(*src))
                                                                   : std::string("Frame"));
        }
    } else if (name == "embed" || name == "object") {
        if (Embedded(node, tag)) {
            return false;
        }
    } else if (name == "bgsound") {
        Tag audio;
        audio.name = "audio";
        audio.Set("src", tag.Get("src") ? *tag.Get("src") : std::string());
        audio.Set("autoplay", "");
        audio.Set("preload", "metadata");
        const std::string* loop = tag.Get("loop");
        if (loop == nullptr || Lower(*loop) == "infinite" || Lower(*loop) == "-1") {
            audio.Set("loop", "");
        }
        Open(audio);
        Close("audio");
        return false;
    } else if (name == "input" || name == "select" || name == "textarea" || name == "button") {
        tag.Take("bordercolor");
    } else if (name == "script") {
        if (const std::string* src = tag.Get("src");
            src != nullptr && Lower(Trim(*src)) == "js.js" && !legacy_rollover_) {
            return false; // the rollover library: rollovers use the page's own script
        }
    }
    return true;
}

void Renderer::Text(const GumboNode* node) {
    const GumboText& text = node->v.text;
    const GumboNode* parent = node->parent;
    bool raw = false;
    if (parent != nullptr && parent->type == GUMBO_NODE_ELEMENT) {
        switch (parent->v.element.tag) {
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_NOSCRIPT:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_NOEMBED:
        case GUMBO_TAG_NOFRAMES:
        case GUMBO_TAG_XMP:
        case GUMBO_TAG_PLAINTEXT:
            raw = true; // read as text, written as it came
            break;
        default:
            break;
        }
    }
    if (raw && parent->v.element.tag == GUMBO_TAG_STYLE) {
        // The small-screen block finds the areas by their valign, which the
        // rendering writes as CSS: it finds them by their class instead.
        std::string css = text.text;
        constexpr std::string_view kAreaSelector = "table[valign]";
        constexpr std::string_view kRenderedArea = "table.q-area";
        for (std::size_t at = css.find(kAreaSelector); at != std::string::npos;
             at = css.find(kAreaSelector, at + kRenderedArea.size())) {
            css.replace(at, kAreaSelector.size(), kRenderedArea);
        }
        out_ += css;
    } else if (raw) {
        out_ += text.text;
    } else {
        AppendEscaped(out_, text.text, false);
    }
}

// The list a run of bare items is written in.
enum class ListRun { None, Items, Definitions, Menu };

ListRun RunOf(const GumboNode* node, GumboTag parent) {
    if (node->type != GUMBO_NODE_ELEMENT) {
        return ListRun::None;
    }
    const GumboTag tag = node->v.element.tag;
    if (tag == GUMBO_TAG_LI && parent != GUMBO_TAG_UL && parent != GUMBO_TAG_OL &&
        parent != GUMBO_TAG_MENU) {
        return ListRun::Items;
    }
    if ((tag == GUMBO_TAG_DD || tag == GUMBO_TAG_DT) && parent != GUMBO_TAG_DL) {
        return ListRun::Definitions;
    }
    if (tag == GUMBO_TAG_MENU) {
        // A menu holding text, not items: one item without a marker.
        const GumboVector& children = node->v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(children.data[i]);
            if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_LI) {
                return ListRun::None;
            }
        }
        return ListRun::Menu;
    }
    return ListRun::None;
}

// The comments around the site menu's copy (the shared part "Site Menu").
constexpr std::string_view kSiteMenuOpening = "shared Site Menu";
constexpr std::string_view kSiteMenuClosing = "/shared Site Menu";

// True when a comment `text` stands among `children` from `from` on.
bool ClosedAmong(const GumboVector& children, unsigned from, std::string_view text) {
    for (unsigned i = from; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_COMMENT && text == child->v.text.text) {
            return true;
        }
    }
    return false;
}

void Renderer::Children(const GumboNode* node) {
    const GumboVector& children =
        node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
    const GumboTag parent = node->type == GUMBO_NODE_ELEMENT ? node->v.element.tag : GUMBO_TAG_HTML;
    ListRun open = ListRun::None;
    bool in_site_menu = false;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_COMMENT) {
            // Markers and comments: nothing visitors see; but the site menu's
            // copy, between the comments that name it, is the site's
            // navigation, folded behind a button on small screens (a check
            // box and its label: no script needed).
            const std::string_view comment = child->v.text.text;
            if (comment == kSiteMenuOpening && !in_site_menu &&
                ClosedAmong(children, i + 1, kSiteMenuClosing)) {
                if (open != ListRun::None) {
                    Close("ul");
                    open = ListRun::None;
                }
                out_ += "<nav class=\"q-site-menu\" aria-label=\"Site\"><input type=\"checkbox\" "
                        "id=\"q-menu-toggle\" class=\"q-menu-toggle\"><label for=\"q-menu-toggle\" "
                        "class=\"q-menu-button\">Menu</label>";
                in_site_menu = true;
                site_menu_ = true;
            } else if (comment == kSiteMenuClosing && in_site_menu) {
                if (open != ListRun::None) {
                    Close("ul");
                    open = ListRun::None;
                }
                Close("nav");
                in_site_menu = false;
            }
            continue;
        }
        ListRun run = RunOf(child, parent);
        const bool blank = child->type == GUMBO_NODE_WHITESPACE;
        if (run == ListRun::None && blank && open != ListRun::None) {
            continue; // between the items of a run
        }
        if (run != open || run == ListRun::Menu) {
            if (open != ListRun::None) {
                Close("ul");
            }
            open = run == ListRun::Menu ? ListRun::None : run;
            if (run == ListRun::Items) {
                out_ += "<ul class=\"q-list\">";
            } else if (run == ListRun::Definitions) {
                // Definitions without terms: a list of indented items, no marker.
                out_ += "<ul class=\"q-list q-items\">";
            }
        }
        if (run == ListRun::Menu) {
            Tag list = ReadTag(child->v.element);
            list.name = "ul";
            list.Set("class", "q-menu");
            const bool inherited = zero_line_height_;
            zero_line_height_ = QuirkLineHeight(child, list);
            Open(list);
            out_ += "<li>";
            Children(child);
            out_ += "</li></ul>";
            zero_line_height_ = inherited;
            continue;
        }
        if (open == ListRun::Definitions) {
            // "<dd>" and "<dt>" as the items of that list.
            Tag item = ReadTag(child->v.element);
            const bool term = item.name == "dt";
            item.name = "li";
            if (term) {
                item.Set("class", "q-term");
            }
            const bool inherited = zero_line_height_;
            zero_line_height_ = QuirkLineHeight(child, item);
            Open(item);
            Children(child);
            Close("li");
            zero_line_height_ = inherited;
            continue;
        }
        Node(child);
    }
    if (open != ListRun::None) {
        Close("ul");
    }
}

void Renderer::Node(const GumboNode* node) {
    switch (node->type) {
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        Element(node);
        break;
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA:
        Text(node);
        break;
    default:
        break;
    }
}

// True when the node holds text of its own, not only blanks.
bool HoldsText(const GumboNode* node) {
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_CDATA) {
            return true;
        }
    }
    return false;
}

// The page file is drawn in quirks mode, where a box that holds no text of
// its own (only other elements, pictures or blanks) takes no room for a line
// of text: a line of pictures has no gap under it, a line of small text in
// a link is as high as that text. The rendering is drawn in standards mode,
// so each such box gets a line height of 0 and the first box below it that
// holds text the normal one again. Returns the line height the element's
// children inherit: true for 0.
bool Renderer::QuirkLineHeight(const GumboNode* node, Tag& tag) {
    if (!in_body_) {
        return false;
    }
    if (const std::string* style = tag.Get("style");
        style != nullptr && Lower(*style).find("line-height") != std::string::npos) {
        return false; // the page's own line height holds
    }
    const std::string& name = tag.name;
    if (name == "input" || name == "select" || name == "textarea" || name == "button") {
        if (zero_line_height_) {
            tag.Css("line-height", "normal");
        }
        return false;
    }
    if (name == "img" || name == "br" || name == "video" || name == "audio" || name == "iframe" ||
        name == "script" || name == "style") {
        return zero_line_height_;
    }
    const bool text = HoldsText(node);
    if (text && zero_line_height_) {
        tag.Css("line-height", "normal");
        return false;
    }
    if (!text && !zero_line_height_) {
        tag.Css("line-height", "0");
        return true;
    }
    return zero_line_height_;
}

void Renderer::Element(const GumboNode* node) {
    Tag tag = ReadTag(node->v.element);
    const bool table = tag.name == "table";
    if (!Convert(node, tag)) {
        return;
    }
    const bool inherited = zero_line_height_;
    zero_line_height_ = QuirkLineHeight(node, tag);
    if (places_ != nullptr && in_body_ && node->v.element.original_tag.length > 0) {
        places_->emplace_back(out_.size(), node->v.element.start_pos.offset);
    }
    Open(tag);
    if (!IsVoid(tag.name)) {
        Children(node);
        Close(tag.name);
    }
    if (picture_open_) {
        Close("picture");
        picture_open_ = false;
    }
    zero_line_height_ = inherited;
    if (table && !tables_.empty()) {
        tables_.pop_back();
    }
}

void Renderer::CollectText(const GumboNode* node, std::string& text, std::size_t limit) const {
    if (text.size() > limit) {
        return;
    }
    if (node->type == GUMBO_NODE_TEXT) {
        for (const char* c = node->v.text.text; *c != '\0' && text.size() <= limit; ++c) {
            if (IsBlank(*c)) {
                if (!text.empty() && text.back() != ' ') {
                    text += ' ';
                }
            } else {
                text += *c;
            }
        }
        return;
    }
    if (node->type == GUMBO_NODE_WHITESPACE) {
        if (!text.empty() && text.back() != ' ') {
            text += ' ';
        }
        return;
    }
    if (node->type != GUMBO_NODE_ELEMENT) {
        return;
    }
    switch (node->v.element.tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_SELECT:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_IFRAME:
        return;
    default:
        break;
    }
    if (const GumboAttribute* hidden =
            gumbo_get_attribute(&node->v.element.attributes, "aria-hidden");
        hidden != nullptr && std::string_view(hidden->value) == "true") {
        return;
    }
    bool block = true;
    switch (node->v.element.tag) {
    case GUMBO_TAG_SPAN:
    case GUMBO_TAG_A:
    case GUMBO_TAG_B:
    case GUMBO_TAG_I:
    case GUMBO_TAG_U:
    case GUMBO_TAG_S:
    case GUMBO_TAG_EM:
    case GUMBO_TAG_STRONG:
    case GUMBO_TAG_FONT:
    case GUMBO_TAG_SUB:
    case GUMBO_TAG_SUP:
    case GUMBO_TAG_SMALL:
    case GUMBO_TAG_BIG:
        block = false;
        break;
    default:
        // Words of different blocks do not run together.
        if (!text.empty() && text.back() != ' ') {
            text += ' ';
        }
    }
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        CollectText(static_cast<const GumboNode*>(children.data[i]), text, limit);
    }
    if (block && !text.empty() && text.back() != ' ') {
        text += ' ';
    }
}

// Cuts a text to at most `limit` bytes of whole UTF-8 characters, at the end
// of a sentence where one ends far enough in, else after a whole word.
std::string Shortened(std::string text, std::size_t limit) {
    const auto trimmed = Trim(text);
    text = std::string(trimmed);
    if (text.size() <= limit) {
        return text;
    }
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    const std::string head = text.substr(0, cut);
    std::size_t sentence = std::string::npos;
    for (const char* end : {". ", "! ", "? "}) {
        const std::size_t at = head.rfind(end);
        if (at != std::string::npos && (sentence == std::string::npos || at > sentence)) {
            sentence = at;
        }
    }
    if (sentence != std::string::npos && sentence >= limit / 3) {
        return head.substr(0, sentence + 1);
    }
    const std::size_t word = head.rfind(' ');
    return std::string(
        Trim(head.substr(0, word == std::string::npos || word < limit / 3 ? head.size() : word)));
}

std::string Renderer::Description(const GumboNode* body) const {
    std::string text;
    if (body != nullptr) {
        CollectText(body, text, kDescriptionLength * 4);
    }
    // Characters, not bytes: a text outside ASCII may take up to four bytes
    // a character.
    std::size_t characters = 0;
    std::size_t bytes = 0;
    for (; bytes < text.size() && characters < kDescriptionLength; ++bytes) {
        if ((static_cast<unsigned char>(text[bytes]) & 0xC0) != 0x80) {
            ++characters;
        }
    }
    while (bytes < text.size() && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80) {
        ++bytes;
    }
    return Shortened(text, bytes);
}

void Renderer::Head(const GumboNode* head, std::string& into) {
    std::swap(out_, into);
    if (head != nullptr) {
        const GumboVector& children = head->v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(children.data[i]);
            if (child->type != GUMBO_NODE_ELEMENT) {
                continue;
            }
            const GumboElement& element = child->v.element;
            if (element.tag == GUMBO_TAG_META) {
                const GumboAttribute* equiv =
                    gumbo_get_attribute(&element.attributes, "http-equiv");
                const GumboAttribute* charset = gumbo_get_attribute(&element.attributes, "charset");
                if (charset != nullptr ||
                    (equiv != nullptr && Lower(equiv->value) == "content-type")) {
                    continue; // the page is written as UTF-8 and says so first
                }
            }
            const std::size_t before = out_.size();
            Node(child);
            if (out_.size() != before) {
                out_ += "\n";
            }
        }
    }
    std::swap(out_, into);
}

bool HasMetaDescription(const GumboNode* head) {
    if (head == nullptr) {
        return false;
    }
    const GumboVector& children = head->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_META) {
            const GumboAttribute* name = gumbo_get_attribute(&child->v.element.attributes, "name");
            if (name != nullptr && Lower(name->value) == "description") {
                return true;
            }
        }
    }
    return false;
}

// The content of the page's own meta tag `wanted` ("description",
// "robots"), empty when it has none.
std::string OwnMeta(const GumboNode* head, std::string_view wanted) {
    if (head == nullptr) {
        return {};
    }
    const GumboVector& children = head->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_META) {
            const GumboAttribute* name = gumbo_get_attribute(&child->v.element.attributes, "name");
            const GumboAttribute* content =
                gumbo_get_attribute(&child->v.element.attributes, "content");
            if (name != nullptr && content != nullptr && Lower(name->value) == wanted) {
                return content->value;
            }
        }
    }
    return {};
}

const GumboNode* ChildElement(const GumboNode* node, GumboTag tag) {
    const GumboVector& children =
        node->type == GUMBO_NODE_DOCUMENT ? node->v.document.children : node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == tag) {
            return child;
        }
    }
    return nullptr;
}

// True when the page has a first-level heading of its own.
bool HasHeading(const GumboNode* node) {
    if (node->type != GUMBO_NODE_ELEMENT) {
        return false;
    }
    if (node->v.element.tag == GUMBO_TAG_H1) {
        return true;
    }
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        if (HasHeading(static_cast<const GumboNode*>(children.data[i]))) {
            return true;
        }
    }
    return false;
}

// The text of the page's title, blanks collapsed.
std::string TitleOf(const GumboNode* head) {
    const GumboNode* title = head == nullptr ? nullptr : ChildElement(head, GUMBO_TAG_TITLE);
    std::string text;
    if (title == nullptr) {
        return text;
    }
    const GumboVector& children = title->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type != GUMBO_NODE_TEXT && child->type != GUMBO_NODE_WHITESPACE) {
            continue;
        }
        for (const char* c = child->v.text.text; *c != '\0'; ++c) {
            if (IsBlank(*c)) {
                if (!text.empty() && text.back() != ' ') {
                    text += ' ';
                }
            } else {
                text += *c;
            }
        }
    }
    return std::string(Trim(text));
}

// The page text as UTF-8: as it is where it is valid UTF-8, otherwise read
// as Windows-1252.
std::string Utf8Text(std::string_view page_text) {
    if (EncodingOfSource(page_text) == SourceEncoding::Utf8) {
        return std::string(page_text);
    }
    return DecodeSource(page_text).text.toUtf8().toStdString();
}

// The base rules of every rendered page: the bare lists and menus as the
// page format's lists look, and the rollover pictures.
constexpr std::string_view kBaseStyle =
    ".q-list{margin:0;padding:0}.q-list>li{list-style-position:inside}"
    ".q-items>li{list-style:none;margin-left:40px}.q-items>li.q-term{margin-left:0}"
    ".q-menu{list-style:none;margin:1em 0;padding-left:40px}"
    ".q-hidden{position:absolute;width:1px;height:1px;margin:-1px;padding:0;overflow:hidden;"
    "clip:rect(0,0,0,0);white-space:nowrap;border:0}"
    // The room browsers leave under a form in the page file's (quirks) mode.
    "form{margin-bottom:1em}";

// The site menu: a row of links, the page's own in bold; on a small screen
// a "Menu" button (the label of a check box, which keeps the state) that
// unfolds the links as a column. The check box is reached by the keyboard
// only where the button shows.
constexpr std::string_view kSiteMenuStyle =
    ".q-site-menu{line-height:normal}"
    ".q-site-menu .q-list{list-style:none;margin:0;padding:0;display:flex;flex-wrap:wrap;"
    "gap:.25em 1.25em}.q-site-menu .q-list>li{list-style:none}"
    ".q-site-menu a{display:inline-block;padding:.25em 0}"
    ".q-site-menu [aria-current=page]{font-weight:bold}"
    ".q-menu-toggle,.q-menu-button{display:none}"
    "@media (max-width:600px){.q-menu-toggle{display:block;position:absolute;opacity:0;"
    "width:1px;height:1px}.q-menu-button{display:inline-block;padding:.5em 1em;"
    "border:1px solid currentColor;border-radius:4px;cursor:pointer}"
    ".q-menu-toggle:focus-visible+.q-menu-button{outline:2px solid #1a5fb4;outline-offset:2px}"
    ".q-site-menu .q-list{display:none;flex-direction:column}"
    ".q-menu-toggle:checked~* .q-list,.q-menu-toggle:checked~.q-list{display:flex}}";

constexpr std::string_view kRolloverScript =
    "<script>document.querySelectorAll(\"a[data-rollover]\").forEach(function(a){"
    "var i=a.querySelector(\"img\");if(!i)return;var o=i.src,n=new Image();"
    "n.src=a.getAttribute(\"data-rollover\");"
    "a.addEventListener(\"mouseover\",function(){i.src=n.src});"
    "a.addEventListener(\"mouseout\",function(){i.src=o})});</script>\n";

// A location of the page made a full address, against the page's own.
std::string FullAddress(const std::string& page_address, const std::string& location) {
    return QUrl(QString::fromStdString(page_address))
        .resolved(QUrl(QString::fromStdString(location)))
        .toString(QUrl::FullyEncoded)
        .toStdString();
}

std::string MetaTag(const char* attribute, const char* name, const std::string& content) {
    std::string tag = std::string("<meta ") + attribute + "=\"" + name + "\" content=\"";
    AppendEscaped(tag, content, true);
    return tag + "\">\n";
}

std::string Renderer::SharingTags(const std::string& title, const std::string& description,
                                  bool own_robots) const {
    std::string tags;
    if (!options_.index && !own_robots) {
        tags += "<meta name=\"robots\" content=\"noindex\">\n";
    }
    if (options_.page_address.empty()) {
        return tags;
    }
    tags += "<link rel=\"canonical\" href=\"";
    AppendEscaped(tags, options_.page_address, true);
    tags += "\">\n";
    tags += MetaTag("property", "og:type", "website");
    if (!title.empty()) {
        tags += MetaTag("property", "og:title", title);
    }
    if (!description.empty()) {
        tags += MetaTag("property", "og:description", description);
    }
    tags += MetaTag("property", "og:url", options_.page_address);
    if (!options_.site_name.empty()) {
        tags += MetaTag("property", "og:site_name", options_.site_name);
    }
    if (!options_.language.empty()) {
        std::string locale = options_.language;
        std::replace(locale.begin(), locale.end(), '-', '_');
        tags += MetaTag("property", "og:locale", locale);
    }
    std::string picture = !card_picture_.empty() ? card_picture_ : options_.icon;
    if (!card_picture_.empty() && options_.card_picture) {
        if (const auto card = options_.card_picture(card_picture_)) {
            picture = card->location;
        }
    }
    if (!picture.empty()) {
        tags += MetaTag("property", "og:image", FullAddress(options_.page_address, picture));
    }
    tags +=
        MetaTag("name", "twitter:card", card_picture_.empty() ? "summary" : "summary_large_image");
    return tags;
}

std::string Renderer::Run(std::string_view page_text) {
    const std::string text = Utf8Text(page_text);
    if (options_.element_places != nullptr) {
        options_.element_places->clear();
        if (text.size() == page_text.size()) {
            places_ = options_.element_places;
        }
    }
    GumboOptions parse = kGumboDefaultOptions;
    parse.max_errors = 0;
    GumboOutput* output = gumbo_parse_with_options(&parse, text.data(), text.size());
    const GumboNode* html = ChildElement(output->document, GUMBO_TAG_HTML);
    const GumboNode* head = html != nullptr ? ChildElement(html, GUMBO_TAG_HEAD) : nullptr;
    const GumboNode* body = html != nullptr ? ChildElement(html, GUMBO_TAG_BODY) : nullptr;

    // The body first: what it needs in the head is known once it is written.
    std::string body_text;
    if (body != nullptr) {
        Tag tag = ReadTag(body->v.element);
        tag.Css("background-color", CssColour(tag.Take("bgcolor")));
        Background(tag, std::string(Trim(tag.Take("background"))));
        tag.Css("color", CssColour(tag.Take("text")));
        for (const auto& [attribute, selector] :
             {std::pair{"link", "a:link"}, std::pair{"vlink", "a:visited"},
              std::pair{"alink", "a:active"}}) {
            const std::string colour = CssColour(tag.Take(attribute));
            if (!colour.empty()) {
                link_rules_ += std::string(selector) + "{color:" + colour + "}";
            }
        }
        // A browser gives each margin attribute to both sides of its axis.
        for (const auto& [attribute, vertical] :
             {std::pair{"topmargin", true}, std::pair{"marginheight", true},
              std::pair{"leftmargin", false}, std::pair{"marginwidth", false}}) {
            if (const auto pixels = Pixels(tag.Take(attribute))) {
                const std::string css = std::to_string(*pixels) + "px";
                tag.Css(vertical ? "margin-top" : "margin-left", css);
                tag.Css(vertical ? "margin-bottom" : "margin-right", css);
            }
        }
        tag.Take("scroll");
        in_body_ = true;
        zero_line_height_ = QuirkLineHeight(body, tag);
        Open(tag);
        out_ += "\n<main";
        const std::size_t main_attributes = out_.size();
        out_ += ">\n";
        // A page without a heading of its own gets its title as one, for
        // screen readers only: they jump between headings.
        if (!HasHeading(body)) {
            std::string title = TitleOf(head);
            if (!title.empty()) {
                out_ += "<h1 class=\"q-hidden\">";
                AppendEscaped(out_, title, false);
                out_ += "</h1>\n";
            }
        }
        Children(body);
        // The widest area, so a site style's content width never makes the
        // page's own areas stand out of it.
        if (widest_area_ > 0) {
            const std::string width =
                " style=\"--q-page-width:" + std::to_string(widest_area_) + "px\"";
            out_.insert(main_attributes, width);
            if (places_ != nullptr) {
                for (auto& place : *places_) {
                    place.first += place.first >= main_attributes ? width.size() : 0;
                }
            }
        }
        out_ += "\n</main>\n";
        if (rollover_) {
            out_ += kRolloverScript;
        }
        out_ += "</body>\n";
        body_text = std::move(out_);
        out_.clear();
        in_body_ = false;
        zero_line_height_ = false;
    }

    std::string head_text;
    Head(head, head_text);

    std::string language;
    if (html != nullptr) {
        if (const GumboAttribute* lang = gumbo_get_attribute(&html->v.element.attributes, "lang")) {
            language = std::string(Trim(lang->value));
        }
    }
    if (language.empty()) {
        language = options_.language.empty() ? "en" : options_.language;
    }

    std::string page = "<!DOCTYPE html>\n<html lang=\"";
    AppendEscaped(page, language, true);
    page += "\">\n<head>\n<meta charset=\"utf-8\">\n";
    page += head_text;
    if (head == nullptr || ChildElement(head, GUMBO_TAG_TITLE) == nullptr) {
        page += "<title></title>\n";
    }
    if (!HasMetaDescription(head)) {
        const std::string description = Description(body);
        if (!description.empty()) {
            page += "<meta name=\"description\" content=\"";
            AppendEscaped(page, description, true);
            page += "\">\n";
        }
    }
    const std::string own_description = OwnMeta(head, "description");
    page +=
        SharingTags(TitleOf(head), own_description.empty() ? Description(body) : own_description,
                    !OwnMeta(head, "robots").empty());
    page += "<link rel=\"icon\" href=\"";
    AppendEscaped(page, options_.icon.empty() ? std::string("data:,") : options_.icon, true);
    page += "\">\n";
    if (!options_.touch_icon.empty()) {
        page += "<link rel=\"apple-touch-icon\" href=\"";
        AppendEscaped(page, options_.touch_icon, true);
        page += "\">\n";
    }
    if (!options_.manifest.empty()) {
        page += "<link rel=\"manifest\" href=\"";
        AppendEscaped(page, options_.manifest, true);
        page += "\">\n";
    }
    page += "<style>";
    page += kBaseStyle;
    page += options_.site_style;
    page += link_rules_;
    if (site_menu_) {
        page += kSiteMenuStyle;
    }
    for (const auto& [colour, name] : hover_classes_) {
        page += "." + name + ":hover,." + name + ":hover>*{color:" + colour + "!important}";
    }
    page += "</style>\n</head>\n";
    if (places_ != nullptr) {
        for (auto& place : *places_) {
            place.first += page.size();
        }
    }
    page += body_text;
    page += "</html>\n";
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return page;
}

} // namespace

std::string RenderPage(std::string_view page_text, const RenderOptions& options) {
    return Renderer(options).Run(page_text);
}

} // namespace qf::render
