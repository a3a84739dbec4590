// The page as visitors receive it: clean HTML5 made from the page document,
// which stays exactly as it is.

#include "components/component_fields.h"
#include "components/insertion.h"
#include "document/page_file.h"
#include "error.h"
#include "publish/publish.h"
#include "render/render_page.h"
#include "render/render_site.h"
#include "test_pages.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf::render {
namespace {

bool Has(const std::string& text, std::string_view piece) {
    return text.find(piece) != std::string::npos;
}

// The worked example's page with components of several kinds in its area.
std::string SamplePage() {
    std::string page = test::PageWith(
        "<!---Table1---!><!---Text1---!><!---Bullet_Item_List1---!><!---Text_Link1---!>"
        "<!---Roll_Img1---!><!---Flash1---!>",
        test::TableArea(
            1, test::Block("Text1", "<div align=\"center\"><font face=\"Times New Roman, serif\" "
                                    "size=\"5\" color=\"#663300\"><b>Fresh bread &amp; "
                                    "cakes.</b></font></div>") +
                   test::Block("Bullet_Item_List1",
                               "<div align=\"\"><li><font color=\"\">Rye</font></li><li>Spelt</li>"
                               "</div>") +
                   test::Block("Text_Link1",
                               "<a href=\"about.html\" onMouseOver=\"window.status='About'; "
                               "this.firstChild.style.color='#FF0000'; return true;\" "
                               "onMouseOut=\"window.status=''; return true;\"><font "
                               "face=\"Arial\">About</font></a>") +
                   test::Block("Roll_Img1", "<a href=\"x.html\" onMouseOut=\"RestoreImg()\" "
                                            "onMouseOver=\"SwitchImg('document.y','document.y',"
                                            "'on.png')\"><img src=\"off.png\" name=\"y\" "
                                            "alt=\"R\" border=\"0\"></a>") +
                   test::Block("Flash1", "<object width=\"100\" height=\"50\"><param "
                                         "name=\"src\" value=\"old.swf\"><embed "
                                         "src=\"old.swf\"></embed></object>") +
                   "<p>raw <em>HTML</em> of the user</p>"));
    return page;
}

TEST(RenderPage, WritesCleanHtml5WithoutTheEditorsMarkers) {
    const std::string page = SamplePage();
    const std::string html = RenderPage(page, RenderOptions{"de-CH", ""});
    EXPECT_EQ(
        html.rfind("<!DOCTYPE html>\n<html lang=\"de-CH\">\n<head>\n<meta charset=\"utf-8\">", 0),
        0u)
        << html;
    // Nothing of the page format: no comment, no spacer picture, no obsolete tag.
    for (const char* gone : {"<!--", "---!>", "declare", "<font", "<img src=\"\"", "window.status",
                             "SwitchImg", "name=\"y\"", "<embed", "bordercolor", "align="}) {
        EXPECT_FALSE(Has(html, gone)) << gone << " in\n" << html;
    }
    EXPECT_TRUE(Has(html, "<main>")) << html;
    EXPECT_TRUE(Has(html, "role=\"presentation\"")) << html;
    EXPECT_TRUE(Has(html, "<link rel=\"icon\" href=\"data:,\">")) << html;
    // The font as the browser's own sizes; names with blanks quoted.
    EXPECT_TRUE(Has(html, "<div style=\"text-align:center\"")) << html;
    EXPECT_TRUE(Has(html, "font-family:&quot;Times New Roman&quot;,serif;color:#663300;"
                          "font-size:x-large"))
        << html;
    // Bare list items inside a list; the text's own entities stay entities.
    EXPECT_TRUE(Has(html, "<ul class=\"q-list\"><li>")) << html;
    EXPECT_TRUE(Has(html, "Fresh bread &amp; cakes.")) << html;
    // The hover colour as a rule, the rollover by the page's own script.
    EXPECT_TRUE(Has(html, ":hover>*{color:#FF0000!important}")) << html;
    EXPECT_TRUE(Has(html, "data-rollover=\"on.png\"")) << html;
    EXPECT_TRUE(Has(html, "<a href=\"old.swf\"")) << html;
    EXPECT_TRUE(Has(html, ">raw <em>HTML</em> of the user</p>")) << html;
    // A description from the page's first sentences.
    EXPECT_TRUE(Has(html, "<meta name=\"description\" content=\"Fresh bread &amp; cakes.")) << html;
    // The same page gives the same bytes.
    EXPECT_EQ(RenderPage(page, RenderOptions{"de-CH", ""}), html);
}

TEST(RenderPage, ThePagesOwnLanguageTextAndIconWinAndOtherBytesAreReadAsWindows1252) {
    std::string page = test::WorkedExamplePage();
    page.replace(page.find("<html>"), 6, "<html lang=\"fr\">");
    page.replace(page.find("</title>"), 8,
                 "</title><meta name=\"description\" content=\"Ma boulangerie\">");
    page.replace(page.find("Logo"), 4, "Caf\xe9"); // Windows-1252, not UTF-8
    const std::string html = RenderPage(page, RenderOptions{"en", "images/icon.png"});
    EXPECT_TRUE(Has(html, "<html lang=\"fr\">")) << html;
    EXPECT_TRUE(Has(html, "alt=\"Caf\xC3\xA9\"")) << html;
    EXPECT_EQ(std::count(html.begin(), html.end(), '\n') > 0, true);
    EXPECT_TRUE(Has(html, "<meta name=\"description\" content=\"Ma boulangerie\">")) << html;
    EXPECT_FALSE(Has(html, "name=\"description\" content=\"Caf")) << html;
    EXPECT_TRUE(Has(html, "<link rel=\"icon\" href=\"images/icon.png\">")) << html;

    // A long text is cut at a sentence's end within 160 characters.
    std::string words;
    for (int i = 0; i < 30; ++i) {
        words += "Loaves baked daily. ";
    }
    const std::string long_page =
        test::PageWith("<!---Table1---!>", test::TableArea(1, "<div>" + words + "</div>"));
    const std::string long_html = RenderPage(long_page);
    const std::size_t start = long_html.find("name=\"description\" content=\"") + 29;
    const std::string description = long_html.substr(start, long_html.find('"', start) - start);
    EXPECT_LE(description.size(), kDescriptionLength);
    EXPECT_EQ(description.back(), '.') << description;
}

TEST(RenderPage, AnythingAtAllGivesAPageAndNeverCrashes) {
    for (const std::string& text :
         {std::string(), std::string("<"), std::string("<!---Begin_Table1---!>"),
          std::string("\0\xff\xfe<table><td><li>x", 18), std::string(200000, '<'),
          std::string("<font size=\"+9\"><img align=absmiddle border=9999999999>")}) {
        const std::string html = RenderPage(text);
        EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
        EXPECT_TRUE(Has(html, "</html>\n"));
    }
}

class RenderSite : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    std::string project_ = dir_.filePath("site").toStdString() + "/";
    std::string outside_ = dir_.filePath("out").toStdString();
    void SetUp() override {
        QDir().mkpath(dir_.filePath("site/images"));
        WritePageFile(project_ + "index.html", SamplePage());
        test::WriteBytes(project_ + "images/a.png", "picture bytes");
        test::WriteBytes(project_ + "plain.html", "<p>not the editor's<!-- kept --></p>");
        test::WriteBytes(project_ + ".quenfort-publish-targets", "");
    }
};

