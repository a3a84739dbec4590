#include "check/html_check.h"
#include "check/page_places.h"
#include "check/site_check.h"
#include "components/component_fields.h"
#include "components/form.h"
#include "components/insertion.h"
#include "components/page_properties.h"
#include "components/php_script.h"
#include "document/kind_table.h"
#include "document/page_file.h"
#include "document/page_text.h"
#include "document/selection_lists.h"
#include "site/site_settings.h"
#include "test_pages.h"
#include "workspace/area_content.h"
#include "workspace/new_page.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qf {
namespace {

using test::Block;
using test::TableArea;

// A page the editor would write: title, language, one area with `content`.
std::string Page(const std::string& declarations, const std::string& content,
                 const std::string& title = "Home") {
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html lang=\"en\">"
           "<head><title>" +
           title +
           "</title></head><body><!---End_Body---!><!---declare_begin---!><!---Table1---!>" +
           declarations + "<!---////---!><!---declare_end---!></body>" + TableArea(1, content) +
           "</html>";
}

class SiteCheckTest : public ::testing::Test {
protected:
    std::string Folder() const { return dir_.path().toStdString() + "/"; }
    void Write(const std::string& name, const std::string& text) {
        const std::string path = Folder() + name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WritePageFile(path, text);
    }
    void WriteRaw(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(Folder() + name).parent_path());
        test::WriteBytes(Folder() + name, bytes);
    }
    std::vector<Finding> Check(const std::string& page, const SiteCheckOptions& options = {}) {
        return CheckSitePage(Folder(), page, options);
    }
    // The findings other than the page format's note.
    static std::vector<Finding> Real(std::vector<Finding> findings) {
        std::erase_if(findings, [](const Finding& f) { return f.severity == Severity::kNote; });
        return findings;
    }
    static std::string Describe(const std::vector<Finding>& findings) {
        std::string text;
        for (const Finding& finding : findings) {
            text += FindingText(finding) + "\n";
        }
        return text;
    }
    static bool Has(const std::vector<Finding>& findings, Severity severity,
                    const std::string& entry, const std::string& words) {
        return std::any_of(findings.begin(), findings.end(), [&](const Finding& f) {
            return f.severity == severity && f.entry == entry &&
                   f.message.find(words) != std::string::npos;
        });
    }

    QTemporaryDir dir_;
};

TEST(PageFileView, PlacesCountLinesOfTheFileAsWritten) {
    // An empty first line, CR LF and bare LF breaks, a lone CR kept as text.
    const std::string bytes = "\r\n<p>ab\r\ncd\rx\nef\r\n\r\n";
    const check::PageFileView view(bytes);
    EXPECT_EQ(view.text(), DecodePageFile(bytes));
    EXPECT_EQ(view.text(), "<p>abcd\rxef");
    EXPECT_EQ(view.AtTextOffset(0).line, 2);
    EXPECT_EQ(view.AtTextOffset(0).column, 1);
    EXPECT_EQ(view.AtTextOffset(5).line, 3); // "c"
    EXPECT_EQ(view.AtTextOffset(5).column, 1);
    EXPECT_EQ(view.AtTextOffset(9).line, 4); // "e" after the bare LF
    const std::size_t c_in_file = bytes.find("cd");
    EXPECT_EQ(view.TextOffset(c_in_file), 5u);
    EXPECT_EQ(view.AtFileOffset(c_in_file).line, 3);
    // A page that WritePageFile cut: every marker found where the file has it.
    std::string long_page =
        test::PageWith("<!---Table1---!>", TableArea(1, std::string(500, 'w') + " " + "tail"));
    const std::string encoded = EncodePageFile(long_page);
    const check::PageFileView written(encoded);
    const std::size_t tail = written.text().find("tail");
    const auto place = written.AtTextOffset(tail);
    std::size_t line_start = 0;
    for (int line = 1; line < place.line; ++line) {
        line_start = encoded.find('\n', line_start) + 1;
    }
    EXPECT_EQ(encoded.substr(line_start + std::size_t(place.column) - 1, 4), "tail");
}

