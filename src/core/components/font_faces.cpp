#include "components/font_faces.h"

#include <array>

namespace qf {

namespace {

constexpr std::array<std::string_view, 38> kFontFaces = {
    " Arial",
    " Arial Black",
    " Comic Sans MS",
    " Courier",
    " Courier New",
    " Estrangelo Edessa",
    " Fixedsys",
    " Franklin Gothic Medium",
    " Gautami",
    " Georgia",
    " Impact",
    " Latha",
    " Lucida Console",
    " Lucida Sans Unicode",
    " Mangal",
    " Marlett",
    " Microsoft Sans Serif",
    " Modern",
    " MS Sans Serif",
    " MS Serif",
    " MV Boli",
    " Palatino Linotype",
    " Raavi",
    " Roman",
    " Script",
    " Shruti",
    " Small Fonts",
    " Sylfaen",
    " Symbol",
    " System",
    " Tahoma",
    " Terminal",
    " Times New Roman",
    " Trebuchet MS",
    " Tunga",
    " Verdana",
    " Webdings",
    " Wingdings",
};

} // namespace

std::span<const std::string_view> FontFaces() {
    return kFontFaces;
}

std::string_view FaceOfListEntry(std::string_view entry) {
    return entry.empty() ? entry : entry.substr(1);
}

} // namespace qf
