// Where a page file's lines are cut: only at blanks a browser reads as mere
// blanks, checked over generated pages whose protected parts are known by
// construction.
#include "components/component_fields.h"
#include "document/page_file.h"
#include "test_pages.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace qf {
namespace {

// A page text built piece by piece, remembering every blank a line may end
// after and every part no line break may fall into.
class GeneratedPage {
public:
    // Text whose blanks are all blanks between words or attributes.
    void Free(const std::string& piece) {
        for (std::size_t i = 0; i < piece.size(); ++i) {
            if (piece[i] == ' ') {
                free_blanks_.insert(text_.size() + i);
            }
        }
        text_ += piece;
    }
    // Text that must stay on one line.
    void Whole(const std::string& piece) { text_ += piece; }

    const std::string& text() const { return text_; }
    bool IsFree(std::size_t blank) const { return free_blanks_.count(blank) != 0; }
    // The first free blank in [from, to), or npos.
    std::size_t FreeBlankIn(std::size_t from, std::size_t to) const {
        const auto it = free_blanks_.lower_bound(from);
        return it != free_blanks_.end() && *it < to ? *it : std::string::npos;
    }

private:
    std::string text_;
    std::set<std::size_t> free_blanks_;
};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    std::string Words(int most, const std::vector<std::string>& from) {
        std::string words;
        const int count = 1 + Pick(most);
        for (int i = 0; i < count; ++i) {
            words += (i > 0 ? " " : "") + from[std::size_t(Pick(int(from.size())))];
        }
        return words;
    }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    void AddPiece(GeneratedPage& page) {
        static const std::vector<std::string> text_words = {"word", "a",      "b2", "x=y", "&amp;",
                                                            "it's", "\"so\"", "a<", "-->"};
        static const std::vector<std::string> value_words = {
            "a", "bb", "C:/My Pictures/b.gif", "it", "x=y", "<b>", "&amp;", "!", "-", "'"};
        static const std::vector<std::string> raw_words = {
            "var", "s", "=", "'a b';", "\"q r\"", "<b>", "if", "(a<b)", "</i>", "-->", "<!--"};
        static const std::vector<std::string> elements = {"script", "SCRIPT", "Style", "textarea",
                                                          "PRE",    "pre",    "xmp"};
        switch (Pick(9)) {
        case 0:
            page.Free(Words(30, text_words) + " ");
            break;
        case 1: {
            // A tag with quoted, single-quoted and unquoted values.
            page.Free("<img");
            for (int i = Pick(4); i >= 0; --i) {
                switch (Pick(3)) {
                case 0:
                    page.Free(" alt=");
                    page.Whole("\"" + Words(40, value_words) + "\"");
                    break;
                case 1:
                    page.Free(" title=");
                    std::string value = Words(10, value_words);
                    std::erase(value, '\'');
                    page.Whole("'" + value + "'");
                    break;
                }
                page.Free(" width=400 border");
            }
            page.Free(">");
            break;
        }
        case 2: {
            // A status-bar text inside a JavaScript string inside an attribute.
            page.Free("<a href=x.html onMouseOver=");
            std::string status = Words(30, value_words);
            std::erase(status, '\'');
            page.Whole("\"window.status='" + status + "'; return true;\"");
            page.Free(">link</a> ");
            break;
        }
        case 3: {
            const std::string element = elements[std::size_t(Pick(int(elements.size())))];
            page.Free("<" + element + " class=c>");
            if (element == "pre" || element == "PRE") {
                // Its content is markup: text, and a tag that is not its end tag.
                page.Whole(Words(60, text_words) + " </" + element + "x>y ");
            } else {
                page.Whole(Words(60, raw_words) + " </" + element + "x y ");
            }
            page.Free("</" + element + "> ");
            break;
        }
        case 4:
            page.Whole("<!-- " + Words(20, value_words) + " -->");
            break;
        case 5:
            page.Whole("<!---Begin_Text" + std::to_string(1 + Pick(999)) + "---!>");
            break;
        case 6:
            page.Whole("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">");
            break;
        case 7:
            page.Free(std::string(std::size_t(Pick(200)), 'x') + " ");
            break;
        default:
            page.Free("a < b and </> ");
            break;
        }
    }

private:
    std::mt19937 random_;
};

// Checks the cut rule on one page: every line but the last ends after a free
// blank, and is as long as that rule allows within kPageLineWidth.
void ExpectCutsAtFreeBlanks(const GeneratedPage& page) {
    const std::string& text = page.text();
    const std::vector<std::string_view> lines = CutIntoLines(text);
    std::size_t start = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t end = start + lines[i].size();
        const std::size_t reach = start + kPageLineWidth;
        if (i + 1 < lines.size()) {
            ASSERT_TRUE(page.IsFree(end - 1))
                << "cut inside a protected part: ..." << text.substr(end - 40, 40) << "|"
                << text.substr(end, 40) << "...";
            if (lines[i].size() <= kPageLineWidth) {
                EXPECT_EQ(page.FreeBlankIn(end, reach), std::string::npos) << "line cut early";
            }
        }
        if (lines[i].size() > kPageLineWidth) {
            EXPECT_EQ(page.FreeBlankIn(start, std::min(reach, end - 1)), std::string::npos)
                << "overlong line with a free blank: " << lines[i];
        }
        start = end;
    }
    EXPECT_EQ(start, text.size());
    EXPECT_EQ(DecodePageFile(EncodePageFile(text)), text);
}

