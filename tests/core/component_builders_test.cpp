#include "components/colour.h"
#include "components/component_fields.h"
#include "components/font_faces.h"
#include "document/kind_table.h"
#include "error.h"
#include "test_pages.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

using test::ErrorOf;

TEST(ComponentFields, EveryKindIsInTheKindTableWithItsDisplayName) {
    ASSERT_EQ(ComponentSpecs().size(), 30u);
    for (const ComponentSpec& spec : ComponentSpecs()) {
        const Kind* kind = FindKindByTag(spec.kind_tag);
        ASSERT_NE(kind, nullptr) << spec.kind_tag;
        EXPECT_EQ(kind->display_name, spec.display_name);
        // Every kind builds from its initial values alone (a custom table
        // from its file).
        if (spec.kind_tag != "Custom_Table") {
            EXPECT_NO_THROW(BuildComponentBody(spec.kind_tag, {})) << spec.kind_tag;
        }
    }
}

TEST(ImageBuilders, ImageAndImageLinkFromDefaultsAndValues) {
    EXPECT_EQ(BuildComponentBody("Image", {}),
              "<img src=\"http://\" align=\"\" alt=\"\" border=\"0\" bordercolor=\"\">");
    // A size left at 0 (or less) is not written: the picture keeps its own.
    EXPECT_EQ(BuildComponentBody("Image", {{"src", ""},
                                           {"width", "-5"},
                                           {"height", "+60"},
                                           {"align", "Left"},
                                           {"alt", "Logo"},
                                           {"border", "2"},
                                           {"bordercolor", "#FF8000"}}),
              "<img src=\"\" height=\"60\" align=\"Left\" alt=\"Logo\" title=\"Logo\" border=\"2\" "
              "bordercolor=\"#FF8000\">");
    EXPECT_EQ(BuildComponentBody("Image", {{"src", "a.gif"}, {"width", "120"}, {"height", "60"}}),
              "<img src=\"a.gif\" width=\"120\" height=\"60\" align=\"\" alt=\"\" border=\"0\" "
              "bordercolor=\"\">");
    EXPECT_EQ(BuildComponentBody("Link_Img", {}),
              "<a href=\"Select\"><img src=\"http://\" align=\"\" alt=\"\" border=\"0\" "
              "bordercolor=\"\"></a>");
    EXPECT_NE(BuildComponentBody("Link_Img", {{"width", "7"}})
                  .find("<img src=\"http://\" width=\"7\" align"),
              std::string::npos);
    EXPECT_EQ(BuildComponentBody("Link_Img", {{"href", "http://x.org/"}, {"newwindow", "1"}})
                  .substr(0, 57),
              "<a href=\"http://x.org/\" target=\"_blank\"><img src=\"http://");
}

