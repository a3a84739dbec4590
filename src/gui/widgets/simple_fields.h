#pragma once

#include <QString>
#include <QStringList>

#include <climits>

class QComboBox;
class QSpinBox;
class QWidget;

namespace qf {

// An integer field. Without bounds it spans the whole int range, so negative
// numbers pass; it starts at `initial`. A text that is not a whole number
// (empty, "-") counts as 0 brought into the bounds, not as the last value.
QSpinBox* MakeSpinField(const QString& object_name, QWidget* parent, int initial = 0,
                        int minimum = INT_MIN, int maximum = INT_MAX);

// The value OK reads from an integer field: its text as it stands, even while
// the field still has the keyboard focus.
int SpinValue(QSpinBox* spin);

// An editable drop-down list: its text is read as typed or chosen, whether or
// not it is one of the items. It starts with `initial_text` (empty unless
// given), not with its first item.
QComboBox* MakeEditableList(const QString& object_name, const QStringList& items, QWidget* parent,
                            const QString& initial_text = QString());

// The items of the alignment lists: "Left", "Right", "Center".
QStringList AlignItems();

} // namespace qf