TEST(BlockIndex, FindsTheInnermostBlockAndItsEntry) {
    const std::string text =
        test::PageWith("<!---Table1---!><!---Link_Img3---!>",
                       TableArea(1, Block("Link_Img3", "<a href=x><img src=y></a>") + "raw"));
    const check::BlockIndex blocks(text);
    const int image = blocks.Innermost(text.find("<img src=y"));
    ASSERT_GE(image, 0);
    EXPECT_EQ(check::EntryOfMarkerName(blocks.blocks()[std::size_t(image)].name), "Image Link3");
    const int area = blocks.Innermost(text.find("raw"));
    ASSERT_GE(area, 0);
    EXPECT_EQ(check::EntryOfMarkerName(blocks.blocks()[std::size_t(area)].name), "Area1");
    EXPECT_EQ(blocks.InnermostArea(text.find("<img src=y")), area);
    EXPECT_EQ(blocks.Innermost(text.find("<html>")), -1);
    EXPECT_EQ(check::EntryOfMarkerName("Form"), "Form");
}

TEST_F(SiteCheckTest, AnUnreadablePageIsOneFindingAndTheCheckGoesOn) {
    ASSERT_EQ(::mkfifo((Folder() + "pipe.html").c_str(), 0600), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.html"));
    ASSERT_EQ(::symlink("nowhere.html", (Folder() + "dangling.html").c_str()), 0);
    Write("good.html", Page("", "hello"));
    const SiteCheckResult result = CheckSite(Folder());
    EXPECT_EQ(result.pages, 4);
    int unreadable = 0;
    for (const Finding& finding : result.findings) {
        if (finding.message.find("cannot be read") != std::string::npos) {
            ++unreadable;
            EXPECT_EQ(finding.severity, Severity::kError);
            EXPECT_NE(finding.page, "good.html");
        }
    }
    EXPECT_EQ(unreadable, 3) << Describe(result.findings);
    EXPECT_TRUE(Real(Check("good.html")).empty()) << Describe(Check("good.html"));
}

TEST_F(SiteCheckTest, ASiteWithoutIndexIsToldWhereItsHomePageShouldBe) {
    Write("Home.html", Page("", "welcome"));
    Write("about.html", Page("", "us"));
    SiteCheckResult result = CheckSite(Folder());
    ASSERT_FALSE(result.findings.empty());
    EXPECT_EQ(result.findings[0].severity, Severity::kWarning);
    EXPECT_EQ(result.findings[0].page, "Home.html");
    EXPECT_NE(result.findings[0].message.find("no index.html"), std::string::npos);
    for (const char* home : {"index.html", "index.php"}) {
        EXPECT_FALSE(HomePageFinding({"about.html", home, "zoo.html"}).has_value()) << home;
    }
    Write("index.html", Page("", "welcome"));
    result = CheckSite(Folder());
    EXPECT_TRUE(std::none_of(result.findings.begin(), result.findings.end(), [](const Finding& f) {
        return f.message.find("no index.html") != std::string::npos;
    }));
}

TEST_F(SiteCheckTest, TheCheckChangesNoFileAndTakesNoLock) {
    Write("a.html", Page("<!---Image1---!>", Block("Image1", "<img src=\"gone.png\">")));
    const auto list = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
            names.push_back(entry.path().filename().string() + " " +
                            std::to_string(entry.last_write_time().time_since_epoch().count()));
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = list();
    const std::string bytes = test::ReadBytes(Folder() + "a.html");
    EXPECT_EQ(CheckSite(Folder()).Errors(), 1);
    EXPECT_EQ(list(), before);
    EXPECT_EQ(test::ReadBytes(Folder() + "a.html"), bytes);
}

TEST_F(SiteCheckTest, ATextColourVisitorsCannotReadOnItsBackgroundIsWarned) {
    // On the area's white cell: pale grey is too light, dark grey is read.
    Write("index.html",
          Page("<!---Text1---!><!---Text2---!><!---Text3---!>",
               Block("Text1", "<font color=\"#DDDDDD\">pale</font>") +
                   Block("Text2", "<font color=\"333333\">dark</font>") +
                   Block("Text3", "<table background=\"bread.png\"><tr><td><font "
                                  "color=\"#ffffff\">on a picture</font></td></tr></table>")));
    std::vector<std::string> warned;
    for (const Finding& finding : CheckSite(Folder()).findings) {
        if (finding.message.find("has a contrast of") != std::string::npos) {
            warned.push_back(finding.entry + ": " + finding.message.substr(0, 73));
        }
    }
    EXPECT_EQ(warned, std::vector<std::string>{
                          "Text String1: The text colour #dddddd on the background #ffffff has a "
                          "contrast of 1.4:1"});
}

TEST_F(SiteCheckTest, StructuralProblemsPointAtTheirMarker) {
    Write("broken.html",
          Page("<!---Image1---!><!---Image2---!>", Block("Image1", "<img src=\"\" alt=\"a\">") +
                                                       "<!---Begin_Image2---!><img alt=\"b\">"));
    const std::vector<Finding> findings = Check("broken.html");
    const auto found = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.message.find("Begin_Image2 has no end marker") != std::string::npos;
    });
    ASSERT_NE(found, findings.end()) << Describe(findings);
    EXPECT_EQ(found->severity, Severity::kError);
    const std::string file = test::ReadBytes(Folder() + "broken.html");
    const check::PageFileView view(file);
    const auto place = view.AtTextOffset(view.text().find("<!---Begin_Image2"));
    EXPECT_EQ(found->line, place.line);
    EXPECT_EQ(found->column, place.column);
    EXPECT_EQ(found->entry, "Area1");

    Write("foreign.html", "<html lang=en><head><title>x</title></head><body>hi</body></html>");
    const std::vector<Finding> foreign = Real(Check("foreign.html"));
    ASSERT_EQ(foreign.size(), 1u) << Describe(foreign);
    EXPECT_EQ(foreign[0].severity, Severity::kWarning);
    EXPECT_NE(foreign[0].message.find("no declaration block"), std::string::npos);
}