TEST_F(RenderSite, ExportWritesTheRenderedPagesAndTheOtherFilesAsTheyAre) {
    const std::string before = test::ReadBytes(project_ + "index.html");
    const ExportReport report = ExportSite(project_, outside_);
    EXPECT_EQ(report.pages, 1);
    EXPECT_EQ(report.files, 2);
    EXPECT_EQ(test::ReadBytes(outside_ + "/index.html"),
              RenderPage(SamplePage(), SiteRenderOptions(project_)));
    EXPECT_EQ(test::ReadBytes(outside_ + "/images/a.png"), "picture bytes");
    EXPECT_EQ(test::ReadBytes(outside_ + "/plain.html"), "<p>not the editor's<!-- kept --></p>");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(outside_ + "/.quenfort-publish-targets")));
    // The project is not touched.
    EXPECT_EQ(test::ReadBytes(project_ + "index.html"), before);

    // A folder inside the project would copy itself at every export.
    for (const std::string& inside :
         {project_, project_ + "out", project_ + "images/../new/deeper"}) {
        EXPECT_NE(test::Refusal([&] { ExportSite(project_, inside); }).find("inside"),
                  std::string::npos)
            << inside;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(project_ + "out")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(project_ + "new")));
}

TEST_F(RenderSite, PublishingSendsAndRecordsTheRenderedPages) {
    publish::Target target;
    target.name = "folder";
    target.url = outside_;
    const publish::PublishReport report = publish::Publish(project_, target, {}, {});
    EXPECT_EQ(report.sent, 3);
    const std::string rendered = test::ReadBytes(outside_ + "/index.html");
    EXPECT_EQ(rendered, RenderPage(SamplePage(), SiteRenderOptions(project_)));
    // The manifest holds the rendered bytes' size, so the next publish sends nothing.
    const publish::Manifest manifest =
        publish::ReadManifest(project_ + publish::ManifestFileName("folder"));
    EXPECT_EQ(manifest.at("index.html").size, std::int64_t(rendered.size()));
    EXPECT_EQ(publish::Publish(project_, target, {}, {}).sent, 0);
}

} // namespace
} // namespace qf::render
