#include "cli_commands.h"

#include "check/site_check.h"

#include "about/system_info.h"
#include "about/version.h"
#include "document/file_io.h"
#include "error.h"
#include "workspace/page_commands.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QFileInfo>

namespace qf::cli {

namespace {

int NewProjectCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 2, "new-project NAME LOCATION");
    Workspace workspace;
    // A relative location is taken from the shell's current folder.
    const std::string location =
        args[1].empty()
            ? args[1]
            : QFileInfo(QString::fromStdString(args[1])).absoluteFilePath().toStdString();
    out << CreateProject(workspace, location, args[0]).folder << '\n';
    return 0;
}

int PagesCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 1, "pages PROJECT");
    // One name a line, whatever a name holds: control characters escaped.
    for (const std::string& page : ProjectPages(FolderPath(args[0]))) {
        out << EscapedForTerminal(page) << '\n';
    }
    return 0;
}

int DeletePageCommand(const Args& args, std::ostream&) {
    constexpr std::string_view synopsis = "delete-page PAGE [for-good=yes]";
    if (args.empty() || args.size() > 2) {
        throw UsageError("usage: quenfort-cli " + std::string(synopsis));
    }
    const bool for_good = args.size() == 2;
    if (for_good && args[1] != "for-good=yes") {
        throw UsageError("usage: quenfort-cli " + std::string(synopsis));
    }
    Workspace workspace;
    // Only a page file is deleted; anything else is named for what it is.
    const std::string problem = PageFileProblem(args[0]);
    if (!problem.empty()) {
        throw CommandError("Cannot delete \"" + args[0] + "\". " + problem);
    }
    workspace.page_path = args[0];
    workspace.page_name = BaseName(args[0]);
    if (for_good) {
        DeleteOpenPage(workspace);
    } else if (TrashOpenPage(workspace) == PageDeletion::NoTrash) {
        throw CommandError("There is no trash for \"" + args[0] +
                           "\"; delete it for good with for-good=yes.");
    }
    workspace.project_folder = FolderOfFile(args[0]);
    return RefreshSiteMenuFor(workspace);
}

int AboutCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 0, "about");
    out << "Quenfort Website Developer v" << kVersion << '\n'
        << "Operating System: " << OsLine(CurrentOsVersion()) << '\n'
        << "Physical Memory: " << CurrentMemoryLine() << '\n';
    return 0;
}

} // namespace

std::vector<Command> ProjectCommands() {
    return {
        {"new-project", "new-project NAME LOCATION",
         "creates the project folder NAME in the folder LOCATION",
         "Creates the folder NAME inside the existing folder LOCATION, as the editor's\n"
         "\"Create a New Project\" does, and prints its path (ending in \"/\"). A folder\n"
         "that exists already is taken as it is. NAME must be one folder name.\n",
         NewProjectCommand},
        {"pages", "pages PROJECT", "lists the pages of a project folder, one a line",
         "Prints the names of the project folder's \"*.html\" and \"*.php\" files, as the\n"
         "editor's Project Pages list shows them: sorted without regard to case.\n",
         PagesCommand},
        {"delete-page", "delete-page PAGE [for-good=yes]",
         "moves a page file to the desktop's trash",
         "Moves the page file to the desktop's trash, as the editor's \"Delete Project\n"
         "Page\" does. Where the system has no trash for the file this refuses;\n"
         "for-good=yes deletes the file instead.\n",
         DeletePageCommand},
        {"about", "about", "prints the about box's lines",
         "Prints the product's name and version, the operating-system line and the\n"
         "physical-memory line, as the editor's about box shows them.\n",
         AboutCommand},
    };
}

} // namespace qf::cli
