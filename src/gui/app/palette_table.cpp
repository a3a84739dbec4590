#include "app/palette_table.h"

namespace qf {

namespace {

constexpr std::string_view kTabs[] = {"Standard", "Text",  "Lists",      "Tables",
                                      "Frames",   "Forms", "Multimedia", "PHP"};

constexpr PaletteButton kButtons[] = {
    {"Standard", "Page Properties", "TForma", Guard::Page, "page-properties"},
    {"Standard", "Insert Image", "TFormb", Guard::Area, "image"},
    {"Standard", "Insert Image Link", "TFormc", Guard::Area, "image-link"},
    {"Standard", "Insert Rollover Image", "TFormd", Guard::Area, "rollover"},
    {"Standard", "Insert Text Link", "TForme", Guard::Area, "text-link"},
    {"Standard", "Insert Mailto Link", "TFormf", Guard::Area, "mail-link"},
    {"Standard", "Insert Horizontal Line", "TFormg2", Guard::Area, "horizontal-line"},
    {"Standard", "Insert HTML code", "TFormCom2", Guard::Area, "html-code"},
    {"Standard", "Insert a Platform to add components next to each other", "TFormAdj", Guard::Area,
     "platform"},
    {"Standard", "Insert a Line Braker", "ToolButton36Click", Guard::Area, "line-break"},
    {"Text", "Insert Text", "TFormb1", Guard::Area, "text"},
    {"Text", "Insert Subscript", "TFormb2", Guard::Area, "subscript"},
    {"Text", "Insert Superscript", "TFormb3", Guard::Area, "superscript"},
    {"Lists", "Insert an Item List", "TFormc1", Guard::Area, "item-list"},
    {"Lists", "Insert a Bullet Item List", "TFormc2", Guard::Area, "bullet-list"},
    {"Lists", "Insert Spaced Item List", "TFormc3", Guard::Area, "spaced-list"},
    {"Tables", "Insert Data Table", "TFormd1", Guard::Area, "data-table"},
    {"Tables", "Insert Custom Table", "TFormer2", Guard::Area, "custom-table"},
    {"Frames", "", "TFormf1", Guard::Area, "frame"}, // the frame button has no hint
    {"Forms", "Prepare your Form", "TFormg1", Guard::Page, "form"},
    {"Forms", "Insert Text Field", "TFormg3", Guard::Area, "text-field"},
    {"Forms", "Insert Password Field", "TFormg4", Guard::Area, "password-field"},
    {"Forms", "Insert Textarea", "TFormg5", Guard::Area, "text-area"},
    {"Forms", "Insert Dorp Down List Menu", "TFormg6", Guard::Area, "drop-down"},
    {"Forms", "Insert Item List box", "TFormg7", Guard::Area, "list-box"},
    {"Forms", "Insert Submit Button", "TFormg8", Guard::Area, "submit"},
    {"Forms", "Insert Imaged Submit Button", "TFormg9", Guard::Area, "image-submit"},
    {"Forms", "Insert Reset Button", "TFormg10", Guard::Area, "reset"},
    {"Forms", "Insert Check Box", "TFormg11", Guard::Area, "check-box"},
    {"Forms", "Insert Radio Button Group", "TFormg12", Guard::Area, "radio-group"},
    {"Multimedia", "Insert Back Ground Sound", "TFormh1", Guard::Area, "sound"},
    {"Multimedia", "Insert Video Plugin", "TFormh2", Guard::Area, "video"},
    {"Multimedia", "Insert a Macromedia Flash Plugin", "TFormh3", Guard::Area, "flash"},
    {"Multimedia", "Insert a Macromedia Shockwave Plugin", "TFormh4", Guard::Area, "shockwave"},
    {"PHP", "Create PHP Form Feedback script", "TFormja", Guard::Php, "php"},
};

} // namespace

std::span<const std::string_view> PaletteTabs() {
    return kTabs;
}

std::span<const PaletteButton> PaletteButtons() {
    return kButtons;
}

} // namespace qf
