#include "cli_commands.h"

#include "check/site_check.h"
#include "site/site_menu.h"
#include "workspace/workspace.h"

#include <iostream>

#include "about/version.h"
#include "error.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace qf::cli {

namespace {

void PrintProgramHelp(std::ostream& out) {
    out << "Usage: quenfort-cli COMMAND [ARGUMENTS]\n"
           "Reads and changes the pages of a Quenfort Website Developer project.\n\n"
           "Commands:\n";
    for (const Command& command : Commands()) {
        out << "  " << command.synopsis << "\n      " << command.summary << '\n';
    }
    out << "\nquenfort-cli COMMAND --help tells more about one command;\n"
           "quenfort-cli --version prints the version.\n"
           "Exit status: 0 success, 1 the command refused or failed, 2 usage error.\n";
}

} // namespace

void ExpectArgs(const Args& args, std::size_t count, std::string_view synopsis) {
    if (args.size() != count) {
        throw UsageError("usage: quenfort-cli " + std::string(synopsis));
    }
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        for (auto group : {DocumentCommands, ComponentCommands, FormCommands, LayoutCommands,
                           ProjectCommands, EditingCommands, SiteCommands, PublishCommands}) {
            for (const Command& command : group()) {
                all.push_back(command);
            }
        }
        return all;
    }();
    return commands;
}

void PrintLines(std::ostream& out, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

std::string ReadStandardInput() {
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw CommandError(std::string("Cannot read the standard input. ") +
                               std::strerror(errno) + "; nothing was written.");
        }
        if (n == 0) {
            return text;
        }
        text.append(buffer, std::size_t(n));
    }
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
    if (args[0] == "--version") {
        out << "quenfort-cli " << kVersion << '\n';
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

int RefreshSiteMenuFor(Workspace& workspace) {
    const SiteChangeReport report = RefreshSiteMenuIfAny(workspace);
    for (const std::string& failed : report.failed) {
        std::cerr << "The site menu was not updated on " << EscapedForTerminal(failed) << '\n';
    }
    return report.failed.empty() ? 0 : 1;
}

} // namespace qf::cli
