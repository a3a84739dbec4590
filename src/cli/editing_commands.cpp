#include "check/site_check.h"
#include "cli_commands.h"
#include "workspace/project.h"

#include "components/component_reading.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "error.h"
#include "site/shared_parts.h"
#include "site/site_menu.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/component_editing.h"
#include "workspace/component_values.h"

#include <algorithm>
#include <charconv>
#include <iostream>

#include <optional>

namespace qf::cli {

namespace {

constexpr std::string_view kModifyAreaSynopsis =
    "modify-area PAGE AREA [width=N] [height=N] [inner=N] [outer=N] [align=TEXT] "
    "[valign=TEXT] [bgcolor=COLOUR] [bordercolor=COLOUR]";
constexpr std::string_view kPlatformSynopsis = "platform PAGE AREA [count=K] [width=W] [height=H]";

int WholeNumber(std::string_view field, const std::string& value) {
    int number = 0;
    const auto [stop, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (value.empty() || error != std::errc() || stop != value.data() + value.size()) {
        throw CommandError(std::string(field) + " must be a whole number, not '" + value + "'");
    }
    return number;
}

// A component is named exactly as Select Component lists it: "Image01" is
// not "Image1".
void RequireListedComponent(const Workspace& workspace, const std::string& entry) {
    const std::vector<std::string>& entries = workspace.component_list.entries;
    if (std::find(entries.begin(), entries.end(), entry) == entries.end()) {
        ComponentToEdit(entry); // says what is wrong with the text itself
        throw CommandError(entry + " is not on this page");
    }
}

// The page opened with the Select Area and Select Component texts set, as
// the user would have picked them. An area is named exactly, as "Area2": no
// other text, whatever digits it ends in, reaches an area here.
Workspace WorkspaceWith(const Args& args, std::string* area_text, std::string* component_text) {
    Workspace workspace = OpenWorkspace(args[0]);
    if (area_text != nullptr) {
        ExactAreaNumber(workspace.page_text, *area_text);
        workspace.area_list.text = *area_text;
    }
    if (component_text != nullptr) {
        RequireListedComponent(workspace, *component_text);
        workspace.component_list.text = *component_text;
    }
    return workspace;
}

void PrintArea(std::ostream& out, const AreaReading& reading) {
    const AreaFields& f = reading.fields;
    out << "width=" << f.width << "\nheight=" << f.height << '\n';
    if (reading.shape == AreaShape::Table) {
        out << "inner=" << f.inner << "\nouter=" << f.outer << "\nalign=" << f.align
            << "\nvalign=" << f.valign << '\n';
    }
    out << "bgcolor=" << f.background << "\nbordercolor=" << f.border_colour << '\n';
}

int ModifyAreaCommand(const Args& args, std::ostream& out) {
    if (args.size() < 2) {
        throw UsageError("usage: quenfort-cli " + std::string(kModifyAreaSynopsis));
    }
    AreaChanges changes;
    for (const auto& [name, value] : ParseAssignments(args, 2)) {
        if (name == "width") {
            changes.width = WholeNumber(name, value);
        } else if (name == "height") {
            changes.height = WholeNumber(name, value);
        } else if (name == "inner") {
            changes.inner = WholeNumber(name, value);
        } else if (name == "outer") {
            changes.outer = WholeNumber(name, value);
        } else if (name == "align") {
            changes.align = value;
        } else if (name == "valign") {
            changes.valign = value;
        } else if (name == "bgcolor") {
            changes.background = value;
        } else if (name == "bordercolor") {
            changes.border_colour = value;
        } else {
            throw UsageError("'" + name +
                             "' is not a field of an area (width, height, inner, outer, align, "
                             "valign, bgcolor, bordercolor)");
        }
    }
    std::string area_text = args[1];
    Workspace workspace = WorkspaceWith(args, &area_text, nullptr);
    ModifyArea(workspace, changes);
    PrintArea(out, ReadArea(workspace.page_text, AreaToEdit(area_text)));
    return 0;
}

int DeleteAreaCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 2, "delete-area PAGE AREA");
    std::string area_text = args[1];
    Workspace workspace = WorkspaceWith(args, &area_text, nullptr);
    const AreaDeletion deletion = DeleteArea(workspace);
    PrintLines(out, deletion.area_entries);
    PrintLines(out, deletion.component_entries);
    return 0;
}

int ComponentSourceCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 2, "component-source PAGE ENTRY");
    const Workspace workspace = OpenWorkspace(args[0]);
    RequireListedComponent(workspace, args[1]);
    out << ShownLineBreaks(ComponentSource(workspace.page_text, args[1])) << '\n';
    return 0;
}

