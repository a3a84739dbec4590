#pragma once

#include "components/component_fields.h"
#include "workspace/workspace.h"

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qf::cli {

// Wrong arguments: the command line exits with status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

using Args = std::vector<std::string>;

struct Command {
    std::string_view name;
    std::string_view synopsis; // "areas PAGE"
    std::string_view summary;  // one line for the program's help
    std::string_view help;     // the command's own help, after its synopsis
    int (*run)(const Args& args, std::ostream& out);
};

// Every command, gathered from the groups below (one file each).
const std::vector<Command>& Commands();
std::vector<Command> DocumentCommands();  // areas, components, declarations, check
std::vector<Command> ComponentCommands(); // insert, kinds, page-properties
std::vector<Command> LayoutCommands();    // new-page, layouts, design-layout
std::vector<Command> ProjectCommands();   // new-project, pages, delete-page, about
std::vector<Command> FormCommands();      // form, php
std::vector<Command> EditingCommands();   // modify-area, delete-area, component-source, ...
std::vector<Command> SiteCommands();      // check-site, site-settings, render, export
std::vector<Command> PublishCommands();   // publish, publish-target

void PrintLines(std::ostream& out, const std::vector<std::string>& lines);

// All of standard input. A failed read is an error (CommandError with the
// system's reason), never taken for its end.
std::string ReadStandardInput();

// Runs the command line; returns the exit status.
int Run(const Args& args, std::ostream& out, std::ostream& err);

// FIELD=VALUE arguments from args[first] on, each field at most once.
FieldValues ParseAssignments(const Args& args, std::size_t first);

// Opens the page file as the editor would, with the project folder the page's own.
Workspace OpenWorkspace(const std::string& page);

// Exactly `count` positional arguments, or a usage error.
void ExpectArgs(const Args& args, std::size_t count, std::string_view synopsis);

// After a page was added, renamed or deleted, or the menu's order changed:
// the site menu written anew where it is shown, the pages it could not be
// written on named on stderr. Returns the exit status (1 for such a page).
int RefreshSiteMenuFor(Workspace& workspace);

} // namespace qf::cli
