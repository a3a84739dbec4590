#pragma once

#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// The form element that makes the page's fields post to a script. It is not
// a component of an area: the declaration "Form" + n goes before the
// declaration separator and the opening block "<!---Begin_Form---!><form
// method="POST" action="ACTION"><!---End_Form---!>" (markers without number)
// directly before "<!---declare_begin---!>", the block holding the robot
// trap (FormBody) after the form tag. Its "</form>" goes directly
// before the page's last "</html>", behind the areas, which stand after
// "</body>": closed before "</body>" the form would hold none of the fields
// and post nothing. Each call adds another of each (PrepareForm does not).
// `action` is UTF-8 as typed; it enters the page as an attribute value.
// Returns n. Throws CommandError (page unchanged) for an action holding the
// marker delimiters or a line break, or a page without the declaration block
// or "</html>".
int AddForm(std::string& page, std::string_view action);

// The name of the form's hidden robot trap: a text field kept out of sight
// and out of the tab order, which people leave empty and many robots fill.
inline constexpr std::string_view kTrapFieldName = "contact_website";

// The form block's body: "<form method="POST" action="ACTION">", the action
// checked and written as AddForm writes it, followed by the robot trap
// unless `trap` is false (as in forms prepared before it existed).
std::string FormBody(std::string_view action, bool trap = true);

// The page with its form posting to `action`: the action of the first form
// block's form tag is replaced and the rest of the page kept. A page that
// has more forms (prepared again before this was so) would nest them, and a
// browser drops every inner form, so the others go: their blocks, their
// declarations and as many "</form>" directly before the last "</html>".
// Returns the kept form's declaration name, or empty when the page has no
// form block (the page is then unchanged). Throws CommandError for an action
// AddForm refuses.
std::string RetargetForm(std::string& page, std::string_view action);

// "Prepare your Form": on a page without a form, AddForm; on a page that
// has one, RetargetForm, so the fields keep posting through one form. The
// open page is then written. No Select Component entry is added. Returns the
// declaration's name ("Form1").
std::string PrepareForm(Workspace& workspace, std::string_view action);

} // namespace qf
