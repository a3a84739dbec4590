#pragma once

#include "components/component_fields.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace qf {

class ColourField;
class FieldFillers;
struct ColourMemory;

// The rows the text link and the mail-to link dialogs share: face, colour,
// (size), mouse-over colour, bold and underline, link text and status bar
// text. The mouse-over colour is the link's colour while the mouse is over it.
class LinkTextFields {
public:
    // Adds the rows up to the style boxes; AddTextRows adds the two text rows.
    void AddFontRows(QFormLayout* form, ColourMemory* colours, QWidget* parent, bool with_size);
    void AddTextRows(QFormLayout* form, QWidget* parent);

    // Adds face, color, hovercolor, (size), bold, underline, text and status.
    void Gather(FieldValues& values) const;
    // Names the controls of those fields for a Modify opening.
    void Bind(FieldFillers& fillers);

private:
    QComboBox* face_ = nullptr;
    ColourField* colour_ = nullptr;
    QSpinBox* size_ = nullptr;
    ColourField* mouse_over_colour_ = nullptr;
    QCheckBox* bold_ = nullptr;
    QCheckBox* underline_ = nullptr;
    QLineEdit* text_ = nullptr;
    QLineEdit* status_ = nullptr;
};

} // namespace qf