TEST_F(SiteCheckTest, LinksAndFilesMustReachTheProject) {
    Write("other page.html", Page("", "x"));
    Write("sub/deep.html", Page("", "x"));
    WriteRaw("images/Logo.png", "png");
    WriteRaw("media/tune.mp3", "mp3");
    const std::string links = Block("Text_Link1", "<a href=\"other%20page.html#top\">a</a>") +
                              Block("Text_Link2", "<a href=\"sub/deep.html?x=1\">b</a>") +
                              Block("Text_Link3", "<a href=\"http://example.com/\">c</a>") +
                              Block("Mail_Link1", "<a href=\"mailto:me@example.com\">d</a>") +
                              Block("Text_Link4", "<a href=\"#top\">e</a>") +
                              Block("Image1", "<img src=\"images/Logo.png\" alt=\"logo\">") +
                              Block("Video1", "<embed src=\"media/tune.mp3\">");
    const std::string sound_decls = "<!---Text_Link1---!><!---Text_Link2---!><!---Text_Link3---!>"
                                    "<!---Mail_Link1---!><!---Text_Link4---!><!---Image1---!>"
                                    "<!---Video1---!>";
    Write("sound.html", Page(sound_decls, links));
    EXPECT_TRUE(Real(Check("sound.html")).empty()) << Describe(Check("sound.html"));

    const std::string broken = Block("Text_Link1", "<a href=\"missing.html\">a</a>") +
                               Block("Image1", "<img src=\"images/logo.png\" alt=\"l\">") +
                               Block("Image2", "<img src=\"/home/me/pic.png\" alt=\"l\">") +
                               Block("Image3", "<img src=\"C:\\pics\\a.png\" alt=\"l\">") +
                               Block("Frame1", "<iframe src=\"file:///tmp/a.html\"></iframe>") +
                               Block("Video1", "<embed src=\"../outside.mp3\">");
    Write("broken.html", Page("<!---Text_Link1---!><!---Image1---!><!---Image2---!>"
                              "<!---Image3---!><!---Frame1---!><!---Video1---!>",
                              broken));
    const std::vector<Finding> findings = Real(Check("broken.html"));
    EXPECT_EQ(findings.size(), 6u) << Describe(findings);
    EXPECT_TRUE(Has(findings, Severity::kError, "Text Link1", "reaches no page"));
    EXPECT_TRUE(Has(findings, Severity::kError, "Image1", "capital and small letters"));
    EXPECT_TRUE(Has(findings, Severity::kError, "Image2", "path of this computer"));
    EXPECT_TRUE(Has(findings, Severity::kError, "Image3", "path of this computer"));
    EXPECT_TRUE(Has(findings, Severity::kError, "Frame1", "file of this computer"));
    EXPECT_TRUE(Has(findings, Severity::kError, "Video1", "outside the project"));
}

