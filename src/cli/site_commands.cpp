#include "cli_commands.h"

#include "check/site_check.h"
#include "document/page_file.h"
#include "loaded_modules.h"
#include "render/render_site.h"
#include "site/page_rename.h"
#include "site/site_replace.h"
#include "site/site_settings.h"
#include "site/site_style.h"
#include "site/thank_you_page.h"
#include "workspace/app_folder.h"
#include "workspace/project.h"
#include "workspace/workspace.h"

#include <iostream>

namespace qf::cli {

namespace {

constexpr std::string_view kCheckSiteSynopsis = "check-site PROJECT [--format=text|json]";

int CheckSiteCommand(const Args& args, std::ostream& out) {
    std::string project;
    bool json = false;
    for (const std::string& arg : args) {
        if (arg.rfind("--format=", 0) == 0) {
            const std::string format = arg.substr(9);
            if (format != "text" && format != "json") {
                throw UsageError("unknown format '" + format + "': give text or json");
            }
            json = format == "json";
        } else if (arg.rfind("--", 0) == 0 || !project.empty()) {
            throw UsageError("usage: quenfort-cli " + std::string(kCheckSiteSynopsis));
        } else {
            project = arg;
        }
    }
    if (project.empty()) {
        throw UsageError("usage: quenfort-cli " + std::string(kCheckSiteSynopsis));
    }
    SiteCheckOptions options;
    options.picture_size = Pictures().picture_sizes();
    const SiteCheckResult result = CheckSite(FolderPath(project), options);
    if (json) {
        out << FindingsJson(result);
    } else {
        int counts[3] = {0, 0, 0};
        for (const Finding& finding : result.findings) {
            out << FindingText(finding) << '\n';
            ++counts[int(finding.severity)];
        }
        out << result.pages << (result.pages == 1 ? " page" : " pages") << " checked: " << counts[0]
            << (counts[0] == 1 ? " error, " : " errors, ") << counts[1]
            << (counts[1] == 1 ? " warning, " : " warnings, ") << counts[2]
            << (counts[2] == 1 ? " note\n" : " notes\n");
    }
    return result.Errors() > 0 ? 1 : 0;
}

constexpr std::string_view kRenderSynopsis = "render PAGE";
constexpr std::string_view kSiteSettingsSynopsis = "site-settings PROJECT [FIELD=VALUE]...";

int SiteSettingsCommand(const Args& args, std::ostream& out) {
    if (args.empty() || args[0].rfind("--", 0) == 0) {
        throw UsageError("usage: quenfort-cli " + std::string(kSiteSettingsSynopsis));
    }
    const std::string project = FolderPath(args[0]);
    SiteSettings settings = ReadSiteSettings(project);
    bool changed = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::size_t equals = args[i].find('=');
        if (equals == std::string::npos || equals == 0) {
            throw UsageError("give each setting as FIELD=VALUE, not '" + args[i] + "'");
        }
        try {
            settings =
                WithSiteSetting(settings, args[i].substr(0, equals), args[i].substr(equals + 1));
        } catch (const CommandError& error) {
            throw UsageError(error.what());
        }
        changed = true;
    }
    int status = 0;
    if (changed) {
        WriteSiteSettings(project, settings);
        settings = ReadSiteSettings(project);
        Workspace workspace;
        workspace.project_folder = project;
        workspace.keep_history = false;
        status = RefreshSiteMenuFor(workspace);
        for (const std::string& warning : StyleContrastWarnings(StyleOf(settings))) {
            std::cerr << "Warning: " << warning << '\n';
        }
    }
    out << SiteSettingsText(settings);
    return status;
}
constexpr std::string_view kExportSynopsis = "export PROJECT FOLDER";

// The folder a page file stands in, ending in "/".
std::string FolderOfPage(const std::string& page) {
    const std::size_t slash = page.rfind('/');
    return slash == std::string::npos ? std::string("./") : page.substr(0, slash + 1);
}

int RenderCommand(const Args& args, std::ostream& out) {
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
        throw UsageError("usage: quenfort-cli " + std::string(kRenderSynopsis));
    }
    const std::string text = ReadPageFile(args[0]);
    // The pictures measured; their variants are made only for a whole site.
    render::PictureWork pictures = Pictures().picture_work();
    pictures.encode = nullptr;
    render::SiteRendering site(FolderOfPage(args[0]), pictures);
    const std::string page = args[0].substr(args[0].rfind('/') + 1);
    out << render::RenderPage(text, site.OptionsFor(page));
    return 0;
}

