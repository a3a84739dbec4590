#include "widgets/field_fillers.h"

#include "widgets/colour_field.h"
#include "widgets/picture_field.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>

namespace qf {

void FieldFillers::Add(std::string field, Setter set) {
    setters_.push_back({std::move(field), std::move(set)});
}

void FieldFillers::AddGroup(std::function<void(const FieldValues& values)> fill) {
    groups_.push_back(std::move(fill));
}

void FieldFillers::Add(std::string field, QLineEdit* edit) {
    Add(std::move(field), [edit](const QString& value) { edit->setText(value); });
}

void FieldFillers::Add(std::string field, QSpinBox* spin) {
    Add(std::move(field), [spin](const QString& value) { spin->setValue(value.toInt()); });
}

void FieldFillers::Add(std::string field, QComboBox* list) {
    Add(std::move(field), [list](const QString& value) {
        list->setCurrentIndex(list->findText(value));
        list->setEditText(value);
    });
}

void FieldFillers::Add(std::string field, QAbstractButton* box) {
    Add(std::move(field), [box](const QString& value) { box->setChecked(value == "1"); });
}

void FieldFillers::Add(std::string field, QPlainTextEdit* memo) {
    Add(std::move(field), [memo](const QString& value) { memo->setPlainText(value); });
}

void FieldFillers::Add(std::string field, ColourField* colour) {
    Add(std::move(field), [colour](const QString& value) { colour->Edit()->setText(value); });
}

void FieldFillers::Add(std::string field, PictureField* picture) {
    Add(std::move(field), [picture](const QString& value) { picture->Edit()->setText(value); });
}

void FieldFillers::Fill(const FieldValues& values) const {
    for (const Entry& entry : setters_) {
        if (const auto found = values.find(entry.field); found != values.end()) {
            entry.set(QString::fromStdString(found->second));
        }
    }
    for (const auto& fill : groups_) {
        fill(values);
    }
}

void SelectFace(QListWidget* faces, const QString& face) {
    faces->clearSelection();
    faces->setCurrentItem(nullptr);
    if (face.isEmpty()) {
        return;
    }
    const QString entry = " " + face;
    QList<QListWidgetItem*> found = faces->findItems(entry, Qt::MatchExactly);
    QListWidgetItem* item = found.isEmpty() ? new QListWidgetItem(entry, faces) : found.first();
    faces->setCurrentItem(item);
    item->setSelected(true);
    faces->scrollToItem(item);
}

} // namespace qf