TEST_F(SiteCheckTest, AlternativeTextTitleLanguageAndFieldNames) {
    WriteRaw("p.png", "png");
    const std::string weak =
        Block("Image1", "<img src=\"p.png\">") +
        Block("Image_Button1", "<input name=\"go\" type=\"image\" src=\"p.png\">") +
        Block("Input_Text1", "<input name=\"\" type=\"text\">") +
        Block("TextArea1", "<textarea></textarea>");
    Write("weak.html", Page("<!---Image1---!><!---Image_Button1---!><!---Input_Text1---!>"
                            "<!---TextArea1---!>",
                            weak, "Welcome to ....."));
    std::vector<Finding> findings = Real(Check("weak.html"));
    EXPECT_EQ(findings.size(), 6u) << Describe(findings);
    EXPECT_TRUE(Has(findings, Severity::kWarning, "", "fields but no form"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Image1", "no alternative text"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Image Button1", "no alternative text"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Text Feild1", "no name"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Form TextArea1", "no name"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "", "still the layout's"));

    const std::string sound =
        Block("Image1", "<img src=\"p.png\" alt=\"A picture\">") +
        Block("Image_Button1", "<input name=\"go\" type=\"image\" src=\"p.png\" alt=\"Send\">") +
        Block("Button1", "<input type=\"submit\" value=\"Send\">");
    Write("sound.html", Page("<!---Image1---!><!---Image_Button1---!><!---Button1---!>", sound));
    EXPECT_TRUE(Real(Check("sound.html")).empty()) << Describe(Check("sound.html"));

    std::string bare = Page("", "x", "  ");
    bare.replace(bare.find(" lang=\"en\""), 10, "");
    Write("bare.html", bare);
    findings = Real(Check("bare.html"));
    EXPECT_EQ(findings.size(), 2u) << Describe(findings);
    EXPECT_TRUE(Has(findings, Severity::kWarning, "", "title is empty"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "", "names no language"));
}

TEST_F(SiteCheckTest, AFormPageNeedsItsScriptAndTheScriptItsFields) {
    std::string page = Page("<!---Input_Text1---!><!---Input_Text2---!>",
                            Block("Input_Text1", "<input name=\"name\" type=\"text\">") +
                                Block("Input_Text2", "<input name=\"phone\" type=\"text\">"));
    std::string form_page = page;
    AddForm(form_page, "mail.php");
    Write("form.html", form_page);
    std::vector<Finding> findings = Real(Check("form.html"));
    ASSERT_EQ(findings.size(), 1u) << Describe(findings);
    EXPECT_EQ(findings[0].severity, Severity::kError);
    EXPECT_EQ(findings[0].entry, "Form");
    EXPECT_NE(findings[0].message.find("Create PHP script"), std::string::npos);

    // A script made when the form had "name" and "email".
    WriteRaw("mail.php", PhpScriptText({{"name", "Text Feild1"}, {"email", "Text Feild2"}},
                                       "me@example.com", "thanks.html", "sorry.html"));
    findings = Real(Check("form.html"));
    ASSERT_EQ(findings.size(), 1u) << Describe(findings);
    EXPECT_EQ(findings[0].severity, Severity::kWarning);
    EXPECT_NE(findings[0].message.find("does not send \"phone\""), std::string::npos);
    EXPECT_NE(findings[0].message.find("reads \"email\""), std::string::npos);

    WriteRaw("mail.php", PhpScriptText({{"name", "Text Feild1"}, {"phone", "Text Feild2"}},
                                       "me@example.com", "thanks.html", "sorry.html"));
    EXPECT_TRUE(Real(Check("form.html")).empty()) << Describe(Check("form.html"));
    // A script of the earlier kind, which read each field into a variable.
    WriteRaw("mail.php", "\r\n<?php\r\n\r\n$name = $_POST['name'];\r\n$email = "
                         "$_POST['email'];\r\n\r\nif(mail('a@b.org','Form Feedback',\"\"))\r\n");
    findings = Real(Check("form.html"));
    ASSERT_EQ(findings.size(), 1u) << Describe(findings);
    EXPECT_NE(findings[0].message.find("does not send \"phone\""), std::string::npos);
    // The script itself is not checked as a page.
    EXPECT_TRUE(Check("mail.php").empty());

    Write("loose.html", page);
    findings = Real(Check("loose.html"));
    ASSERT_EQ(findings.size(), 1u) << Describe(findings);
    EXPECT_NE(findings[0].message.find("no form"), std::string::npos);

    // A form inside another: the browser drops the inner one.
    std::string nested = page;
    AddForm(nested, "");
    AddForm(nested, "mail.php");
    Write("nested.html", nested);
    findings = Real(Check("nested.html"));
    const auto inner = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.message.find("stands inside the form") != std::string::npos;
    });
    ASSERT_NE(inner, findings.end()) << Describe(findings);
    EXPECT_EQ(inner->severity, Severity::kError);
    EXPECT_NE(inner->message.find("The form posting to \"mail.php\" stands inside the form "
                                  "posting to \"\""),
              std::string::npos)
        << inner->message;
    findings = Real(Check("form.html"));
    EXPECT_TRUE(std::none_of(findings.begin(), findings.end(), [](const Finding& f) {
        return f.message.find("inside the form") != std::string::npos;
    }));
}

