#include "workspace/source_text.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(SourceText, ValidUtf8RoundTrips) {
    const std::string bytes = "<p>caf\xC3\xA9 &#233; \xE2\x82\xAC</p>";
    const SourceText source = DecodeSource(bytes);
    EXPECT_EQ(source.encoding, SourceEncoding::Utf8);
    EXPECT_EQ(source.text, QString::fromUtf8("<p>café &#233; €</p>"));
    EXPECT_EQ(EncodeSource(source.text, source.encoding), bytes);
}

TEST(SourceText, OtherBytesAreWindows1252AndRoundTrip) {
    // 0x80 is the euro sign, 0x81 has no character, 0xE9 is e acute.
    const std::string bytes = "caf\xE9 \x80 \x81 \x93quoted\x94";
    const SourceText source = DecodeSource(bytes);
    EXPECT_EQ(source.encoding, SourceEncoding::Windows1252);
    EXPECT_EQ(source.text, QString::fromUtf8("café € \u0081 “quoted”"));
    EXPECT_EQ(EncodeSource(source.text, source.encoding), bytes);
    // What the code page cannot hold becomes a character reference.
    EXPECT_EQ(EncodeSource(QString::fromUtf8("é→😀"), SourceEncoding::Windows1252),
              "\xE9&#8594;&#128512;");
}

TEST(SourceText, TheEncodingAloneIsFoundAsDecodingFindsIt) {
    // Long texts are read in pieces of 64 KB: characters and faults that
    // stand across a piece's end, and at the very end, are found the same.
    const std::string filler(65536 - 1, 'a');
    const std::vector<std::string> texts{
        "",
        "plain",
        "caf\xC3\xA9",
        "caf\xE9",
        filler + "\xE2\x82\xAC" + "tail",                 // a euro sign across the first end
        filler + "a" + filler + "\xF0\x9F\x98\x80",       // a four-byte character at the second
        filler + "\xE2\x82",                              // cut short at the very end
        filler + "ab" + std::string(70000, 'b') + "\x93", // a fault in the second piece
        filler + "\x80\x80\x80\x80\x80",                  // a run of continuation bytes
        std::string(200000, 'x'),
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.size());
        EXPECT_EQ(EncodingOfSource(text), DecodeSource(text).encoding);
    }
    EXPECT_EQ(EncodingOfSource(filler + "\xE2\x82\xAC"), SourceEncoding::Utf8);
    EXPECT_EQ(EncodingOfSource(filler + "\xE2\x82"), SourceEncoding::Windows1252);
}

namespace {
std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += line;
    }
    return joined;
}
} // namespace

TEST(SourceText, LinesHoldOneTagOrMarkerEachAndJoinBackExactly) {
    const std::string page =
        "<html><head><title>Caf\xC3\xA9 &amp; more</title></head><body bgcolor=\"#FFFFFF\">"
        "<!---End_Body---!><!---declare_begin---!><!---Image1---!><!---////---!>"
        "<!---declare_end---!></body><!---Begin_Image1---!><img alt=\"a > b\" src='x>y.png'>"
        "<!---End_Image1---!>a < b, 3<4 <!-- note > here --></html>";
    const std::vector<std::string> lines = SourceLines(page);
    EXPECT_EQ(Joined(lines), page);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "<html>", "<head>", "<title>", "Caf\xC3\xA9 &amp; more", "</title>", "</head>",
                  "<body bgcolor=\"#FFFFFF\">", "<!---End_Body---!>", "<!---declare_begin---!>",
                  "<!---Image1---!>", "<!---////---!>", "<!---declare_end---!>", "</body>",
                  "<!---Begin_Image1---!>", "<img alt=\"a > b\" src='x>y.png'>",
                  "<!---End_Image1---!>", "a < b, 3<4 ", "<!-- note > here -->", "</html>"}));
}