int SetComponentSourceCommand(const Args& args, std::ostream&) {
    ExpectArgs(args, 2, "set-component-source PAGE ENTRY");
    std::string entry = args[1];
    Workspace workspace = WorkspaceWith(args, nullptr, &entry);
    ComponentToEdit(entry); // a bad entry is refused before standard input is read
    SaveComponentSource(workspace, WithoutFinalLineBreak(ReadStandardInput()));
    return 0;
}

constexpr std::string_view kFormEntry = "Form";

// FIELD=VALUE lines; a list prints one line for each of its items (the field
// named again), or one empty line when it has none.
void PrintFields(std::ostream& out, const ComponentReading& reading) {
    for (const auto& [name, value] : reading.fields) {
        std::string_view rest = value;
        do {
            const std::size_t end = rest.find('\n');
            out << name << '=' << rest.substr(0, end) << '\n';
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        } while (!rest.empty());
    }
}

int ComponentValuesCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 2, "component-values PAGE ENTRY");
    const Workspace workspace = OpenWorkspace(args[0]);
    ComponentReading reading;
    if (args[1] == kFormEntry) {
        const BlockPosition block = FindBlock(workspace.page_text, kFormEntry);
        if (!block.found()) {
            throw CommandError("The page has no form");
        }
        reading = ReadFormBody(std::string_view(workspace.page_text)
                                   .substr(block.content_begin, block.end - block.content_begin));
    } else {
        reading = ReadComponent(workspace.page_text, args[1]);
    }
    if (!reading.readable) {
        throw CommandError(args[1] + " cannot be read back: " + reading.reason);
    }
    PrintFields(out, reading);
    return 0;
}

constexpr std::string_view kModifyComponentSynopsis =
    "modify-component PAGE ENTRY [FIELD=VALUE]... [--all-pages]";

int ModifyComponentCommand(const Args& given, std::ostream& out) {
    Args args;
    bool all_pages = false;
    for (const std::string& arg : given) {
        if (arg == "--all-pages") {
            all_pages = true;
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() < 2) {
        throw UsageError("usage: quenfort-cli " + std::string(kModifyComponentSynopsis));
    }
    const FieldValues changes = ParseAssignments(args, 2);
    std::string entry = args[1];
    Workspace workspace = WorkspaceWith(args, nullptr, &entry);
    const std::string part = SharedPartOfEntry(workspace, entry);
    if (part.empty() || !all_pages) {
        ModifyComponent(workspace, entry, changes);
        if (!part.empty()) {
            std::cerr << "Note: " << entry << " is a copy of the shared part \"" << part
                      << "\"; the other pages were not changed (--all-pages changes them).\n";
        }
        return 0;
    }
    const SiteChangeReport report = ModifySharedComponent(workspace, entry, changes, true);
    for (const std::string& page : report.written) {
        out << "changed " << EscapedForTerminal(page) << '\n';
    }
    for (const std::string& failed : report.failed) {
        std::cerr << "Not changed: " << EscapedForTerminal(failed) << '\n';
    }
    return report.failed.empty() ? 0 : 1;
}

int ShareCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 3, "share PAGE ENTRY NAME");
    std::string entry = args[1];
    // An area: every component of it.
    if (entry.rfind("Area", 0) == 0) {
        Workspace workspace = WorkspaceWith(args, &entry, nullptr);
        for (const std::string& part : ShareAreaComponents(workspace, entry, args[2])) {
            out << "shared part \"" << EscapedForTerminal(part) << "\"\n";
        }
        return 0;
    }
    Workspace workspace = WorkspaceWith(args, nullptr, &entry);
    ShareComponent(workspace, entry, args[2]);
    out << EscapedForTerminal(entry) << " is now the shared part \"" << EscapedForTerminal(args[2])
        << "\"\n";
    return 0;
}

int PlaceSharedCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 3, "place-shared PAGE AREA NAME");
    std::string area = args[1];
    Workspace workspace = WorkspaceWith(args, &area, nullptr);
    out << PlaceSharedPart(workspace, args[2]) << '\n';
    return 0;
}

int SiteMenuCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 2, "site-menu PAGE AREA");
    std::string area = args[1];
    Workspace workspace = WorkspaceWith(args, &area, nullptr);
    out << InsertSiteMenu(workspace) << '\n';
    return 0;
}

int UnshareCommand(const Args& args, std::ostream&) {
    ExpectArgs(args, 2, "unshare PAGE ENTRY");
    std::string entry = args[1];
    Workspace workspace = WorkspaceWith(args, nullptr, &entry);
    UnshareComponent(workspace, entry);
    return 0;
}

int SharedPartsCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 1, "shared-parts PROJECT");
    const std::string folder = FolderPath(args[0]);
    for (const std::string& name : SharedPartNames(folder)) {
        out << EscapedForTerminal(name) << ':';
        for (const std::string& page : PagesSharing(folder, name)) {
            out << ' ' << EscapedForTerminal(page);
        }
        out << '\n';
    }
    return 0;
}

int DeleteComponentCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 2, "delete-component PAGE ENTRY");
    std::string entry = args[1];
    Workspace workspace = WorkspaceWith(args, nullptr, &entry);
    out << DeleteComponent(workspace) << '\n';
    return 0;
}

int PlatformCommand(const Args& args, std::ostream& out) {
    if (args.size() < 2) {
        throw UsageError("usage: quenfort-cli " + std::string(kPlatformSynopsis));
    }
    int count = kMinPlatformAreas;
    std::optional<int> width;
    int height = 0;
    for (const auto& [name, value] : ParseAssignments(args, 2)) {
        if (name == "count") {
            count = WholeNumber(name, value);
        } else if (name == "width") {
            width = WholeNumber(name, value);
        } else if (name == "height") {
            height = WholeNumber(name, value);
        } else {
            throw UsageError("'" + name + "' is not a field of a platform (count, width, height)");
        }
    }
    std::string area_text = args[1];
    Workspace workspace = WorkspaceWith(args, &area_text, nullptr);
    // Without a width, the areas share the area's width.
    if (!width) {
        width = ProposedPlatformWidth(
            workspace.page_text, SelectedAreaNumber(workspace.area_list.text).value_or(0), count);
    }
    PrintLines(out, InsertPlatform(workspace, count, *width, height));
    return 0;
}

int LineBreakCommand(const Args& args, std::ostream&) {
    ExpectArgs(args, 2, "line-break PAGE AREA");
    std::string area_text = args[1];
    Workspace workspace = WorkspaceWith(args, &area_text, nullptr);
    InsertLineBreak(workspace);
    return 0;
}

int InsertHtmlCommand(const Args& given, std::ostream& out) {
    Args args;
    bool component = false;
    for (const std::string& arg : given) {
        if (arg == "--component") {
            component = true;
        } else {
            args.push_back(arg);
        }
    }
    ExpectArgs(args, 2, "insert-html PAGE AREA [--component]");
    std::string area_text = args[1];
    Workspace workspace = WorkspaceWith(args, &area_text, nullptr);
    const std::string input = ReadStandardInput();
    const std::string_view code = WithoutFinalLineBreak(input);
    if (component) {
        out << InsertHtmlComponent(workspace, code) << '\n';
    } else {
        InsertHtml(workspace, code);
    }
    return 0;
}

} // namespace

