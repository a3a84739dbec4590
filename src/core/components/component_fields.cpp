#include "components/component_fields.h"

#include "document/markers.h"

#include "components/builders.h"
#include "components/user_text.h"
#include "error.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace qf {

namespace {

using F = FieldFormat;

// Field tables made of shared rows: Join(FontRows("Italic"), Row(...)).
template <std::size_t N> using Rows = std::array<FieldSpec, N>;

constexpr Rows<1> Row(const FieldSpec& field) {
    return {field};
}

template <std::size_t... N> constexpr auto Join(const Rows<N>&... parts) {
    Rows<(N + ...)> joined{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), joined.begin() + at), at += N), ...);
    return joined;
}

// The image's fields, which the image link's repeat after its destination.
constexpr Rows<7> kImageFields{{
    {"src", "Image Location", "http://", F::kAttribute},
    {"width", "Width", "0", F::kInteger},
    {"height", "Height", "0", F::kInteger},
    {"alt", "Mouse Over Text", "", F::kAttribute},
    {"align", "Align", "", F::kAttribute},
    {"border", "Border", "0", F::kInteger},
    {"bordercolor", "Border Color", "", F::kAttribute},
}};

constexpr auto kImageLinkFields =
    Join(Row({"href", "Link Destination", "Select", F::kAttribute}),
         Row({"newwindow", "Open Link in a New Window", "0", F::kFlag}), kImageFields);

constexpr FieldSpec kRolloverFields[] = {
    {"src", "Origonal Image", "", F::kAttribute},
    {"rollover", "Rollover Image", "", F::kScript},
    {"href", "Destination Link", "http://", F::kAttribute},
    {"newwindow", "Open Link In a New Window", "0", F::kFlag},
    {"alt", "Mouse over Text", "", F::kAttribute},
    // Both pictures are shown at this size; 0: the picture's own.
    {"width", "Width", "0", F::kInteger},
    {"height", "Height", "0", F::kInteger},
};

constexpr FieldSpec kTextLinkFields[] = {
    {"href", "Destination Link", "http://", F::kAttribute},
    {"face", "Face", "Arial", F::kAttribute},
    {"color", "Color", "", F::kAttribute},
    {"size", "Size", "0", F::kInteger, 0, 7},
    {"hovercolor", "Mouse over color", "", F::kScript},
    {"bold", "Bold", "0", F::kFlag},
    {"underline", "Underline", "0", F::kFlag},
    {"newwindow", "Open Link in new Window", "0", F::kFlag},
    {"text", "Text", "", F::kContent},
    {"status", "Status Bar", "", F::kScript},
};

constexpr FieldSpec kMailLinkFields[] = {
    {"email", "Email to", "", F::kAttribute}, {"face", "Face", "Arial", F::kAttribute},
    {"color", "Color", "", F::kAttribute},    {"hovercolor", "Mouse over color", "", F::kScript},
    {"bold", "Bold", "0", F::kFlag},          {"underline", "Underline", "0", F::kFlag},
    {"text", "Text", "", F::kContent},        {"status", "Status Bar", "", F::kScript},
};

constexpr FieldSpec kHorizontalLineFields[] = {
    {"width", "Width", "1", F::kInteger, 1, 100},
    {"size", "Thickness", "", F::kAttribute},
    {"align", "Align", "", F::kAttribute},
    {"noshade", "No Shading (disable 3D effect)", "0", F::kFlag},
    {"color", "Color", "", F::kAttribute},
};

// The font group of the text and list dialogs, whose italic box is captioned
// "Italics" in the text dialog and "Italic" elsewhere.
constexpr Rows<8> FontRows(std::string_view italic_label) {
    return {{
        {"face", "Face", "", F::kAttribute},
        {"bold", "Bold", "0", F::kFlag},
        {"italic", italic_label, "0", F::kFlag},
        {"underline", "Underline", "0", F::kFlag},
        {"strikeout", "Strikeout", "0", F::kFlag},
        {"color", "Color", "", F::kAttribute},
        {"size", "Size", "0", F::kInteger, 0, 7},
        {"align", "Align", "", F::kAttribute},
    }};
}

