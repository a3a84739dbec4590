#include "app/command_line.h"

#include "about/version.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace qf {

namespace {

const QCommandLineOption kHelpOption({"h", "help"}, "Shows this help and exits.");
const QCommandLineOption kVersionOption({"v", "version"}, "Shows the version and exits.");

void SetUp(QCommandLineParser& parser) {
    // "-bogus" is one unknown option, as Qt's own "-style" is one option.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        "Quenfort Website Developer: a desktop editor for small static web sites.\n"
        "Opens a project folder, or a page together with its folder as the project.");
    parser.addOption(kHelpOption);
    parser.addOption(kVersionOption);
    parser.addPositionalArgument("path",
                                 "A project folder to open, or a page (.html or .htm) to open "
                                 "with its folder as the project.",
                                 "[FOLDER | PAGE.html]");
}

bool IsPageName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == "html" || suffix == "htm";
}

} // namespace

EditorCommandLine ParseEditorCommandLine(const QStringList& arguments) {
    EditorCommandLine line;
    QCommandLineParser parser;
    SetUp(parser);
    const bool parsed = parser.parse(arguments);
    line.help = parser.isSet(kHelpOption);
    line.version = parser.isSet(kVersionOption);
    if (!parsed) {
        line.error = parser.errorText();
        return line;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.size() > 1) {
        line.error = QString("one folder or page at a time: \"%1\" is one too many").arg(paths[1]);
        return line;
    }
    if (paths.isEmpty()) {
        return line;
    }
    const QFileInfo info(paths[0]);
    if (info.isDir()) {
        line.open = EditorCommandLine::Open::Project;
    } else if (info.isFile() && IsPageName(paths[0])) {
        line.open = EditorCommandLine::Open::Page;
    } else if (!info.exists()) {
        line.error = QString("\"%1\" does not exist").arg(paths[0]);
        return line;
    } else {
        line.error =
            QString("\"%1\" is neither a project folder nor a page (.html or .htm)").arg(paths[0]);
        return line;
    }
    line.path = info.absoluteFilePath();
    return line;
}

QString EditorHelpText() {
    QCommandLineParser parser;
    SetUp(parser);
    QString text = parser.helpText();
    // Without a running application the parser cannot know the program's name.
    const qsizetype end_of_name = text.indexOf(" [options]");
    if (text.startsWith("Usage: ") && end_of_name > 0) {
        text.replace(7, end_of_name - 7, "quenfort");
    }
    return text;
}

QString EditorVersionText() {
    return QString("quenfort %1\n").arg(kVersion);
}

} // namespace qf