TEST(ImageBuilders, RolloverTextLinkMailLinkAndLine) {
    EXPECT_EQ(BuildComponentBody("Roll_Img", {{"href", "about.html"},
                                              {"src", "C:/Pics/a.gif"},
                                              {"rollover", "C:/Pics/b.gif"},
                                              {"alt", "Hi"},
                                              {"newwindow", "1"}}),
              "<a href=\"about.html\" onMouseOut=\"RestoreImg()\" "
              "onMouseOver=\"SwitchImg('document.y','document.y','C:/Pics/b.gif')\" target=_blank>"
              "<img src=\"C:/Pics/a.gif\" name=\"y\" alt=\"Hi\" title=\"Hi\" border=\"0\"></a>");
    EXPECT_EQ(
        BuildComponentBody("Text_Link", {{"href", "a.html"},
                                         {"face", " Verdana"},
                                         {"size", "3"},
                                         {"bold", "1"},
                                         {"underline", "1"},
                                         {"newwindow", "1"},
                                         {"text", "Home"},
                                         {"status", "Go home"}}),
        "<a href=\"a.html\" target=_blank onMouseOver=\"window.status='Go home'; return true;\" "
        "onMouseOut=\"window.status=''; return true;\"><font face=\" Verdana\" size=\"3\" "
        "color=\"\"><b><u>Home</u></b></font></a>");
    // A mouse-over colour colours the link's text while the mouse is over it.
    EXPECT_EQ(BuildComponentBody("Text_Link", {{"text", "Go"}, {"hovercolor", "#FF0000"}}),
              "<a href=\"http://\" onMouseOver=\"window.status=''; "
              "this.firstChild.style.color='#FF0000'; return true;\" "
              "onMouseOut=\"window.status=''; this.firstChild.style.color=''; return true;\">"
              "<font face=\"Arial\" color=\"\">Go</font></a>");
    EXPECT_EQ(BuildComponentBody("Mail_Link", {{"hovercolor", "it's"}}),
              "<a href=\"mailto:\" onMouseOver=\"window.status=''; "
              "this.firstChild.style.color='it\\'s'; return true;\" "
              "onMouseOut=\"window.status=''; this.firstChild.style.color=''; return true;\">"
              "<font face=\"Arial\" color=\"\"></font></a>");
    // The mail link has no size field: the browser's own size holds.
    EXPECT_EQ(BuildComponentBody("Mail_Link", {{"email", "me@x.org"}}),
              "<a href=\"mailto:me@x.org\" onMouseOver=\"window.status=''; return true;\" "
              "onMouseOut=\"window.status=''; return true;\"><font face=\"Arial\" "
              "color=\"\"></font></a>");
    EXPECT_EQ(BuildComponentBody("Hr", {}), "<hr size=\"\" width=\"1%\" align=\"\" color=\"\">");
    EXPECT_EQ(BuildComponentBody("Hr", {{"size", "2"},
                                        {"width", "50"},
                                        {"align", "Center"},
                                        {"noshade", "1"},
                                        {"color", "#000000"}}),
              "<hr size=\"2\" width=\"50%\" align=\"Center\" noshade color=\"#000000\">");
    EXPECT_EQ(ErrorOf("Hr", {{"width", "0"}}), "Width (width) must be between 1 and 100");
    EXPECT_EQ(ErrorOf("Hr", {{"width", "101"}}), "Width (width) must be between 1 and 100");
    EXPECT_NO_THROW(BuildComponentBody("Hr", {{"width", "100"}}));
}

TEST(TextBuilders, TextSubscriptAndSuperscript) {
    EXPECT_EQ(BuildComponentBody("Text", {{"face", std::string(FaceOfListEntry(" Arial"))},
                                          {"size", "3"},
                                          {"color", "#FF0000"},
                                          {"align", "Center"},
                                          {"bold", "1"},
                                          {"italic", "1"},
                                          {"text", "Hello"}}),
              "<div align=\"Center\"><font face=\"Arial\" size=\"3\" "
              "color=\"#FF0000\"><b><I>Hello</I></b>"
              "</font></div>");
    // Size 0 and no face write neither: the browser's own size and face hold
    // (size="0" shows the smallest text). Sizes are HTML's 1 to 7: a size
    // of 12, which browsers show as 7 (48 px), is refused with the range.
    EXPECT_EQ(BuildComponentBody("Text", {}), "<div align=\"\"><font color=\"\"></font></div>");
    EXPECT_EQ(BuildComponentBody("Text", {{"size", "7"}, {"face", "Georgia"}}),
              "<div align=\"\"><font face=\"Georgia\" size=\"7\" color=\"\"></font></div>");
    for (const char* size : {"12", "8", "-1"}) {
        EXPECT_EQ(test::ErrorOf("Text", {{"size", size}}), "Size (size) must be between 0 and 7")
            << size;
    }
    for (const char* kind : {"Text", "Subscript", "Superscript", "Item_List", "Bullet_Item_List",
                             "Spaced_List", "Text_Link", "Mail_Link", "Data_Table"}) {
        FieldValues values;
        for (const char* field : {"face", "items", "text"}) {
            if (FindField(*FindComponentSpec(kind), field) != nullptr) {
                values[field] = field == std::string("face") ? "" : "a";
            }
        }
        const std::string body = BuildComponentBody(kind, values);
        EXPECT_EQ(body.find("size="), std::string::npos) << kind << ": " << body;
        EXPECT_EQ(body.find("face="), std::string::npos) << kind << ": " << body;
    }
    EXPECT_EQ(BuildComponentBody("Text", {{"bold", "1"},
                                          {"italic", "1"},
                                          {"underline", "1"},
                                          {"strikeout", "1"},
                                          {"text", "x"}}),
              "<div align=\"\"><font "
              "color=\"\"><b><I><u><strike>x</strike></u></I></b>"
              "</font></div>");
    EXPECT_EQ(BuildComponentBody("Subscript", {{"text", "H"}, {"sub", "2"}}),
              "<div align=\"\"><font color=\"\">H<sub>2</sub></font></div>");
    // Styles reach the raised text only.
    EXPECT_EQ(
        BuildComponentBody("Superscript", {{"text", "E=mc"}, {"sup", "2"}, {"underline", "1"}}),
        "<div align=\"\"><font color=\"\">E=mc<sup><u>2</u></sup></font></div>");
}