TEST(LineCuts, NeverInsideQuotedValuesCommentsOrWholeContentElements) {
    for (unsigned seed = 1; seed <= 300; ++seed) {
        Generator generator(seed);
        GeneratedPage page;
        const int pieces = int(seed % 60) + 1;
        for (int i = 0; i < pieces; ++i) {
            generator.AddPiece(page);
        }
        SCOPED_TRACE("seed " + std::to_string(seed));
        ExpectCutsAtFreeBlanks(page);
        if (HasFatalFailure()) {
            return;
        }
    }
}

TEST(LineCuts, ComponentsOfEveryKindKeepTheirAttributeValuesWhole) {
    // Values full of blanks in every text field of every kind: the built
    // bodies' double-quoted values must come through on one line each.
    Generator generator(99);
    const std::vector<std::string> words = {"a", "bb", "long", "C:/My Pictures/over.gif", "it's"};
    GeneratedPage page;
    for (int round = 0; round < 20; ++round) {
        for (const ComponentSpec& spec : ComponentSpecs()) {
            if (spec.kind_tag == "Custom_Table") {
                continue; // its body is its file's text, not built from fields
            }
            FieldValues values;
            for (const FieldSpec& field : spec.fields) {
                if (field.format == FieldFormat::kAttribute ||
                    field.format == FieldFormat::kContent) {
                    values[std::string(field.name)] = generator.Words(25, words);
                }
            }
            const std::string body = BuildComponentBody(spec.kind_tag, values);
            // Free blanks: those outside tags and between attributes.
            bool in_tag = false;
            char quote = 0;
            for (std::size_t i = 0; i < body.size(); ++i) {
                const char c = body[i];
                const std::string one(1, c);
                if (quote != 0) {
                    quote = c == quote ? 0 : quote;
                    page.Whole(one);
                } else if (in_tag && c == '"' && i > 0 && body[i - 1] == '=') {
                    quote = c;
                    page.Whole(one);
                } else {
                    in_tag = c == '<' ? true : c == '>' ? false : in_tag;
                    page.Free(one);
                }
            }
            page.Free(" ");
        }
    }
    ExpectCutsAtFreeBlanks(page);
}

TEST(LineCuts, AValueLongerThanALineStaysWhole) {
    const std::string value(300, ' ');
    const std::string text = "<img alt=\"" + value + "\">" + std::string(50, 'y') + " z";
    const std::vector<std::string_view> lines = CutIntoLines(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "<img ");
    EXPECT_EQ(lines[1], text.substr(5, text.size() - 6));
    // A textarea's default text gains no line break the visitor would see.
    std::string area = "<textarea>";
    for (int i = 0; i < 40; ++i) {
        area += "line of default text ";
    }
    area += "</TEXTAREA> after";
    const std::vector<std::string_view> area_lines = CutIntoLines(area);
    ASSERT_EQ(area_lines.size(), 2u);
    EXPECT_EQ(area_lines[1], "after");
}

