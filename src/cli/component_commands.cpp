#include "cli_commands.h"

#include "components/component_fields.h"
#include "components/custom_tables.h"
#include "components/insertion.h"
#include "components/page_properties.h"
#include "components/picture_import.h"
#include "document/file_io.h"
#include "document/selection_lists.h"
#include "error.h"
#include "loaded_modules.h"
#include "workspace/app_folder.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <QFileInfo>

#include <charconv>

namespace qf::cli {

// FIELD=VALUE arguments, each field at most once.
FieldValues ParseAssignments(const Args& args, std::size_t first) {
    FieldValues values;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::size_t equals = args[i].find('=');
        if (equals == std::string::npos || equals == 0) {
            throw UsageError("'" + args[i] + "' is not of the form FIELD=VALUE");
        }
        const std::string name = args[i].substr(0, equals);
        if (!values.emplace(name, args[i].substr(equals + 1)).second) {
            throw UsageError("the field '" + name + "' is given twice");
        }
    }
    return values;
}

// Opens the page as the editor would, with the project folder the page's own.
// The page's lock is held from here to the command's end, so no other writer
// comes between its reading and its writing.
Workspace OpenWorkspace(const std::string& page) {
    Workspace workspace;
    workspace.hold_page_lock = true;
    workspace.keep_history = false;
    OpenPage(workspace, page);
    workspace.project_folder = FolderOfFile(page);
    return workspace;
}

namespace {

constexpr std::string_view kInsertSynopsis = "insert PAGE AREA KIND [FIELD=VALUE]...";
constexpr std::string_view kPagePropertiesSynopsis =
    "page-properties PAGE [heading=TEXT] [background=COLOUR|PICTURE] [noscroll=0|1] [fit=0|1] "
    "[description=TEXT] [language=TAG] [hidden=0|1]";

std::string KindList() {
    std::string list;
    for (const ComponentSpec& spec : ComponentSpecs()) {
        list += (list.empty() ? "" : ", ") + std::string(spec.kind_tag);
    }
    return list;
}

int InsertCommand(const Args& args, std::ostream& out) {
    if (args.size() < 3) {
        throw UsageError("usage: quenfort-cli " + std::string(kInsertSynopsis));
    }
    const ComponentSpec* spec = FindComponentSpec(args[2]);
    if (spec == nullptr) {
        throw UsageError("'" + args[2] + "' is not a component kind; the kinds are " + KindList());
    }
    const FieldValues values = ParseAssignments(args, 3);
    for (const auto& [name, value] : values) {
        if (FindField(*spec, name) == nullptr) {
            throw UsageError("'" + name + "' is not a field of " + args[2] +
                             " ('quenfort-cli kinds' lists the fields)");
        }
    }
    Workspace workspace = OpenWorkspace(args[0]);
    if (spec->kind_tag == "Roll_Img" || spec->kind_tag == "Custom_Table") {
        workspace.app_folder = PrepareAppFolder(); // holds the script and the custom tables
    }
    ExactAreaNumber(workspace.page_text, args[1]); // no other text names an area here
    workspace.area_list.text = args[1];
    out << InsertComponent(workspace, spec->kind_tag, values) << '\n';
    return 0;
}

std::string FormatText(const FieldSpec& field) {
    switch (field.format) {
    case FieldFormat::kAttribute:
    case FieldFormat::kScript:
        return "text";
    case FieldFormat::kContent:
        return "text, markup allowed";
    case FieldFormat::kLines:
        return "lines, one item each, markup allowed";
    case FieldFormat::kInteger:
        if (field.minimum == 0 && field.maximum == 0) {
            return "integer";
        }
        return "integer " + std::to_string(field.minimum) + ".." + std::to_string(field.maximum);
    case FieldFormat::kFlag:
        return "0 or 1";
    case FieldFormat::kCell:
        return "text of the cell in row R, column C (from 1), markup allowed";
    }
    return "";
}

int KindsCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 0, "kinds");
    for (const ComponentSpec& spec : ComponentSpecs()) {
        out << spec.kind_tag << " (" << spec.display_name << ")\n";
        for (const FieldSpec& field : spec.fields) {
            std::string assignment =
                "  " + std::string(field.name) + "=" + std::string(field.initial);
            assignment.resize(std::max<std::size_t>(assignment.size() + 2, 22), ' ');
            out << assignment << field.label << " [" << FormatText(field) << "]\n";
        }
    }
    return 0;
}

int CustomTablesCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 0, "custom-tables");
    for (int number : CustomTableNumbers(PrepareAppFolder())) {
        out << number << '\n';
    }
    return 0;
}

