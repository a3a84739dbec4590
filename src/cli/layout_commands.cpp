#include "cli_commands.h"

#include "document/file_io.h"
#include "error.h"
#include "workspace/app_folder.h"
#include "workspace/layout_designer.h"
#include "workspace/layouts.h"
#include "workspace/new_page.h"

#include <charconv>
#include <iostream>
#include <optional>
#include <sstream>

namespace qf::cli {

namespace {

constexpr std::string_view kNewPageSynopsis =
    "new-page PROJECT NAME [layout=N] [header=TEXT] [background=TEXT] [border=N] [fit=0|1] "
    "[replace=yes]";

bool ParseInt(std::string_view text, int& value) {
    if (text.empty()) {
        return false;
    }
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(begin, end, value);
    return error == std::errc() && stop == end;
}

int IntOption(std::string_view key, std::string_view value, std::string_view context) {
    int number = 0;
    if (!ParseInt(value, number)) {
        throw UsageError(std::string(context) + std::string(key) +
                         " must be a whole number, not '" + std::string(value) + "'");
    }
    return number;
}

// Splits "key=value"; a usage error without "=".
std::pair<std::string, std::string> KeyValue(const std::string& option, std::string_view context) {
    const std::size_t equals = option.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw UsageError(std::string(context) + "expected KEY=VALUE, not '" + option + "'");
    }
    return {option.substr(0, equals), option.substr(equals + 1)};
}

int NewPageCommand(const Args& args, std::ostream& out) {
    if (args.size() < 2) {
        throw UsageError("usage: quenfort-cli " + std::string(kNewPageSynopsis));
    }
    Workspace workspace;
    workspace.project_folder = args[0];
    if (workspace.project_folder.empty()) {
        throw UsageError("usage: quenfort-cli " + std::string(kNewPageSynopsis));
    }
    if (workspace.project_folder.back() != '/') {
        workspace.project_folder += '/';
    }
    NewPageProperties properties;
    properties.name = args[1];
    properties.fit_small_screens = true;
    std::optional<int> layout; // the newest unless given
    ExistingPage existing = ExistingPage::Refuse;
    for (std::size_t i = 2; i < args.size(); ++i) {
        const auto [key, value] = KeyValue(args[i], "");
        if (key == "layout") {
            layout = IntOption(key, value, ""); // 0 and below: no such layout
        } else if (key == "header") {
            properties.header = value;
        } else if (key == "background") {
            properties.background = value;
        } else if (key == "border") {
            properties.border = IntOption(key, value, "");
        } else if (key == "fit" && (value == "0" || value == "1")) {
            properties.fit_small_screens = value == "1";
        } else if (key == "replace" && (value == "yes" || value == "no")) {
            existing = value == "yes" ? ExistingPage::Replace : ExistingPage::Refuse;
        } else {
            throw UsageError("unknown option '" + args[i] + "'");
        }
    }
    CheckNewPageProperties(properties); // refuses bad values before anything else
    if (!IsFolder(workspace.project_folder)) {
        throw CommandError("The project folder \"" + args[0] + "\" does not exist.");
    }
    workspace.app_folder = PrepareAppFolder();
    if (!layout) {
        const std::vector<int> numbers = LayoutNumbers(workspace.app_folder);
        if (numbers.empty()) {
            throw CommandError("There are no layouts in \"" + LaysFolder(workspace.app_folder) +
                               "\".");
        }
        layout = numbers.back();
    }
    out << CreatePageFromLayout(workspace, properties, *layout, existing) << '\n';
    return RefreshSiteMenuFor(workspace);
}

int LayoutsCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 0, "layouts");
    for (int number : LayoutNumbers(PrepareAppFolder())) {
        out << number << '\n';
    }
    return 0;
}

std::string TableOption(const std::string& value, std::string_view context) {
    if (value.empty()) {
        throw UsageError(std::string(context) + "a table is NONE or a name like Table3");
    }
    return value;
}