TEST_F(SiteCheckTest, PicturesMuchLargerThanShown) {
    WriteRaw("big.jpg", std::string(kLargePictureBytes + 1, 'x'));
    WriteRaw("small.png", "png");
    SiteCheckOptions options;
    int reads = 0;
    options.picture_size = [&](const std::string& path) -> std::optional<PictureSize> {
        ++reads;
        if (path.ends_with("small.png")) {
            return PictureSize{1000, 300};
        }
        return std::nullopt;
    };
    Write(
        "pics.html",
        Page("<!---Image1---!><!---Image2---!><!---Image3---!><!---Image4---!>",
             Block("Image1", "<img src=\"big.jpg\" alt=\"b\">") +
                 Block("Image2", "<img src=\"small.png\" width=\"400\" height=\"0\" alt=\"a\">") +
                 Block("Image3", "<img src=\"small.png\" width=\"500\" height=\"150\" alt=\"a\">") +
                 Block("Image4", "<img src=\"small.png\" width=\"0\" height=\"100\" alt=\"a\">")));
    const std::vector<Finding> findings = Real(Check("pics.html", options));
    ASSERT_EQ(findings.size(), 4u) << Describe(findings);
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Image1", "KB"));
    // Not much larger than shown, but wider than its area of 400 px.
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Image3", "shown 500 px wide in an area 400"));
    EXPECT_TRUE(
        Has(findings, Severity::kWarning, "Image2", "1000x300 pixels but shown at 400 px wide"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Image4", "shown at 100 px high"));
    EXPECT_EQ(reads, 2); // each picture read once, big.jpg for its width in the area
}

TEST_F(SiteCheckTest, HtmlThatABrowserReadsDifferently) {
    const std::string faults =
        Block("Text1", "<div><font>bold<b></font></div>") +                      // b left open
        Block("Text2", "x</span>y") +                                            // stray end tag
        Block("Text3", "<b><i>a</b>c</i>") +                                     // misnested
        Block("Data_Table1", "<table><tr><td>a</td></tr><b>stray</b></table>") + // moved out
        Block("Text_Link1", "<a href=\"#1\">one<a href=\"#2\">two</a></a>") +    // closed by <a>
        "<div><p>x</div></p>";                                                   // raw HTML
    Write("faults.html", Page("<!---Text1---!><!---Text2---!><!---Text3---!><!---Data_Table1---!>"
                              "<!---Text_Link1---!>",
                              faults));
    const std::vector<Finding> findings = Real(Check("faults.html"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Text String1", "\"<b>\""));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Text String2", "\"</span>\" closes nothing"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Text String3", "misnested"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Data Table1", "outside its cells"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Text Link1", "closed implicitly"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Area1", "\"</p>\" closes nothing"));
    for (const Finding& finding : findings) {
        EXPECT_NE(finding.line, 0) << FindingText(finding);
    }

    const std::string sound =
        Block("Text1", "<div><font><b>bold</b></font></div>") + Block("Text2", "x<span>y</span>") +
        Block("Data_Table1",
              "<table><tr><td><font color=\"red\">cell</td></tr></table>") + // closed by its cell
        Block("Flash1", "<object><param name=\"a\" value=\"\"><embed></embed></object>") +
        Block("Item_List1", "<ol><li>a<li>b</ol>") + "<br><div><p>x</p></div>";
    Write("sound.html", Page("<!---Text1---!><!---Text2---!><!---Data_Table1---!><!---Flash1---!>"
                             "<!---Item_List1---!>",
                             sound));
    const std::vector<Finding> none = Check("sound.html");
    EXPECT_TRUE(Real(none).empty()) << Describe(none);
    // What the page format forces is one note, for the page.
    const auto notes = std::count_if(none.begin(), none.end(), [](const Finding& f) {
        return f.severity == Severity::kNote && f.line == 0;
    });
    EXPECT_EQ(notes, 1);
}

