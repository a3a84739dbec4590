#include "components/page_properties.h"
#include "components/rollover.h"
#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

// The body start tag of a page text.
std::string BodyTag(const std::string& page) {
    const std::size_t begin = page.find("<body");
    return page.substr(begin, page.find("<!---End_Body---!>") - begin);
}

PageProperties Props(std::string heading, std::string background, bool no_scroll) {
    return {std::move(heading), std::move(background), no_scroll,   std::nullopt,
            std::nullopt,       std::nullopt,          std::nullopt};
}

TEST(PageProperties, TheSequenceOfColoursAndPictures) {
    std::string page = test::WorkedExamplePage();
    const std::string margins =
        " topmargin=\"0\" leftmargin=\"0\" bgcolor=\"#FFFFFF\" topmargin=\"0\" leftmargin=\"0\"";
    page = ApplyPageProperties(page, Props("My Page", "#336699", true));
    EXPECT_EQ(BodyTag(page), "<body scroll=\"no\" bgcolor=\"#336699\"" + margins + ">");
    page = ApplyPageProperties(page, Props("My Page", "C:\\bg.gif", false));
    EXPECT_EQ(BodyTag(page), "<body bgcolor=\"#336699\"" + margins + " background=\"C:\\bg.gif\">");
    page = ApplyPageProperties(page, Props("My Page", "#000000", false));
    EXPECT_EQ(BodyTag(page), "<body bgcolor=\"#000000\"" + margins + ">");
    page = ApplyPageProperties(page, Props("My Page", "D:\\x.jpg", false));
    EXPECT_EQ(BodyTag(page), "<body bgcolor=\"#000000\"" + margins + " background=\"D:\\x.jpg\">");
    page = ApplyPageProperties(page, Props("My Page", "E:\\y.png", false));
    EXPECT_EQ(BodyTag(page), "<body bgcolor=\"#000000\"" + margins + " background=\"E:\\y.png\">");
    // The rest of the page is untouched.
    const std::string original = test::WorkedExamplePage();
    EXPECT_EQ(page.substr(page.find("<!---End_Body---!>")),
              original.substr(original.find("<!---End_Body---!>")));
}

TEST(PageProperties, NoHeadingKeepsTheTitleScrollAndEmptyBackground) {
    std::string original = test::WorkedExamplePage();
    original.replace(original.find("<title>") + 7,
                     original.find("</title>") - original.find("<title>") - 7, "&#252;ber uns");
    std::string page = ApplyPageProperties(original, PageProperties{});
    EXPECT_EQ(page, original);                   // nothing given: nothing changes
    EXPECT_EQ(BodyTag(page), BodyTag(original)); // empty background: left as it is
    page = ApplyPageProperties(page, Props("T", "", true));
    page = ApplyPageProperties(page, Props("T", "", true));
    EXPECT_EQ(BodyTag(page), "<body scroll=\"no\"" + BodyTag(original).substr(5));
    // The dialog opens with the scroll bars as the page has them, and a
    // change that does not name them keeps them.
    EXPECT_TRUE(PageHidesScrollBars(page));
    EXPECT_FALSE(PageHidesScrollBars(original));
    PageProperties heading_only;
    heading_only.heading = "U";
    page = ApplyPageProperties(page, heading_only);
    EXPECT_EQ(BodyTag(page), "<body scroll=\"no\"" + BodyTag(original).substr(5));
    // The scroll rule looks only inside the body start tag.
    std::string framed = test::PageWith("", "<marquee scroll=\"no\">");
    framed = ApplyPageProperties(framed, Props("T", "", true));
    EXPECT_EQ(BodyTag(framed), "<body scroll=\"no\">");
    framed = ApplyPageProperties(framed, Props("T", "", false));
    EXPECT_EQ(BodyTag(framed), "<body>");
    EXPECT_NE(framed.find("<marquee scroll=\"no\">"), std::string::npos);
}

