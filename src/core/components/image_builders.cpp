#include "components/builders.h"

namespace qf::builders {

namespace {

// The mouse-over text of a picture: alt, and also title, which browsers
// show while the mouse is over it (they show alt only for a missing picture).
std::string MouseOverText(const Fields& f) {
    return " alt=\"" + f.Text("alt") + "\"" + OptionalAttribute("title", f.Text("alt"));
}

// The img element shared by the image and the image link; a size left at 0
// is not written, so the picture shows at its own size.
std::string ImageElement(const Fields& f) {
    return "<img src=\"" + f.Text("src") + "\"" + SetNumberAttribute(f, "width", "width") +
           SetNumberAttribute(f, "height", "height") + " align=\"" + f.Text("align") + "\"" +
           MouseOverText(f) + " border=\"" + f.Text("border") + "\" bordercolor=\"" +
           f.Text("bordercolor") + "\">";
}

// The mouse-over handlers of the text and mail links: the status-bar text,
// and with a mouse-over colour the link's text (its font element, the
// link's first child) in that colour until the mouse leaves.
std::string StatusHandlers(const Fields& f) {
    const std::string& colour = f.Text("hovercolor");
    const std::string over = colour.empty() ? "" : " this.firstChild.style.color='" + colour + "';";
    const std::string out = colour.empty() ? "" : " this.firstChild.style.color='';";
    return " onMouseOver=\"window.status='" + f.Text("status") + "';" + over +
           " return true;\" onMouseOut=\"window.status='';" + out + " return true;\">";
}

std::string StyledLinkText(const Fields& f) {
    const bool bold = f.Flag("bold");
    const bool underline = f.Flag("underline");
    return std::string(bold ? "<b>" : "") + (underline ? "<u>" : "") + f.Text("text") +
           (underline ? "</u>" : "") + (bold ? "</b>" : "");
}

} // namespace

std::string ImageBody(const Fields& f) {
    return ImageElement(f);
}

std::string ImageLinkBody(const Fields& f) {
    const std::string target = f.Flag("newwindow") ? " target=\"_blank\"" : "";
    return "<a href=\"" + f.Text("href") + "\"" + target + ">" + ImageElement(f) + "</a>";
}

std::string RolloverBody(const Fields& f) {
    const std::string target = f.Flag("newwindow") ? " target=_blank" : "";
    return "<a href=\"" + f.Text("href") +
           "\" onMouseOut=\"RestoreImg()\" onMouseOver=\"SwitchImg('document.y','document.y','" +
           f.Text("rollover") + "')\"" + target + "><img src=\"" + f.Text("src") + "\" name=\"y\"" +
           SetNumberAttribute(f, "width", "width") + SetNumberAttribute(f, "height", "height") +
           MouseOverText(f) + " border=\"0\"></a>";
}

std::string TextLinkBody(const Fields& f) {
    const std::string target = f.Flag("newwindow") ? " target=_blank" : "";
    return "<a href=\"" + f.Text("href") + "\"" + target + StatusHandlers(f) + FontStartTag(f) +
           StyledLinkText(f) + "</font></a>";
}

// The mail link has no size field: the browser's own size holds.
std::string MailLinkBody(const Fields& f) {
    return "<a href=\"mailto:" + f.Text("email") + "\"" + StatusHandlers(f) + FontStartTag(f, {}) +
           StyledLinkText(f) + "</font></a>";
}

std::string HorizontalLineBody(const Fields& f) {
    return "<hr size=\"" + f.Text("size") + "\" width=\"" + f.Text("width") + "%\" align=\"" +
           f.Text("align") + "\"" + (f.Flag("noshade") ? " noshade" : "") + " color=\"" +
           f.Text("color") + "\">";
}

} // namespace qf::builders
