#include "components/php_script.h"

#include "components/user_text.h"
#include "document/kind_table.h"
#include "document/markers.h"
#include "document/page_file.h"
#include "document/selection_lists.h"
#include "error.h"
#include "workspace/workspace.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <map>

namespace qf {

namespace {

// One pass of the field scan: the kinds it reads and the opening tag their
// bodies begin with.
struct ScanPass {
    std::array<std::string_view, 2> kinds;
    std::string_view start;
};

constexpr ScanPass kScanPasses[] = {
    {{"Input_Text", "Input_Pass"}, "<input name=\""},
    {{"TextArea", ""}, "<textarea name=\""},
    {{"Drop_List", ""}, "<select name=\""},
    {{"ListBox", ""}, "<select name=\""},
};

constexpr std::string_view kBeginPrefix = "<!---Begin_";
constexpr std::string_view kEndPrefix = "<!---End_";
// Marker names are short; a longer run before "---!>" is not a marker.
constexpr std::size_t kLongestMarkerName = 64;

// The marker name that follows `prefix` at `pos` ("Input_Text2"), when the
// marker is closed within reach and names a block of one of `kinds`.
std::string_view MarkerNameAt(std::string_view text, std::size_t pos, std::string_view prefix,
                              const ScanPass& pass) {
    const std::size_t name_begin = pos + prefix.size();
    const std::string_view reach =
        text.substr(name_begin, kLongestMarkerName + kMarkerClose.size());
    const std::size_t close = reach.find(kMarkerClose);
    if (close == std::string_view::npos) {
        return {};
    }
    const std::string_view name = reach.substr(0, close);
    const std::optional<NumberedName> split = SplitTrailingNumber(name);
    if (!split || split->prefix.empty()) {
        return {};
    }
    for (std::string_view kind : pass.kinds) {
        if (!kind.empty() && split->prefix == kind) {
            return name;
        }
    }
    return {};
}

// "Text Feild2" for "Input_Text2".
std::string EntryOf(std::string_view marker_name) {
    const std::optional<NumberedName> split = SplitTrailingNumber(marker_name);
    return ComponentEntry(split->prefix, split->number);
}

// One pass over `text`: appends the fields it finds to `fields` and returns
// the text without them.
std::string RunPass(const std::string& text, const ScanPass& pass, std::vector<FormField>& fields) {
    // Where each block of the pass's kinds ends, by marker name.
    std::map<std::string_view, std::vector<std::size_t>, std::less<>> ends;
    for (std::size_t at = text.find(kEndPrefix); at != std::string::npos;
         at = text.find(kEndPrefix, at + 1)) {
        const std::string_view name = MarkerNameAt(text, at, kEndPrefix, pass);
        if (!name.empty()) {
            ends[name].push_back(at);
        }
    }
    std::string rest;
    std::size_t kept_from = 0; // the text before this is in `rest` or was taken
    for (std::size_t at = text.find(kBeginPrefix); at != std::string::npos;
         at = text.find(kBeginPrefix, at + 1)) {
        if (at < kept_from) {
            continue; // inside a field already taken
        }
        const std::string_view name = MarkerNameAt(text, at, kBeginPrefix, pass);
        if (name.empty()) {
            continue;
        }
        const std::size_t body = at + kBeginPrefix.size() + name.size() + kMarkerClose.size();
        if (text.compare(body, pass.start.size(), pass.start) != 0) {
            continue;
        }
        const std::size_t value = body + pass.start.size();
        const auto found = ends.find(name);
        if (found == ends.end()) {
            continue; // no end marker: not a field
        }
        const auto end = std::lower_bound(found->second.begin(), found->second.end(), value);
        if (end == found->second.end()) {
            continue;
        }
        const std::size_t quote = text.find('"', value);
        if (quote == std::string::npos || quote > *end) {
            continue; // the name would run out of the block
        }
        fields.push_back({text.substr(value, quote - value), EntryOf(name)});
        rest.append(text, kept_from, body - kept_from);
        kept_from = *end + kEndPrefix.size() + name.size() + kMarkerClose.size();
    }
    rest.append(text, std::min(kept_from, text.size()));
    return rest;
}

constexpr std::string_view kReservedNames[] = {"this",   "GLOBALS", "_SERVER",  "_GET",     "_POST",
                                               "_FILES", "_COOKIE", "_SESSION", "_REQUEST", "_ENV"};

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A field name the script can use as its variable.
void CheckFieldName(const FormField& field) {
    const std::string_view name = field.name;
    const bool plain =
        !name.empty() && IsLetter(name.front()) &&
        std::all_of(name.begin(), name.end(), [](char c) { return IsLetter(c) || IsDigit(c); });
    const std::string which = "The field name \"" + field.name + "\" of " + field.component;
    if (!plain) {
        throw CommandError(which + " cannot be read by the script: a name must consist of letters, "
                                   "digits and underscores and must not begin with a digit");
    }
    if (std::find(std::begin(kReservedNames), std::end(kReservedNames), name) !=
        std::end(kReservedNames)) {
        throw CommandError(which + " is one of PHP's own variables; give the field another name");
    }
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// The recipient as the body of a single-quoted PHP string.
std::string RecipientLiteral(std::string_view recipient) {
    if (recipient.empty()) {
        throw CommandError("Give the recipient's email address");
    }
    if (HasControlCharacter(recipient)) {
        throw CommandError("The recipient's email address must be a single line");
    }
    if (recipient.find_first_of(",;") != std::string_view::npos ||
        std::count(recipient.begin(), recipient.end(), '@') > 1) {
        throw CommandError("Give one recipient's email address only");
    }
    std::string literal;
    for (std::size_t i = 0; i < recipient.size(); ++i) {
        const char c = recipient[i];
        if (c == '\\' || c == '\'') {
            literal += '\\';
        }
        literal += c;
        if (c == '?' && i + 1 < recipient.size() && recipient[i + 1] == '>') {
            literal += "'.'"; // "?>" kept apart, though a string holds it safely
        }
    }
    return literal;
}

// A target as the url of the refresh tag, inside a single-quoted HTML
// attribute inside a double-quoted PHP string.
std::string TargetLiteral(std::string_view title, std::string_view target) {
    if (target.empty()) {
        throw CommandError("Choose the " + std::string(title) +
                           " (an empty one would run the script again)");
    }
    if (HasControlCharacter(target)) {
        throw CommandError("The " + std::string(title) + " must be a single line");
    }
    std::string html;
    for (char c : target) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '\'':
            html += "&#39;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        default:
            html += c;
        }
    }
    std::string literal;
    for (char c : PageText(title, html)) {
        if (c == '\\' || c == '$') {
            literal += '\\';
        }
        literal += c;
    }
    return literal;
}

std::string ScriptFileName(std::string_view name) {
    if (name.empty()) {
        throw CommandError("Give the script a name");
    }
    if (name.find_first_of("/\\") != std::string_view::npos || name.front() == '.' ||
        HasControlCharacter(name)) {
        throw CommandError("The script name \"" + std::string(name) +
                           "\" may not begin with \".\" or contain \"/\", \"\\\" or a control "
                           "character");
    }
    return std::string(name) + ".php";
}

} // namespace

