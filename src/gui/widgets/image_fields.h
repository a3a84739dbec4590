#pragma once

#include "components/component_fields.h"
#include "workspace/area_content.h"

#include <QWidget>

class QCheckBox;
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
// height (SpinEdit2) with "Keep proportions" (KeepProportions, on: one follows
// the other), mouse-over text (Edit2), align (ComboBox2), border (SpinEdit3)
// and border colour (Edit3, ToolButton3).
class ImageFields : public QWidget {
    Q_OBJECT

public:
    // `filter` is the open-picture dialog's; a chosen picture travels with
    // the workspace's project and fills width and height while they are 0:
    // at its own size, or at the selected area's width when it is wider.
    ImageFields(const QString& filter, const Workspace& workspace, ColourMemory* colours,
                QWidget* parent = nullptr);

    // Puts a row at the top, sharing the picture rows' label column.
    void AddRowAbove(const QString& label, QWidget* field);

    // Adds src, width, height, alt, align, border and bordercolor.
    void Gather(FieldValues& values) const;
    // Names the controls of those fields for a Modify opening.
    void Bind(FieldFillers& fillers);

private:
    void PictureChosen(QSize size);
    void SizeChanged(QSpinBox* changed, QSpinBox* other, bool width_changed);

    const Workspace& workspace_;
    QFormLayout* form_;
    LocationChoice* location_;
    QSpinBox* width_;
    QSpinBox* height_;
    QCheckBox* keep_proportions_;
    PictureSize shape_;      // the proportions kept: the picture's, or the first size given
    PictureSize last_;       // width and height as they stood before the last change
    bool following_ = false; // one value is being set to follow the other
    QLineEdit* alt_;
    QComboBox* align_;
    QSpinBox* border_;
    ColourField* border_colour_;
};

} // namespace qf
