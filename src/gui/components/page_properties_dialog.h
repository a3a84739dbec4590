#pragma once

#include "components/component_dialog.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace qf {

class ColourField;
class PictureField;

// "Page Properties": the page's heading (title), its background picture or
// colour, and whether it shows scroll bars.
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
    QRadioButton* picture_radio_;
    PictureField* picture_;
    QRadioButton* colour_radio_;
    ColourField* colour_;
    QCheckBox* no_scrollers_;
};

} // namespace qf
