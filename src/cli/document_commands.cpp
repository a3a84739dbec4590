#include "cli_commands.h"

#include "document/page_check.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"

namespace qf::cli {

namespace {

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

} // namespace

std::vector<Command> DocumentCommands() {
    return {
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
}

} // namespace qf::cli