constexpr auto kTextFields = Join(FontRows("Italics"), Row({"text", "Text", "", F::kContent}));

constexpr auto kSubscriptFields =
    Join(FontRows("Italic"), Row({"text", "Main Text", "", F::kContent}),
         Row({"sub", "Subscript Text", "", F::kContent}));

constexpr auto kSuperscriptFields =
    Join(FontRows("Italic"), Row({"text", "Main Text", "", F::kContent}),
         Row({"sup", "Superscript Text", "", F::kContent}));

constexpr auto kListFields = Join(FontRows("Italic"), Row({"items", "Items", "", F::kLines}));

// The form fields: their own rows, then the Style group all but the imaged
// submit button share.
constexpr Rows<3> kStyleRows{{
    {"defaultstyle", "Use default Windows Style", "0", F::kFlag},
    {"bordercolor", "Border Color", "", F::kAttribute},
    {"bgcolor", "Back Ground Color", "", F::kAttribute},
}};
// A field's name, and the label written beside it (none when empty).
constexpr Rows<2> kFieldNameRow{
    {{"name", "Name", "", F::kAttribute}, {"label", "Label", "", F::kContent}}};
constexpr auto kInputFields =
    Join(Row({"width", "Width", "0", F::kInteger}),
         Row({"maxlength", "Maximum length", "0", F::kInteger}),
         Row({"value", "Default Text", "", F::kAttribute}), kFieldNameRow, kStyleRows);
constexpr auto kTextAreaFields =
    Join(Row({"width", "Width", "0", F::kInteger}), kFieldNameRow, kStyleRows);
constexpr auto kOptionListFields =
    Join(kFieldNameRow, Row({"options", "List", "", F::kLines}), kStyleRows);
constexpr auto kSubmitFields = Join(Row({"value", "Button Text", "", F::kAttribute}), kStyleRows);
constexpr auto kResetFields =
    Join(Row({"value", "Button Text", "Reset", F::kAttribute}), kStyleRows);
constexpr FieldSpec kImageButtonFields[] = {{"src", "Image Location", "", F::kAttribute}};
constexpr FieldSpec kCheckBoxFields[] = {
    {"name", "Name", "", F::kAttribute},
    {"value", "Value", "Yes", F::kAttribute},
    {"checked", "Checked", "0", F::kFlag},
    {"label", "Label", "", F::kContent},
};
constexpr FieldSpec kRadioGroupFields[] = {
    {"name", "Name", "", F::kAttribute},
    {"choices", "Choices", "Yes\nNo", F::kLines},
    {"chosen", "Chosen", "0", F::kInteger, 0, builders::kMostRadioChoices},
    {"label", "Label", "", F::kContent},
};

constexpr FieldSpec kDataTableFields[] = {
    {"rows", "Rows", "1", F::kInteger},
    {"cols", "Columns", "1", F::kInteger},
    {"padding", "Inner Spacing", "0", F::kInteger},
    {"spacing", "Outer Spacing", "0", F::kInteger},
    {"width", "Table Width", "0", F::kInteger},
    {"border", "Border", "0", F::kInteger},
    {"cell.R.C", "Text for the Selected Cell", "", F::kCell},
    {"color", "Color", "", F::kAttribute},
    {"size", "Size", "0", F::kInteger, 0, 7},
    {"bold", "Bold", "0", F::kFlag},
    {"italic", "Italic", "0", F::kFlag},
    {"underline", "Underline", "0", F::kFlag},
    {"strikeout", "Strikeout", "0", F::kFlag},
    {"bgcolor", "Cell Background: Color (else Image)", "0", F::kFlag},
    {"background", "Cell Background", "", F::kAttribute},
    {"header", "First row is a header", "0", F::kFlag},
};

