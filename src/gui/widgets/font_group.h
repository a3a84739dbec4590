#pragma once

#include "components/component_fields.h"
#include "widgets/colour_field.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QSpinBox;

namespace qf {

class FieldFillers;

// The font controls of the text and list dialogs: the face list (ListBox1)
// with its live sample (Panel2, "Aa Bb Cc"), the group "Font Style" with the
// four style boxes each drawn in its own style, and the group "General Font
// Properties" with colour (Edit1, ToolButton2), size (SpinEdit1) and align
// (ComboBox1). The dialog puts its text controls beside them with AddText.
class FontGroup : public QWidget {
    Q_OBJECT

public:
    // `italic_caption` is "Italics" in the text dialog and "Italic" elsewhere.
    FontGroup(ColourMemory* colours, const QString& italic_caption, QWidget* parent = nullptr);

    // Places a widget (a text group) under the style and property groups;
    // a stretching one takes the height left over.
    void AddText(QWidget* widget, bool stretch = false);

    // The face of the selected entry without its leading blank; empty when
    // none is selected.
    QString Face() const;

    // Adds face, bold, italic, underline, strikeout, color, size and align.
    void Gather(FieldValues& values) const;
    // Names the controls of those fields for a Modify opening.
    void Bind(FieldFillers& fillers);

    QListWidget* FaceList() const { return faces_; }
    QLabel* Sample() const { return sample_; }

public Q_SLOTS:
    void ListBox1Click();

private:
    QListWidget* faces_;
    QLabel* sample_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QCheckBox* strikeout_;
    ColourField* colour_;
    QSpinBox* size_;
    QComboBox* align_;
    QWidget* right_;
};

// A check box whose caption is drawn in the style it stands for.
QCheckBox* MakeStyleBox(const QString& object_name, const QString& caption, QWidget* parent,
                        bool bold, bool italic, bool underline, bool strikeout);

// A face combo of the link dialogs: the font face list as an editable list
// whose text is written as shown, starting with "Arial".
QComboBox* MakeFaceCombo(const QString& object_name, QWidget* parent);

} // namespace qf
