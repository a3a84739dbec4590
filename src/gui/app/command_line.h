#pragma once

#include <QString>
#include <QStringList>

namespace qf {

// What the editor was asked on its command line: its help, its version, or
// what to open at start.
struct EditorCommandLine {
    enum class Open { Nothing, Project, Page };

    bool help = false;
    bool version = false;
    Open open = Open::Nothing;
    // Absolute: the project folder, or the page file (whose folder becomes
    // the project).
    QString path;
    // One line saying what is wrong with the arguments; empty when they are
    // sound.
    QString error;
};

// Reads the arguments (the first is the program itself). A folder opens as
// the project; a file ending in .html or .htm opens as a page with its
// folder as the project; anything else, a missing path or a second path is
// an error.
EditorCommandLine ParseEditorCommandLine(const QStringList& arguments);

// The text of `quenfort --help` and of `quenfort --version`.
QString EditorHelpText();
QString EditorVersionText();

} // namespace qf