TEST(TextBuilders, ListsTakeOneItemPerLineAsTyped) {
    const std::string font = "<font color=\"\">";
    EXPECT_EQ(BuildComponentBody("Bullet_Item_List", {{"items", "one\n\ntwo"}}),
              "<div align=\"\"><li>" + font + "one</font></li><li>" + font +
                  "two</font></li></div>");
    EXPECT_EQ(BuildComponentBody("Item_List", {{"items", "a\r\n  \r\n"}, {"bold", "1"}}),
              "<div align=\"\"><dd>" + font + "<b>a</b></font></dd><dd>" + font +
                  "<b>  </b></font></dd></div>");
    const std::string spaced = BuildComponentBody("Spaced_List", {{"items", "a\nb\nc"}});
    EXPECT_EQ(spaced.find("<menu><font color=\"\">a</font></menu><menu>"), 14u) << spaced;
    EXPECT_EQ(BuildComponentBody("Spaced_List", {}), "<div align=\"\"></div>");
    // A lone CR (old Mac line ends, pasted text) ends a line as well: no line
    // break reaches the page, whose text holds none.
    EXPECT_EQ(BuildComponentBody("Bullet_Item_List", {{"items", "one\rtwo\r\r\nthree\r"}}),
              "<div align=\"\"><li>" + font + "one</font></li><li>" + font + "two</font></li><li>" +
                  font + "three</font></li></div>");
    EXPECT_EQ(BuildComponentBody("Drop_List", {{"options", "S\rM"}}).find_first_of("\r\n"),
              std::string::npos);
    // No limit on the number of lines; a long line stays one item.
    std::string many;
    for (int i = 0; i < 150; ++i) {
        many += "item " + std::to_string(i) + " " + std::string(200, 'w') + "\n";
    }
    const std::string body = BuildComponentBody("Bullet_Item_List", {{"items", many}});
    std::size_t count = 0;
    for (std::size_t pos = body.find("<li>"); pos != std::string::npos;
         pos = body.find("<li>", pos + 1)) {
        ++count;
    }
    EXPECT_EQ(count, 150u);
    EXPECT_NE(body.find("item 149 "), std::string::npos);
}

