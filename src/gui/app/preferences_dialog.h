#pragma once

#include "widgets/tool_dialog.h"
#include "workspace/preferences.h"

class QCheckBox;
class QSpinBox;

namespace qf {

// Edit > Preferences...: how the editor works for this user, one row a
// preference. OK saves them (SavePreferences) into the settings file and
// hands them back; a file that cannot be written is said and the dialog
// stays open. Without a settings file (tests) OK only hands them back.
class PreferencesDialog : public ToolDialog {
    Q_OBJECT

public:
    PreferencesDialog(const Preferences& preferences, const QString& settings_file,
                      QWidget* parent = nullptr);

    // Runs the dialog on `preferences`; true (with them changed) after OK.
    static bool Edit(Preferences& preferences, const QString& settings_file, QWidget* parent);

    // The preferences as the dialog shows them.
    Preferences Chosen() const;

private Q_SLOTS:
    void OkClick();

private:
    Preferences preferences_;
    QString settings_file_;
    QSpinBox* longest_side_;
    QSpinBox* quality_;
    QCheckBox* strip_metadata_;
    QCheckBox* fit_new_pages_;
};

} // namespace qf
