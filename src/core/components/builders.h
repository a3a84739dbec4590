#pragma once

// The builders of the component families, used by the field table and by the
// reading of bodies back into values (component_reading), which builds them
// with placeholders to learn where each value goes.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qf::builders {

// A kind's field values after checking: every field present, text already in
// page form (ASCII, &quot; inside attributes), integers as decimal text, flags
// as "1" or "0", lines separated by "\n".
class Fields {
public:
    explicit Fields(std::map<std::string, std::string, std::less<>> values)
        : values_(std::move(values)) {}
    const std::string& Text(std::string_view name) const;
    // The text of a grid cell given as "cell.R.C" (rows and columns from 1);
    // empty for a cell that was not given.
    std::string Cell(int row, int column) const;
    // The names of the grid cells that were given.
    std::vector<std::string> CellNames() const;
    bool Flag(std::string_view name) const { return Text(name) == "1"; }
    // The items of a lines field: every line that is not empty, in order.
    std::vector<std::string> Lines(std::string_view name) const;

private:
    std::map<std::string, std::string, std::less<>> values_;
};

// " ATTRIBUTE=\"N\"" for a number field that is set, empty for one left at
// 0 or less: a size of 0 would hide a picture or an object, and a maximum
// length of 0 would take no typing at all.
std::string SetNumberAttribute(const Fields& fields, std::string_view field,
                               std::string_view attribute);

// " ATTRIBUTE=\"VALUE\"" for a value that says something, empty for one that
// is empty or `absent` (a font size of "0", which browsers show as their
// smallest size, is no size: the browser's own holds).
std::string OptionalAttribute(std::string_view attribute, std::string_view value,
                              std::string_view absent = {});

// The font start tag of the text, list and link kinds: face, size (field
// `size_field`, none for an empty name) and colour, the face and the size
// only where they are given.
std::string FontStartTag(const Fields& fields, std::string_view size_field = "size");

using Builder = std::string (*)(const Fields& fields);
// The builder of a kind; nullptr for the custom table (its body is its file)
// and for a kind that is not in the field table.
Builder BuilderOf(std::string_view kind_tag);

// The form block's body, "<form method="POST" action="ACTION">", with the robot
// trap after it when the flag "trap" is set.
std::string FormBlockBody(const Fields& fields);

// Images and links.
std::string ImageBody(const Fields& fields);
std::string ImageLinkBody(const Fields& fields);
std::string RolloverBody(const Fields& fields);
std::string TextLinkBody(const Fields& fields);
std::string MailLinkBody(const Fields& fields);
std::string HorizontalLineBody(const Fields& fields);

// Text and lists.
std::string TextBody(const Fields& fields);
std::string SubscriptBody(const Fields& fields);
std::string SuperscriptBody(const Fields& fields);
std::string ItemListBody(const Fields& fields);
std::string BulletItemListBody(const Fields& fields);
std::string SpacedListBody(const Fields& fields);

// Form fields.
std::string TextFieldBody(const Fields& fields);
std::string PasswordFieldBody(const Fields& fields);
std::string TextAreaBody(const Fields& fields);
std::string DropListBody(const Fields& fields);
std::string ListBoxBody(const Fields& fields);
std::string SubmitButtonBody(const Fields& fields);
std::string ImageButtonBody(const Fields& fields);
std::string ResetButtonBody(const Fields& fields);
std::string CheckBoxBody(const Fields& fields);
std::string RadioGroupBody(const Fields& fields);
// The most choices a radio button group may have.
inline constexpr int kMostRadioChoices = 20;

// Tables and frames (the custom table's body is its file's text).
std::string DataTableBody(const Fields& fields);
std::string FrameBody(const Fields& fields);
// The most rows, and the most columns, a data table may have.
inline constexpr int kMaxDataTableRows = 100;
inline constexpr int kMaxDataTableColumns = 100;

// HTML code as typed, its line breaks kept (KeptLineBreaks).
std::string HtmlCodeBody(const Fields& fields);

// Multimedia.
std::string BackgroundSoundBody(const Fields& fields);
std::string VideoBody(const Fields& fields);
std::string FlashBody(const Fields& fields);
std::string ShockwaveBody(const Fields& fields);
// The plug-in vendor's public download locations the Flash and Shockwave
// objects name.
inline constexpr std::string_view kFlashCabinetAddress =
    "http://download.macromedia.com/pub/shockwave/cabs/flash/swflash.cab#3,0,0,0";
inline constexpr std::string_view kShockwaveCabinetAddress =
    "http://download.macromedia.com/director/cabs/sw.cab#version=6,0,1,0";
inline constexpr std::string_view kPluginDownloadPage =
    "http://www.macromedia.com/shockwave/download/";

} // namespace qf::builders
