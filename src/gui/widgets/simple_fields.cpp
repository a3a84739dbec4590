#include "widgets/simple_fields.h"

#include <QComboBox>
#include <QSpinBox>

namespace qf {

QSpinBox* MakeSpinField(const QString& object_name, QWidget* parent, int initial, int minimum,
                        int maximum) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(object_name);
    spin->setRange(minimum, maximum);
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spin->setValue(initial);
    spin->setAccelerated(true);
    spin->setMinimumWidth(90);
    return spin;
}

int SpinValue(QSpinBox* spin) {
    spin->interpretText();
    return spin->value();
}

QComboBox* MakeEditableList(const QString& object_name, const QStringList& items, QWidget* parent,
                            const QString& initial_text) {
    auto* list = new QComboBox(parent);
    list->setObjectName(object_name);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->addItems(items);
    list->setCurrentIndex(-1);
    list->setEditText(initial_text);
    return list;
}

QStringList AlignItems() {
    return {"Left", "Right", "Center"};
}

} // namespace qf
