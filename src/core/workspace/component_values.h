#pragma once

#include "components/component_fields.h"
#include "components/component_reading.h"

#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// The values of the component a Select Component text names, read back from
// its body (ReadComponentBody). Throws CommandError as ComponentSource does
// for an entry that names nothing on the page; a body that does not read
// back is a reading that is not readable, with the reason.
ComponentReading ReadComponent(std::string_view page, std::string_view component_text);

// The page with the component's body built anew from its read values with
// `changes` put over them (a field left out keeps its value; a data table's
// cells outside a smaller grid go). Same number, same place, same markers;
// the declaration block is not touched. Throws CommandError for a body that
// does not read back (with the reason), and for values the builder refuses.
std::string ModifiedComponentValuesText(std::string_view page, std::string_view component_text,
                                        const FieldValues& changes);

// Modify with the kind's own dialog, and `quenfort-cli modify-component`:
// the component the Select Component text `component_text` names gets its
// body from the changed values, the page file is written in one step named
// "Modify " + the entry ("Modify Text Link2"); the lists stay as they are.
void ModifyComponent(Workspace& workspace, std::string_view component_text,
                     const FieldValues& changes);

} // namespace qf
