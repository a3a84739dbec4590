#pragma once

#include "components/component_fields.h"

#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// The insertion pipeline on a page text: takes the kind's next instance
// number n, declares kind_tag + n before the declaration separator, and puts
// "<!---Begin_" kind n "---!>" + body + "<!---End_" kind n "---!>" at the end
// of area `area`'s cell, behind what the area already holds. Returns n.
// Throws CommandError (and leaves `page` unchanged) when the area is not on
// the page or the page has no declaration separator.
int AddComponent(std::string& page, std::string_view kind_tag, std::string_view body, int area);

// What AddComponent makes of `page`, as a new text built in one pass over
// the original (both points found on it, the text assembled once), and the
// instance number. Throws as AddComponent does.
struct PageWithComponent {
    std::string text;
    int number = 0;
};
PageWithComponent WithComponent(std::string_view page, std::string_view kind_tag,
                                std::string_view body, int area);

// The same for the components that stand outside all areas (the background
// sound): the block goes immediately before "<!---declare_begin---!>", behind
// the blocks already there. Throws CommandError (and leaves `page` unchanged)
// when the page has no declaration block.
int AddComponentBeforeDeclarations(std::string& page, std::string_view kind_tag,
                                   std::string_view body);
PageWithComponent WithComponentBeforeDeclarations(std::string_view page, std::string_view kind_tag,
                                                  std::string_view body);

// Puts a finished body into the area named by the Select Area text of the
// workspace: checks the area first (no "A": "Your Must Select an Area!"; no
// number: the invalid-integer message; not on the page: its own message),
// builds the new text from the page text (WithComponent), writes the page file, and
// only then takes the new text and appends the Select Component entry, which
// it returns ("Image2"). On any refusal or file error nothing has changed.
std::string CommitComponent(Workspace& workspace, std::string_view kind_tag, std::string_view body);

// What a dialog's OK and `quenfort-cli insert` both call: checks the area and
// the field values, builds the body (BuildComponentBody), runs the rollover
// steps for Roll_Img (the page must hold no rollover yet; js.js is copied from
// the application folder beside the page and referenced in the head), then
// commits as CommitComponent does. Returns the new Select Component entry.
// A custom table's body is the text of its file in the application folder's
// custom subfolder. A background sound goes before the declaration block
// whatever area is selected; it only needs the Select Area text to begin
// with "A", as the palette's area gate does.
std::string InsertComponent(Workspace& workspace, std::string_view kind_tag,
                            const FieldValues& values);

} // namespace qf