LayoutArea ParseAdd(const std::vector<std::string>& words, const std::string& context) {
    LayoutArea area;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const auto [key, value] = KeyValue(words[i], context);
        if (key == "width") {
            area.width = IntOption(key, value, context);
        } else if (key == "height") {
            area.height = IntOption(key, value, context);
        } else if (key == "inner") {
            area.inner_spacing = IntOption(key, value, context);
        } else if (key == "outer") {
            area.outer_spacing = IntOption(key, value, context);
        } else if (key == "align") {
            area.align = value;
        } else if (key == "valign") {
            area.vertical_align = value;
        } else if (key == "under") {
            area.under = TableOption(value, context);
        } else if (key == "adjacent") {
            area.adjacent = TableOption(value, context);
        } else {
            throw UsageError(context + "unknown field '" + key + "'");
        }
    }
    return area;
}

int DesignLayoutCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 0, "design-layout");
    const std::string app_folder = PrepareAppFolder();
    LayoutDesigner designer;
    std::istringstream input(ReadStandardInput());
    std::string line;
    int line_number = 0;
    while (std::getline(input, line)) {
        ++line_number;
        const std::string context = "line " + std::to_string(line_number) + ": ";
        std::istringstream stream(line);
        std::vector<std::string> words;
        for (std::string word; stream >> word;) {
            words.push_back(word);
        }
        if (words.empty() || words[0].front() == '#') {
            continue;
        }
        try {
            if (words[0] == "add") {
                designer.Commit(ParseAdd(words, context));
            } else if (words[0] == "delete" && words.size() == 2) {
                designer.Delete(words[1]);
            } else if (words[0] == "show" && words.size() == 1) {
                out << designer.Text() << '\n';
            } else if (words[0] == "save" && words.size() == 1) {
                out << designer.Save(app_folder) << '\n';
            } else {
                throw UsageError(context + "expected add, delete TableN, show or save, not '" +
                                 line + "'");
            }
        } catch (const CommandError& error) {
            throw CommandError(context + error.what());
        }
        out.flush();
    }
    return 0;
}

} // namespace

std::vector<Command> LayoutCommands() {
    return {
        {"new-page", kNewPageSynopsis, "creates a project page from a layout",
         "Creates the page NAME (\".html\" is added unless the name ends in it) in the\n"
         "project folder PROJECT from a layout of the application folder, and prints\n"
         "the page's file name.\n"
         "  layout=N        the layout's number (default: the newest layout)\n"
         "  header=TEXT     the page title (default: empty)\n"
         "  background=TEXT a colour \"#RRGGBB\" or an image path (default: none)\n"
         "  border=N        the top and left margin in pixels (default: 0)\n"
         "  fit=0|1         fit small screens, as page-properties fit=1 does (default: 1)\n"
         "  replace=yes     replace a page of that name (default: refuse)\n",
         NewPageCommand},
        {"layouts", "layouts", "lists the numbers of the layouts, one a line",
         "Prints the number of every layout file in the application folder's lays\n"
         "folder, in numeric order.\n",
         LayoutsCommand},
        {"design-layout", "design-layout", "designs a layout from commands read on standard input",
         "Reads layout designer commands from standard input, one a line, starting from\n"
         "the empty layout:\n"
         "  add width=W height=H inner=P outer=S align=A valign=V under=TableN|NONE\n"
         "      adjacent=TableN|NONE\n"
         "      adds a table (fields left out are 0, empty or NONE); adjacent=TableN\n"
         "      puts it in the row of TableN, under=TableN directly behind TableN\n"
         "  delete TableN   deletes a table\n"
         "  show            prints the working text\n"
         "  save            saves the layout as the next layout file and prints its number\n"
         "Empty lines and lines starting with # are skipped.\n",
         DesignLayoutCommand},
    };
}

} // namespace qf::cli