constexpr FieldSpec kCustomTableFields[] = {
    {"table", "Custom Table", "0", F::kInteger, 0, std::numeric_limits<int>::max()},
};

constexpr FieldSpec kFrameFields[] = {
    {"src", "Target Page", "", F::kAttribute},
    {"align", "Align", "", F::kAttribute},
    {"width", "Frame Width", "0", F::kInteger},
    {"height", "Frame Height", "0", F::kInteger},
    {"noscroll", "Disable Scrolling", "0", F::kFlag},
    {"noborder", "Disable Frame Border", "0", F::kFlag},
};

constexpr FieldSpec kSoundFields[] = {
    {"src", "Sound file source", "", F::kAttribute},
};

constexpr Rows<2> kPluginSize{{
    {"width", "Width", "0", F::kInteger},
    {"height", "Height", "0", F::kInteger},
}};

constexpr auto kVideoFields = Join(Row({"src", "Video file source", "", F::kAttribute}),
                                   kPluginSize, Row({"autostart", "Auto Start", "0", F::kFlag}));

constexpr auto kPluginFields = Join(Row({"src", "File source", "", F::kAttribute}), kPluginSize);

constexpr FieldSpec kHtmlCodeFields[] = {
    {"code", "HTML Code", "", F::kLines},
};

constexpr ComponentSpec kSpecs[] = {
    {"Image", "Image", kImageFields},
    {"Link_Img", "Image Link", kImageLinkFields},
    {"Roll_Img", "Rollover Image", kRolloverFields},
    {"Text_Link", "Text Link", kTextLinkFields},
    {"Mail_Link", "Mail Link", kMailLinkFields},
    {"Hr", "Horizontal Line", kHorizontalLineFields},
    {"Text", "Text String", kTextFields},
    {"Subscript", "Subscript", kSubscriptFields},
    {"Superscript", "Superscript", kSuperscriptFields},
    {"Item_List", "Item List", kListFields},
    {"Bullet_Item_List", "Bullet Item List", kListFields},
    {"Spaced_List", "Spaced Item List", kListFields},
    {"Input_Text", "Text Feild", kInputFields},
    {"Input_Pass", "Password Feild", kInputFields},
    {"TextArea", "Form TextArea", kTextAreaFields},
    {"Drop_List", "Drop List", kOptionListFields},
    {"ListBox", "ListBox", kOptionListFields},
    {"Button", "Form Button", kSubmitFields},
    {"Image_Button", "Image Button", kImageButtonFields},
    {"Reset", "Reset Button", kResetFields},
    {"CheckBox", "Check Box", kCheckBoxFields},
    {"Radio_Group", "Radio Group", kRadioGroupFields},
    {"Data_Table", "Data Table", kDataTableFields},
    {"Custom_Table", "Custom Table", kCustomTableFields},
    {"Frame", "Frame", kFrameFields},
    {"Bgsound", "Back Ground Sound", kSoundFields},
    {"Video", "Video", kVideoFields},
    {"Flash", "Flash", kPluginFields},
    {"Shock", "Shockwave", kPluginFields},
    {"Html_Code", "HTML Code", kHtmlCodeFields},
};

using builders::Builder;

// In the order of kSpecs.
constexpr std::array<Builder, std::size(kSpecs)> kBuilders = {
    builders::ImageBody,
    builders::ImageLinkBody,
    builders::RolloverBody,
    builders::TextLinkBody,
    builders::MailLinkBody,
    builders::HorizontalLineBody,
    builders::TextBody,
    builders::SubscriptBody,
    builders::SuperscriptBody,
    builders::ItemListBody,
    builders::BulletItemListBody,
    builders::SpacedListBody,
    builders::TextFieldBody,
    builders::PasswordFieldBody,
    builders::TextAreaBody,
    builders::DropListBody,
    builders::ListBoxBody,
    builders::SubmitButtonBody,
    builders::ImageButtonBody,
    builders::ResetButtonBody,
    builders::CheckBoxBody,
    builders::RadioGroupBody,
    // Tables and frames, multimedia.
    builders::DataTableBody,
    nullptr,
    builders::FrameBody,
    builders::BackgroundSoundBody,
    builders::VideoBody,
    builders::FlashBody,
    builders::ShockwaveBody,
    builders::HtmlCodeBody,
};