// What the published page makes of HTML code left open: the next area
// inside this one, or no area after it at all.
TEST_F(SiteCheckTest, TheRenderedPageShowsAreasTakenInByHtmlLeftOpen) {
    const auto two_areas = [](const std::string& first) {
        return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\"><html "
               "lang=\"en\"><head><title>Home</title></head><body><!---End_Body---!>"
               "<!---declare_begin---!><!---Table1---!><!---Table2---!><!---////---!>"
               "<!---declare_end---!></body>" +
               TableArea(1, first) + TableArea(2, "second") + "</html>";
    };
    Write("cell.html", two_areas("<table><tr><td>x"));
    Write("textarea.html", two_areas("<textarea>note"));
    Write("closed.html", two_areas("<table><tr><td>x</td></tr></table>"));

    const std::vector<Finding> cell = Check("cell.html");
    EXPECT_TRUE(Has(cell, Severity::kError, "Area1", "Area2 stands inside Area1"))
        << Describe(cell);
    const std::vector<Finding> textarea = Check("textarea.html");
    EXPECT_TRUE(Has(textarea, Severity::kError, "Area2", "Area2 is not shown"))
        << Describe(textarea);
    const std::vector<Finding> closed = Check("closed.html");
    EXPECT_TRUE(Real(closed).empty()) << Describe(closed);
}

// Every shipped layout, each area filled with every kind at its initial
// values, a platform, a line break and the form: the check finds only what
// the initial values really lack, never markup read differently.
TEST_F(SiteCheckTest, EveryShippedLayoutFilledWithEveryKindHasNoFalseFindings) {
    const QStringList layouts = QDir(":/app/lays").entryList(QDir::Files);
    ASSERT_FALSE(layouts.isEmpty());
    const std::vector<std::string> expected = {
        "names no language", "has no location yet", "no alternative text",       "without a site",
        "has no name",       "posts to no script",  "\"Select\" reaches no page"};
    for (const QString& layout : layouts) {
        QFile file(":/app/lays/" + layout);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        std::string page = PageTextFromLayout(DecodePageFile(file.readAll().toStdString()),
                                              {"page", "Filled", "", 0});
        std::vector<int> areas;
        for (const std::string& entry : AreaEntries(page)) {
            areas.push_back(std::stoi(entry.substr(4)));
        }
        for (const int area : areas) {
            for (const Kind& kind : Kinds()) {
                if (kind.tag == "Table" || kind.tag == "Form") {
                    continue;
                }
                const std::string body = kind.tag == "Custom_Table"
                                             ? std::string("<table><tr><td>c</td></tr></table>")
                                             : BuildComponentBody(kind.tag, {});
                AddComponent(page, kind.tag, body, area);
            }
            page.insert(AreaInsertPoint(page, area), "<br>");
        }
        AddPlatform(page, areas.front(), 2, 100, 20);
        AddForm(page, "");
        const std::string name = layout.toStdString();
        Write(name, page);
        for (const Finding& finding : Check(name)) {
            const bool known =
                finding.severity == Severity::kNote ||
                std::any_of(expected.begin(), expected.end(), [&](const std::string& words) {
                    return finding.message.find(words) != std::string::npos;
                });
            EXPECT_TRUE(known) << "layout " << name << ": " << FindingText(finding);
        }
    }
}