TEST(PageProperties, BackgroundRulesTouchOnlyTheirAttribute) {
    // A page created with a picture: background first, the margins behind it.
    const std::string page = test::PageWith("");
    std::string text = page;
    text.replace(text.find("<body>"), 6,
                 "<body background=\"a.gif\" topmargin=\"0\" bgcolor=#fff>");
    const std::string picture = ApplyPageProperties(text, Props("T", "b \"x\".gif", false));
    EXPECT_EQ(BodyTag(picture),
              "<body background=\"b &quot;x&quot;.gif\" topmargin=\"0\" bgcolor=#fff>");
    // A colour replaces the whole first bgcolor value, whatever its length,
    // and removes only the background attribute.
    const std::string colour = ApplyPageProperties(text, Props("T", "#123456", false));
    EXPECT_EQ(BodyTag(colour), "<body topmargin=\"0\" bgcolor=#123456>");
    // Without a bgcolor the colour goes right after "<body", unquoted.
    EXPECT_EQ(BodyTag(ApplyPageProperties(page, Props("T", "#ABCDEF", false))),
              "<body bgcolor=#ABCDEF>");
    // Non-ASCII text becomes character references.
    EXPECT_NE(
        ApplyPageProperties(page, Props("Caf\xC3\xA9", "", false)).find("<title>Caf&#233;</title>"),
        std::string::npos);
}

TEST(PageProperties, TheDialogOpensWithTheTitleAsItsReaderSeesIt) {
    auto with_title = [](const std::string& title) {
        std::string page = test::PageWith("");
        const std::size_t open = page.find("<title>") + 7;
        return page.replace(open, page.find("</title>") - open, title);
    };
    EXPECT_EQ(HeadingForEditing(with_title("&#252;ber &#xFC; uns &amp; &#65; &#55296;")),
              "\xC3\xBC"
              "ber \xC3\xBC uns &amp; &#65; &#55296;");
    EXPECT_EQ(HeadingForEditing(with_title("caf\xE9")), "caf\xC3\xA9"); // Windows-1252
    EXPECT_EQ(HeadingForEditing(with_title("")), "Welcome to .....");
    EXPECT_EQ(HeadingForEditing("<html><body><!---End_Body---!></body></html>"),
              "Welcome to .....");
    // Written back unchanged, the title stays byte for byte.
    const std::string page = with_title("&#252;ber uns &#8364;");
    EXPECT_EQ(ApplyPageProperties(page, Props(HeadingForEditing(page), "", false)), page);
}

TEST(PageProperties, TheDialogOpensWithTheBackgroundThePageHas) {
    std::string page = test::WorkedExamplePage();
    auto shown = [&] {
        const PageBackground background = BackgroundForEditing(page);
        return background.colour + " | " + background.picture;
    };
    EXPECT_EQ(shown(), "#ffffff | "); // the first bgcolor
    page = ApplyPageProperties(page, Props("T", "#336699", false));
    EXPECT_EQ(shown(), "#336699 | ");
    EXPECT_EQ(ApplyPageProperties(page, Props("T", BackgroundForEditing(page).colour, false)),
              page);
    // A picture as it was typed, whatever the attribute holds for it.
    const std::string picture = "C:\\Bilder\\Z\xc3\xbc"
                                "rich \"alt\".gif";
    page = ApplyPageProperties(page, Props("T", picture, false));
    EXPECT_EQ(shown(), "#336699 | " + picture);
    // Taken back unchanged, the page stays as it is.
    const PageBackground background = BackgroundForEditing(page);
    EXPECT_EQ(ApplyPageProperties(page, Props("T", background.picture, false)), page);

    // A colour OK could not write back (a name, a stray sign) is not offered.
    for (const char* tag :
         {"<body bgcolor=white>", "<body bgcolor=\"#33 66\">", "<body bgcolor='#'>"}) {
        std::string odd = test::WorkedExamplePage();
        odd.replace(odd.find("<body"), odd.find("<!---End_Body---!>") - odd.find("<body"), tag);
        EXPECT_EQ(BackgroundForEditing(odd).colour, "") << tag;
    }
    std::string unquoted = test::WorkedExamplePage();
    unquoted.replace(unquoted.find("<body"),
                     unquoted.find("<!---End_Body---!>") - unquoted.find("<body"),
                     "<body background=sky.png bgcolor=#00ff00>");
    EXPECT_EQ(BackgroundForEditing(unquoted).colour, "#00ff00");
    EXPECT_EQ(BackgroundForEditing(unquoted).picture, "sky.png");
    EXPECT_EQ(BackgroundForEditing("<html><body>no marker</body></html>").colour, "");
}

