#include "app/dialog_table.h"

// One include per dialog family, next to its lines in the table below.
#include "app/view_source_dialog.h"

namespace qf {

namespace {

// Dialog class (or handler name for a command without a dialog) and the
// function that runs it. Add one line per dialog.
constexpr DialogEntry kDialogs[] = {
    {"TFormt", OpenViewSource}, // View Page Source
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

} // namespace qf