TEST_F(SiteCheckTest, WhatBreaksPagesAndWhatDoesNot) {
    WriteRaw("images/there.png", "png");
    Write("target.html", Page("", "<p id=\"hours\">open</p>", "Target"));
    // Elements never closed in raw HTML; text in brackets that is no element;
    // a style's picture that is missing; a link to a place the page lacks; a
    // picture wider than its area (400 px).
    Write("faults.html",
          Page("<!---Text1---!><!---Image1---!>",
               Block("Text1", "Bakery &amp; Cafe <since 1998>") +
                   Block("Image1", "<img src=\"images/there.png\" width=\"900\" alt=\"w\">") +
                   "<p style=\"background:url('images/gone.png')\">x</p>"
                   "<a href=\"target.html#times\">t</a><div><span>open",
               "Faults"));
    const std::vector<Finding> findings = Real(Check("faults.html"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Area1", "\"<div>\" is never closed"))
        << Describe(findings);
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Area1", "\"<span>\" is never closed"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Text String1",
                    "<since> is not an HTML element, so browsers hide it"));
    EXPECT_TRUE(
        Has(findings, Severity::kError, "Area1", "\"images/gone.png\" is not in the project"));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Area1", "no place in it is named \"times\""));
    EXPECT_TRUE(Has(findings, Severity::kWarning, "Image1", "shown 900 px wide in an area 400 px"));

    Write("sound.html",
          Page("<!---Text1---!><!---Image1---!>",
               Block("Text1", "Bakery &amp; Cafe &lt;since 1998&gt; <my-menu></my-menu>") +
                   Block("Image1", "<img src=\"images/there.png\" width=\"400\" alt=\"w\">") +
                   "<p style=\"background:url(images/there.png)\">x</p>"
                   "<a href=\"target.html#hours\">t</a><div><span>closed</span></div>",
               "Sound"));
    const std::vector<Finding> none = Real(Check("sound.html"));
    EXPECT_TRUE(none.empty()) << Describe(none);
    // The text dialogs' hint says it as the check does, as it is typed.
    EXPECT_EQ(check::UnknownElementHint("Cafe <Since 1998> and <b>more</b>"),
              check::UnknownElementMessage("since"));
    for (const char* fine : {"a <b>x</b> <BR>", "2 < 3 > 1", "<my-menu>", "<", "x <1>"}) {
        EXPECT_EQ(check::UnknownElementHint(fine), "") << fine;
    }

    // Files in images/ and media/ that no page uses are told; the used
    // picture and the site's icon are not.
    WriteRaw("images/left over.png", "png");
    WriteRaw("images/icon.png", "png");
    WriteRaw("media/clip.mp4", "mp4");
    SiteSettings settings;
    settings.icon = "images/icon.png";
    WriteSiteSettings(Folder(), settings);
    const SiteCheckResult unused = CheckSite(Folder());
    std::vector<std::string> told;
    for (const Finding& finding : unused.findings) {
        if (finding.message.find("is used by no page") != std::string::npos) {
            told.push_back(finding.message.substr(0, finding.message.find(" is used")));
        }
    }
    EXPECT_EQ(told, (std::vector<std::string>{"images/left over.png", "media/clip.mp4"}));

    // One page that fits small screens makes the others' lack a warning.
    PageProperties fit;
    fit.fit_small_screens = true;
    Write("sound.html", ApplyPageProperties(test::ReadBytes(Folder() + "sound.html"), fit));
    const SiteCheckResult site = CheckSite(Folder());
    const auto unfit = [&](const std::string& page) {
        return std::any_of(site.findings.begin(), site.findings.end(), [&](const Finding& f) {
            return f.page == page &&
                   f.message.find("does not fit small screens") != std::string::npos;
        });
    };
    EXPECT_TRUE(unfit("target.html"));
    EXPECT_FALSE(unfit("sound.html"));
}

TEST_F(SiteCheckTest, TheSitesFindingsTitlesDescriptionsAndAddressInPageOrder) {
    // Many pages, so several threads share them: each page's findings stay
    // its own and the pages come in their order.
    for (int i = 0; i < 24; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "p%02d.html", i);
        std::string page =
            Page("<!---Image1---!>",
                 Block("Image1", "<img src=\"gone" + std::to_string(i) + ".png\" alt=\"a\">"),
                 "Page " + std::to_string(i));
        PageProperties properties;
        properties.description = i == 1 ? std::string(170, 'd') : i == 2 ? "Same" : "";
        if (i == 3) {
            properties.description = "Same";
        }
        properties.hide_from_search = i == 4;
        Write(name, ApplyPageProperties(page, properties));
    }
    Write("twin.html", Page("", "x", "Page 5"));
    SiteCheckResult result = CheckSite(Folder());
    std::vector<std::string> order;
    for (const Finding& finding : result.findings) {
        if (finding.severity == Severity::kError) {
            order.push_back(finding.page + " " + finding.message.substr(13, 6));
        }
    }
    ASSERT_EQ(order.size(), 24u) << Describe(result.findings);
    for (int i = 0; i < 24; ++i) {
        char want[32];
        std::snprintf(want, sizeof want, "p%02d.html gone%d", i, i);
        EXPECT_EQ(order[std::size_t(i)].substr(0, std::strlen(want)), want);
    }
    const auto on = [&](const std::string& page, Severity severity, const std::string& words) {
        return std::any_of(result.findings.begin(), result.findings.end(), [&](const Finding& f) {
            return f.page == page && f.severity == severity &&
                   f.message.find(words) != std::string::npos;
        });
    };
    EXPECT_TRUE(on("p00.html", Severity::kWarning, "The site has no address"));
    EXPECT_TRUE(on("p00.html", Severity::kNote, "has no description"));
    EXPECT_TRUE(on("p01.html", Severity::kNote, "description has 170 characters"));
    EXPECT_TRUE(on("p03.html", Severity::kWarning, "also the description of p02.html"));
    EXPECT_FALSE(on("p04.html", Severity::kNote, "has no description")); // hidden from search
    EXPECT_TRUE(on("twin.html", Severity::kWarning, "\"Page 5\" is also the title of p05.html"));
    EXPECT_EQ(std::count_if(result.findings.begin(), result.findings.end(),
                            [](const Finding& f) {
                                return f.message.find("no address") != std::string::npos;
                            }),
              1);
    SiteSettings settings;
    settings.address = "https://example.org/";
    WriteSiteSettings(Folder(), settings);
    // With an address, links are shared as cards: a page without a picture
    // 600 pixels wide shows the small icon instead.
    WriteRaw("wide.png", "png");
    Write("wide.html",
          Page("<!---Image1---!>",
               Block("Image1", "<img src=\"wide.png\" width=\"300\" alt=\"w\">"), "Wide"));
    SiteCheckOptions options;
    options.picture_size = [](const std::string& path) -> std::optional<PictureSize> {
        if (path.size() >= 8 && path.substr(path.size() - 8) == "wide.png") {
            return PictureSize{640, 480};
        }
        return std::nullopt;
    };
    result = CheckSite(Folder(), options);
    EXPECT_FALSE(on("p00.html", Severity::kWarning, "The site has no address"));
    EXPECT_TRUE(on("p00.html", Severity::kNote, "shows a small picture"));
    EXPECT_FALSE(on("wide.html", Severity::kNote, "shows a small picture"));
}

