#pragma once

#include "widgets/colour_field.h"
#include "widgets/tool_dialog.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace qf {

struct Workspace;

// "Page Properties", the first step of a new page: its name, header,
// background and border. Continue keeps them as the pending page properties
// and opens the layout chooser; when the chooser closes, so does this step.
class TFormmen5 : public ToolDialog {
    Q_OBJECT

public:
    TFormmen5(Workspace& workspace, QWidget* parent = nullptr);

    // Runs the step and the chooser; true when a page was created.
    static bool Open(Workspace& workspace, QWidget* parent);

public Q_SLOTS:
    void ToolButton1Click(); // Continue
    void ToolButton2Click(); // "[...] ": a colour or a picture for the background

private:
    Workspace& workspace_;
    QLineEdit* name_;
    QLineEdit* header_;
    // The name last offered from the header; while the name field holds it,
    // the name follows the header.
    QString offered_name_;
    QRadioButton* colour_radio_;
    QRadioButton* image_radio_;
    ColourMemory colours_;
    ColourField* background_;
    QSpinBox* border_;
    QString picture_folder_;
};

} // namespace qf
