#include "components/builders.h"

namespace qf::builders {

namespace {

// The img element shared by the image and the image link; a size left at 0
// is not written, so the picture shows at its own size.
std::string ImageElement(const Fields& f) {
    return "<img src=\"" + f.Text("src") + "\"" + SetNumberAttribute(f, "width", "width") +
           SetNumberAttribute(f, "height", "height") + " align=\"" + f.Text("align") + "\" alt=\"" +
           f.Text("alt") + "\" border=\"" + f.Text("border") + "\" bordercolor=\"" +
           f.Text("bordercolor") + "\">";
}

// The status-bar handlers of the text and mail links.
std::string StatusHandlers(const Fields& f) {
    return " onMouseOver=\"window.status='" + f.Text("status") +
           "'; return true;\" onMouseOut=\"window.status=''; return true;\">";
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
           f.Text("rollover") + "')\"" + target + "><img src=\"" + f.Text("src") +
           "\" name=\"y\" alt=\"" + f.Text("alt") + "\" border=\"0\"></a>";
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
