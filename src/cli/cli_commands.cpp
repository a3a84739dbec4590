#include "cli_commands.h"

#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"

namespace qf::cli {

namespace {

void PrintLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

int AreasCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 1, "areas PAGE");
    PrintLines(out, AreaEntries(ReadPageFile(args[0])));
    return 0;
}

int ComponentsCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 1, "components PAGE");
    PrintLines(out, ComponentEntries(ReadPageFile(args[0])));
    return 0;
}

int DeclarationsCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 1, "declarations PAGE");
    PrintLines(out, DeclarationNames(ReadPageFile(args[0])));
    return 0;
}

int CheckCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 1, "check PAGE");
    const std::vector<std::string> problems = CheckPage(ReadPageFile(args[0]));
    PrintLines(out, problems);
    return problems.empty() ? 0 : 1;
}

void PrintProgramHelp(std::ostream& out) {
    out << "Usage: quenfort-cli COMMAND [ARGUMENTS]\n"
           "Reads and changes the pages of a Quenfort Website Developer project.\n\n"
           "Commands:\n";
    for (const Command& command : Commands()) {
        out << "  " << command.synopsis << "\n      " << command.summary << '\n';
    }
    out << "\nquenfort-cli COMMAND --help tells more about one command.\n"
           "Exit status: 0 success, 1 the command refused or failed, 2 usage error.\n";
}

} // namespace

void ExpectArgs(const Args& args, std::size_t count, std::string_view synopsis) {
    if (args.size() != count) {
        throw UsageError("usage: quenfort-cli " + std::string(synopsis));
    }
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"areas", "areas PAGE", "lists the Select Area entries of a page, one a line",
         "Prints the entries the Select Area list shows for the page: \"Area\" and the\n"
         "area's number for every area declared in the page, in declaration order.\n",
         AreasCommand},
        {"components", "components PAGE",
         "lists the Select Component entries of a page, one a line",
         "Prints the entries the Select Component list shows for the page: the display\n"
         "name and number of every declared component, in declaration order.\n",
         ComponentsCommand},
        {"declarations", "declarations PAGE",
         "lists the marker names of a page's declaration block, one a line",
         "Prints the marker name (kind tag and number) of every declaration in the\n"
         "page's declaration block, in block order.\n",
         DeclarationsCommand},
        {"check", "check PAGE", "reports what is structurally wrong with a page",
         "Prints one line for each problem found: a declaration without its block, a\n"
         "numbered block without a declaration, a marker name used by two blocks, a\n"
         "start marker without its end marker or the reverse, no declaration block.\n"
         "Exits with 0 when the page is sound, 1 otherwise.\n",
         CheckCommand},
    };
    return commands;
}

int Run(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        PrintProgramHelp(err);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintProgramHelp(out);
        return 0;
    }
    const Command* command = nullptr;
    for (const Command& candidate : Commands()) {
        if (candidate.name == args[0]) {
            command = &candidate;
        }
    }
    if (command == nullptr) {
        err << "quenfort-cli: unknown command '" << args[0] << "'\n"
            << "Try 'quenfort-cli --help'.\n";
        return 2;
    }
    const Args rest(args.begin() + 1, args.end());
    for (const std::string& arg : rest) {
        if (arg == "--help" || arg == "-h") {
            out << "Usage: quenfort-cli " << command->synopsis << "\n\n" << command->help;
            return 0;
        }
    }
    try {
        return command->run(rest, out);
    } catch (const UsageError& error) {
        err << error.what() << "\nTry 'quenfort-cli " << command->name << " --help'.\n";
        return 2;
    } catch (const CommandError& error) {
        err << error.what() << '\n';
        return 1;
    }
}

} // namespace qf::cli