std::vector<Command> EditingCommands() {
    return {
        {"modify-area", kModifyAreaSynopsis,
         "changes the size, spacings, alignment and colours of an area",
         "Does what OK of the \"Modify an Area\" dialog does for the area AREA (its name\n"
         "exactly, such as Area2) of the page file PAGE. A field left out keeps the\n"
         "value read from the page. Width sets the area's cell and grows or shrinks its\n"
         "own table by as much. A cell placed beside another area has only width,\n"
         "height, bgcolor and bordercolor, and its width is the cell's alone. Prints the\n"
         "area's fields afterwards, one a line.\n",
         ModifyAreaCommand},
        {"delete-area", "delete-area PAGE AREA", "deletes an area with everything in it",
         "Deletes the area AREA of the page file PAGE with its components, its line\n"
         "breaks and HTML code and the areas of platforms inside it, together with\n"
         "their declarations. Prints the Select Area and Select Component entries that\n"
         "went, one a line. It does not ask.\n",
         DeleteAreaCommand},
        {"component-source", "component-source PAGE ENTRY", "prints a component's HTML source",
         "Prints the HTML between the markers of the component ENTRY (a Select\n"
         "Component entry such as \"Image Link2\") of the page file PAGE, as the\n"
         "\"Component Modify\" dialog shows it, its line breaks as line breaks.\n",
         ComponentSourceCommand},
        {"set-component-source", "set-component-source PAGE ENTRY",
         "replaces a component's HTML source with standard input",
         "Does what Save Component of the \"Component Modify\" dialog does: the\n"
         "component ENTRY of the page file PAGE gets the text read from standard input\n"
         "as its source, its line breaks kept (the line break that ends the input is\n"
         "not part of it). The component keeps its markers and number. A source\n"
         "holding \"<!---\" or \"---!>\" is refused.\n",
         SetComponentSourceCommand},
        {"component-values", "component-values PAGE ENTRY",
         "prints a component's field values, read back from its HTML",
         "Prints the field values of the component ENTRY (a Select Component entry\n"
         "such as \"Text Link2\") of the page file PAGE as FIELD=VALUE lines, in the\n"
         "order 'quenfort-cli kinds' lists the fields (a data table's cells row by\n"
         "row), as its own dialog shows them when it modifies it. A list prints one\n"
         "line for each item. ENTRY \"Form\" reads the page's first form. HTML that\n"
         "was changed by hand or made otherwise does not read back: the command says\n"
         "where it differs and exits with status 1.\n",
         ComponentValuesCommand},
        {"modify-component", kModifyComponentSynopsis,
         "changes fields of a component, as its Modify dialog does",
         "Does what OK of the component's own dialog does when it modifies the\n"
         "component ENTRY of the page file PAGE: the fields named change, every other\n"
         "field keeps the value read back from the page (see component-values), and\n"
         "the HTML is built anew in the same place with the same number. A list's\n"
         "items are given as one value with line breaks. A component whose HTML does\n"
         "not read back is refused with the reason. For a copy of a shared part,\n"
         "--all-pages changes the part and every page that shows it (printing each\n"
         "page changed; exit 1 when some page could not be written, named on stderr);\n"
         "without it only this page changes, and a note says so.\n",
         ModifyComponentCommand},
        {"share", "share PAGE ENTRY NAME", "makes a component a part shared by several pages",
         "Does what Share on Other Pages does: the component ENTRY of the page file\n"
         "PAGE becomes the shared part NAME (letters, digits, spaces, \"_\" and \"-\"),\n"
         "kept in the project's hidden folder .quenfort-shared, which is never\n"
         "published. The page keeps the component between two comments that name\n"
         "the part. Place it on other pages with place-shared. ENTRY may be an area\n"
         "(Area2): each of its components not shared yet becomes a part, NAME for\n"
         "one, else \"NAME 1\", \"NAME 2\"... in order, each printed.\n",
         ShareCommand},
        {"place-shared", "place-shared PAGE AREA NAME",
         "puts a copy of a shared part into an area of a page",
         "Puts a copy of the shared part NAME at the end of the area AREA of the page\n"
         "file PAGE, as a new component of the part's kind, and prints its Select\n"
         "Component entry.\n",
         PlaceSharedCommand},
        {"site-menu", "site-menu PAGE AREA", "puts the site menu into an area of a page",
         "Puts the site menu at the end of the area AREA of the page file PAGE and\n"
         "prints its Select Component entry: the project's pages as a list of links,\n"
         "the page's own marked, in the order Site Settings give (site-settings\n"
         "menu=PAGE<tab>TEXT<tab>HIDDEN), the other pages after them. It is the shared\n"
         "part \"Site Menu\": the editor writes it anew on every page that shows it\n"
         "when a page is added, renamed or deleted or the order changes. Published,\n"
         "it is the site's navigation, folded behind a Menu button on small screens.\n",
         SiteMenuCommand},
        {"unshare", "unshare PAGE ENTRY", "makes a shared part's copy an ordinary component",
         "The copy ENTRY of a shared part on the page file PAGE becomes an ordinary\n"
         "component: later changes of the part no longer reach it.\n",
         UnshareCommand},
        {"shared-parts", "shared-parts PROJECT",
         "lists the shared parts and the pages showing them",
         "Prints each shared part of the project PROJECT as NAME: PAGE PAGE ...\n",
         SharedPartsCommand},
        {"delete-component", "delete-component PAGE ENTRY",
         "deletes a component and its declaration",
         "Deletes the component ENTRY of the page file PAGE and its declaration, and\n"
         "prints the Select Component entry that went. A component whose area was\n"
         "deleted loses its declaration. It does not ask.\n",
         DeleteComponentCommand},
        {"platform", kPlatformSynopsis, "puts a row of new areas side by side into an area",
         "Does what OK of the platform dialog does: COUNT areas (2 to 20, default 2),\n"
         "each WIDTH wide (default: the area's width divided by COUNT; at least 1) and\n"
         "HEIGHT high (default 0), side by side at the end of the\n"
         "area AREA of the page file PAGE. Prints the new Select Area entries.\n",
         PlatformCommand},
        {"line-break", "line-break PAGE AREA", "puts a line break at the end of an area",
         "Puts \"<br>\" at the end of the area AREA of the page file PAGE.\n", LineBreakCommand},
        {"insert-html", "insert-html PAGE AREA [--component]",
         "puts HTML code from standard input into an area",
         "Does what Insert Code of the \"Insert HTML code\" dialog does: the text read\n"
         "from standard input goes at the end of the area AREA of the page file PAGE,\n"
         "its line breaks kept as a browser reads them (the one that ends the input is\n"
         "not part of it) and characters outside ASCII as character references. Code\n"
         "holding \"<!---\" or \"---!>\" is refused. With --component the code is\n"
         "kept as an HTML Code component (printed as its Select Component entry),\n"
         "which can be selected, modified and deleted on its own.\n",
         InsertHtmlCommand},
    };
}

} // namespace qf::cli