TEST(SourceText, BrokenTagsStillJoinBack) {
    EXPECT_TRUE(SourceLines("").empty());
    EXPECT_EQ(SourceLines("plain"), std::vector<std::string>{"plain"});
    // An open quote ends at the first ">"; an open tag or comment runs to the end.
    EXPECT_EQ(SourceLines("<a href=\"x>go</a>"),
              (std::vector<std::string>{"<a href=\"x>", "go", "</a>"}));
    EXPECT_EQ(SourceLines("x<td width=4"), (std::vector<std::string>{"x", "<td width=4"}));
    EXPECT_EQ(SourceLines("<!---Begin_Te"), std::vector<std::string>{"<!---Begin_Te"});
    EXPECT_EQ(SourceLines("<"), std::vector<std::string>{"<"});
    EXPECT_EQ(SourceLines("\xE9<b>\xFF"), (std::vector<std::string>{"\xE9", "<b>", "\xFF"}));
}

// What Find selects: the source text of the match, or "-" for none.
QString Found(const QString& source, const QString& needle, qsizetype from = 0,
              bool backward = false) {
    const SourceMatch match = FindInSource(source, needle, from, backward);
    return match.Found() ? source.mid(match.start, match.length) : QString("-");
}

TEST(SourceText, FindReadsCharacterReferencesAsTheirCharacters) {
    const QString source = QString::fromUtf8("<p>Z&#252;rich, Z&#xFC;RICH, Z&uuml;rich</p>"
                                             "<p>Zürich &amp; Genf&#33;</p>");
    EXPECT_EQ(Found(source, QString::fromUtf8("Zürich")), "Z&#252;rich");
    // Each written form in turn, any case, then round the end.
    qsizetype from = 0;
    QStringList seen;
    for (int i = 0; i < 5; ++i) {
        const SourceMatch match = FindInSource(source, QString::fromUtf8("zürich"), from, false);
        ASSERT_TRUE(match.Found());
        seen << source.mid(match.start, match.length);
        from = match.start + match.length;
    }
    EXPECT_EQ(seen, (QStringList{"Z&#252;rich", "Z&#xFC;RICH", "Z&uuml;rich",
                                 QString::fromUtf8("Zürich"), "Z&#252;rich"}));
    // A part of a reference selects the whole of it.
    EXPECT_EQ(Found(source, QString::fromUtf8("ü")), "&#252;");
    EXPECT_EQ(Found(source, "& Genf!"), "&amp; Genf&#33;");
    // The source as written is found too.
    EXPECT_EQ(Found(source, "&#xfc;"), "&#xFC;");
    EXPECT_EQ(Found(source, "&amp;"), "&amp;");
    // Backward: the last one before the place, round the start to the end.
    EXPECT_EQ(Found(source, QString::fromUtf8("zürich"), source.indexOf("Z&uuml;"), true),
              "Z&#xFC;RICH");
    EXPECT_EQ(Found(source, QString::fromUtf8("zürich"), 0, true), QString::fromUtf8("Zürich"));
    EXPECT_EQ(Found(source, "Basel"), "-");
    EXPECT_EQ(Found(source, ""), "-");
}

TEST(SourceText, FindLeavesWhatIsNoReferenceAsItStands) {
    // Broken, unknown or forbidden references are text; a character outside
    // the first plane is one character however it is written.
    const QString source = QString::fromUtf8("&#252 &bogus; &#0; &#xD800; & x &#128512;!");
    EXPECT_EQ(Found(source, QString::fromUtf8("ü")), "-");
    EXPECT_EQ(Found(source, "&#252 "), "&#252 ");
    EXPECT_EQ(Found(source, "&bogus;"), "&bogus;");
    EXPECT_EQ(Found(source, "&#0;"), "&#0;");
    EXPECT_EQ(Found(source, "& x"), "& x");
    EXPECT_EQ(Found(source, QString::fromUtf8("\U0001F600!")), "&#128512;!");
}

} // namespace
} // namespace qf
