#include "components/php_script.h"

#include "components/form.h"
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
#include <cctype>
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
    {{"CheckBox", ""}, "<input type=\"checkbox\" name=\""},
    {{"Radio_Group", ""}, "<input type=\"radio\" name=\""},
};

// What a labelled field's body begins with before the field itself: its
// label ("<label for=...>TEXT</label> ") or the legend of its group
// ("<fieldset ...><legend>TEXT</legend>"), each opening and its end.
struct LeadingLabel {
    std::string_view opening, end;
};
constexpr LeadingLabel kLeadingLabels[] = {
    {"<label for=\"", "</label> "},
    {"<fieldset ", "</legend>"},
};

// A labelled field's body is a block of its own: "<div>" before its label
// (or, for a check box, before the box).
constexpr std::string_view kLabelledBlock = "<div>";

// Where the field itself begins in a body starting at `body`: after the
// labelled field's block and a leading label that ends before `limit`, else
// at `body`.
std::size_t FieldStart(const std::string& text, std::size_t body, std::size_t limit) {
    if (text.compare(body, kLabelledBlock.size(), kLabelledBlock) == 0 &&
        body + kLabelledBlock.size() < limit) {
        body += kLabelledBlock.size();
    }
    for (const LeadingLabel& lead : kLeadingLabels) {
        if (text.compare(body, lead.opening.size(), lead.opening) == 0) {
            const std::size_t end = text.find(lead.end, body);
            if (end != std::string::npos && end < limit) {
                return end + lead.end.size();
            }
        }
    }
    return body;
}

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
        const auto found = ends.find(name);
        if (found == ends.end()) {
            continue; // no end marker: not a field
        }
        const auto end = std::lower_bound(found->second.begin(), found->second.end(), body);
        if (end == found->second.end()) {
            continue;
        }
        const std::size_t field = FieldStart(text, body, *end);
        if (text.compare(field, pass.start.size(), pass.start) != 0) {
            continue;
        }
        const std::size_t value = field + pass.start.size();
        if (value > *end) {
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
    // A name typed with its ending is taken as it is, not made NAME.php.php.
    if (name.size() > 4) {
        std::string ending(name.substr(name.size() - 4));
        for (char& c : ending) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        if (ending == ".php") {
            return std::string(name);
        }
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

std::string ReplyFieldName(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        if (lower.find("mail") != std::string::npos) {
            return name;
        }
    }
    return {};
}

namespace {

// The script's own part before the fields: errors go to the server's log,
// never to the visitor; a field not sent (a list box left unchosen, a check
// box not ticked) or sent as an array reads as empty; the mail's lines are
// cleaned of control characters and keep a multi-line value indented.
constexpr std::string_view kScriptFunctions[] = {
    "ini_set('display_errors', '0');",
    "ini_set('log_errors', '1');",
    "",
    "function posted_field($name)",
    "{",
    "    $value = isset($_POST[$name]) ? $_POST[$name] : '';",
    "    return is_string($value) ? $value : '';",
    "}",
    "",
    "function posted_size($values)",
    "{",
    "    $size = 0;",
    "    foreach ($values as $key => $value) {",
    "        $size += strlen((string) $key);",
    "        $size += is_array($value) ? posted_size($value) : strlen((string) $value);",
    "    }",
    "    return $size;",
    "}",
    "",
    "function mail_line($label, $value)",
    "{",
    "    $value = str_replace(array(\"\\r\\n\", \"\\r\"), \"\\n\", $value);",
    "    $value = preg_replace('/[\\x00-\\x08\\x0B-\\x1F\\x7F]/', '', $value);",
    "    if (preg_match('//u', $value) !== 1) {",
    "        $value = preg_replace('/[\\x80-\\xFF]/', '?', $value);",
    "    }",
    "    return $label . ': ' . str_replace(\"\\n\", \"\\r\\n  \", $value) . \"\\r\\n\";",
    "}",
};

std::string RefreshLine(std::string_view seconds, const std::string& url) {
    return "    echo \"<meta http-equiv='refresh' content='" + std::string(seconds) +
           "; url=" + url + "'>\";";
}

} // namespace

std::string PhpScriptText(const std::vector<FormField>& fields, std::string_view recipient,
                          std::string_view success, std::string_view failure,
                          std::string_view form_page) {
    std::vector<std::string> names;
    for (const FormField& field : fields) {
        CheckFieldName(field);
        if (field.name == kTrapFieldName) {
            throw CommandError("The field name \"" + field.name + "\" of " + field.component +
                               " is the one the form keeps hidden to catch robots; give the "
                               "field another name");
        }
        names.push_back(field.name);
    }
    const std::string to = RecipientLiteral(recipient);
    const std::string success_url = TargetLiteral("success page", success);
    const std::string failure_url = TargetLiteral("failure page", failure);
    // A plain visit (a crawler, a bookmark) is sent to the form.
    const std::string visit_url =
        form_page.empty() ? failure_url : TargetLiteral("form page", form_page);
    const std::string reply = ReplyFieldName(names);

    std::vector<std::string> lines = {"", "<?php", ""};
    lines.insert(lines.end(), std::begin(kScriptFunctions), std::end(kScriptFunctions));
    lines.insert(lines.end(),
                 {"",
                  "if (!isset($_SERVER['REQUEST_METHOD']) || $_SERVER['REQUEST_METHOD'] !== "
                  "'POST') {",
                  RefreshLine("0", visit_url), "    exit;", "}",
                  "$length = isset($_SERVER['CONTENT_LENGTH']) ? (int) "
                  "$_SERVER['CONTENT_LENGTH'] : 0;",
                  "if (posted_size($_POST) > " + std::to_string(kMostPostedBytes) +
                      " || ($length > 0 && count($_POST) === 0)) {",
                  RefreshLine("1", failure_url), "    exit;", "}",
                  "if (posted_field('" + std::string(kTrapFieldName) + "') !== '') {",
                  RefreshLine("1", success_url), "    exit;", "}"});
    // A submission with every field empty (a robot's) is treated as the trap is.
    if (!names.empty()) {
        std::string list;
        for (const std::string& name : names) {
            list += (list.empty() ? "'" : ", '") + name + "'";
        }
        lines.insert(lines.end(), {"$filled = false;", "foreach (array(" + list + ") as $name) {",
                                   "    if (trim(posted_field($name)) !== '') {",
                                   "        $filled = true;", "    }", "}", "if (!$filled) {",
                                   RefreshLine("1", success_url), "    exit;", "}"});
    }
    lines.insert(lines.end(), {"", "$message = '';"});
    for (const std::string& name : names) {
        lines.push_back("$message .= mail_line('" + name + "', posted_field('" + name + "'));");
    }
    lines.insert(lines.end(), {"$headers = \"MIME-Version: 1.0\\r\\n\"",
                               "    . \"Content-Type: text/plain; charset=UTF-8\\r\\n\"",
                               "    . \"Content-Transfer-Encoding: quoted-printable\\r\\n\"",
                               "    . 'From: " + to + "';"});
    if (!reply.empty()) {
        lines.insert(lines.end(), {"$reply = trim(posted_field('" + reply + "'));",
                                   "if (filter_var($reply, FILTER_VALIDATE_EMAIL) !== false) {",
                                   "    $headers .= \"\\r\\nReply-To: \" . $reply;", "}"});
    }
    lines.insert(
        lines.end(),
        {"", "if(mail('" + to + "','Form Feedback',quoted_printable_encode($message),$headers))",
         "", RefreshLine("1", success_url).substr(4), "", "else", "",
         RefreshLine("1", failure_url).substr(4), "", "?>"});
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
        PhpScriptText(ScanFormFields(page), settings.recipient, settings.success, settings.failure,
                      settings.form_page);
    const std::string path = project_folder + file_name;
    const QFileInfo existing(QString::fromStdString(path));
    if ((existing.exists() || existing.isSymLink()) && !may_replace(file_name)) {
        return {};
    }
    WriteFileAtomically(path, script);
    return path;
}

} // namespace qf
