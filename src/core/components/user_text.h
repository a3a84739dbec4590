#pragma once

#include <string>
#include <string_view>

namespace qf {

// Text typed by the user (UTF-8) as it enters the page: ASCII, with every
// character outside ASCII written as a numeric character reference ("é" gives
// "&#233;"). Throws CommandError naming `field` when the text is not UTF-8.
std::string PageText(std::string_view field, std::string_view utf8);

// The same for a value that stands inside a double-quoted attribute: a double
// quote is written as &quot; as well.
std::string AttributeText(std::string_view field, std::string_view utf8);

// The same for a value that stands in a single-quoted script string inside a
// double-quoted attribute (onMouseOver="window.status='...'"): a single quote
// and a backslash are written \' and \\ as well, and "&" as &amp; (the
// browser decodes the attribute before it runs the script, so a typed "&#39;"
// would end the string), so the string ends where the template ends it.
std::string ScriptStringText(std::string_view field, std::string_view utf8);

// The line break typed code keeps in the page text: a lone CR. A browser
// reads it as a line break wherever it stands (ending a script's line
// comment, in a pre or a textarea, between two words), and the reading of a
// page file keeps it, since only LF (with a CR directly before it) ends a
// line there. Pages written before hold none, so they read as they did.
inline constexpr char kKeptLineBreak = '\r';

// Typed text with each of its line breaks ("\r\n", "\n" or "\r") as one
// kKeptLineBreak.
std::string KeptLineBreaks(std::string_view typed);

// The way back: text as the page holds it, as the user typed it. Each undoes
// its writer above for every text that writer can give (a numeric character
// reference is read only in the form the writer gives it, "&#233;" for a
// character outside ASCII); anything else stays as it stands, so writing the
// result again gives the same bytes wherever the writer could have written
// them.
std::string TypedFromPageText(std::string_view page_text);
std::string TypedFromAttributeText(std::string_view page_text);
std::string TypedFromScriptStringText(std::string_view page_text);

// Refuses, with "FIELD must be a single line", a value holding a line break.
void CheckSingleLine(std::string_view field, std::string_view value);

// Refuses, with a message naming `field`, a value that holds the marker
// delimiters "<!---" or "---!>".
void CheckNoMarkerDelimiters(std::string_view field, std::string_view value);

} // namespace qf