TEST(PageProperties, AHeadingCannotReachTheBodyTagOrEndTheTitle) {
    const std::string original = test::WorkedExamplePage();
    // "<body" in the heading: the body tag after the head is still the one edited.
    std::string page = ApplyPageProperties(original, Props("a <body x> b", "#336699", true));
    EXPECT_NE(page.find("<title>a <body x> b</title>"), std::string::npos) << page;
    EXPECT_EQ(BodyTag(page.substr(page.find("</head>"))).substr(0, 35),
              "<body scroll=\"no\" bgcolor=\"#336699\"");
    page = ApplyPageProperties(page, Props("<body", "#000000", false));
    EXPECT_NE(page.find("<title><body</title></head><body bgcolor=\"#000000\" topmargin"),
              std::string::npos)
        << page;
    EXPECT_EQ(BodyTagStart(page), page.find("</head>") + 7);
    for (const char* bad : {"x</title>y", "x</TITLE>", "</Title", "a\nb", "a\r"}) {
        EXPECT_THROW(ApplyPageProperties(original, Props(bad, "", false)), CommandError) << bad;
    }
}

TEST(PageProperties, TheRolloverScriptGoesIntoTheHeadWhateverTheTitleHolds) {
    // A heading holding "</head>" or the reference itself leaves the head's
    // own end tag as the place, and the script is still referred to once.
    const std::string reference(kRolloverScriptReference);
    for (const std::string& heading :
         std::vector<std::string>{"x</head>y", reference, "a</head>" + reference}) {
        std::string page =
            ApplyPageProperties(test::WorkedExamplePage(), Props(heading, "", false));
        AddRolloverScriptReference(page);
        EXPECT_NE(page.find("<title>" + heading + "</title>" + reference + "</head>"),
                  std::string::npos)
            << page;
        const std::string once = page;
        AddRolloverScriptReference(page);
        EXPECT_EQ(page, once);
    }
    // The same text typed into a component loads nothing.
    std::string page = test::PageWith("<!---Table1---!>", test::TableArea(1, reference));
    AddRolloverScriptReference(page);
    EXPECT_NE(page.find("</title>" + reference + "</head>"), std::string::npos) << page;
}

TEST(PageProperties, RefusesWhatItCannotHandleAndChangesNothing) {
    EXPECT_THROW(ApplyPageProperties("<html><body>x</body></html>", PageProperties{}),
                 CommandError);
    EXPECT_THROW(
        ApplyPageProperties("<html><body><!---End_Body---!></html>", Props("T", "", false)),
        CommandError);
    // The body start tag must end right before the body marker: other markup
    // between them, or a quote that never closes, would take the attributes.
    const std::string head = "<html><head><title>T</title></head>";
    for (const std::string body :
         {"<body bgcolor=#FFFFFF><p class=\"a\">text</p><!---End_Body---!>",
          "<body title=\"a><!---End_Body---!>"}) {
        EXPECT_THROW(ApplyPageProperties(head + body + "</body></html>", Props("T", "x.gif", true)),
                     CommandError)
            << body;
    }
    EXPECT_EQ(BodyTag(ApplyPageProperties(head + "<body onload='a>b'><!---End_Body---!>",
                                          Props("T", "x.gif", false))),
              "<body onload='a>b' background=\"x.gif\">");
    // "<body" must be the whole tag name: "<bodyx" or "<body!" is another tag.
    for (const char* other : {"<body!bgcolor=#FFFFFF>", "<bodyx>"}) {
        EXPECT_THROW(
            ApplyPageProperties(head + other + "<!---End_Body---!>", Props("T", "#000000", false)),
            CommandError)
            << other;
    }
    // A colour is "#" and letters and digits: a blank, a quote or a ">" would
    // break the body start tag, which takes the colour without quotes.
    for (const char* colour : {"#33 66 99", "#fff\"x", "#fff>", "#336699\t"}) {
        EXPECT_THROW(ApplyPageProperties(test::WorkedExamplePage(), Props("T", colour, false)),
                     CommandError)
            << colour;
    }
    EXPECT_NE(ApplyPageProperties(head + "<body><!---End_Body---!>", Props("T", "#a1B2c3", false))
                  .find("<body bgcolor=#a1B2c3>"),
              std::string::npos);
    EXPECT_THROW(ApplyPageProperties(test::WorkedExamplePage(), Props("<!---x", "", false)),
                 CommandError);
    EXPECT_THROW(ApplyPageProperties(test::WorkedExamplePage(), Props("x", "a---!>", false)),
                 CommandError);

    QTemporaryDir dir;
    Workspace workspace;
    const std::string path = dir.filePath("p.html").toStdString();
    WritePageFile(path, test::WorkedExamplePage());
    OpenPage(workspace, path);
    SetPageProperties(workspace, Props("New", "#336699", false));
    EXPECT_EQ(workspace.page_header, "New");
    EXPECT_EQ(ReadPageFile(path), workspace.page_text);
    workspace.page_path = dir.filePath("gone/p.html").toStdString();
    const std::string before = workspace.page_text;
    EXPECT_THROW(SetPageProperties(workspace, Props("Newer", "", false)), CommandError);
    EXPECT_EQ(workspace.page_text, before);
    EXPECT_EQ(workspace.page_header, "New");
}

