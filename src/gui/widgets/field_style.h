#pragma once

#include "components/component_fields.h"

#include <QGroupBox>

class QCheckBox;

namespace qf {

class ColourField;
class FieldFillers;
struct ColourMemory;

// The group "Style" of the form-field dialogs: "Use default Windows Style"
// (CheckBox1), which leaves the field unstyled and disables the colours, the
// border colour (Edit2, ToolButton2) and the background colour (Edit3,
// ToolButton4).
class FieldStyle : public QGroupBox {
    Q_OBJECT

public:
    FieldStyle(ColourMemory* colours, QWidget* parent = nullptr);

    // Adds defaultstyle, bordercolor and bgcolor.
    void Gather(FieldValues& values) const;
    // Names the controls of those fields for a Modify opening.
    void Bind(FieldFillers& fillers);

private Q_SLOTS:
    void DefaultStyleToggled(bool on);

private:
    QCheckBox* default_style_;
    ColourField* border_colour_;
    ColourField* background_colour_;
};

} // namespace qf