// "Mouse Over Text (alt)": how messages name a field.
std::string FieldTitle(const FieldSpec& field) {
    return std::string(field.label) + " (" + std::string(field.name) + ")";
}

std::string IntegerValue(const FieldSpec& field, const std::string& title, std::string_view value) {
    // A number field left empty is its minimum, as its spin box gives it.
    if (value.empty()) {
        return std::to_string(field.minimum);
    }
    int number = 0;
    const char* first = value.data();
    const char* last = value.data() + value.size();
    // One sign at most: "+5" is 5, "+-5" is no number.
    const bool plus = first != last && *first == '+';
    if (plus) {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, number);
    if (first == last || (plus && *first == '-') || error != std::errc() || end != last) {
        throw CommandError(title + ": '" + std::string(value) + "' is not a valid integer value");
    }
    const bool bounded = field.minimum != 0 || field.maximum != 0;
    if (bounded && (number < field.minimum || number > field.maximum)) {
        throw CommandError(title + " must be between " + std::to_string(field.minimum) + " and " +
                           std::to_string(field.maximum));
    }
    return std::to_string(number);
}

// A positive number without a leading zero, the whole of `digits`.
bool IsCellNumber(std::string_view digits) {
    int number = 0;
    const char* end = digits.data() + digits.size();
    const auto [at, error] = std::from_chars(digits.data(), end, number);
    return !digits.empty() && digits.front() != '0' && error == std::errc() && at == end;
}

// "cell.R.C" with R and C numbers from 1.
bool IsCellName(std::string_view name) {
    constexpr std::string_view kPrefix = "cell.";
    if (name.substr(0, kPrefix.size()) != kPrefix) {
        return false;
    }
    name.remove_prefix(kPrefix.size());
    const std::size_t dot = name.find('.');
    return dot != std::string_view::npos && IsCellNumber(name.substr(0, dot)) &&
           IsCellNumber(name.substr(dot + 1));
}

// One field's value in page form.
std::string PageValue(const FieldSpec& field, std::string_view value) {
    const std::string title = FieldTitle(field);
    CheckNoMarkerDelimiters(title, value);
    if (field.format != F::kLines) {
        CheckSingleLine(title, value);
    }
    switch (field.format) {
    case F::kAttribute:
        return AttributeText(title, value);
    case F::kScript:
        return ScriptStringText(title, value);
    case F::kContent:
    case F::kLines:
    case F::kCell:
        return PageText(title, value);
    case F::kInteger:
        return IntegerValue(field, title, value);
    case F::kFlag:
        if (value != "0" && value != "1") {
            throw CommandError(title + " must be 0 or 1");
        }
        return std::string(value);
    }
    return std::string(value);
}

} // namespace

const std::string& builders::Fields::Text(std::string_view name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        throw std::out_of_range("no field " + std::string(name));
    }
    return found->second;
}

std::string builders::Fields::Cell(int row, int column) const {
    const auto found = values_.find("cell." + std::to_string(row) + "." + std::to_string(column));
    return found == values_.end() ? std::string() : found->second;
}

std::vector<std::string> builders::Fields::CellNames() const {
    std::vector<std::string> names;
    for (const auto& [name, value] : values_) {
        if (IsCellName(name)) {
            names.push_back(name);
        }
    }
    return names;
}

std::vector<std::string> builders::Fields::Lines(std::string_view name) const {
    // A line ends at LF, CR LF or a lone CR.
    std::vector<std::string> lines;
    std::string_view rest = Text(name);
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of("\r\n");
        const std::string_view line = rest.substr(0, end);
        if (!line.empty()) {
            lines.emplace_back(line);
        }
        if (end == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(end + 1);
    }
    return lines;
}