TEST(PageProperties, TheDescriptionGoesBehindTheTitleReadsBackAndComesOut) {
    const std::string page = test::WorkedExamplePage();
    PageProperties set;
    set.description = "Bread & cakes \"fresh\" daily, caf\xC3\xA9 too";
    const std::string with = ApplyPageProperties(page, set);
    EXPECT_NE(with.find("</title><meta name=\"description\" content=\"Bread & cakes "
                        "&quot;fresh&quot; daily, caf&#233; too\"></head>"),
              std::string::npos)
        << with;
    EXPECT_EQ(DescriptionForEditing(with), *set.description);
    EXPECT_EQ(DescriptionForEditing(page), "");
    // Changed in its place, not added twice; kept when not given.
    set.description = "Other";
    const std::string changed = ApplyPageProperties(with, set);
    EXPECT_EQ(DescriptionForEditing(changed), "Other");
    EXPECT_EQ(changed.find("name=\"description\""), changed.rfind("name=\"description\""));
    EXPECT_EQ(ApplyPageProperties(changed, PageProperties{}), changed);
    // Empty takes it out: the page is as it was.
    set.description = "";
    EXPECT_EQ(ApplyPageProperties(with, set), page);
    for (const char* bad : {"two\nlines", "a <!--- marker"}) {
        set.description = bad;
        EXPECT_THROW(ApplyPageProperties(page, set), CommandError) << bad;
    }
}

TEST(PageProperties, ALanguageOfItsOwnAndHidingFromSearchComeAndGo) {
    const std::string page = test::WorkedExamplePage();
    PageProperties set;
    set.language = "de-CH";
    set.hide_from_search = true;
    set.description = "Brot";
    const std::string with = ApplyPageProperties(page, set);
    EXPECT_NE(with.find("<html lang=\"de-CH\"><head><title>My Page</title><meta "
                        "name=\"description\" content=\"Brot\">" +
                        std::string(kNoIndexTag) + "</head>"),
              std::string::npos)
        << with;
    EXPECT_EQ(LanguageForEditing(with), "de-CH");
    EXPECT_TRUE(PageHiddenFromSearch(with));
    EXPECT_FALSE(PageHiddenFromSearch(page));
    // Changed in place, never twice; a lang written by hand is read too.
    set.language = "fr";
    const std::string changed = ApplyPageProperties(with, set);
    EXPECT_EQ(LanguageForEditing(changed), "fr");
    EXPECT_EQ(changed.find(kNoIndexTag), changed.rfind(kNoIndexTag));
    EXPECT_EQ(LanguageForEditing("<HTML LANG=it><head>"), "it");
    // Taken out again: the page is as it was.
    PageProperties undo;
    undo.language = "";
    undo.hide_from_search = false;
    undo.description = "";
    EXPECT_EQ(ApplyPageProperties(changed, undo), page);
    for (const char* bad : {"english", "e", "de_CH", "de-\"x", "<!---"}) {
        PageProperties refused;
        refused.language = bad;
        EXPECT_THROW(ApplyPageProperties(page, refused), CommandError) << bad;
    }
}

} // namespace
} // namespace qf