int ExportCommand(const Args& args, std::ostream& out) {
    if (args.size() != 2 || args[0].rfind("--", 0) == 0 || args[1].rfind("--", 0) == 0) {
        throw UsageError("usage: quenfort-cli " + std::string(kExportSynopsis));
    }
    const render::ExportReport report =
        render::ExportSite(FolderPath(args[0]), args[1], Pictures().picture_work());
    for (const std::string& skipped : report.skipped) {
        std::cerr << "Not exported: " << skipped << '\n';
    }
    for (const std::string& note : report.notes) {
        std::cerr << "Note: " << note << '\n';
    }
    out << "Exported " << report.pages << (report.pages == 1 ? " page" : " pages") << " and "
        << report.files << (report.files == 1 ? " other file" : " other files");
    if (report.variants > 0) {
        out << ", with " << report.variants << (report.variants == 1 ? " picture" : " pictures")
            << " made for other screens";
    }
    out << " to " << args[1] << '\n';
    return 0;
}

constexpr std::string_view kRenamePageSynopsis = "rename-page PAGE NEWNAME [--dry-run]";

int RenamePageCommand(const Args& args, std::ostream& out) {
    std::vector<std::string> positional;
    bool dry_run = false;
    for (const std::string& arg : args) {
        if (arg == "--dry-run") {
            dry_run = true;
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError("usage: quenfort-cli " + std::string(kRenamePageSynopsis));
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        throw UsageError("usage: quenfort-cli " + std::string(kRenamePageSynopsis));
    }
    const std::string folder = FolderOfPage(positional[0]);
    const std::string page = positional[0].substr(positional[0].rfind('/') + 1);
    const PageRenamePlan plan = PlanPageRename(folder, page, positional[1]);
    for (const std::string& linking : plan.pages) {
        out << (dry_run ? "would change links on " : "changing links on ")
            << EscapedForTerminal(linking) << '\n';
    }
    if (dry_run) {
        out << "Would rename " << EscapedForTerminal(plan.from) << " to "
            << EscapedForTerminal(plan.to) << "; nothing was changed.\n";
        return 0;
    }
    Workspace workspace;
    workspace.project_folder = FolderPath(folder);
    const PageRenameReport report = RenamePage(workspace, plan);
    for (const std::string& failed : report.failed) {
        std::cerr << "Not changed: " << EscapedForTerminal(failed) << '\n';
    }
    out << "Renamed " << EscapedForTerminal(plan.from) << " to " << EscapedForTerminal(plan.to)
        << ": " << report.links << (report.links == 1 ? " link" : " links") << " changed on "
        << plan.pages.size() - report.failed.size()
        << (plan.pages.size() - report.failed.size() == 1 ? " page" : " pages") << '\n';
    return report.failed.empty() ? 0 : 1;
}

constexpr std::string_view kReplaceSynopsis =
    "replace PROJECT FIND REPLACE [--whole-words] [--case] [--dry-run]";

int ReplaceCommand(const Args& args, std::ostream& out) {
    std::vector<std::string> positional;
    FindOptions options;
    bool dry_run = false;
    for (const std::string& arg : args) {
        if (arg == "--dry-run") {
            dry_run = true;
        } else if (arg == "--whole-words") {
            options.whole_words = true;
        } else if (arg == "--case") {
            options.match_case = true;
        } else if (arg.rfind("--", 0) == 0 && positional.size() != 1 && positional.size() != 2) {
            throw UsageError("usage: quenfort-cli " + std::string(kReplaceSynopsis));
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 3) {
        throw UsageError("usage: quenfort-cli " + std::string(kReplaceSynopsis));
    }
    const std::string folder = FolderPath(positional[0]);
    const SiteSearch search = FindInSite(folder, positional[1], options);
    for (const std::string& skipped : search.skipped) {
        std::cerr << "Not searched: " << EscapedForTerminal(skipped) << '\n';
    }
    for (const SiteMatch& match : search.matches) {
        out << EscapedForTerminal(match.page) << ": " << EscapedForTerminal(match.component) << ": "
            << EscapedForTerminal(match.before) << '[' << EscapedForTerminal(match.found) << ']'
            << EscapedForTerminal(match.after) << '\n';
    }
    if (dry_run || search.matches.empty()) {
        out << search.matches.size() << (search.matches.size() == 1 ? " match" : " matches")
            << (search.matches.empty() ? "" : "; nothing was changed") << '\n';
        return 0;
    }
    Workspace workspace;
    workspace.project_folder = folder;
    workspace.keep_history = false;
    const SiteReplaceReport report =
        ReplaceInSite(workspace, positional[1], positional[2], options, search.matches);
    for (const std::string& failed : report.pages.failed) {
        std::cerr << "Not changed: " << EscapedForTerminal(failed) << '\n';
    }
    out << "Replaced " << report.replaced << " of " << search.matches.size() << " on "
        << report.pages.written.size() << (report.pages.written.size() == 1 ? " page" : " pages")
        << '\n';
    return report.pages.failed.empty() ? 0 : 1;
}

int ThankYouPageCommand(const Args& args, std::ostream& out) {
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
        throw UsageError("usage: quenfort-cli thank-you-page PROJECT");
    }
    out << MakeThankYouPage(FolderPath(args[0]), PrepareAppFolder()) << '\n';
    return 0;
}

} // namespace