std::string builders::SetNumberAttribute(const Fields& fields, std::string_view field,
                                         std::string_view attribute) {
    const std::string& number = fields.Text(field);
    if (number.empty() || number == "0" || number.front() == '-') {
        return "";
    }
    return " " + std::string(attribute) + "=\"" + number + "\"";
}

std::string builders::OptionalAttribute(std::string_view attribute, std::string_view value,
                                        std::string_view absent) {
    if (value.empty() || value == absent) {
        return "";
    }
    return " " + std::string(attribute) + "=\"" + std::string(value) + "\"";
}

std::string builders::FontStartTag(const Fields& fields, std::string_view size_field) {
    const std::string size = size_field.empty() ? "" : fields.Text(size_field);
    return "<font" + OptionalAttribute("face", fields.Text("face")) +
           OptionalAttribute("size", size, "0") + " color=\"" + fields.Text("color") + "\">";
}

builders::Builder builders::BuilderOf(std::string_view kind_tag) {
    const ComponentSpec* spec = FindComponentSpec(kind_tag);
    return spec == nullptr ? nullptr : kBuilders[static_cast<std::size_t>(spec - kSpecs)];
}

std::span<const ComponentSpec> ComponentSpecs() {
    return kSpecs;
}

const ComponentSpec* FindComponentSpec(std::string_view kind_tag) {
    for (const ComponentSpec& spec : kSpecs) {
        if (spec.kind_tag == kind_tag) {
            return &spec;
        }
    }
    return nullptr;
}

const FieldSpec* FindField(const ComponentSpec& spec, std::string_view name) {
    const bool cell = IsCellName(name);
    for (const FieldSpec& field : spec.fields) {
        if (field.format == F::kCell ? cell : field.name == name) {
            return &field;
        }
    }
    return nullptr;
}

std::map<std::string, std::string, std::less<>> PageFieldValues(std::string_view kind_tag,
                                                                const FieldValues& values) {
    const ComponentSpec* spec = FindComponentSpec(kind_tag);
    if (spec == nullptr) {
        throw CommandError("Unknown component kind '" + std::string(kind_tag) + "'");
    }
    std::map<std::string, std::string, std::less<>> page_values;
    for (const auto& [name, value] : values) {
        const FieldSpec* field = FindField(*spec, name);
        if (field == nullptr) {
            throw CommandError("'" + name + "' is not a field of " + std::string(kind_tag));
        }
        if (field->format == F::kCell) {
            const std::string label = "Cell " + name.substr(5);
            page_values.emplace(name, PageValue(FieldSpec{name, label, "", F::kCell}, value));
        }
    }
    for (const FieldSpec& field : spec->fields) {
        if (field.format == F::kCell) {
            continue;
        }
        const auto given = values.find(field.name);
        const std::string_view value =
            given != values.end() ? std::string_view(given->second) : field.initial;
        page_values.emplace(field.name, PageValue(field, value));
    }
    return page_values;
}

std::string BuildComponentBody(std::string_view kind_tag, const FieldValues& values) {
    const builders::Fields fields(PageFieldValues(kind_tag, values));
    const Builder builder = builders::BuilderOf(kind_tag);
    if (builder == nullptr) {
        throw CommandError(std::string(kind_tag) + " is built from its file, not from fields");
    }
    std::string body = builder(fields);
    // Each value is free of the markers' delimiters, yet two pieces may make
    // one where they meet (a name "<!--" before the "-1" of a radio button's
    // id): such a body would break the page's markers.
    if (body.find(kMarkerOpen) != std::string::npos ||
        body.find(kMarkerClose) != std::string::npos) {
        throw CommandError("These values would write \"" + std::string(kMarkerOpen) + "\" or \"" +
                           std::string(kMarkerClose) +
                           "\" into the page, which would break it: change a value that begins "
                           "or ends with \"<!--\", \"-\" or \"!>\"");
    }
    return body;
}

} // namespace qf