int PagePropertiesCommand(const Args& args, std::ostream& out) {
    if (args.empty()) {
        throw UsageError("usage: quenfort-cli " + std::string(kPagePropertiesSynopsis));
    }
    PageProperties properties;
    for (const auto& [name, value] : ParseAssignments(args, 1)) {
        if (name == "heading") {
            properties.heading = value;
        } else if (name == "background") {
            properties.background = value;
        } else if (name == "noscroll") {
            if (value != "0" && value != "1") {
                throw UsageError("noscroll must be 0 or 1");
            }
            properties.disable_scrollers = value == "1";
        } else if (name == "fit") {
            if (value != "0" && value != "1") {
                throw UsageError("fit must be 0 or 1");
            }
            properties.fit_small_screens = value == "1";
        } else if (name == "description") {
            properties.description = value;
        } else if (name == "language") {
            properties.language = value;
        } else if (name == "hidden") {
            if (value != "0" && value != "1") {
                throw UsageError("hidden must be 0 or 1");
            }
            properties.hide_from_search = value == "1";
        } else {
            throw UsageError("'" + name +
                             "' is not a page property (heading, background, noscroll, fit, "
                             "description, language, hidden)");
        }
    }
    Workspace workspace = OpenWorkspace(args[0]);
    SetPageProperties(workspace, properties);
    out << workspace.page_header << '\n';
    return 0;
}

std::string AbsolutePath(const std::string& path) {
    return path.empty() ? path
                        : QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
}

constexpr std::string_view kImportPictureSynopsis =
    "import-picture PROJECT FILE [max-side=N] [quality=N] [keep-metadata=0|1]";

// A whole number from `low` to `high` for the option `key`, else a usage error.
int BoundedOption(const std::string& key, const std::string& value, int low, int high) {
    int number = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, number);
    if (value.empty() || error != std::errc() || stop != end || number < low || number > high) {
        throw UsageError(key + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + value + "'");
    }
    return number;
}

// The options after PROJECT and FILE; every one checked before anything is copied.
PictureImportOptions ParsePictureOptions(const Args& args) {
    PictureImportOptions options;
    for (const auto& [key, value] : ParseAssignments(args, 2)) {
        if (key == "max-side" || key == "max-width") { // max-width: its older name
            options.longest_side = BoundedOption(key, value, 0, kLargestPictureWidthLimit);
        } else if (key == "quality") {
            options.quality =
                BoundedOption(key, value, kLowestPictureQuality, kHighestPictureQuality);
        } else if (key == "keep-metadata") {
            if (value != "0" && value != "1") {
                throw UsageError("keep-metadata must be 0 or 1, not '" + value + "'");
            }
            options.strip_metadata = value == "0";
        } else {
            throw UsageError("'" + key +
                             "' is not a picture option (max-side, quality, keep-metadata)");
        }
    }
    return options;
}

int ImportPictureCommand(const Args& args, std::ostream& out) {
    if (args.size() < 2) {
        throw UsageError("usage: quenfort-cli " + std::string(kImportPictureSynopsis));
    }
    const PictureImportOptions options = ParsePictureOptions(args);
    out << ImportPicture(FolderPath(AbsolutePath(args[0])), {}, AbsolutePath(args[1]),
                         PictureImport{options, Pictures().web_picture_processor()})
        << '\n';
    return 0;
}

int ImportFileCommand(const Args& args, std::ostream& out) {
    ExpectArgs(args, 2, "import-file PROJECT FILE");
    out << ImportFile(FolderPath(AbsolutePath(args[0])), {}, AbsolutePath(args[1])) << '\n';
    return 0;
}

} // namespace

