#include "cli_commands.h"

#include "components/form.h"
#include "components/php_script.h"
#include "error.h"

#include <QFileInfo>

#include <algorithm>

namespace qf::cli {

namespace {

constexpr std::string_view kFormSynopsis = "form PAGE [target=SCRIPT]";
constexpr std::string_view kPhpSynopsis =
    "php PROJECT NAME form-page=PAGE recipient=ADDRESS success=TARGET failure=TARGET "
    "[replace=yes]";

int FormCommand(const Args& args, std::ostream& out) {
    if (args.empty()) {
        throw UsageError("usage: quenfort-cli " + std::string(kFormSynopsis));
    }
    std::string target;
    for (const auto& [name, value] : ParseAssignments(args, 1)) {
        if (name != "target") {
            throw UsageError("'" + name + "' is not a setting of the form (target)");
        }
        target = value;
    }
    Workspace workspace = OpenWorkspace(args[0]);
    out << PrepareForm(workspace, target) << '\n';
    return 0;
}

int PhpCommand(const Args& args, std::ostream& out) {
    if (args.size() < 2) {
        throw UsageError("usage: quenfort-cli " + std::string(kPhpSynopsis));
    }
    PhpScriptSettings settings;
    settings.name = args[1];
    bool replace = false;
    std::string* const required[] = {&settings.form_page, &settings.recipient, &settings.success,
                                     &settings.failure};
    const std::string_view required_names[] = {"form-page", "recipient", "success", "failure"};
    const FieldValues values = ParseAssignments(args, 2);
    for (const auto& [name, value] : values) {
        const auto* known = std::find(std::begin(required_names), std::end(required_names), name);
        if (known != std::end(required_names)) {
            *required[known - std::begin(required_names)] = value;
        } else if (name == "replace") {
            if (value != "yes" && value != "no") {
                throw UsageError("replace must be yes or no");
            }
            replace = value == "yes";
        } else {
            throw UsageError("'" + name +
                             "' is not a setting of the script (form-page, recipient, success, "
                             "failure, replace)");
        }
    }
    for (std::string_view name : required_names) {
        if (values.find(name) == values.end()) {
            throw UsageError(std::string(name) + "= is missing");
        }
    }
    const QFileInfo project(QString::fromStdString(args[0]));
    if (!project.isDir()) {
        throw CommandError("\"" + args[0] + "\" is not a folder");
    }
    const std::string folder = project.absoluteFilePath().toStdString() + "/";
    const std::string path = CreatePhpScript(folder, settings, [&](const std::string& file_name) {
        if (!replace) {
            throw CommandError("The script " + file_name +
                               " already exists; give replace=yes to replace it");
        }
        return true;
    });
    out << path << '\n';
    return 0;
}

} // namespace

std::vector<Command> FormCommands() {
    return {
        {"form", kFormSynopsis, "makes the fields of a page post to a script",
         "Prepares the form of the page file PAGE as \"Prepare your Form\" does: the\n"
         "form's opening tag, posting to SCRIPT (empty when not given), goes directly\n"
         "before the declaration block and \"</form>\" directly before \"</html>\",\n"
         "behind the areas, so that the form holds every field of the page.\n"
         "Prints the form's declaration (Form1). Preparing again adds another form.\n",
         FormCommand},
        {"php", kPhpSynopsis, "writes a PHP script that mails a page's form",
         "Writes NAME.php into the project folder PROJECT, as \"Create a PHP script\"\n"
         "does, and prints its path. The script mails every field of the form on the\n"
         "project page PAGE (text and password fields, text areas, drop-down lists,\n"
         "list boxes, check boxes, radio button groups) to ADDRESS, one address, from\n"
         "ADDRESS, one \"name: value\" line a field, and then shows the success or the\n"
         "failure TARGET (a page name or an address). It answers only a form's POST:\n"
         "a plain visit is sent to PAGE and mails nothing; more than 64 KB of fields\n"
         "is refused; a filled robot trap shows success and mails nothing. A field\n"
         "whose name holds \"mail\" gives the Reply-To when it is one valid address.\n"
         "A field whose name is not a PHP variable name (letters, digits, underscores,\n"
         "no leading digit) is refused.\n"
         "An existing script is replaced only with replace=yes.\n",
         PhpCommand},
    };
}

} // namespace qf::cli
