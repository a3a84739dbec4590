#include "components/builders.h"

namespace qf::builders {

namespace {

// The style attribute of the form fields: empty when the default style is
// chosen, else a thin solid border with the border colour as text colour and
// the background colour, each written as given. A field whose width is given
// in pixels (`pixel_width`, set above 0) gets it as its CSS width, with the
// default style too.
std::string StyleText(const Fields& f, std::string_view pixel_width = {}) {
    std::string width;
    if (!pixel_width.empty() && !SetNumberAttribute(f, pixel_width, "width").empty()) {
        width = "WIDTH: " + f.Text(pixel_width) + "px";
    }
    if (f.Flag("defaultstyle")) {
        return width.empty() ? "" : " style=\"" + width + "\"";
    }
    return " style=\"BORDER-RIGHT: 1px solid; BORDER-TOP: 1px solid; MARGIN: 1px; BORDER-LEFT: "
           "1px solid; COLOR: " +
           f.Text("bordercolor") +
           "; BORDER-BOTTOM: 1px solid; FONT-FAMILY: Verdana, arial,helvetica,sans-serif; "
           "BACKGROUND-COLOR: " +
           f.Text("bgcolor") + (width.empty() ? "" : "; " + width) + "\"";
}

// The one-line input of the text and password fields. A width or maximum
// length left at 0 is not written: maxlength="0" would take no typing.
std::string InputBody(const Fields& f, std::string_view type) {
    return "<input name=\"" + f.Text("name") + "\"" + SetNumberAttribute(f, "width", "size") +
           SetNumberAttribute(f, "maxlength", "maxlength") + " type=\"" + std::string(type) +
           "\" value=\"" + f.Text("value") + "\"" + StyleText(f, "width") + ">";
}

// One option per line of the list, without closing tags.
std::string Options(const Fields& f) {
    std::string options;
    for (const std::string& line : f.Lines("options")) {
        options.append("<option>").append(line);
    }
    return options;
}

std::string ButtonBody(const Fields& f, std::string_view type) {
    return "<input type=\"" + std::string(type) + "\" value=\"" + f.Text("value") + "\"" +
           StyleText(f) + ">";
}

} // namespace

std::string TextFieldBody(const Fields& f) {
    return InputBody(f, "text");
}

std::string PasswordFieldBody(const Fields& f) {
    return InputBody(f, "password");
}

// Always five rows high; a width left at 0 is the browser's own.
std::string TextAreaBody(const Fields& f) {
    return "<textarea name=\"" + f.Text("name") + "\"" + SetNumberAttribute(f, "width", "cols") +
           " rows=\"5\"" + StyleText(f) + "></textarea>";
}

// A fixed first option, selected, asks for a choice.
std::string DropListBody(const Fields& f) {
    return "<select name=\"" + f.Text("name") + "\"" + StyleText(f) +
           "><option selected>&lt;-- Select --&gt;" + Options(f) + "</select>";
}

// Always six rows visible.
std::string ListBoxBody(const Fields& f) {
    return "<select name=\"" + f.Text("name") + "\" size=\"6\"" + StyleText(f) + ">" + Options(f) +
           "</select>";
}

std::string SubmitButtonBody(const Fields& f) {
    return ButtonBody(f, "submit");
}

// No style: the picture is the button. Its name stays empty, so it posts no
// field the feedback script would read.
std::string ImageButtonBody(const Fields& f) {
    return "<input name=\"\" type=\"image\" src=\"" + f.Text("src") + "\" border=\"0\">";
}

std::string ResetButtonBody(const Fields& f) {
    return ButtonBody(f, "reset");
}

} // namespace qf::builders
