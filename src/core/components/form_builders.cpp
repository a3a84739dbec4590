#include "components/builders.h"
#include "error.h"

namespace qf::builders {

namespace {

// The style attribute of the form fields: empty when the default style is
// chosen, else a thin solid border with the border colour as text colour and
// the background colour, each written as given. The width a field is given
// is characters (its size), so no width in pixels is written here: a field
// of size 30 made 30 pixels wide takes no typing.
std::string StyleText(const Fields& f) {
    if (f.Flag("defaultstyle")) {
        return "";
    }
    return " style=\"BORDER-RIGHT: 1px solid; BORDER-TOP: 1px solid; MARGIN: 1px; BORDER-LEFT: "
           "1px solid; COLOR: " +
           f.Text("bordercolor") +
           "; BORDER-BOTTOM: 1px solid; FONT-FAMILY: Verdana, arial,helvetica,sans-serif; "
           "BACKGROUND-COLOR: " +
           f.Text("bgcolor") + "\"";
}

// The id a labelled field is known by: made from its name, so that the
// label's for= reaches it (the insertion keeps it unique on the page).
std::string FieldId(const Fields& f) {
    return "field-" + f.Text("name");
}

// The label written before a field, and the id the field then carries;
// both empty for a field without a label, which is written as before.
std::string LabelBefore(const Fields& f) {
    const std::string& label = f.Text("label");
    return label.empty() ? "" : "<label for=\"" + FieldId(f) + "\">" + label + "</label> ";
}

// A labelled field is a block of its own, so a form's fields stand one under
// the other without line breaks put in by hand; a field without a label is
// written as before.
std::string Labelled(const Fields& f, const std::string& field) {
    return f.Text("label").empty() ? field : "<div>" + field + "</div>";
}

std::string IdAttribute(const Fields& f) {
    return f.Text("label").empty() ? "" : " id=\"" + FieldId(f) + "\"";
}

// A choice's text, which stands both as the radio button's value and as its
// label: a double quote is written as its entity in both places.
std::string ChoiceText(std::string_view line) {
    std::string text;
    for (char c : line) {
        if (c == '"') {
            text += "&quot;";
        } else {
            text += c;
        }
    }
    return text;
}

// The one-line input of the text and password fields. A width or maximum
// length left at 0 is not written: maxlength="0" would take no typing.
std::string InputBody(const Fields& f, std::string_view type) {
    return Labelled(f, LabelBefore(f) + "<input name=\"" + f.Text("name") + "\"" + IdAttribute(f) +
                           SetNumberAttribute(f, "width", "size") +
                           SetNumberAttribute(f, "maxlength", "maxlength") + " type=\"" +
                           std::string(type) + "\" value=\"" + f.Text("value") + "\"" +
                           StyleText(f) + ">");
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
    return Labelled(f, LabelBefore(f) + "<textarea name=\"" + f.Text("name") + "\"" +
                           IdAttribute(f) + SetNumberAttribute(f, "width", "cols") + " rows=\"5\"" +
                           StyleText(f) + "></textarea>");
}

// A fixed first option, selected, asks for a choice.
std::string DropListBody(const Fields& f) {
    return Labelled(f, LabelBefore(f) + "<select name=\"" + f.Text("name") + "\"" + IdAttribute(f) +
                           StyleText(f) + "><option selected>&lt;-- Select --&gt;" + Options(f) +
                           "</select>");
}

// Always six rows visible.
std::string ListBoxBody(const Fields& f) {
    return Labelled(f, LabelBefore(f) + "<select name=\"" + f.Text("name") + "\"" + IdAttribute(f) +
                           " size=\"6\"" + StyleText(f) + ">" + Options(f) + "</select>");
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

// The box first, its label after it, a block of its own when labelled. Not
// ticked, it posts nothing.
std::string CheckBoxBody(const Fields& f) {
    const std::string& label = f.Text("label");
    return Labelled(
        f, "<input type=\"checkbox\" name=\"" + f.Text("name") + "\"" + IdAttribute(f) +
               " value=\"" + f.Text("value") + "\"" + (f.Flag("checked") ? " checked" : "") + ">" +
               (label.empty() ? "" : " <label for=\"" + FieldId(f) + "\">" + label + "</label>"));
}

// One button a line, each with its choice as its label (a tap on the text
// chooses it); the group's own label, when given, is the legend of a
// borderless field set around them. "chosen" counts the choices from 1.
std::string RadioGroupBody(const Fields& f) {
    const std::vector<std::string> choices = f.Lines("choices");
    if (choices.empty()) {
        throw CommandError("Choices (choices): give the choices, one a line");
    }
    if (choices.size() > static_cast<std::size_t>(kMostRadioChoices)) {
        throw CommandError("Choices (choices): a group holds at most " +
                           std::to_string(kMostRadioChoices) + " choices");
    }
    const int chosen = std::stoi(f.Text("chosen"));
    if (chosen > static_cast<int>(choices.size())) {
        throw CommandError("Chosen (chosen): there is no choice " + std::to_string(chosen) +
                           " among the " + std::to_string(choices.size()));
    }
    std::string buttons;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const std::string id = FieldId(f) + "-" + std::to_string(i + 1);
        const std::string choice = ChoiceText(choices[i]);
        buttons += std::string(i == 0 ? "" : "<br>") + "<input type=\"radio\" name=\"" +
                   f.Text("name") + "\" id=\"" + id + "\" value=\"" + choice + "\"" +
                   (static_cast<int>(i) + 1 == chosen ? " checked" : "") + "> <label for=\"" + id +
                   "\">" + choice + "</label>";
    }
    const std::string& label = f.Text("label");
    if (label.empty()) {
        return buttons;
    }
    return "<fieldset style=\"border:0;margin:0;padding:0\"><legend>" + label + "</legend>" +
           buttons + "</fieldset>";
}

} // namespace qf::builders
