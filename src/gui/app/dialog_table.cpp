#include "app/dialog_table.h"

// One include per dialog family, next to its lines in the table below.
#include "about/about_dialog.h"
#include "app/view_source_dialog.h"
#include "components/form_dialog.h"
#include "components/form_field_dialogs.h"
#include "components/horizontal_line_dialog.h"
#include "components/image_dialog.h"
#include "components/image_link_dialog.h"
#include "components/item_list_dialogs.h"
#include "components/mail_link_dialog.h"
#include "components/page_properties_dialog.h"
#include "components/php_script_dialog.h"
#include "components/rollover_dialog.h"
#include "components/text_dialog.h"
#include "components/text_link_dialog.h"
// Tables and frames, multimedia.
#include "components/custom_table_dialog.h"
#include "components/data_table_dialog.h"
#include "components/frame_dialog.h"
#include "components/media_dialogs.h"

#include "app/modify_component.h"
#include "workspace/area_dialog.h"
#include "workspace/edit_commands.h"
#include "workspace/layout_chooser.h"
#include "workspace/layout_designer_dialog.h"
#include "workspace/new_page_dialog.h"
#include "workspace/platform_dialog.h"
#include "workspace/source_dialogs.h"

namespace qf {

namespace {

// Dialog class (or handler name for a command without a dialog) and the
// function that runs it. Add one line per dialog.
constexpr DialogEntry kDialogs[] = {
    {"TFormt", OpenViewSource},                           // View Page Source
    {"TForm90", OpenAbout},                               // About
    {"TForma", TForma::Open},                             // Page Properties
    {"TFormb", TFormb::Open, RunModifyDialog<TFormb>},    // Insert Image
    {"TFormc", TFormc::Open, RunModifyDialog<TFormc>},    // Insert Image Link
    {"TFormd", TFormd::Open, RunModifyDialog<TFormd>},    // Insert Rollover Image
    {"TForme", TForme::Open, RunModifyDialog<TForme>},    // Insert Text Link
    {"TFormf", TFormf::Open, RunModifyDialog<TFormf>},    // Insert Mail to Link
    {"TFormg2", TFormg2::Open, RunModifyDialog<TFormg2>}, // Insert Horizontal Line
    {"TFormb1", TFormb1::Open, RunModifyDialog<TFormb1>}, // Insert Text
    {"TFormb2", TFormb2::Open, RunModifyDialog<TFormb2>}, // Insert Subscript
    {"TFormb3", TFormb3::Open, RunModifyDialog<TFormb3>}, // Insert Superscript
    {"TFormc1", TFormc1::Open, RunModifyDialog<TFormc1>}, // Insert an Item List
    {"TFormc2", TFormc2::Open, RunModifyDialog<TFormc2>}, // Insert a Bullet Item List
    {"TFormc3", TFormc3::Open, RunModifyDialog<TFormc3>}, // Insert a Seperated Item List

    // The form, its fields and the feedback script.
    {"TFormg1", TFormg1::Open},                              // Prepare your Form
    {"TFormg3", TFormg3::Open, RunModifyDialog<TFormg3>},    // Insert a Text Field
    {"TFormg4", TFormg4::Open, RunModifyDialog<TFormg4>},    // Insert a Password Field
    {"TFormg5", TFormg5::Open, RunModifyDialog<TFormg5>},    // Insert a Text Area Field
    {"TFormg6", TFormg6::Open, RunModifyDialog<TFormg6>},    // Insert a Drop Down Option List Field
    {"TFormg7", TFormg7::Open, RunModifyDialog<TFormg7>},    // Insert an Option Listbox
    {"TFormg8", TFormg8::Open, RunModifyDialog<TFormg8>},    // Insert a Submit Button
    {"TFormg9", TFormg9::Open, RunModifyDialog<TFormg9>},    // Insert an Imaged Submit Button
    {"TFormg10", TFormg10::Open, RunModifyDialog<TFormg10>}, // Insert a Reset Button
    {"TFormg11", TFormg11::Open, RunModifyDialog<TFormg11>}, // Insert Check Box
    {"TFormg12", TFormg12::Open, RunModifyDialog<TFormg12>}, // Insert Radio Button Group
    {"TFormja", TFormja::Open},                              // Create a PHP script

    // Tables and frames, multimedia.
    {"TFormd1", TFormd1::Open, RunModifyDialog<TFormd1>}, // Insert a Data Table
    {"TFormer2", TFormer2::Open},                         // Insert a Custom Table
    {"TFormf1", TFormf1::Open, RunModifyDialog<TFormf1>}, // Insert Frame
    {"TFormh1", TFormh1::Open, RunModifyDialog<TFormh1>}, // Insert Back Ground Sound
    {"TFormh2", TFormh2::Open, RunModifyDialog<TFormh2>}, // Insert a Video Plugin
    {"TFormh3", TFormh3::Open, RunModifyDialog<TFormh3>}, // Insert a Macromedia Flash File
    {"TFormh4", TFormh4::Open, RunModifyDialog<TFormh4>}, // Insert a Macromedia Shockwave File

    // New Page (page properties, then the layout chooser) and the layout designer.
    {"TFormmen5", TFormmen5::Open},
    {"TFormmen2", TFormmen2::Open},
    {"TFormmen4", TFormmen4::Open},

    // Editing areas and components; platforms, line breaks and HTML code.
    {"TFormModify5", TFormModify5::Open},     // Modify Selected Area
    {"Action2Execute", Action2Execute},       // Delete Selected Area
    {"TFormCom", ModifySelectedComponent},    // Modify Selected Component
    {"Action4Execute", Action4Execute},       // Delete Selected Component
    {"TFormAdj", TFormAdj::Open},             // Insert a Platform
    {"TFormCom2", TFormCom2::Open},           // Insert HTML code
    {"ToolButton36Click", ToolButton36Click}, // Insert a Line Braker
};

} // namespace

std::span<const DialogEntry> DialogTable() {
    return kDialogs;
}

DialogOpener FindDialog(std::string_view dialog_class) {
    if (dialog_class.empty()) {
        return nullptr;
    }
    for (const DialogEntry& entry : kDialogs) {
        if (entry.dialog_class == dialog_class) {
            return entry.open;
        }
    }
    return nullptr;
}

ModifyOpener FindModifyDialog(std::string_view dialog_class) {
    for (const DialogEntry& entry : kDialogs) {
        if (!dialog_class.empty() && entry.dialog_class == dialog_class) {
            return entry.modify;
        }
    }
    return nullptr;
}

} // namespace qf
