#pragma once

#include <string>
#include <string_view>

namespace qf {

// The reference to the rollover script that a page with a rollover image
// carries in its head.
inline constexpr std::string_view kRolloverScriptReference = "<SCRIPT SRC=\"js.js\"></SCRIPT>";
inline constexpr std::string_view kRolloverScriptFile = "js.js";

inline constexpr std::string_view kPageHoldsRolloverMessage =
    "This page already holds a rollover image";

// Every rollover image is named "y", so a page takes one: true exactly while
// the page holds no rollover image (no Roll_Img declaration or block).
bool PageTakesRollover(std::string_view page);

// Copies application folder + "js.js" byte for byte to `target_folder` +
// "js.js", creating or overwriting it. Both folders end in "/". Throws
// CommandError "Cannot open file ..." / "Cannot create file ..." naming the
// file and the system's reason; a failed copy leaves the target as it was.
void CopyRolloverScript(const std::string& app_folder, const std::string& target_folder);

// Puts the script reference immediately before the first "</head>" unless the
// page already holds it anywhere. Throws CommandError when the page has no
// "</head>" (page unchanged).
void AddRolloverScriptReference(std::string& page);

} // namespace qf
