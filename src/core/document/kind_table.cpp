#include "document/kind_table.h"

#include <array>

namespace qf {

namespace {

constexpr std::array<Kind, 32> kKinds{{
    {"Table", "", "Insert a Platform to add components next to each other",
     "Create your own Page Layout", "TFormmen4"},
    {"Image", "Image", "Insert Image", "Insert Image", "TFormb"},
    {"Link_Img", "Image Link", "Insert Image Link", "Insert Image Link", "TFormc"},
    {"Roll_Img", "Rollover Image", "Insert Rollover Image", "Insert Rollover Image", "TFormd"},
    {"Text_Link", "Text Link", "Insert Text Link", "Insert Text Link", "TForme"},
    {"Mail_Link", "Mail Link", "Insert Mailto Link", "Insert Mail to Link", "TFormf"},
    {"Hr", "Horizontal Line", "Insert Horizontal Line", "Insert Horizontal Line", "TFormg2"},
    {"Text", "Text String", "Insert Text", "Insert Text", "TFormb1"},
    {"Subscript", "Subscript", "Insert Subscript", "Insert Subscript", "TFormb2"},
    {"Superscript", "Superscript", "Insert Superscript", "Insert Superscript", "TFormb3"},
    {"Item_List", "Item List", "Insert an Item List", "Insert an Item List", "TFormc1"},
    {"Bullet_Item_List", "Bullet Item List", "Insert a Bullet Item List",
     "Insert a Bullet Item List", "TFormc2"},
    {"Spaced_List", "Spaced Item List", "Insert Spaced Item List", "Insert a Seperated Item List",
     "TFormc3"},
    {"Data_Table", "Data Table", "Insert Data Table", "Insert a Data Table", "TFormd1"},
    {"Custom_Table", "Custom Table", "Insert Custom Table", "Insert a Custom Table", "TFormer2"},
    {"Frame", "Frame", "", "Insert Frame", "TFormf1"},
    {"Form", "", "Prepare your Form", "Prepare your Form", "TFormg1"},
    {"Input_Text", "Text Feild", "Insert Text Field", "Insert a Text Field", "TFormg3"},
    {"Input_Pass", "Password Feild", "Insert Password Field", "Insert a Password Field", "TFormg4"},
    {"TextArea", "Form TextArea", "Insert Textarea", "Insert a Text Area Field", "TFormg5"},
    {"Drop_List", "Drop List", "Insert Dorp Down List Menu", "Insert a Drop Down Option List Field",
     "TFormg6"},
    {"ListBox", "ListBox", "Insert Item List box", "Insert an Option Listbox", "TFormg7"},
    {"Button", "Form Button", "Insert Submit Button", "Insert a Submit Button", "TFormg8"},
    {"Image_Button", "Image Button", "Insert Imaged Submit Button",
     "Insert an Imaged Submit Button", "TFormg9"},
    {"Reset", "Reset Button", "Insert Reset Button", "Insert a Reset Button", "TFormg10"},
    {"CheckBox", "Check Box", "Insert Check Box", "Insert Check Box", "TFormg11"},
    {"Radio_Group", "Radio Group", "Insert Radio Button Group", "Insert Radio Button Group",
     "TFormg12"},
    {"Bgsound", "Back Ground Sound", "Insert Back Ground Sound", "Insert Back Ground Sound",
     "TFormh1"},
    {"Video", "Video", "Insert Video Plugin", "Insert a Video Plugin", "TFormh2"},
    {"Flash", "Flash", "Insert a Macromedia Flash Plugin", "Insert a Macromedia Flash File",
     "TFormh3"},
    {"Shock", "Shockwave", "Insert a Macromedia Shockwave Plugin",
     "Insert a Macromedia Shockwave File", "TFormh4"},
    // HTML code kept as a component (Insert HTML Code, "Keep as a component"):
    // no dialog of its own, Modify opens its source.
    {"Html_Code", "HTML Code", "", "Insert HTML code", ""},
}};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::span<const Kind> Kinds() {
    return kKinds;
}

const Kind* FindKindByTag(std::string_view tag) {
    for (const Kind& kind : kKinds) {
        if (kind.tag == tag) {
            return &kind;
        }
    }
    return nullptr;
}

const Kind* FindKindByDisplayName(std::string_view display_name) {
    if (display_name.empty()) {
        return nullptr;
    }
    for (const Kind& kind : kKinds) {
        if (kind.display_name == display_name) {
            return &kind;
        }
    }
    return nullptr;
}

std::optional<NumberedName> SplitTrailingNumber(std::string_view name) {
    const std::size_t size = name.size();
    std::size_t digits = 1;
    if (size >= 3 && IsDigit(name[size - 3])) {
        digits = 3;
    } else if (size >= 2 && IsDigit(name[size - 2])) {
        digits = 2;
    }
    if (size < digits) {
        return std::nullopt;
    }
    int number = 0;
    for (std::size_t i = size - digits; i < size; ++i) {
        if (!IsDigit(name[i])) {
            return std::nullopt;
        }
        number = number * 10 + (name[i] - '0');
    }
    return NumberedName{name.substr(0, size - digits), number};
}

} // namespace qf
