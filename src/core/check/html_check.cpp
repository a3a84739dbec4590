#include "check/html_check.h"

#include "check/element_name.h"
#include "components/page_properties.h"
#include "document/ascii_case.h"
#include "document/file_io.h"
#include "error.h"
#include "site/site_style.h"
#include "workspace/area_editing.h"

#include <gumbo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <unordered_set>

namespace qf::check {

// ---------------------------------------------------------------------------
// Files

const FileFacts::Entry& FileFacts::Look(const std::string& path) {
    const auto known = entries_.find(path);
    if (known != entries_.end()) {
        return known->second;
    }
    Entry entry;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        entry.exists = true;
        entry.file = S_ISREG(info.st_mode);
        entry.folder = S_ISDIR(info.st_mode);
        entry.size = (long long)info.st_size;
    }
    return entries_.emplace(path, entry).first->second;
}

std::optional<PictureSize> FileFacts::SizeOf(const std::string& path,
                                             const PictureSizeReader& reader) {
    const auto known = sizes_.find(path);
    if (known != sizes_.end()) {
        return known->second;
    }
    return sizes_.emplace(path, reader(path)).first->second;
}

const std::set<std::string>& FileFacts::Anchors(const std::string& path) {
    const auto found = anchors_.find(path);
    if (found != anchors_.end()) {
        return found->second;
    }
    std::set<std::string>& anchors = anchors_[path];
    std::string text;
    try {
        text = ReadRegularFile(path);
    } catch (const CommandError&) {
        return anchors; // a page that cannot be read is its own finding
    }
    // Every id= and name= attribute, as written.
    for (std::size_t at = 0; at + 4 < text.size(); ++at) {
        const char before = text[at];
        if (before != ' ' && before != '\t' && before != '\n' && before != '\r') {
            continue;
        }
        std::size_t value = 0;
        if ((text[at + 1] | 0x20) == 'i' && (text[at + 2] | 0x20) == 'd' && text[at + 3] == '=') {
            value = at + 4;
        } else if (at + 6 < text.size() && (text[at + 1] | 0x20) == 'n' &&
                   (text[at + 2] | 0x20) == 'a' && (text[at + 3] | 0x20) == 'm' &&
                   (text[at + 4] | 0x20) == 'e' && text[at + 5] == '=') {
            value = at + 6;
        } else {
            continue;
        }
        std::size_t end = value;
        if (value < text.size() && (text[value] == '"' || text[value] == '\'')) {
            end = text.find(text[value], value + 1);
            if (end == std::string::npos) {
                break;
            }
            anchors.insert(text.substr(value + 1, end - value - 1));
        } else {
            while (end < text.size() && text[end] != '>' && text[end] != ' ' && text[end] != '\t' &&
                   text[end] != '\n') {
                ++end;
            }
            anchors.insert(text.substr(value, end - value));
        }
        at = end;
    }
    return anchors;
}

std::string FileFacts::OtherCase(const std::string& folder, const std::string& name) {
    auto listing = listings_.find(folder);
    if (listing == listings_.end()) {
        std::vector<std::string> names;
        if (DIR* dir = ::opendir(folder.c_str())) {
            while (const dirent* entry = ::readdir(dir)) {
                names.emplace_back(entry->d_name);
            }
            ::closedir(dir);
        }
        listing = listings_.emplace(folder, std::move(names)).first;
    }
    const auto lower = [](std::string text) {
        for (char& c : text) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        return text;
    };
    const std::string wanted = lower(name);
    for (const std::string& candidate : listing->second) {
        if (candidate != name && lower(candidate) == wanted) {
            return candidate;
        }
    }
    return {};
}

// ---------------------------------------------------------------------------
// Findings

std::string PageCheck::EntryAt(std::size_t file_offset) const {
    const int block = blocks.Innermost(view.TextOffset(file_offset));
    return block < 0 ? std::string() : EntryOfMarkerName(blocks.blocks()[std::size_t(block)].name);
}

void PageCheck::AddAtFileOffset(Severity severity, std::size_t file_offset, std::string message) {
    const PageFileView::Place place = view.AtFileOffset(file_offset);
    findings.push_back(
        {severity, page, place.line, place.column, EntryAt(file_offset), std::move(message)});
}

void PageCheck::AddAtTextOffset(Severity severity, std::size_t text_offset, std::string message) {
    const PageFileView::Place place = view.AtTextOffset(text_offset);
    const int block = blocks.Innermost(text_offset);
    findings.push_back(
        {severity, page, place.line, place.column,
         block < 0 ? std::string() : EntryOfMarkerName(blocks.blocks()[std::size_t(block)].name),
         std::move(message)});
}

void PageCheck::AddForPage(Severity severity, std::string message) {
    findings.push_back({severity, page, 0, 0, std::string(), std::move(message)});
}