std::vector<FormField> ScanFormFields(std::string_view page) {
    std::vector<FormField> fields;
    std::string text(page);
    for (const ScanPass& pass : kScanPasses) {
        text = RunPass(text, pass, fields);
    }
    return fields;
}

std::string PhpMessageText(const std::vector<std::string>& names) {
    std::string message;
    for (const std::string& name : names) {
        message.append(name).append(": $").append(name).append(" / ");
    }
    return message;
}

std::string PhpScriptText(const std::vector<FormField>& fields, std::string_view recipient,
                          std::string_view success, std::string_view failure) {
    std::vector<std::string> names;
    for (const FormField& field : fields) {
        CheckFieldName(field);
        names.push_back(field.name);
    }
    const std::string to = RecipientLiteral(recipient);
    const std::string success_url = TargetLiteral("success page", success);
    const std::string failure_url = TargetLiteral("failure page", failure);

    std::vector<std::string> lines = {"", "<?php", ""};
    for (const std::string& name : names) {
        lines.push_back("$" + name + " = $_POST['" + name + "'];");
    }
    lines.push_back("");
    lines.push_back("if(mail('" + to + "','Form Feedback',\"" + PhpMessageText(names) +
                    "\",\"From:Your Website's PHP script\\r\\nReply-to:NONE\"))");
    lines.push_back("");
    lines.push_back("echo \"<meta http-equiv='refresh' content='1; url=" + success_url + "'>\";");
    lines.push_back("");
    lines.push_back("else");
    lines.push_back("");
    lines.push_back("echo \"<meta http-equiv='refresh' content='1; url=" + failure_url + "'>\";");
    lines.push_back("");
    lines.push_back("?>");
    std::string script;
    for (const std::string& line : lines) {
        script.append(line).append("\r\n");
    }
    return script;
}

std::string ReplaceScriptQuestion(const std::string& file_name) {
    return "Replace the existing script " + file_name + "?";
}

std::string CreatePhpScript(const std::string& project_folder, const PhpScriptSettings& settings,
                            const ReplaceQuestion& may_replace) {
    if (project_folder.empty()) {
        throw CommandError(std::string(kNeedProjectMessage));
    }
    const std::string file_name = ScriptFileName(settings.name);
    if (settings.form_page.empty()) {
        throw CommandError("Choose the page of your form");
    }
    // Every page file begins with an empty line, so the whole text is the
    // page: nothing of a page written by other means is left out.
    const std::string page = ReadPageFile(project_folder + settings.form_page);
    const std::string script =
        PhpScriptText(ScanFormFields(page), settings.recipient, settings.success, settings.failure);
    const std::string path = project_folder + file_name;
    const QFileInfo existing(QString::fromStdString(path));
    if ((existing.exists() || existing.isSymLink()) && !may_replace(file_name)) {
        return {};
    }
    WriteFileAtomically(path, script);
    return path;
}

} // namespace qf
