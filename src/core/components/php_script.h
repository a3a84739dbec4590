#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// A field of a form page that the feedback script reads: the value of its
// name attribute and the Select Component entry of its block ("Text Feild2").
struct FormField {
    std::string name;
    std::string component;
};

// The fields of a page text, found in six passes, each in page order: text
// and password fields, then text areas, then drop-down lists, then option
// list boxes, then check boxes, then radio button groups. A field is the
// name attribute of a component block of the pass's kinds whose body begins
// with the kind's opening tag ("<input name=\"", "<textarea name=\"",
// "<select name=\"", "<input type=\"checkbox\" name=\"", "<input
// type=\"radio\" name=\""), after its label or group legend if it has one:
// the text up to the next double quote, which must stand inside the block.
// Each pass removes what it took, from the opening tag through the block's
// end marker, before the next pass looks. Buttons (the imaged submit button
// too), blocks without their end marker and anything outside component
// blocks give nothing. Runs in time proportional to the page's length.
std::vector<FormField> ScanFormFields(std::string_view page);

// What the script generator takes.
struct PhpScriptSettings {
    std::string name;      // the script's file name without ".php"
    std::string form_page; // the page of the project folder that holds the form
    std::string recipient; // one mail address
    std::string success;   // page or address shown after a successful send
    std::string failure;   // and after a failed one
};

// The most bytes the posted fields (names and values) may hold in all; the
// script refuses a larger request.
inline constexpr int kMostPostedBytes = 64 * 1024;

// The first field name holding "mail" in any case: the visitor's address,
// made the mail's Reply-To when it is one valid address. Empty if none.
std::string ReplyFieldName(const std::vector<std::string>& names);

// The script's lines, each ended by CR LF. It answers a POST only: any other
// request is sent on to `form_page` (the failure target when that is empty)
// and mails nothing. It reads every field with an empty default, refuses a
// request whose fields hold more than kMostPostedBytes (failure target),
// drops a request whose hidden robot trap is filled (success target, nothing
// sent), and mails a plain UTF-8 text, quoted-printable, one "NAME: value"
// line a field, from and to the recipient with the subject "Form Feedback";
// the visitor's address (ReplyFieldName) becomes Reply-To only when it is
// one valid address. No posted value reaches a header. Error display is
// switched off. Throws CommandError, naming the field, for a name that is
// not a plain PHP variable name, is one of PHP's own (this, _POST and the
// other superglobals) or the trap's; for a recipient that is empty, holds a
// control character (a line break) or more than one address; and for an
// empty target or one with a line break. Quotes, backslashes and "?>" in the
// recipient and the targets are written so that they stay text.
std::string PhpScriptText(const std::vector<FormField>& fields, std::string_view recipient,
                          std::string_view success, std::string_view failure,
                          std::string_view form_page = {});

// Asked before an existing script is replaced, with its file name
// ("feedback.php"); true replaces it.
using ReplaceQuestion = std::function<bool(const std::string& file_name)>;

// "Create a PHP script": reads the form page from `project_folder` (ending
// in "/"), builds the script and writes it atomically as project folder +
// name + ".php". Everything is checked before `may_replace` is asked about an
// existing file. Returns the script's path, or an empty text when the user
// would not replace the existing one. Throws CommandError for a bad name or
// setting, an unreadable form page, or a file error; nothing is written then.
std::string CreatePhpScript(const std::string& project_folder, const PhpScriptSettings& settings,
                            const ReplaceQuestion& may_replace);

// The question asked before an existing script is replaced.
std::string ReplaceScriptQuestion(const std::string& file_name);

} // namespace qf
