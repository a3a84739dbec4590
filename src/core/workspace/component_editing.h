#pragma once

#include "components/user_text.h"
#include "document/selection_lists.h"

#include <string>
#include <string_view>

namespace qf {

struct Workspace;

inline constexpr std::string_view kNeedComponentMessage = "Please select a component";

// The component a Select Component text names. Throws CommandError "Please
// select a component" when the text does not end in a digit, and a message
// naming the text when the kind table holds no such display name.
ComponentSelection ComponentToEdit(std::string_view component_text);

// The component source of the component a Select Component text names: the
// text strictly between its markers (as bytes; ShownLineBreaks for showing). Throws CommandError
// when its block is not on the page (its area was deleted): such a component can only be deleted.
std::string ComponentSource(std::string_view page, std::string_view component_text);

// Page bytes as they are shown for editing: each kKeptLineBreak as "\n", so
// KeptLineBreaks gives the bytes back.
std::string ShownLineBreaks(std::string_view bytes);

// A text read from a stream without the line break that ends its last line
// (one "\n", "\r\n" or "\r"): a file's last line end is not part of the code.
std::string_view WithoutFinalLineBreak(std::string_view text);

// Source text as typed (UTF-8) turned into the bytes that go into the page:
// line breaks kept (KeptLineBreaks), in the encoding `old_bytes` were shown in (UTF-8 where they
// are valid UTF-8, else Windows-1252), so an unchanged source gives its bytes back.
std::string SourceBytes(std::string_view typed, std::string_view old_bytes);

// The page text with the component's source replaced by `typed` (as
// SourceBytes gives it), between the component's own markers. Refuses a
// source holding "<!---" or "---!>", and a component whose block is missing.
std::string ModifiedComponentText(std::string_view page, std::string_view component_text,
                                  std::string_view typed);

// Save Component: the component named by the Select Component text gets the
// new source; the page file is written, then the text taken. Declaration and
// lists stay as they are.
void SaveComponentSource(Workspace& workspace, std::string_view typed);

// The page without the component's block and declaration. A component whose
// block is missing still loses its declaration; one with neither is refused.
std::string DeletedComponentText(std::string_view page, std::string_view component_text);

// Delete Selected Component: the page written, then the text taken, the
// component's entry removed from Select Component and its text set back to
// the prompt. Returns the removed entry.
std::string DeleteComponent(Workspace& workspace);

// Writes `bytes` as the component preview file ("temp/Comp.html" of the
// application folder) in the page file format, atomically, and returns its
// path. Throws CommandError naming the file on a file error.
std::string WriteComponentPreview(const Workspace& workspace, std::string_view bytes);

} // namespace qf