// The line a page text's position falls on.
std::size_t LineOf(const std::vector<std::string_view>& lines, std::size_t position) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        start += lines[i].size();
        if (position < start) {
            return i;
        }
    }
    return lines.size();
}

TEST(LineCuts, FollowTheBrowsersReadingOfScriptsAndPreformattedText) {
    const std::string words =
        "a b c d e f g h i j k l m n o p q r s t u v w x y z 0 1 2 3 4 5 6 7 8 9 "
        "a b c d e f g h i j k l m n o p q r s t u v w x y z 0 1 2 3 4 5 6 7 ";
    // Each text holds `words` in a part a browser reads as one piece: the cut
    // must fall before or after it, never inside.
    const std::vector<std::pair<std::string, std::string>> cases = {
        // Inside "<!--" of a script, "<script" starts a part that its
        // "</script>" does not end: the string runs on.
        {"<script><!-- document.write('<script src=\"x.js\"></script> ", "'); --></script>"},
        {"<SCRIPT> <!-- var s = '<Script>a</script>", "'; // --> </SCRIPT>"},
        // A preformatted element's content is markup: an end tag inside a
        // comment or an attribute value does not end it.
        {"<pre><!-- </pre> --> ", "</pre>"},
        {"<pre><a title=\"</pre>\">x</a> ", "</pre>"},
        {"<listing><!-- </listing> --> ", "</listing>"},
        // Nothing ends plain text.
        {"<plaintext></plaintext> ", ""},
        // The title's content is text: what looks like a tag there is none, so
        // the quoted value after it starts where the browser starts it.
        {"<title><a x=\"</title><b y=\"", "\">"},
        {"<noscript><a x=\"</noscript><b y=\"", "\">"},
        {"<iframe><a x=\"</iframe><b y=\"", "\">"},
        // An "=" where an attribute name would start begins that name, so the
        // "=" after it opens the value.
        {"<a href=\"x.html\" =onMouseOver=\"", "\">"},
        {"<a href=\"x.html\"=x=\"", "\">"},
    };
    for (const auto& [before, after] : cases) {
        const std::string text = "lead " + before + words + after + " tail text";
        const std::vector<std::string_view> lines = CutIntoLines(text);
        const std::size_t first = text.find(words);
        SCOPED_TRACE(text);
        EXPECT_EQ(LineOf(lines, first), LineOf(lines, first + words.size() - 1));
        EXPECT_EQ(DecodePageFile(EncodePageFile(text)), text);
    }
    // Outside those parts blanks are cut as ever: only the preformatted
    // text makes a line longer than the width.
    const std::string text = "<pre>" + words + "</pre> " + words + "<script><!-- x --></script> " +
                             words + "<title>t</title> " + words;
    const std::vector<std::string_view> lines = CutIntoLines(text);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "<pre>" + words + "</pre> ");
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), kPageLineWidth) << lines[i];
    }
}

TEST(PageFile, AByteOrderMarkStaysAtTheStartOfTheFile) {
    const std::string text = std::string(kByteOrderMark) + test::WorkedExamplePage();
    const std::string bytes = EncodePageFile(text);
    EXPECT_EQ(bytes.substr(0, 5), std::string(kByteOrderMark) + "\r\n");
    EXPECT_EQ(bytes.substr(5, 15), "<!DOCTYPE HTML ");
    EXPECT_EQ(DecodePageFile(bytes), text);
    EXPECT_EQ(bytes.size(), text.size() + 2 * CutIntoLines(text.substr(3)).size() + 4);
    // A file saved with the mark behind the empty line gets it back in front.
    const std::string moved = "\r\n" + std::string(kByteOrderMark) + "<html></html>\r\n\r\n";
    EXPECT_EQ(EncodePageFile(DecodePageFile(moved)),
              std::string(kByteOrderMark) + "\r\n<html></html>\r\n\r\n");
    // Only at the start: elsewhere the bytes are page text like any other.
    EXPECT_EQ(EncodePageFile("a" + std::string(kByteOrderMark)),
              "\r\na" + std::string(kByteOrderMark) + "\r\n\r\n");
}

} // namespace
} // namespace qf