std::vector<Command> SiteCommands() {
    return {
        {"check-site", kCheckSiteSynopsis,
         "reports what is broken or weak across the pages of a project",
         "Reads every page of the project folder (it changes no file and takes no page\n"
         "lock) and prints what it finds, one finding a line:\n"
         "  PAGE:LINE:COLUMN: SEVERITY: ENTRY: MESSAGE\n"
         "LINE and COLUMN are counted from 1 in the page file as written (its first,\n"
         "empty line is line 1; columns count bytes); they are left out for a finding\n"
         "about the whole page, as ENTRY is when the finding belongs to no area or\n"
         "component. ENTRY is the area's or component's list entry (\"Area2\",\n"
         "\"Image Link3\", \"Form\"). SEVERITY is error (broken: a link or file that\n"
         "reaches nothing, a path of this computer, a page that cannot be read, broken\n"
         "markers), warning (weak: no alternative text, title or language, a field\n"
         "without a name, a script that no longer fits its form, a picture much larger\n"
         "than shown, HTML that a browser reads differently) or note (what the page\n"
         "format itself makes a browser correct, counted once a page). A last line\n"
         "counts the pages and findings.\n"
         "\n"
         "--format=json prints one JSON object instead:\n"
         "  {\"pages\": N, \"errors\": N, \"warnings\": N, \"notes\": N,\n"
         "   \"cancelled\": false, \"findings\": [\n"
         "    {\"severity\": \"error\", \"page\": \"index.html\", \"line\": 12,\n"
         "     \"column\": 5, \"entry\": \"Image Link3\", \"message\": \"...\"}, ...]}\n"
         "with line and column 0 and entry \"\" where there is none; texts are UTF-8,\n"
         "bytes that are not become U+FFFD. \"severity\" is \"error\", \"warning\" or\n"
         "\"note\"; \"page\" is the page's file name in the project folder; the\n"
         "findings come page by page, in the order the page list shows them, and\n"
         "within a page by line and column; the counts are of the findings listed.\n"
         "\"cancelled\" is true only for a check stopped before its end (the editor's\n"
         "Cancel); this command always checks every page.\n"
         "\n"
         "Exits with 0 when nothing is an error, 1 when some finding is an error or the\n"
         "folder cannot be read, 2 for a usage error.\n",
         CheckSiteCommand},
        {"site-settings", kSiteSettingsSynopsis,
         "shows or changes the settings of the site as a whole",
         "Prints the settings of the project PROJECT, one FIELD=VALUE a line; with\n"
         "FIELD=VALUE arguments, changes those first (all or none):\n"
         "  name=TEXT         the site's name, shown with shared links\n"
         "  address=URL       where it is published (https://example.org/): canonical\n"
         "                    links, shared links and sitemap.xml need it\n"
         "  language=TAG      its language as a BCP 47 tag (en, de-CH); empty: the\n"
         "                    desktop's\n"
         "  icon=PICTURE      a picture of the project, relative to it\n"
         "  index=1|0         whether search engines may index it (1)\n"
         "  style=NAME        the site style: Classic (the pages exactly as designed),\n"
         "                    Clean, Warm or Calm\n"
         "  style.FIELD=VALUE one of the style's values (body-font, heading-font, scale,\n"
         "                    line-height, content-width, text, background, accent,\n"
         "                    muted, surface, border, radius, spacing); empty: the\n"
         "                    style's own. Colours that visitors could not read well\n"
         "                    (WCAG AA) are warned about\n"
         "  menu=PAGE<tab>TEXT<tab>0|1  the page's place, link text and hiding in the\n"
         "                    site menu\n"
         "The settings are kept in the project's hidden file .quenfort-site, which is\n"
         "never published.\n"
         "\n"
         "Exits with 0, 1 when a value is refused or the file cannot be written, 2 for\n"
         "a usage error (an unknown field).\n",
         SiteSettingsCommand},
        {"rename-page", kRenamePageSynopsis,
         "renames a page and every link to it on the project's pages",
         "Renames the page file PAGE to NEWNAME (\".html\" is added as for a new page; a\n"
         "PHP page keeps \".php\") and rewrites every link to it on every page of its\n"
         "project: text and image links, rollovers, frames, form actions, the mail\n"
         "script's targets, and raw HTML's plain href and src. The old name is kept in\n"
         "the site's settings, so the published site has a small page there that\n"
         "sends visitors on (left out of the sitemap). It prints the pages whose links\n"
         "change; --dry-run prints them and changes nothing.\n"
         "\n"
         "Exits with 0, 1 when the page cannot be renamed or some page could not be\n"
         "written (named on stderr; the others are written), 2 for a usage error.\n",
         RenamePageCommand},
        {"replace", kReplaceSynopsis, "finds and replaces text visitors read on every page",
         "Finds FIND in what visitors read on every page of the project PROJECT:\n"
         "component texts, link texts, list items, table cells, form field labels and\n"
         "button texts, pictures' alternative texts, page titles and descriptions;\n"
         "never markers or markup. Letters match in either case unless --case is\n"
         "given; --whole-words matches whole words only. Prints every match as\n"
         "PAGE: ENTRY: TEXT BEFORE[MATCH]TEXT AFTER, then replaces them all by\n"
         "REPLACE through each component's own builder, so Modify still reads it (in\n"
         "element content REPLACE is text: \"<\" and \"&\" are written as character\n"
         "references). --dry-run prints the matches and changes nothing. A component\n"
         "changed by hand is not searched and is named on stderr.\n"
         "\n"
         "Exits with 0, 1 when FIND is empty, the folder cannot be read or some page\n"
         "could not be written (named on stderr; the others are written), 2 for a\n"
         "usage error.\n",
         ReplaceCommand},
        {"thank-you-page", "thank-you-page PROJECT",
         "makes the page a contact form's script shows after a successful send",
         "Makes thanks.html in the project PROJECT from the first layout: \"Thank you,\n"
         "your message has been sent\" and a link back to index.html, kept from search\n"
         "engines and the sitemap. A thanks.html that is there already is kept. Prints\n"
         "the page's name, for the php command's success=.\n"
         "\n"
         "Exits with 0, 1 when the page cannot be made, 2 for a usage error.\n",
         ThankYouPageCommand},
        {"render", kRenderSynopsis, "prints a page as visitors receive it",
         "Prints the page PAGE as publishing sends it: clean HTML5 (UTF-8) that looks\n"
         "the same in a browser, without the editor's markers and declarations. The\n"
         "page file itself is not changed.\n"
         "\n"
         "Exits with 0, 1 when the page cannot be read, 2 for a usage error.\n",
         RenderCommand},
        {"export", kExportSynopsis, "writes the whole site as visitors receive it to a folder",
         "Writes every file of the project PROJECT into FOLDER (made when missing) as\n"
         "publishing sends it: the pages made by the editor rendered (see render),\n"
         "every other file as it is, without the editor's hidden files. Files in FOLDER\n"
         "that the site does not have are left alone. FOLDER may not be the project\n"
         "folder or inside it.\n"
         "\n"
         "Exits with 0, 1 when a file cannot be read or written or FOLDER is refused,\n"
         "2 for a usage error.\n",
         ExportCommand},
    };
}

} // namespace qf::cli