TEST_F(SiteCheckTest, JsonAlwaysParsesAndHugeWrittenSizesAreNoSizes) {
    SiteCheckResult result;
    result.pages = 1;
    result.findings = {{Severity::kError, "back\\slash \"q\".html", 1, 2, "Image1",
                        "C:\\path \\ \"quoted\" \x01 tab\there \xff"}};
    const QJsonDocument json =
        QJsonDocument::fromJson(QByteArray::fromStdString(FindingsJson(result)));
    ASSERT_TRUE(json.isObject()) << FindingsJson(result);
    const QJsonObject finding = json["findings"].toArray()[0].toObject();
    EXPECT_EQ(finding["page"].toString().toStdString(), "back\\slash \"q\".html");
    EXPECT_TRUE(finding["message"].toString().startsWith("C:\\path \\ \"quoted\""));

    // A width of seven digits or past INT_MAX is no written size: the
    // picture counts at its own size, never as "much larger than shown".
    WriteRaw("p.png", "png");
    SiteCheckOptions options;
    options.picture_size = [](const std::string&) -> std::optional<PictureSize> {
        return PictureSize{300, 200};
    };
    Write("huge.html", Page("<!---Image1---!><!---Image2---!>",
                            Block("Image1", "<img src=\"p.png\" width=\"1000000\" alt=\"a\">") +
                                Block("Image2", "<img src=\"p.png\" width=\"99999999999\" "
                                                "height=\"2147483648\" alt=\"b\">")));
    const std::vector<Finding> findings = Real(Check("huge.html", options));
    EXPECT_TRUE(findings.empty()) << Describe(findings);
}

TEST_F(SiteCheckTest, FormatsAndCancelling) {
    Write("a.html", Page("<!---Image1---!>",
                         Block("Image1", "<img src=\"say &quot;hi&quot;.png\" alt=\"a\">")));
    Write("b.html", Page("", "x"));
    SiteCheckResult result = CheckSite(Folder());
    const std::string json = FindingsJson(result);
    EXPECT_NE(json.find("\"pages\": 2, \"errors\": 1"), std::string::npos) << json;
    EXPECT_NE(json.find("\"entry\": \"Image1\""), std::string::npos) << json;
    EXPECT_NE(json.find(R"(The picture \"say \"hi\".png\")"), std::string::npos) << json;
    result.findings = {{Severity::kWarning, "bad\xff.html", 3, 4, "", "line\nbreak"}};
    const std::string odd = FindingsJson(result);
    EXPECT_NE(odd.find("\"bad\xEF\xBF\xBD.html\""), std::string::npos) << odd;
    EXPECT_NE(odd.find("line\\u000abreak"), std::string::npos) << odd;
    EXPECT_EQ(FindingText(result.findings[0]), "bad\xff.html:3:4: warning: line\\x0abreak");

    std::atomic<bool> cancel = false;
    SiteCheckOptions options;
    options.cancel = &cancel;
    std::vector<int> progress;
    options.progress = [&](int done, int total) {
        progress.push_back(done * 10 + total);
        cancel = true;
    };
    result = CheckSite(Folder(), options);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.pages, 1);
    EXPECT_EQ(progress, std::vector<int>{12});
}

} // namespace
} // namespace qf