namespace {

std::string Quote(std::string_view text) {
    constexpr std::size_t kLongest = 80;
    std::string quoted = "\"";
    if (text.size() > kLongest) {
        quoted.append(text.substr(0, kLongest)).append("...");
    } else {
        quoted.append(text);
    }
    return quoted + "\"";
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// %XX sequences as their bytes; a "%" not followed by two hex digits stays.
std::string PercentDecoded(std::string_view text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() + 0 && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            decoded.push_back(char(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

// What a location names.
enum class Target { kPage, kPicture, kFile, kScript };

std::string_view TargetWord(Target target) {
    switch (target) {
    case Target::kPage:
        return "The link";
    case Target::kPicture:
        return "The picture";
    case Target::kFile:
        return "The file";
    case Target::kScript:
        return "The form's script";
    }
    return "The location";
}

// The folders where a user's own files lie on a desktop system; a location
// starting with one of them is a path of this computer, not of the site.
constexpr std::string_view kLocalFolders[] = {"/home/", "/root/", "/tmp/", "/media/",
                                              "/mnt/",  "/usr/",  "/var/", "/etc/",
                                              "/opt/",  "/run/",  "/srv/"};

bool TagEndIsOptional(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_P:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_DD:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_TR:
    case GUMBO_TAG_TD:
    case GUMBO_TAG_TH:
    case GUMBO_TAG_THEAD:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_TFOOT:
    case GUMBO_TAG_COLGROUP:
    case GUMBO_TAG_CAPTION:
    case GUMBO_TAG_RB:
    case GUMBO_TAG_RT:
    case GUMBO_TAG_RTC:
    case GUMBO_TAG_RP:
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_BODY:
        return true;
    default:
        return false;
    }
}

// The tags the page format is made of: the skeleton, the areas' tables,
// cells and spacer pictures, platforms and line breaks.
bool IsFormatTag(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_HTML:
    case GUMBO_TAG_HEAD:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_BODY:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_TABLE:
    case GUMBO_TAG_TBODY:
    case GUMBO_TAG_TR:
    case GUMBO_TAG_TD:
    case GUMBO_TAG_IMG:
    case GUMBO_TAG_BR:
        return true;
    default:
        return false;
    }
}

// Elements whose content is text, not markup.
bool IsRawText(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_NOSCRIPT:
    case GUMBO_TAG_PLAINTEXT:
        return true;
    default:
        return false;
    }
}

const char* AttributeValue(const GumboElement& element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    return attribute == nullptr ? nullptr : attribute->value;
}

// A written width or height: a whole number above 0, else 0.
int WrittenSize(const GumboElement& element, const char* name) {
    const char* value = AttributeValue(element, name);
    if (value == nullptr) {
        return 0;
    }
    const std::string_view text = Trimmed(value);
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(std::string(text));
}

// The parser's memory: it makes many small blocks and frees most of them
// again soon (its token buffers), so blocks come from free lists of a few
// sizes carved out of large chunks, and the whole tree goes at once when the
// walk is done, without visiting it node by node.
class ParseMemory {
public:
    ParseMemory() = default;
    ParseMemory(const ParseMemory&) = delete;
    ParseMemory& operator=(const ParseMemory&) = delete;
    ~ParseMemory() {
        // Chunks are kept for the next page this thread checks, up to a
        // bound, so its memory is not handed back and faulted in again.
        std::vector<void*>& spare = SpareChunks();
        for (void* chunk : chunks_) {
            if (spare.size() < kSpareChunks) {
                spare.push_back(chunk);
            } else {
                std::free(chunk);
            }
        }
        for (void* block : large_) {
            std::free(block);
        }
    }

    static void* Allocate(void* self, std::size_t size) {
        return static_cast<ParseMemory*>(self)->Take(size);
    }
    static void Free(void* self, void* block) {
        if (block != nullptr) {
            static_cast<ParseMemory*>(self)->Give(block);
        }
    }

private:
    static constexpr std::size_t kHeader = 16; // keeps blocks 16-byte aligned
    static constexpr unsigned kClasses = 9;    // 16 bytes to 4 KB
    static constexpr unsigned kLarge = kClasses;
    static constexpr std::size_t kChunk = std::size_t(1) << 20;
    static constexpr std::size_t kSpareChunks = 32;

    // Freed with the thread.
    struct Spare {
        std::vector<void*> chunks;
        ~Spare() {
            for (void* chunk : chunks) {
                std::free(chunk);
            }
        }
    };
    static std::vector<void*>& SpareChunks() {
        thread_local Spare spare;
        return spare.chunks;
    }

    void* Take(std::size_t size) {
        unsigned size_class = 0;
        while (size_class < kClasses && (std::size_t(16) << size_class) < size) {
            ++size_class;
        }
        char* block = nullptr;
        if (size_class == kLarge) {
            block = static_cast<char*>(std::malloc(kHeader + size));
            if (block == nullptr) {
                return nullptr;
            }
            large_.insert(block);
        } else if (free_[size_class] != nullptr) {
            block = free_[size_class];
            std::memcpy(&free_[size_class], block + kHeader, sizeof(char*));
        } else {
            const std::size_t need = kHeader + (std::size_t(16) << size_class);
            if (left_ < need) {
                std::vector<void*>& spare = SpareChunks();
                if (spare.empty()) {
                    current_ = static_cast<char*>(std::malloc(kChunk));
                } else {
                    current_ = static_cast<char*>(spare.back());
                    spare.pop_back();
                }
                if (current_ == nullptr) {
                    left_ = 0;
                    return nullptr;
                }
                chunks_.push_back(current_);
                left_ = kChunk;
            }
            block = current_;
            current_ += need;
            left_ -= need;
        }
        std::memcpy(block, &size_class, sizeof size_class);
        return block + kHeader;
    }

    void Give(void* data) {
        char* block = static_cast<char*>(data) - kHeader;
        unsigned size_class = 0;
        std::memcpy(&size_class, block, sizeof size_class);
        if (size_class == kLarge) {
            large_.erase(block);
            std::free(block);
            return;
        }
        std::memcpy(block + kHeader, &free_[size_class], sizeof(char*));
        free_[size_class] = block;
    }

    std::vector<void*> chunks_;
    std::unordered_set<void*> large_;
    char* free_[kClasses] = {};
    char* current_ = nullptr;
    std::size_t left_ = 0;
};

class HtmlWalk {
public:
    explicit HtmlWalk(PageCheck& check) : check_(check), bytes_(check.view.bytes()) {}

    void Run();

private:
    struct Region {
        int block = -1; // the component, or the area whose own HTML code it is
        bool component = false;
    };

    std::size_t OffsetOf(const char* data) const { return std::size_t(data - bytes_.data()); }
    bool FromSource(const GumboElement& element) const {
        return element.original_tag.length > 0 && element.original_tag.data != nullptr;
    }
    // The component around a text position, else the area, for findings about
    // the HTML written there; the form block counts as the page format.
    Region RegionAt(std::size_t text_offset) const;
    std::string TagName(const GumboElement& element) const;

    void Element(GumboNode* node);
    void Structure(const GumboNode* node, const Region& region, std::size_t start);
    // `picture`: the element showing the location, whose written size counts.
    void Location(const GumboAttribute* attribute, Target target, const Region& region,
                  const GumboElement* picture = nullptr);
    void LocationValue(std::string_view value, std::size_t offset, Target target,
                       const Region& region, const GumboElement* picture);
    // A text colour set in a component that visitors could not read on its
    // background.
    void TextContrast(const GumboNode* node, std::size_t offset);
    void Picture(const std::string& path, std::string_view written, std::size_t offset,
                 const GumboElement& element);
    void Alternative(const GumboElement& element, std::size_t offset, bool button);
    void Title(const GumboNode* node);
    // The url() values of CSS at `offset` in the file.
    void CssLocations(std::string_view css, std::size_t offset, const Region& region);
    // The width the area around a place is written with; 0 when unknown.
    int AreaWidthAt(std::size_t text_offset);
    void Dropped();
    void Cover(const GumboStringPiece& piece);
    void CoverText(const GumboNode* node);
    // Where a node's own text starts in the file; -1 for one the parser made.
    std::size_t SourceOffset(const GumboNode* node) const;
    void Moved(const GumboNode* node, std::size_t offset);

    // A finding about how a browser builds the page: inside a component or
    // an area's own HTML code a warning, once a place; elsewhere a place the
    // page format makes a browser correct.
    void Problem(std::size_t offset, const Region& region, GumboTag tag, std::string message);
    // A place the page format makes a browser correct.
    void FormatPlace() { ++format_places_; }

    PageCheck& check_;
    const std::string& bytes_;
    // One mark a byte of the file: set where the parser read the byte as part
    // of a node (a tag, text, a comment); what is left unmarked was dropped.
    std::vector<char> covered_;
    std::set<std::size_t> reported_; // file offsets with a finding about structure
    int format_places_ = 0;
    int spacers_ = 0;
    bool cell_attributes_ = false;
    bool title_seen_ = false;
    std::map<int, int> area_widths_; // by area number
};

HtmlWalk::Region HtmlWalk::RegionAt(std::size_t text_offset) const {
    const std::vector<BlockIndex::Block>& blocks = check_.blocks.blocks();
    const int component = check_.blocks.InnermostComponent(text_offset);
    if (component >= 0) {
        if (blocks[std::size_t(component)].name == "Form") {
            return {};
        }
        return {component, true};
    }
    return {check_.blocks.InnermostArea(text_offset), false};
}

std::string HtmlWalk::TagName(const GumboElement& element) const {
    return ElementName(element, "?");
}

void HtmlWalk::Cover(const GumboStringPiece& piece) {
    if (piece.length > 0 && piece.data >= bytes_.data() &&
        piece.data + piece.length <= bytes_.data() + bytes_.size()) {
        const std::size_t from = OffsetOf(piece.data);
        std::memset(covered_.data() + from, 1, piece.length);
    }
}

void HtmlWalk::CoverText(const GumboNode* node) {
    const GumboStringPiece& piece = node->v.text.original_text;
    const GumboNode* parent = node->parent;
    const bool raw = node->type != GUMBO_NODE_TEXT || parent == nullptr ||
                     parent->type != GUMBO_NODE_ELEMENT || IsRawText(parent->v.element.tag);
    if (raw || piece.length == 0) {
        Cover(piece);
        return;
    }
    // Text read from markup holds a "<" before a letter only where a tag
    // stood that the parser dropped, the text around it joined: left
    // uncovered, it is found with the other dropped tags.
    const std::string_view text(piece.data, piece.length);
    std::size_t from = 0;
    for (std::size_t lt = text.find('<'); lt != std::string_view::npos;
         lt = text.find('<', lt + 1)) {
        const std::size_t name = lt + 1 < text.size() && text[lt + 1] == '/' ? lt + 2 : lt + 1;
        if (name < text.size() && std::isalpha(static_cast<unsigned char>(text[name]))) {
            Cover({piece.data + from, lt - from});
            from = lt + 1;
        }
    }
    Cover({piece.data + from, text.size() - from});
}

std::size_t HtmlWalk::SourceOffset(const GumboNode* node) const {
    if (node->type == GUMBO_NODE_ELEMENT) {
        return FromSource(node->v.element) ? OffsetOf(node->v.element.original_tag.data)
                                           : std::size_t(-1);
    }
    if (node->type == GUMBO_NODE_TEXT && node->v.text.original_text.length > 0) {
        return OffsetOf(node->v.text.original_text.data);
    }
    return std::size_t(-1); // blanks may stand anywhere
}

void HtmlWalk::Moved(const GumboNode* node, std::size_t offset) {
    const Region region = RegionAt(check_.view.TextOffset(offset));
    if (node->type == GUMBO_NODE_TEXT) {
        Problem(offset, region, GUMBO_TAG_UNKNOWN,
                "Text stands inside a table but outside its cells, so a browser shows it before "
                "the table: put it into a cell");
    } else {
        Problem(offset, region, node->v.element.tag,
                "\"<" + TagName(node->v.element) +
                    ">\" stands inside a table but outside its cells, so a browser moves it "
                    "before the table: put it into a cell, or outside the table");
    }
}

void HtmlWalk::Run() {
    ParseMemory memory;
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0; // the tree tells what is needed; no error texts
    options.allocator = &ParseMemory::Allocate;
    options.deallocator = &ParseMemory::Free;
    options.userdata = &memory;
    GumboOutput* output = gumbo_parse_with_options(&options, bytes_.data(), bytes_.size());
    covered_.assign(bytes_.size(), 0);

    std::vector<GumboNode*> stack{output->document};
    std::size_t visited = 0;
    while (!stack.empty()) {
        GumboNode* node = stack.back();
        stack.pop_back();
        if (check_.options.cancel != nullptr && (++visited & 0xFFFF) == 0 &&
            check_.options.cancel->load()) {
            break;
        }
        switch (node->type) {
        case GUMBO_NODE_DOCUMENT:
        case GUMBO_NODE_ELEMENT:
        case GUMBO_NODE_TEMPLATE: {
            const GumboVector& children = node->type == GUMBO_NODE_DOCUMENT
                                              ? node->v.document.children
                                              : node->v.element.children;
            if (node->type != GUMBO_NODE_DOCUMENT) {
                Element(node);
            }
            // Content a browser moved out of a table stands before the
            // table, though the page has it after the table's start.
            std::size_t table_start = std::size_t(-1);
            for (unsigned i = children.length; i > 0; --i) {
                GumboNode* child = static_cast<GumboNode*>(children.data[i - 1]);
                const std::size_t at = SourceOffset(child);
                if (at != std::size_t(-1) && table_start != std::size_t(-1) && at > table_start) {
                    Moved(child, at);
                }
                if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_TABLE &&
                    at != std::size_t(-1)) {
                    table_start = std::min(table_start, at);
                }
                stack.push_back(child);
            }
            break;
        }
        case GUMBO_NODE_TEXT:
        case GUMBO_NODE_CDATA:
        case GUMBO_NODE_COMMENT:
        case GUMBO_NODE_WHITESPACE:
            CoverText(node);
            break;
        }
    }
    const bool cancelled = check_.options.cancel != nullptr && check_.options.cancel->load();
    if (!cancelled) {
        Dropped();
        // The page's own skeleton: its doctype and where its areas stand.
        const GumboDocument& document = output->document->v.document;
        if (!document.has_doctype || std::string_view(document.name) != "html" ||
            document.public_identifier[0] != '\0') {
            FormatPlace();
        }
        const std::string& text = check_.view.text();
        const std::size_t body_end = text.find("</body>");
        if (body_end != std::string::npos &&
            text.find("<!---Begin_Table", body_end) != std::string::npos) {
            FormatPlace();
        }
        if (cell_attributes_) {
            FormatPlace();
        }
        format_places_ += spacers_;
        if (!title_seen_) {
            check_.AddForPage(Severity::kWarning,
                              "The page has no title, so a browser's tab and search results show "
                              "its file name: give it one with Page Properties");
        }
        if (format_places_ > 0) {
            check_.AddForPage(
                Severity::kNote,
                "The page format makes a browser correct " + std::to_string(format_places_) +
                    (format_places_ == 1 ? " place" : " places") +
                    " of this page (areas after \"</body>\", the transitional doctype, cell "
                    "attributes, the spacer pictures of areas, tables of platforms); they show "
                    "as meant, need nothing from you and are not in the published page");
        }
    }
    // The output goes with `memory`.
}

void HtmlWalk::Problem(std::size_t offset, const Region& region, GumboTag tag,
                       std::string message) {
    if (region.block < 0 || (!region.component && IsFormatTag(tag))) {
        FormatPlace();
    } else if (reported_.insert(offset).second) {
        check_.AddAtFileOffset(Severity::kWarning, offset, std::move(message));
    }
}

namespace {

// "#rrggbb" from a colour as an attribute gives it ("#FF0000", "ff0000");
// empty for a name or anything else this check does not read.
std::string HexColour(std::string_view value) {
    if (!value.empty() && value.front() == '#') {
        value.remove_prefix(1);
    }
    if (value.size() != 6 ||
        value.find_first_not_of("0123456789abcdefABCDEF") != std::string_view::npos) {
        return {};
    }
    std::string colour = "#";
    for (const char c : value) {
        colour += char(c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c);
    }
    return colour;
}

} // namespace

void HtmlWalk::TextContrast(const GumboNode* node, std::size_t offset) {
    const GumboAttribute* colour = gumbo_get_attribute(&node->v.element.attributes, "color");
    const std::string text = colour != nullptr ? HexColour(colour->value) : std::string();
    if (text.empty()) {
        return;
    }
    // The nearest background set around it (a cell, a table, the body);
    // the browser's white where none is. A background picture may be
    // anything: not judged.
    std::string ground = "#ffffff";
    for (const GumboNode* up = node->parent; up != nullptr && up->type == GUMBO_NODE_ELEMENT;
         up = up->parent) {
        if (gumbo_get_attribute(&up->v.element.attributes, "background") != nullptr) {
            return;
        }
        if (const GumboAttribute* bgcolor =
                gumbo_get_attribute(&up->v.element.attributes, "bgcolor")) {
            ground = HexColour(bgcolor->value);
            if (ground.empty()) {
                return;
            }
            break;
        }
    }
    const double ratio = ContrastRatio(text, ground);
    if (ratio < 4.5) {
        char shown[16];
        std::snprintf(shown, sizeof shown, "%.1f", ratio);
        check_.AddAtFileOffset(Severity::kWarning, offset,
                               "The text colour " + text + " on the background " + ground +
                                   " has a contrast of " + shown +
                                   ":1, less than 4.5:1, so some visitors cannot read it: choose "
                                   "a darker or lighter colour with Modify");
    }
}

void HtmlWalk::Element(GumboNode* node) {
    GumboElement& element = node->v.element;
    Cover(element.original_tag);
    Cover(element.original_end_tag);
    const bool clone =
        (node->parse_flags & (GUMBO_INSERTION_ADOPTION_AGENCY_CLONED |
                              GUMBO_INSERTION_RECONSTRUCTED_FORMATTING_ELEMENT)) != 0;
    const bool converted = (node->parse_flags & GUMBO_INSERTION_CONVERTED_FROM_END_TAG) != 0;
    if (clone || converted || !FromSource(element)) {
        // Made by the parser: a formatting element started again after a
        // misnesting, or an end tag read as a start tag.
        const std::size_t at = element.start_pos.offset;
        if ((clone || converted) && at < bytes_.size()) {
            const Region region = RegionAt(check_.view.TextOffset(at));
            const std::string name = TagName(element);
            Problem(at, region, element.tag,
                    converted ? "\"</" + name +
                                    ">\" closes nothing that is open, so a browser reads it as a "
                                    "new \"<" +
                                    name + ">\": remove it"
                              : "\"<" + name +
                                    ">\" is left open or closed in the wrong order "
                                    "(misnested), so a browser starts it again further on: "
                                    "close it where it began, inner elements first");
        }
        return;
    }
    const std::size_t start = OffsetOf(element.original_tag.data);
    const std::size_t text_start = check_.view.TextOffset(start);
    const Region region = RegionAt(text_start);
    const bool in_form_block = [&] {
        const int component = check_.blocks.InnermostComponent(text_start);
        return component >= 0 && check_.blocks.blocks()[std::size_t(component)].name == "Form";
    }();

    Structure(node, region, start);

    // Text in angle brackets that names no element ("<since 1998>"): a
    // browser takes it for a tag and shows nothing of it. Custom elements
    // ("<my-menu>") and the elements of SVG and MathML are known.
    if (element.tag == GUMBO_TAG_UNKNOWN && element.tag_namespace == GUMBO_NAMESPACE_HTML &&
        region.component && !in_form_block) {
        const std::string name = TagName(element);
        if (name.find('-') == std::string::npos) {
            check_.AddAtFileOffset(Severity::kWarning, start, UnknownElementMessage(name));
        }
    }

    // A text colour set in a component against the background it stands on.
    if (region.component && element.tag == GUMBO_TAG_FONT) {
        TextContrast(node, start);
    }

    // Files a style names with url(): a background picture, a font.
    if (region.block >= 0) {
        const GumboAttribute* style = gumbo_get_attribute(&element.attributes, "style");
        if (style != nullptr && style->original_value.data != nullptr) {
            CssLocations(style->value, OffsetOf(style->original_value.data), region);
        }
        if (element.tag == GUMBO_TAG_STYLE && element.children.length > 0) {
            const auto* text = static_cast<const GumboNode*>(element.children.data[0]);
            if ((text->type == GUMBO_NODE_TEXT || text->type == GUMBO_NODE_WHITESPACE) &&
                text->v.text.original_text.data != nullptr) {
                CssLocations(text->v.text.text, OffsetOf(text->v.text.original_text.data), region);
            }
        }
    }

    switch (element.tag) {
    case GUMBO_TAG_HTML:
        if (element.original_tag.length > 0) {
            const char* lang = AttributeValue(element, "lang");
            // The published page takes the site's language where it names none.
            if ((lang == nullptr || Trimmed(lang).empty()) && check_.site_language.empty()) {
                check_.AddAtFileOffset(
                    Severity::kWarning, start,
                    "The page names no language, so screen readers and translation tools must "
                    "guess it: give the site's language in Site Settings (or the page's own in "
                    "Page Properties)");
            }
        }
        break;
    case GUMBO_TAG_TITLE:
        Title(node);
        break;
    case GUMBO_TAG_IMG: {
        const char* src = AttributeValue(element, "src");
        if (!region.component && src != nullptr && Trimmed(src).empty()) {
            ++spacers_; // the spacer picture that holds an area's height
            break;
        }
        Location(gumbo_get_attribute(&element.attributes, "src"), Target::kPicture, region,
                 &element);
        if (region.block >= 0) {
            Alternative(element, start, false);
        }
        break;
    }
    case GUMBO_TAG_INPUT: {
        const char* type = AttributeValue(element, "type");
        const std::string_view kind = type == nullptr ? "text" : Trimmed(type);
        if (StartsWithNoCase(kind, "image") && kind.size() == 5) {
            Location(gumbo_get_attribute(&element.attributes, "src"), Target::kPicture, region,
                     &element);
            if (region.block >= 0) {
                Alternative(element, start, true);
            }
            break;
        }
        const bool button = StartsWithNoCase(kind, "submit") || StartsWithNoCase(kind, "reset") ||
                            StartsWithNoCase(kind, "button") || StartsWithNoCase(kind, "hidden");
        if (!button && region.block >= 0) {
            const char* name = AttributeValue(element, "name");
            if (name == nullptr || Trimmed(name).empty()) {
                check_.AddAtFileOffset(Severity::kWarning, start,
                                       "The field has no name, so what a visitor types in it is "
                                       "never sent: give it a name with Modify");
            }
        }
        break;
    }
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_SELECT:
        if (region.block >= 0) {
            const char* name = AttributeValue(element, "name");
            if (name == nullptr || Trimmed(name).empty()) {
                check_.AddAtFileOffset(Severity::kWarning, start,
                                       "The field has no name, so what a visitor chooses or types "
                                       "in it is never sent: give it a name with Modify");
            }
        }
        break;
    case GUMBO_TAG_A:
    case GUMBO_TAG_AREA: {
        Location(gumbo_get_attribute(&element.attributes, "href"), Target::kPage, region);
        // A rollover's second picture is named in its mouse-over script.
        const GumboAttribute* over = gumbo_get_attribute(&element.attributes, "onmouseover");
        if (over != nullptr && region.component) {
            const std::string_view script = over->value;
            constexpr std::string_view kSwitch = "SwitchImg('document.y','document.y','";
            const std::size_t at = script.find(kSwitch);
            if (at != std::string_view::npos) {
                std::string picture;
                for (std::size_t i = at + kSwitch.size(); i < script.size() && script[i] != '\'';
                     ++i) {
                    if (script[i] == '\\' && i + 1 < script.size()) {
                        ++i;
                    }
                    picture.push_back(script[i]);
                }
                LocationValue(picture, over->value_start.offset, Target::kPicture, region, nullptr);
            }
        }
        break;
    }
    case GUMBO_TAG_EMBED:
    case GUMBO_TAG_BGSOUND:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_FRAME:
    case GUMBO_TAG_AUDIO:
    case GUMBO_TAG_VIDEO:
    case GUMBO_TAG_SOURCE:
        Location(gumbo_get_attribute(&element.attributes, "src"), Target::kFile, region);
        break;
    case GUMBO_TAG_SCRIPT:
        if (const GumboAttribute* src = gumbo_get_attribute(&element.attributes, "src")) {
            Location(src, Target::kFile, region);
        }
        break;
    case GUMBO_TAG_OBJECT:
        if (const GumboAttribute* data = gumbo_get_attribute(&element.attributes, "data")) {
            Location(data, Target::kFile, region);
        }
        break;
    case GUMBO_TAG_LINK:
        if (const GumboAttribute* href = gumbo_get_attribute(&element.attributes, "href")) {
            Location(href, Target::kFile, region);
        }
        break;
    case GUMBO_TAG_FORM: {
        const GumboAttribute* action = gumbo_get_attribute(&element.attributes, "action");
        if (in_form_block) {
            check_.form_offset = start;
            check_.form_action = action == nullptr ? std::string() : action->value;
            if (action == nullptr || Trimmed(action->value).empty()) {
                check_.AddAtFileOffset(Severity::kWarning, start,
                                       "The form posts to no script, so nothing a visitor "
                                       "enters reaches you: choose its script with Prepare your "
                                       "Form");
                break;
            }
            Location(action, Target::kScript, Region{-1, true});
        } else if (action != nullptr) {
            Location(action, Target::kScript, region);
        }
        break;
    }
    case GUMBO_TAG_TD:
        if (region.block < 0 || !region.component) {
            cell_attributes_ = cell_attributes_ || AttributeValue(element, "border") != nullptr ||
                               AttributeValue(element, "bordercolor") != nullptr;
        }
        break;
    default:
        break;
    }
    if (element.tag == GUMBO_TAG_BODY || element.tag == GUMBO_TAG_TABLE ||
        element.tag == GUMBO_TAG_TD || element.tag == GUMBO_TAG_TH) {
        if (const GumboAttribute* background =
                gumbo_get_attribute(&element.attributes, "background")) {
            if (!Trimmed(background->value).empty()) {
                Location(background, Target::kPicture, region);
            }
        }
    }
}

void HtmlWalk::Structure(const GumboNode* node, const Region& region, std::size_t start) {
    const GumboElement& element = node->v.element;
    const std::string tag = "\"<" + TagName(element) + ">\"";
    const auto report = [&](std::size_t offset, std::string message) {
        Problem(offset, region, element.tag, std::move(message));
    };
    const std::string where = region.component ? "the component" : "the area's HTML code";
    if ((node->parse_flags & GUMBO_INSERTION_ADOPTION_AGENCY_MOVED) != 0) {
        report(start, tag + " is closed in the wrong order with the elements around it "
                            "(misnested), so a browser moves it: close the inner elements first");
    }
    if (IsVoid(element.tag) || region.block < 0) {
        return;
    }
    const BlockIndex::Block& block = check_.blocks.blocks()[std::size_t(region.block)];
    std::size_t end = element.end_pos.offset;
    if (end < start || end > bytes_.size()) {
        end = bytes_.size();
    }
    const std::size_t text_end = check_.view.TextOffset(end);
    const bool closed_by_own_end_tag = element.original_end_tag.length > 0 &&
                                       (node->parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG) == 0;
    if (text_end > block.end && !(closed_by_own_end_tag && text_end <= block.end)) {
        const PageFileView::Place closed = check_.view.AtFileOffset(end);
        report(start, tag + " is not closed inside " + where +
                          ", so a browser carries it on into what follows, up to line " +
                          std::to_string(closed.line) + ": close it with \"</" + TagName(element) +
                          ">\" before " + where + " ends");
        return;
    }
    // In the area's own HTML code (the user's), an element closed by no end
    // tag of its own nor by a start tag: the end of its cell closes it. The
    // templates leave some formatting to their cells, so components are not
    // asked this.
    const bool closed_by_start_tag =
        end + 1 < bytes_.size() && bytes_[end] == '<' && bytes_[end + 1] != '/';
    if (!region.component && (node->parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG) != 0 &&
        !closed_by_start_tag && !TagEndIsOptional(element.tag) &&
        element.tag != GUMBO_TAG_UNKNOWN) {
        const PageFileView::Place closed = check_.view.AtFileOffset(end);
        report(start, tag + " is never closed in " + where + ", so a browser closes it at line " +
                          std::to_string(closed.line) + ", column " +
                          std::to_string(closed.column) + ": close it with \"</" +
                          TagName(element) + ">\" where it should end");
        return;
    }
    if ((node->parse_flags & GUMBO_INSERTION_IMPLICIT_END_TAG) != 0 &&
        !TagEndIsOptional(element.tag) && end + 1 < bytes_.size() && bytes_[end] == '<' &&
        bytes_[end + 1] != '/') {
        // Closed by a start tag that may not stand inside it.
        const PageFileView::Place closed = check_.view.AtFileOffset(end);
        report(start, tag + " is closed implicitly by the tag at line " +
                          std::to_string(closed.line) + ", column " +
                          std::to_string(closed.column) +
                          ", which may not stand inside it: close it with \"</" + TagName(element) +
                          ">\" before that tag");
    }
}

void HtmlWalk::Location(const GumboAttribute* attribute, Target target, const Region& region,
                        const GumboElement* picture) {
    if (attribute != nullptr) {
        LocationValue(attribute->value, attribute->value_start.offset, target, region, picture);
    }
}

void HtmlWalk::LocationValue(std::string_view value, std::size_t offset, Target target,
                             const Region& region, const GumboElement* picture) {
    if (offset > bytes_.size()) {
        offset = 0;
    }
    const std::string_view location = Trimmed(value);
    const std::string word(TargetWord(target));
    if (location.empty()) {
        if (region.component) {
            check_.AddAtFileOffset(Severity::kWarning, offset,
                                   word + " has no location yet: choose one with Modify");
        }
        return;
    }
    if (StartsWithNoCase(location, "file:")) {
        check_.AddAtFileOffset(Severity::kError, offset,
                               word + " " + Quote(location) +
                                   " names a file of this computer, which visitors cannot reach: "
                                   "put the file into the project and choose it there");
        return;
    }
    const bool drive = location.size() >= 3 &&
                       std::isalpha(static_cast<unsigned char>(location[0])) &&
                       location[1] == ':' && (location[2] == '\\' || location[2] == '/');
    if (drive || location.find('\\') != std::string_view::npos) {
        check_.AddAtFileOffset(Severity::kError, offset,
                               word + " " + Quote(location) +
                                   " is a path of this computer, which breaks once the site is "
                                   "published: put the file into the project and choose it there");
        return;
    }
    // A scheme: another site, a mail address, a script.
    std::size_t scheme = 0;
    while (scheme < location.size() &&
           (std::isalnum(static_cast<unsigned char>(location[scheme])) || location[scheme] == '+' ||
            location[scheme] == '.' || location[scheme] == '-')) {
        ++scheme;
    }
    if (scheme > 0 && scheme < location.size() && location[scheme] == ':' &&
        std::isalpha(static_cast<unsigned char>(location[0]))) {
        const std::string_view rest = location.substr(scheme + 1);
        if ((StartsWithNoCase(location, "http:") || StartsWithNoCase(location, "https:")) &&
            Trimmed(rest.substr(std::min(rest.size(), rest.find_first_not_of('/')))).empty()) {
            check_.AddAtFileOffset(Severity::kWarning, offset,
                                   word + " " + Quote(location) +
                                       " is an address without a site: give the whole address, "
                                       "or a file of the project, with Modify");
        }
        return;
    }
    if (location.front() == '#' || location.substr(0, 2) == "//") {
        return;
    }
    std::string_view path = location.substr(0, location.find_first_of("?#"));
    if (path.empty()) {
        return;
    }
    std::string decoded = PercentDecoded(path);
    if (decoded.front() == '/') {
        for (std::string_view folder : kLocalFolders) {
            if (decoded.compare(0, folder.size(), folder) == 0) {
                check_.AddAtFileOffset(
                    Severity::kError, offset,
                    word + " " + Quote(location) +
                        " is a path of this computer, which breaks once the site is published: "
                        "put the file into the project and choose it there");
                return;
            }
        }
    }
    // Resolved against the project folder, where the pages lie; a leading
    // "/" is the site's root, which the project folder becomes.
    std::vector<std::string> parts;
    bool outside = false;
    std::size_t from = 0;
    while (from <= decoded.size()) {
        std::size_t slash = decoded.find('/', from);
        if (slash == std::string::npos) {
            slash = decoded.size();
        }
        const std::string part = decoded.substr(from, slash - from);
        if (part == "..") {
            if (parts.empty()) {
                outside = true;
            } else {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        from = slash + 1;
    }
    if (outside) {
        check_.AddAtFileOffset(Severity::kError, offset,
                               word + " " + Quote(location) +
                                   " reaches outside the project folder, which is not published "
                                   "with the site: put the file into the project and choose it "
                                   "there");
        return;
    }
    std::string resolved = check_.folder;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        resolved += parts[i];
        if (i + 1 < parts.size()) {
            resolved += '/';
        }
    }
    const FileFacts::Entry& entry = check_.files.Look(resolved);
    bool found = entry.file;
    if (!found && entry.folder) {
        // A folder is served by its index page.
        found = target == Target::kPage && (check_.files.Look(resolved + "/index.html").file ||
                                            check_.files.Look(resolved + "/index.php").file);
    }
    if (found) {
        if (entry.file) {
            check_.used_files.insert(resolved);
        }
        if (picture != nullptr && entry.file) {
            Picture(resolved, location, offset, *picture);
        }
        // "page.html#part": the page must have a place of that name.
        const std::size_t hash = location.find('#');
        if (target == Target::kPage && entry.file && hash != std::string_view::npos &&
            hash + 1 < location.size() &&
            (EndsWithNoCase(resolved, ".html") || EndsWithNoCase(resolved, ".htm"))) {
            const std::string part = PercentDecoded(location.substr(hash + 1));
            // "#top" is the page's top in every browser.
            if (!StartsWithNoCase(part, "top") || part.size() != 3) {
                if (check_.files.Anchors(resolved).count(part) == 0) {
                    check_.AddAtFileOffset(Severity::kWarning, offset,
                                           "The link to " + Quote(location) +
                                               " reaches the page, but no place in it is named " +
                                               Quote(part) +
                                               ", so it opens at the top: name the place (id) or "
                                               "link to the page alone");
                }
            }
        }
        return;
    }
    std::string message;
    switch (target) {
    case Target::kPage:
        message = "The link to " + Quote(location) +
                  " reaches no page of the project: choose an existing page with Modify, or "
                  "create the page";
        break;
    case Target::kPicture:
        message = "The picture " + Quote(location) +
                  " is not in the project: put it there, or choose another with Modify";
        break;
    case Target::kFile:
        message = "The file " + Quote(location) +
                  " is not in the project: put it there, or choose another with Modify";
        break;
    case Target::kScript:
        message = "The form posts to " + Quote(location) +
                  ", which is not in the project: create it with Create PHP script, or choose "
                  "another script with Prepare your Form";
        break;
    }
    if (!parts.empty()) {
        const std::string folder = resolved.substr(0, resolved.size() - parts.back().size());
        const std::string other = check_.files.OtherCase(folder, parts.back());
        if (!other.empty()) {
            message += " (there is " + Quote(other) +
                       ", but a web server tells capital and small letters apart)";
        }
    }
    check_.AddAtFileOffset(Severity::kError, offset, std::move(message));
}

void HtmlWalk::Picture(const std::string& path, std::string_view written, std::size_t offset,
                       const GumboElement& element) {
    const FileFacts::Entry& entry = check_.files.Look(path);
    std::string message;
    if (entry.size > kLargePictureBytes) {
        message = "The picture " + Quote(written) + " is " + std::to_string(entry.size / 1024) +
                  " KB, so visitors wait for it: make the file smaller than " +
                  std::to_string(kLargePictureBytes / 1024) + " KB";
    }
    const int width = WrittenSize(element, "width");
    const int height = WrittenSize(element, "height");
    if (check_.options.picture_size) {
        if (const std::optional<PictureSize> size =
                check_.files.SizeOf(path, check_.options.picture_size)) {
            check_.widest_picture = std::max(check_.widest_picture, size->width);
        }
    }
    if (check_.options.picture_size && (width > 0 || height > 0)) {
        if (const std::optional<PictureSize> size =
                check_.files.SizeOf(path, check_.options.picture_size)) {
            if ((width > 0 && size->width > 2 * width) ||
                (height > 0 && size->height > 2 * height)) {
                const std::string shown = width > 0 && height > 0
                                              ? std::to_string(width) + "x" + std::to_string(height)
                                          : width > 0 ? std::to_string(width) + " px wide"
                                                      : std::to_string(height) + " px high";
                const std::string natural =
                    std::to_string(size->width) + "x" + std::to_string(size->height);
                message += message.empty() ? "The picture " + Quote(written) + " is " : "; it is ";
                message += natural + " pixels but shown at " + shown +
                           ", so visitors load far more than they see: scale the file down to "
                           "the size shown";
            }
        }
    }
    if (!message.empty()) {
        check_.AddAtFileOffset(Severity::kWarning, offset, std::move(message));
    }
    // Wider than its area, it widens the area and with it the whole page.
    const int area_width = AreaWidthAt(check_.view.TextOffset(offset));
    int shown = width;
    if (shown <= 0 && area_width > 0 && check_.options.picture_size) {
        if (const std::optional<PictureSize> size =
                check_.files.SizeOf(path, check_.options.picture_size)) {
            shown = height > 0 && size->height > 0
                        ? int((long long)size->width * height / size->height)
                        : size->width;
        }
    }
    if (area_width > 0 && shown > area_width) {
        check_.AddAtFileOffset(Severity::kWarning, offset,
                               "The picture " + Quote(written) + " is shown " +
                                   std::to_string(shown) + " px wide in an area " +
                                   std::to_string(area_width) +
                                   " px wide, so it makes the area and the page wider: give it "
                                   "a width of at most " +
                                   std::to_string(area_width) + " with Modify");
    }
}

int HtmlWalk::AreaWidthAt(std::size_t text_offset) {
    const int block = check_.blocks.InnermostArea(text_offset);
    if (block < 0) {
        return 0;
    }
    const std::string& name = check_.blocks.blocks()[std::size_t(block)].name;
    if (name.rfind("Table", 0) != 0) {
        return 0;
    }
    const int area = std::atoi(name.c_str() + 5);
    const auto found = area_widths_.find(area);
    if (found != area_widths_.end()) {
        return found->second;
    }
    int width = 0;
    try {
        width = ReadArea(check_.view.text(), area).fields.width;
    } catch (const CommandError&) {
        width = 0; // an area of no shape the editor writes: not measured
    }
    area_widths_[area] = width;
    return width;
}

void HtmlWalk::Alternative(const GumboElement& element, std::size_t offset, bool button) {
    const char* alt = AttributeValue(element, "alt");
    if (alt != nullptr && !Trimmed(alt).empty()) {
        return;
    }
    check_.AddAtFileOffset(Severity::kWarning, offset,
                           button ? "The image button has no alternative text, so a visitor who "
                                    "cannot see it does not know what it does: add alt=\"...\" "
                                    "to it with Modify"
                                  : "The picture has no alternative text for visitors who cannot "
                                    "see it: give it a Mouse Over Text with Modify");
}

// Characters, not bytes, of a UTF-8 text.
std::size_t CharacterCount(std::string_view text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

void HtmlWalk::CssLocations(std::string_view css, std::size_t offset, const Region& region) {
    std::size_t at = 0;
    while (at + 4 < css.size()) {
        if (!StartsWithNoCase(css.substr(at), "url(")) {
            ++at;
            continue;
        }
        std::size_t start = at + 4;
        while (start < css.size() && (css[start] == ' ' || css[start] == '\t')) {
            ++start;
        }
        char close = ')';
        if (start < css.size() && (css[start] == '"' || css[start] == '\'')) {
            close = css[start++];
        }
        const std::size_t end = css.find(close, start);
        if (end == std::string_view::npos) {
            return;
        }
        LocationValue(css.substr(start, end - start), offset + start, Target::kFile, region,
                      nullptr);
        at = end + 1;
    }
}

void HtmlWalk::Title(const GumboNode* node) {
    if (title_seen_) {
        return;
    }
    title_seen_ = true;
    std::string title;
    const GumboVector& children = node->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const GumboNode* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE) {
            title += child->v.text.text;
        }
    }
    const std::string_view shown = Trimmed(title);
    const std::size_t offset = OffsetOf(node->v.element.original_tag.data);
    if (shown.empty()) {
        check_.AddAtFileOffset(Severity::kWarning, offset,
                               "The page title is empty, so a browser's tab and search results "
                               "show the file name: give the page a title with Page Properties");
    } else if (shown == kDefaultHeading) {
        check_.AddAtFileOffset(Severity::kWarning, offset,
                               "The page title is still the layout's " + Quote(kDefaultHeading) +
                                   ": give the page its own title with Page Properties");
    } else if (CharacterCount(shown) > kLongestTitle) {
        check_.AddAtFileOffset(Severity::kNote, offset,
                               "The page title has " + std::to_string(CharacterCount(shown)) +
                                   " characters; search results cut titles after about " +
                                   std::to_string(kLongestTitle) + ": shorten it");
    }
}

void HtmlWalk::Dropped() {
    std::size_t reached = 0;
    const auto gap = [&](std::size_t from, std::size_t to) {
        while (from < to && std::isspace(static_cast<unsigned char>(bytes_[from]))) {
            ++from;
        }
        if (from >= to || from + 1 >= bytes_.size() || bytes_[from] != '<' ||
            bytes_[from + 1] == '!' || bytes_[from + 1] == '?') {
            return;
        }
        const bool end_tag = bytes_[from + 1] == '/';
        std::size_t name_end = from + (end_tag ? 2 : 1);
        const std::size_t name_start = name_end;
        while (name_end < bytes_.size() &&
               std::isalnum(static_cast<unsigned char>(bytes_[name_end]))) {
            ++name_end;
        }
        if (name_end == name_start) {
            return;
        }
        std::string name = bytes_.substr(name_start, name_end - name_start);
        for (char& c : name) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        const GumboTag tag = gumbo_tag_enum(name.c_str());
        if (end_tag && IsVoid(tag)) {
            return; // an end tag of an element that has none: read as nothing, harmlessly
        }
        const Region region = RegionAt(check_.view.TextOffset(from));
        if (region.block < 0 || (!region.component && IsFormatTag(tag))) {
            FormatPlace();
            return;
        }
        check_.AddAtFileOffset(
            Severity::kWarning, from,
            end_tag ? "\"</" + name +
                          ">\" closes nothing that is open here, so a browser ignores "
                          "it: remove it, or open the element it closes"
                    : "\"<" + name + ">\" may not stand here, so a browser ignores it: remove it");
    };
    // Each run of unmarked bytes, in the order of the file.
    const char* marks = covered_.data();
    const std::size_t size = covered_.size();
    while (reached < size) {
        const void* unmarked = std::memchr(marks + reached, 0, size - reached);
        if (unmarked == nullptr) {
            break;
        }
        const std::size_t from = std::size_t(static_cast<const char*>(unmarked) - marks);
        const void* marked = std::memchr(marks + from, 1, size - from);
        const std::size_t to =
            marked == nullptr ? size : std::size_t(static_cast<const char*>(marked) - marks);
        gap(from, to);
        reached = to;
    }
}

} // namespace

void CheckPageHtml(PageCheck& check) {
    HtmlWalk(check).Run();
}

std::string UnknownElementMessage(std::string_view name) {
    return "<" + std::string(name) +
           "> is not an HTML element, so browsers hide it: write &lt; or remove the brackets";
}

std::string UnknownElementHint(std::string_view text) {
    for (std::size_t at = text.find('<'); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        std::size_t end = at + 1;
        while (end < text.size() && std::isalnum(static_cast<unsigned char>(text[end]))) {
            ++end;
        }
        if (end == at + 1 || !std::isalpha(static_cast<unsigned char>(text[at + 1])) ||
            (end < text.size() && text[end] == '-')) {
            continue;
        }
        const std::string_view name = text.substr(at + 1, end - at - 1);
        if (gumbo_tagn_enum(name.data(), unsigned(name.size())) == GUMBO_TAG_UNKNOWN) {
            std::string lower(name);
            for (char& c : lower) {
                c = char(std::tolower(static_cast<unsigned char>(c)));
            }
            return UnknownElementMessage(lower);
        }
    }
    return {};
}

} // namespace qf::check
