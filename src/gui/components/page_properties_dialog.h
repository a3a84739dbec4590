#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace qf {

class ColourField;
class PictureField;

// "Page Properties": the page's heading (title), its background picture or
// colour, whether it shows scroll bars, and whether it fits small screens.
class TForma : public ComponentDialog {
    Q_OBJECT

public:
    TForma(Workspace& workspace, QWidget* parent = nullptr);
    static bool Open(Workspace& workspace, QWidget* parent) {
        return RunDialog<TForma>(workspace, parent);
    }

public Q_SLOTS:
    void ToolButton2Click();
    void ToolButton4Click(); // Cancel: closes without change

private:
    QLineEdit* heading_;
    QLineEdit* description_;
    QLineEdit* language_;
    QCheckBox* hide_from_search_;
    QRadioButton* picture_radio_;
    PictureField* picture_;
    QRadioButton* colour_radio_;
    ColourField* colour_;
    QCheckBox* no_scrollers_;
    QCheckBox* fit_small_screens_;
    bool fits_small_screens_ = false; // as the page was when the dialog opened
};

} // namespace qf
