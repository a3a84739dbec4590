#pragma once

#include "components/component_fields.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;

namespace qf {

class ColourField;
class PictureField;

// How a dialog puts a component's values back into its controls when it
// opens to modify one: each control that a field is gathered from is named
// here once, beside the code that makes it, and Fill sets it to the field's
// value exactly as the dialog's OK would read it back.
class FieldFillers {
public:
    using Setter = std::function<void(const QString& value)>;

    void Add(std::string field, Setter set);
    // Several fields at once (a grid and its size): gets every value.
    void AddGroup(std::function<void(const FieldValues& values)> fill);

    void Add(std::string field, QLineEdit* edit);
    void Add(std::string field, QSpinBox* spin);
    // An editable list: its text, whether or not it is one of the items.
    void Add(std::string field, QComboBox* list);
    // A flag: ticked for "1".
    void Add(std::string field, QAbstractButton* box);
    // One item a line.
    void Add(std::string field, QPlainTextEdit* memo);
    void Add(std::string field, ColourField* colour);
    // The location as written, never made absolute.
    void Add(std::string field, PictureField* picture);

    // Sets the controls of the fields `values` holds, in the order they
    // were added; a field without a value keeps its control as it is.
    void Fill(const FieldValues& values) const;

    bool Empty() const { return setters_.empty() && groups_.empty(); }

private:
    struct Entry {
        std::string field;
        Setter set;
    };
    std::vector<Entry> setters_;
    std::vector<std::function<void(const FieldValues&)>> groups_;
};

// Selects the entry of a face list (entries carry a blank before the name)
// whose face is `face`; a face the list lacks is added as an entry, so it is
// written back as it was. An empty face selects nothing.
void SelectFace(QListWidget* faces, const QString& face);

} // namespace qf
