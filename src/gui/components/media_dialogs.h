#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QSpinBox;

namespace qf {

class LocationChoice;

// The four multimedia dialogs: a source given as a local file or a URL and,
// except for the background sound, the player's size; the video also starts
// by itself or not.
class MediaDialog : public ComponentDialog {
    Q_OBJECT

public:
    MediaDialog(Workspace& workspace, std::string_view kind_tag, QWidget* parent);

public Q_SLOTS:
    void ToolButton2Click(); // OK
    void ToolButton3Click(); // Cancel: closes without change

private:
    LocationChoice* source_;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QCheckBox* auto_start_ = nullptr;
};

// "Insert Back Ground Sound": a sound that plays behind the whole page.
using TFormh1 = KindDialog<MediaDialog, "Bgsound">;
// "Insert a Video Plugin".
using TFormh2 = KindDialog<MediaDialog, "Video">;
// "Insert a Macromedia Flash File".
using TFormh3 = KindDialog<MediaDialog, "Flash">;
// "Insert a Macromedia Shockwave File".
using TFormh4 = KindDialog<MediaDialog, "Shock">;

} // namespace qf
