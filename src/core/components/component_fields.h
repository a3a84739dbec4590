#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qf {

// The field values of one component, by field name ("src" -> "a.gif"). Text
// is UTF-8 as typed; integers and flags are given as decimal text ("0", "1").
// A field left out takes its initial value, the one its dialog starts with.
using FieldValues = std::map<std::string, std::string, std::less<>>;

// How a field's value enters the kind's template.
enum class FieldFormat {
    kAttribute, // inside a double-quoted attribute: a double quote becomes &quot;
    kScript,    // a single-quoted script string inside a double-quoted attribute:
                // as kAttribute, and a quote or backslash gets a backslash before it
    kContent,   // element content (text runs, link text): written as typed
    kLines,     // element content, one item per line ("\n", "\r\n" or "\r")
    kInteger,   // decimal integer, within [minimum, maximum]
    kFlag,      // "1" ticked, "0" not ticked
    kCell,      // a grid cell "cell.R.C" (row R, column C, from 1): element content
};

// One field of a kind. Text values enter the page as ASCII: every character
// outside ASCII becomes a numeric character reference ("&#233;").
struct FieldSpec {
    std::string_view name;    // the name the command line uses: "src"
    std::string_view label;   // the dialog's label, for messages: "Image Location"
    std::string_view initial; // the dialog's initial value, as text
    FieldFormat format = FieldFormat::kAttribute;
    int minimum = 0; // integers only
    int maximum = 0; // integers only; minimum == maximum == 0: the whole int range
};

// A kind this family builds, with its fields in dialog order.
struct ComponentSpec {
    std::string_view kind_tag;     // "Image"
    std::string_view display_name; // "Image"
    std::span<const FieldSpec> fields;
};

// The fields of each kind, in dialog order (name = initial value; [int],
// [flag], [lines] and [content] mark the formats other than attribute):
//   Image:       src="http://" width=0 height=0 alt align border=0 bordercolor
//   Link_Img:    href="Select" newwindow=0[flag] src="http://" width=0 height=0
//                alt align border=0 bordercolor
//   Roll_Img:    src rollover[script] href="http://" newwindow=0[flag] alt
//   Text_Link:   href="http://" face="Arial" color size=0 hovercolor[script]
//                bold=0 underline=0 newwindow=0[flag] text[content] status[script]
//   Mail_Link:   email face="Arial" color hovercolor[script] bold=0 underline=0
//                text[content] status[script]
//   Hr:          width=1[int 1..100] size align noshade=0[flag] color
//   Text:        face bold=0 italic=0 underline=0 strikeout=0 color size=0
//                align text[content]
//   Subscript:   as Text, then text[content] (main text) sub[content]
//   Superscript: as Text, then text[content] (main text) sup[content]
//   Item_List, Bullet_Item_List, Spaced_List: as Text, with items[lines]
//   Input_Text, Input_Pass: width=0 maxlength=0 value name label[content],
//                then the style rows defaultstyle=0[flag] bordercolor bgcolor
//   TextArea:    width=0 name label[content], style rows
//   Drop_List, ListBox: name label[content] options[lines], style rows
//   Button:      value, style rows;  Reset: value="Reset", style rows
//   Image_Button: src
//   CheckBox:    name value="Yes" checked=0[flag] label[content]
//   Radio_Group: name choices="Yes\nNo"[lines] chosen=0[int 0..20: the chosen line, 0
//                none] label[content]
//   Data_Table:  rows=1[int] cols=1[int] padding=0 spacing=0 width=0 border=0
//                cell.R.C[cell] color size=0 bold=0 italic=0 underline=0
//                strikeout=0 bgcolor=0[flag: "Color" chosen] background
//   Custom_Table: table=0[int: the file's number, 0 the highest]
//   Frame:       src align width=0 height=0 noscroll=0[flag] noborder=0[flag]
//   Bgsound:     src
//   Video:       src width=0 height=0 autostart=0[flag]
//   Flash, Shock: src width=0 height=0
// [script] marks the values the link's handlers hand to a script as a string:
// the status-bar text, the mouse-over colour and the rollover picture.
// Faces are written as given: the link dialogs hand their combo's text as
// shown, the text and list dialogs FaceOfListEntry(selected entry).
//
// The kinds with a builder, in palette order: Image, Link_Img, Roll_Img,
// Text_Link, Mail_Link, Hr, Text, Subscript, Superscript, Item_List,
// Bullet_Item_List, Spaced_List, Input_Text, Input_Pass, TextArea, Drop_List,
// ListBox, Button, Image_Button, Reset, CheckBox, Radio_Group, Data_Table, Custom_Table, Frame,
// Bgsound, Video, Flash, Shock.
std::span<const ComponentSpec> ComponentSpecs();
const ComponentSpec* FindComponentSpec(std::string_view kind_tag);
// The field of that name; a grid cell name ("cell.2.3", numbers from 1
// without leading zeros) gives the kind's cell row.
const FieldSpec* FindField(const ComponentSpec& spec, std::string_view name);

// The values in page form (as the builders take them), every field present;
// throws as BuildComponentBody does.
std::map<std::string, std::string, std::less<>> PageFieldValues(std::string_view kind_tag,
                                                                const FieldValues& values);

// The kind's body (its HTML without markers) from the given values, built by
// the kind's template; missing fields take their initial values. Throws
// CommandError, naming the field, for an unknown kind or field, a value that
// holds the marker delimiters "<!---" or "---!>", a line break in a one-line
// field, text that is not UTF-8, or an integer that is not one or is out of
// its bounds. A data table of more than 100 rows or columns, or with a cell
// outside its grid, is refused. The custom table has no builder here: its
// body is its file's text (ReadCustomTable).
std::string BuildComponentBody(std::string_view kind_tag, const FieldValues& values);

} // namespace qf
