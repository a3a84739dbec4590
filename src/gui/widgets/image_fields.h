#pragma once

#include "components/component_fields.h"

#include <QWidget>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

namespace qf {

class ColourField;
class FieldFillers;
class LocationChoice;
struct ColourMemory;
struct Workspace;

// The rows of a picture on the page, in the image dialogs: location (Local
// RadioButton1, Url RadioButton2, Edit1, ToolButton1), width (SpinEdit1),
// height (SpinEdit2), mouse-over text (Edit2), align (ComboBox2), border
// (SpinEdit3) and border colour (Edit3, ToolButton3).
class ImageFields : public QWidget {
    Q_OBJECT

public:
    // `filter` is the open-picture dialog's; a chosen picture travels with
    // the workspace's project and fills width and height while they are 0.
    ImageFields(const QString& filter, const Workspace& workspace, ColourMemory* colours,
                QWidget* parent = nullptr);

    // Puts a row at the top, sharing the picture rows' label column.
    void AddRowAbove(const QString& label, QWidget* field);

    // Adds src, width, height, alt, align, border and bordercolor.
    void Gather(FieldValues& values) const;
    // Names the controls of those fields for a Modify opening.
    void Bind(FieldFillers& fillers);

private:
    QFormLayout* form_;
    LocationChoice* location_;
    QSpinBox* width_;
    QSpinBox* height_;
    QLineEdit* alt_;
    QComboBox* align_;
    QSpinBox* border_;
    ColourField* border_colour_;
};

} // namespace qf
