#include "components/builders.h"

#include "components/user_text.h"

namespace qf::builders {

namespace {

struct Styles {
    std::string open;
    std::string close;
};

// The ticked styles, opened in the order bold, italic, underline, strike and
// closed in the reverse order, so that they nest.
Styles StyleTags(const Fields& f) {
    static constexpr struct {
        std::string_view field;
        std::string_view open;
        std::string_view close;
    } kStyles[] = {
        {"bold", "<b>", "</b>"},
        {"italic", "<I>", "</I>"},
        {"underline", "<u>", "</u>"},
        {"strikeout", "<strike>", "</strike>"},
    };
    Styles styles;
    for (const auto& style : kStyles) {
        if (f.Flag(style.field)) {
            styles.open.append(style.open);
            styles.close.insert(0, style.close);
        }
    }
    return styles;
}

std::string DivOpen(const Fields& f) {
    return "<div align=\"" + f.Text("align") + "\">";
}

// A main text followed by a raised or lowered text that alone carries the styles.
std::string ScriptBody(const Fields& f, std::string_view script_field, std::string_view tag) {
    const Styles styles = StyleTags(f);
    return DivOpen(f) + FontStartTag(f) + f.Text("text") + "<" + std::string(tag) + ">" +
           styles.open + f.Text(script_field) + styles.close + "</" + std::string(tag) +
           "></font></div>";
}

// One element of its own per item, each repeating the font and the styles;
// no list container.
std::string ListBody(const Fields& f, std::string_view item_open, std::string_view item_close) {
    const Styles styles = StyleTags(f);
    const std::string font = FontStartTag(f);
    std::string body = DivOpen(f);
    for (const std::string& item : f.Lines("items")) {
        body.append(item_open).append(font).append(styles.open).append(item);
        body.append(styles.close).append("</font>").append(item_close);
    }
    return body + "</div>";
}

} // namespace

std::string TextBody(const Fields& f) {
    const Styles styles = StyleTags(f);
    return DivOpen(f) + FontStartTag(f) + styles.open + f.Text("text") + styles.close +
           "</font></div>";
}

std::string SubscriptBody(const Fields& f) {
    return ScriptBody(f, "sub", "sub");
}

std::string SuperscriptBody(const Fields& f) {
    return ScriptBody(f, "sup", "sup");
}

std::string ItemListBody(const Fields& f) {
    return ListBody(f, "<dd>", "</dd>");
}

std::string BulletItemListBody(const Fields& f) {
    return ListBody(f, "<li>", "</li>");
}

std::string SpacedListBody(const Fields& f) {
    return ListBody(f, "<menu>", "</menu>");
}

// What the user typed is the body; the field took it into the page's
// characters and refused the markers' delimiters.
std::string HtmlCodeBody(const Fields& f) {
    return KeptLineBreaks(f.Text("code"));
}

} // namespace qf::builders