TEST(FieldValues, QuotesInAttributesAndCharactersOutsideAscii) {
    // A double quote cannot end an attribute early; element content stays as typed.
    EXPECT_EQ(
        BuildComponentBody("Image", {{"alt", "say \"hi\""}}),
        "<img src=\"http://\" align=\"\" alt=\"say &quot;hi&quot;\" title=\"say &quot;hi&quot;\" "
        "border=\"0\" "
        "bordercolor=\"\">");
    EXPECT_NE(BuildComponentBody("Text", {{"text", "<b>\"x\"</b> & y"}})
                  .find("\"><b>\"x\"</b> & y</font>"),
              std::string::npos);
    EXPECT_NE(
        BuildComponentBody("Mail_Link", {{"text", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"}})
            .find(">caf&#233; &#8364; &#128512;</font>"),
        std::string::npos);
    EXPECT_NE(BuildComponentBody("Image", {{"alt", "\xC3\xA9\""}}).find("alt=\"&#233;&quot;\""),
              std::string::npos);
    EXPECT_EQ(ErrorOf("Text", {{"text", "bad \xC3"}}), "Text (text): the text is not valid UTF-8");
    EXPECT_EQ(ErrorOf("Text", {{"text", "overlong \xC0\xAF"}}),
              "Text (text): the text is not valid UTF-8");
}

TEST(FieldValues, TextsHandedToScriptsKeepTheirStringsClosed) {
    // The status-bar text and the rollover picture stand in single-quoted
    // script strings: a quote or backslash there is escaped, and only there.
    // A typed reference is shown as typed: decoded with the attribute, it
    // would end the string.
    const FieldValues status = {{"status", "Don't \\ \"stop\" &#39;"}, {"text", "Don't \\"}};
    const std::string handler =
        " onMouseOver=\"window.status='Don\\'t \\\\ &quot;stop&quot; &amp;#39;'; return true;\"";
    for (const char* kind : {"Text_Link", "Mail_Link"}) {
        const std::string body = BuildComponentBody(kind, status);
        EXPECT_NE(body.find(handler), std::string::npos) << body;
        EXPECT_NE(body.find(">Don't \\</font>"), std::string::npos) << body;
    }
    EXPECT_EQ(
        BuildComponentBody(
            "Roll_Img",
            {{"rollover", "C:\\Pics\\Bob's b.gif"}, {"src", "Bob's a.gif"}, {"alt", "Bob's"}}),
        "<a href=\"http://\" onMouseOut=\"RestoreImg()\" "
        "onMouseOver=\"SwitchImg('document.y','document.y','C:\\\\Pics\\\\Bob\\'s b.gif')\">"
        "<img src=\"Bob's a.gif\" name=\"y\" alt=\"Bob's\" title=\"Bob's\" border=\"0\"></a>");
}

TEST(FieldValues, AnEmptyNumberFieldIsItsMinimum) {
    EXPECT_NE(BuildComponentBody("Image", {{"width", ""}, {"border", ""}})
                  .find("<img src=\"http://\" align=\"\" alt=\"\" border=\"0\""),
              std::string::npos);
    EXPECT_NE(BuildComponentBody("Hr", {{"width", ""}}).find("width=\"1%\""), std::string::npos)
        << BuildComponentBody("Hr", {{"width", ""}});
}

TEST(FieldValues, RefusalsNameTheField) {
    EXPECT_EQ(ErrorOf("Image", {{"alt", "a<!---b"}}),
              "Mouse Over Text (alt) may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(ErrorOf("Text", {{"text", "x---!>"}}),
              "Text (text) may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(ErrorOf("Item_List", {{"items", "a\n<!---Table1---!>"}}),
              "Items (items) may not contain \"<!---\" or \"---!>\"");
    EXPECT_EQ(ErrorOf("Image", {{"colour", "x"}}), "'colour' is not a field of Image");
    EXPECT_EQ(ErrorOf("Marquee", {}), "Unknown component kind 'Marquee'");
    EXPECT_EQ(ErrorOf("Image", {{"width", "12px"}}),
              "Width (width): '12px' is not a valid integer value");
    EXPECT_EQ(ErrorOf("Image", {{"width", "99999999999"}}),
              "Width (width): '99999999999' is not a valid integer value");
    EXPECT_EQ(ErrorOf("Image", {{"border", "-2147483648"}}), "(no error)");
    // One sign at most.
    EXPECT_EQ(ErrorOf("Image", {{"width", "+-5"}}),
              "Width (width): '+-5' is not a valid integer value");
    EXPECT_EQ(ErrorOf("Image", {{"width", "++5"}}),
              "Width (width): '++5' is not a valid integer value");
    EXPECT_EQ(ErrorOf("Text", {{"bold", "yes"}}), "Bold (bold) must be 0 or 1");
    EXPECT_EQ(ErrorOf("Image", {{"alt", "two\nlines"}}),
              "Mouse Over Text (alt) must be a single line");
}

TEST(Colours, ColourReferenceToHtmlOrder) {
    EXPECT_EQ(ColorToHtmlHex(ColourRef(255, 128, 0)), "FF8000");
    EXPECT_EQ(ColorToHtmlHex(0), "000000");
    EXPECT_EQ(ColorToHtmlHex(0xFF0A0B0C), "0C0B0A"); // top byte ignored, leading zeros kept
    EXPECT_EQ(ColorToHtmlHex(ColourRef(0x33, 0x66, 0x99)), "336699");
}

TEST(FontFaces, ThirtyEightFacesWithALeadingBlank) {
    const auto faces = FontFaces();
    ASSERT_EQ(faces.size(), 38u);
    EXPECT_EQ(faces.front(), " Arial");
    EXPECT_EQ(faces[7], " Franklin Gothic Medium");
    EXPECT_EQ(faces.back(), " Wingdings");
    for (std::string_view face : faces) {
        EXPECT_EQ(face.front(), ' ');
    }
    EXPECT_EQ(FaceOfListEntry(" Verdana"), "Verdana");
    EXPECT_EQ(FaceOfListEntry(""), "");
}

} // namespace
} // namespace qf
