#pragma once

#include <string>
#include <string_view>

namespace qf {

// Every area and component is wrapped in comment markers of one fixed shape:
// "<!---" + word + "---!>". Markers are always located by their complete text.
inline constexpr std::string_view kMarkerOpen = "<!---";
inline constexpr std::string_view kMarkerClose = "---!>";

inline constexpr std::string_view kBodyMarker = "<!---End_Body---!>";
inline constexpr std::string_view kDeclareBegin = "<!---declare_begin---!>";
inline constexpr std::string_view kDeclarationSeparator = "<!---////---!>";
inline constexpr std::string_view kDeclareEnd = "<!---declare_end---!>";

// Areas are components of the kind "Table".
inline constexpr std::string_view kAreaKind = "Table";

inline std::string Marker(std::string_view word) {
    std::string marker;
    marker.reserve(word.size() + 10);
    marker.append(kMarkerOpen).append(word).append(kMarkerClose);
    return marker;
}

// "<!---Image3---!>"
inline std::string DeclarationMarker(std::string_view name) {
    return Marker(name);
}
// "<!---Begin_Image3---!>"
inline std::string BeginMarker(std::string_view name) {
    return Marker(std::string("Begin_").append(name));
}
// "<!---End_Image3---!>"
inline std::string EndMarker(std::string_view name) {
    return Marker(std::string("End_").append(name));
}
// "Table12"
inline std::string AreaName(int number) {
    return std::string(kAreaKind) + std::to_string(number);
}

} // namespace qf