std::vector<Command> ComponentCommands() {
    return {
        {"insert", kInsertSynopsis, "inserts a component into an area of a page",
         "Inserts a component of kind KIND at the end of the area AREA (a Select Area\n"
         "entry, written exactly as the list shows it: Area2) of the page file PAGE,\n"
         "exactly as its dialog's OK does,\n"
         "and prints the new Select Component entry (Image2). A field left out takes\n"
         "the dialog's initial value; 'quenfort-cli kinds' lists the kinds and fields.\n"
         "Text is UTF-8; characters outside ASCII enter the page as character\n"
         "references. A list's items are the lines of its items value, a drop-down\n"
         "list's or list box's options the lines of its options value (empty lines\n"
         "skipped). A width, height or maximum length of 0 is not written, so a\n"
         "picture or object takes its own size and a field its browser's; a text or\n"
         "password field's width is in pixels (its CSS width), a text area's in\n"
         "columns. A rollover image copies js.js from the application folder beside\n"
         "the page.\n"
         "A data table's grid is rows=R cols=C (0 or less gives 1, at most 100 each)\n"
         "with its texts as cell.R.C=TEXT, rows and columns counted from 1; cells left\n"
         "out stay empty. A custom table is table=N, a number 'custom-tables' lists\n"
         "(0, the default, is the highest). A background sound goes before the\n"
         "declaration block, but AREA must still name an area of the page, as the\n"
         "dialog opens only with an area selected.\n",
         InsertCommand},
        {"kinds", "kinds", "lists the component kinds with their fields and initial values",
         "Prints every kind that 'insert' takes, with its display name, then one line\n"
         "per field: FIELD=INITIAL VALUE, the dialog's label and the value's form.\n",
         KindsCommand},
        {"custom-tables", "custom-tables", "lists the numbers of the custom tables",
         "Prints the number of every custom table in the application folder's custom\n"
         "subfolder, one a line in numeric order; 'insert PAGE AREA Custom_Table\n"
         "table=N' inserts one.\n",
         CustomTablesCommand},
        {"page-properties", kPagePropertiesSynopsis,
         "changes the title, background, scrolling, small-screen fit and description of a page",
         "Applies the Page Properties dialog to the page file PAGE and prints the new\n"
         "header. Without heading the page keeps its title; a background beginning\n"
         "with # is a colour, any other a picture, an empty one leaves the background\n"
         "as it is; noscroll=1 hides the scroll bars, 0 shows them, and without\n"
         "noscroll they stay as the page has them. fit=1 makes the page fit small\n"
         "screens (a viewport tag and a stylesheet for screens narrower than its\n"
         "areas, put into its head between their own markers; on a page that has\n"
         "them already, measured again), fit=0 takes them out again; without fit\n"
         "the page stays as it is. description=TEXT is what search engines and shared\n"
         "links show of the page (written into its head); an empty one takes it out,\n"
         "and the published page then says its first sentences instead.\n"
         "language=TAG gives the page a language of its own (a BCP 47 tag such as\n"
         "de-CH; empty: the site's). hidden=1 asks search engines to leave the page\n"
         "out and keeps it out of the sitemap; hidden=0 takes that back.\n",
         PagePropertiesCommand},
        {"import-picture", kImportPictureSynopsis,
         "copies a picture into the project's images folder and prints its location",
         "Makes the picture FILE travel with the project folder PROJECT, as a picture\n"
         "field's browse button does: a file inside PROJECT stays where it is; any other\n"
         "is copied into PROJECT/images (the same bytes already there are reused, other\n"
         "bytes under the same name get a free name such as photo-2.png). Prints the\n"
         "location a page in PROJECT names it by (images/photo.png), blanks written\n"
         "as %20.\n"
         "A JPEG, PNG or WebP picture is made fit for the web on the way: its EXIF\n"
         "orientation is turned into its pixels, and its camera and position data\n"
         "(EXIF, XMP, IPTC) are removed, cut out of its bytes where its pixels stay\n"
         "as they are. It is also encoded again, and that copy is used when the\n"
         "picture has to change (turned, scaled) or when it is smaller; else the\n"
         "original's bytes are copied. A picture inside PROJECT that has to change is\n"
         "not overwritten: its copy goes into PROJECT/images. An animated PNG or\n"
         "WebP keeps its frames, only its camera data cut out; other formats are\n"
         "copied as they are.\n"
         "  max-side=N       a picture longer than N pixels on its long side is\n"
         "                   scaled down to it, its proportions kept (default:\n"
         "                   2560; 0: no limit)\n"
         "  quality=N        JPEG and WebP quality, 1 to 100 (default: 85)\n"
         "  keep-metadata=1  keep the camera and position data: such a picture is\n"
         "                   copied as it is unless it has to be scaled down\n"
         "                   (default: 0, removed)\n",
         ImportPictureCommand},
        {"import-file", "import-file PROJECT FILE",
         "copies a picture or a media file into the project and prints its location",
         "Makes the file FILE travel with the project folder PROJECT, as the browse\n"
         "buttons of the picture and multimedia dialogs do: a file inside PROJECT stays\n"
         "where it is; a picture from elsewhere (a name ending in jpg, jpeg, jpe, gif,\n"
         "png, bmp, ico, emf, wmf, tif, tiff, webp or svg, in any case) is copied\n"
         "into PROJECT/images, any other file (sound, video, Flash, Shockwave) into\n"
         "PROJECT/media, under the same name rules as import-picture, byte for byte\n"
         "(import-picture makes a picture fit for the web). The copy is\n"
         "whole or not there at all. Prints the location a page in PROJECT names it by\n"
         "(media/tone.mp3), blanks written as %20.\n",
         ImportFileCommand},
    };
}

} // namespace qf::cli
