// The page as visitors receive it: clean HTML5 made from the page document,
// which stays exactly as it is.

#include "components/component_fields.h"
#include "components/insertion.h"
#include "document/page_file.h"
#include "error.h"
#include "publish/publish.h"
#include "publish/targets.h"
#include "render/render_page.h"
#include "render/render_site.h"
#include "site/site_settings.h"
#include "site/site_style.h"
#include "test_pages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace qf::render {
namespace {

using qf::ReadSiteSettings;
using qf::SiteSettings;
using qf::WithSiteSetting;
using qf::WriteSiteSettings;

RenderOptions Options(std::string language, std::string icon = {}) {
    RenderOptions options;
    options.language = std::move(language);
    options.icon = std::move(icon);
    return options;
}

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
    const std::string html = RenderPage(page, Options("de-CH"));
    EXPECT_EQ(
        html.rfind("<!DOCTYPE html>\n<html lang=\"de-CH\">\n<head>\n<meta charset=\"utf-8\">", 0),
        0u)
        << html;
    // Nothing of the page format: no comment, no spacer picture, no obsolete tag.
    for (const char* gone : {"<!--", "---!>", "declare", "<font", "<img src=\"\"", "window.status",
                             "SwitchImg", "name=\"y\"", "<embed", "bordercolor", "align="}) {
        EXPECT_FALSE(Has(html, gone)) << gone << " in\n" << html;
    }
    // The main part knows its widest area, which a site style's width makes
    // room for.
    EXPECT_TRUE(Has(html, "<main style=\"--q-page-width:400px\">")) << html;
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
    EXPECT_EQ(RenderPage(page, Options("de-CH")), html);
}

TEST(RenderPage, ThePagesOwnLanguageTextAndIconWinAndOtherBytesAreReadAsWindows1252) {
    std::string page = test::WorkedExamplePage();
    page.replace(page.find("<html>"), 6, "<html lang=\"fr\">");
    page.replace(page.find("</title>"), 8,
                 "</title><meta name=\"description\" content=\"Ma boulangerie\">");
    page.replace(page.find("Logo"), 4, "Caf\xe9"); // Windows-1252, not UTF-8
    const std::string html = RenderPage(page, Options("en", "images/icon.png"));
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

TEST_F(RenderSite, ASiteStyleGivesWhatPagesLeaveUnsetALookAndClassicIsThePageAsDesigned) {
    const std::string plain = RenderPage(SamplePage(), SiteRenderOptions(project_));
    SiteSettings settings;
    settings.style = "Classic";
    WriteSiteSettings(project_, settings);
    EXPECT_EQ(RenderPage(SamplePage(), SiteRenderOptions(project_)), plain);
    for (const std::string& name : BuiltInStyleNames()) {
        const SiteStyle style = StyleWith(name, {});
        // Every built-in style can be read by everyone.
        EXPECT_EQ(StyleContrastWarnings(style), std::vector<std::string>()) << name;
        if (name == kClassicStyle) {
            continue;
        }
        settings.style = name;
        settings.style_values = {{"accent", "#123456"}};
        WriteSiteSettings(project_, settings);
        const std::string styled = RenderPage(SamplePage(), SiteRenderOptions(project_));
        EXPECT_TRUE(Has(styled, "--q-accent:#123456;")) << name;
        EXPECT_TRUE(Has(styled, "--q-text:" + style.text + ";")) << name;
        EXPECT_TRUE(Has(styled, ":where(a){color:var(--q-accent)")) << name;
        // What the page sets itself (a face, a colour, a size) stays, and
        // the style's rules weigh nothing against it.
        EXPECT_TRUE(Has(styled, "color:#663300")) << styled;
        EXPECT_TRUE(
            Has(styled, "style=\"font-family:&quot;Times New Roman&quot;,serif;color:#663300"))
            << styled;
        const std::string css = StyleSheet(StyleOf(settings));
        for (std::size_t at = css.find('}'); at != std::string::npos; at = css.find('}', at + 1)) {
            const std::size_t rule = css.find_first_not_of('}', at);
            if (rule != std::string::npos && css.compare(rule, 1, "@") != 0) {
                EXPECT_EQ(css.compare(rule, 7, ":where("), 0) << css.substr(rule, 40);
            }
        }
    }
    // Colours hard to read are said; values that are none are refused.
    EXPECT_EQ(StyleContrastWarnings(StyleWith("Clean", {{"accent", "#dddddd"}})).size(), 3u);
    EXPECT_THROW(StyleWith("Clean", {{"accent", "red"}}), CommandError);
    EXPECT_THROW(StyleWith("Clean", {{"body-font", "x;}body{display:none"}}), CommandError);
    EXPECT_THROW(StyleWith("Clean", {{"spacing", "16"}}), CommandError);
    EXPECT_THROW(StyleWith("Night", {}), CommandError);
    EXPECT_NEAR(ContrastRatio("#000000", "#ffffff"), 21.0, 1e-9);
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

    // A target with an address of its own (a staging server): its pages say
    // that address, whatever the site's is.
    SiteSettings settings;
    settings.address = "https://bakery.example/";
    WriteSiteSettings(project_, settings);
    target.name = "staging";
    target.url = outside_ + "-staging";
    target.address = "https://staging.example/test";
    EXPECT_THROW(publish::SetTarget(
                     project_, publish::Target{"bad", target.url, "", "", "", "ftp://x/", "", ""}),
                 CommandError);
    publish::SetTarget(project_, target);
    const publish::Target kept = publish::FindTarget(project_, "staging");
    EXPECT_EQ(kept.address, "https://staging.example/test/");
    publish::Publish(project_, kept, {}, {});
    const std::string staged = test::ReadBytes(target.url + "/index.html");
    EXPECT_TRUE(Has(staged, "<link rel=\"canonical\" href=\"https://staging.example/test/\">"))
        << staged;
    EXPECT_TRUE(Has(test::ReadBytes(target.url + "/sitemap.xml"), "https://staging.example/test/"));
}

// Pictures whose sizes the test decides, made again as bytes that say what
// was asked; WebP always smaller than the picture's own format.
struct FakePictures {
    std::map<std::string, std::pair<int, int>> sizes; // by file name
    int made = 0;
    PictureWork Work(const std::string& cache) {
        PictureWork work;
        work.size = [this](const std::string& path) -> std::optional<PictureSize> {
            const auto found = sizes.find(path.substr(path.rfind('/') + 1));
            if (found == sizes.end()) {
                return std::nullopt;
            }
            return PictureSize{found->second.first, found->second.second};
        };
        work.encode = [this](const std::string&, int width, const std::string& format) {
            ++made;
            return std::string(std::size_t(format == "webp" ? width : 2 * width), 'p');
        };
        work.card = [this](const std::string&, int width, int height, const std::string&) {
            ++made;
            return std::to_string(width) + "x" + std::to_string(height);
        };
        work.cache_folder = cache;
        return work;
    }
};

// A link shared in a chat shows the page's first picture wide enough as a
// large card, cut to the card's proportions; a picture too low for that is
// shown as it is.
TEST_F(RenderSite, ASharedLinkShowsTheFirstLargePictureCutToACard) {
    SiteSettings settings;
    settings.address = "https://bakery.example/";
    WriteSiteSettings(project_, settings);
    for (const char* name : {"photo.jpg", "band.png", "low.png"}) {
        test::WriteBytes(project_ + "images/" + name, std::string("bytes of ") + name);
    }
    const auto page_showing = [](const std::string& picture) {
        return test::PageWith(
            "<!---Table1---!><!---Image1---!>",
            test::TableArea(
                1, test::Block("Image1", "<img src=\"images/" + picture + "\" alt=\"p\">")));
    };
    WritePageFile(project_ + "index.html", page_showing("photo.jpg"));
    WritePageFile(project_ + "band.html", page_showing("band.png"));
    WritePageFile(project_ + "low.html", page_showing("low.png"));
    FakePictures fake;
    fake.sizes = {{"photo.jpg", {2400, 1600}}, {"band.png", {900, 900}}, {"low.png", {1000, 300}}};
    ExportSite(project_, outside_, fake.Work(dir_.filePath("cache").toStdString()));
    EXPECT_TRUE(Has(test::ReadBytes(outside_ + "/index.html"),
                    "<meta property=\"og:image\" "
                    "content=\"https://bakery.example/images/photo.card.jpg\">"));
    EXPECT_EQ(test::ReadBytes(outside_ + "/images/photo.card.jpg"), "1200x630");
    EXPECT_EQ(test::ReadBytes(outside_ + "/images/band.card.png"), "900x472");
    const std::string low = test::ReadBytes(outside_ + "/low.html");
    EXPECT_TRUE(Has(low, "content=\"https://bakery.example/images/low.png\"")) << low;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(outside_ + "/images/low.card.png")));
}

TEST_F(RenderSite, PicturesGetTheirSizesAndVariantsMadeOnceOutsideTheProject) {
    QDir().mkpath(dir_.filePath("site/images"));
    for (const char* name : {"wide.jpg", "tall.png", "small.png", "roll.png", "on.png"}) {
        test::WriteBytes(project_ + "images/" + name, std::string("bytes of ") + name);
    }
    const std::string page = test::PageWith(
        "<!---Table1---!><!---Image1---!><!---Image2---!><!---Image3---!><!---Roll_Img1---!>",
        test::TableArea(
            1, test::Block("Image1", "<img src=\"images/wide.jpg\" width=\"300\" alt=\"w\">") +
                   test::Block("Image2", "<img src=\"images/tall.png\" alt=\"t\">") +
                   test::Block("Image3", "<img src=\"images/small.png\" width=\"100\" "
                                         "height=\"50\" alt=\"s\">") +
                   test::Block("Roll_Img1",
                               "<a href=\"x.html\" onMouseOut=\"RestoreImg()\" "
                               "onMouseOver=\"SwitchImg('document.y','document.y','images/"
                               "on.png')\"><img src=\"images/roll.png\" name=\"y\" width=\"40\" "
                               "alt=\"R\" border=\"0\"></a>") +
                   "<img src=\"http://example.org/a.png\" alt=\"far\">"
                   "<table><tr><td background=\"images/bg.png\">on a picture</td></tr></table>"));
    WritePageFile(project_ + "index.html", page);
    test::WriteBytes(project_ + "images/bg.png", std::string(1000, 'b'));
    FakePictures fake;
    // A photo turned upright: 1,000 by 750 as shown; one without a written
    // size; one shown at its own size; a rollover.
    fake.sizes = {{"wide.jpg", {1000, 750}},
                  {"tall.png", {300, 600}},
                  {"small.png", {100, 50}},
                  {"roll.png", {80, 40}},
                  {"bg.png", {100, 50}}};
    const std::string cache = dir_.filePath("cache").toStdString();
    const ExportReport report = ExportSite(project_, outside_, fake.Work(cache));
    const std::string html = test::ReadBytes(outside_ + "/index.html");
    // The height follows the written width in the file's proportions; 1x and
    // 2x in its own format and in WebP (smaller here).
    EXPECT_TRUE(Has(html, "<picture><source type=\"image/webp\" srcset=\"images/wide.q300.webp "
                          "1x, images/wide.q600.webp 2x\"><img src=\"images/wide.q300.jpg\" "
                          "width=\"300\" alt=\"w\" height=\"225\" srcset=\"images/wide.q300.jpg "
                          "1x, images/wide.q600.jpg 2x\""))
        << html;
    // Without a written size: its own size, never wider than its place; the
    // file itself, WebP being larger.
    EXPECT_TRUE(Has(html, "<img src=\"images/tall.png\" alt=\"t\" width=\"300\" height=\"600\""))
        << html;
    EXPECT_TRUE(Has(html, "max-width:100%;height:auto")) << html;
    // At its own size: the file itself, no 2x to offer.
    EXPECT_TRUE(Has(html, "<img src=\"images/small.png\" width=\"100\" height=\"50\" alt=\"s\""))
        << html;
    // The rollover is sized but keeps its one picture, which its script switches.
    EXPECT_TRUE(Has(html, "<img src=\"images/roll.png\" width=\"40\" alt=\"R\"")) << html;
    EXPECT_TRUE(Has(html, "height=\"20\"")) << html;
    // Pictures after the first three load as they come into view; another
    // site's picture stays as it is.
    EXPECT_TRUE(Has(html, "<img src=\"http://example.org/a.png\" alt=\"far\" loading=\"lazy\" "
                          "decoding=\"async\">"))
        << html;
    // A background picture: its WebP through image-set, the file before it
    // for the browsers that know no image-set.
    EXPECT_TRUE(Has(html, "background-image:url(&quot;images/bg.png&quot;);background-image:"
                          "image-set(url(&quot;images/bg.q100.webp&quot;) type(&quot;image/webp"
                          "&quot;),url(&quot;images/bg.png&quot;))"))
        << html;
    EXPECT_EQ(report.variants, 5);
    EXPECT_EQ(test::ReadBytes(outside_ + "/images/wide.q600.webp"), std::string(600, 'p'));
    // Nothing of it in the project.
    EXPECT_FALSE(QFile::exists(QString::fromStdString(project_ + "images/wide.q600.webp")));
    const int made = fake.made;
    EXPECT_GT(made, 0);

    // A second rendering makes nothing anew, and publishing sends the variants.
    ExportSite(project_, outside_ + "2", fake.Work(cache));
    EXPECT_EQ(fake.made, made);
    EXPECT_EQ(test::ReadBytes(outside_ + "2/index.html"), html);
    publish::Target target;
    target.name = "folder";
    target.url = outside_ + "3";
    publish::PublishOptions options;
    options.pictures = fake.Work(cache);
    const publish::PublishReport sent = publish::Publish(project_, target, options, {});
    EXPECT_EQ(test::ReadBytes(outside_ + "3/images/wide.q300.jpg"), std::string(600, 'p'));
    EXPECT_EQ(publish::Publish(project_, target, options, {}).sent, 0);
    EXPECT_EQ(fake.made, made);
    EXPECT_EQ(sent.sent, 9 + 5); // the project's files and the five variants
}

TEST(SiteSettings, CheckedWrittenReadBackAndRefusedWhole) {
    QTemporaryDir dir;
    const std::string project = dir.path().toStdString() + "/";
    QDir().mkpath(dir.filePath("images"));
    test::WriteBytes(project + "images/icon.png", "icon");
    EXPECT_TRUE(ReadSiteSettings(project).index);
    SiteSettings settings;
    settings.name = "The Bakery";
    settings.address = "https://bakery.example";
    settings.language = "de-CH";
    settings.icon = project + "images/icon.png"; // chosen in a file dialog
    WriteSiteSettings(project, settings);
    const SiteSettings read = ReadSiteSettings(project);
    EXPECT_EQ(read.address, "https://bakery.example/");
    EXPECT_EQ(read.icon, "images/icon.png");
    EXPECT_EQ(read.language, "de-CH");
    EXPECT_EQ(read.name, "The Bakery");
    const std::string file = test::ReadBytes(project + ".quenfort-site");
    for (const auto& [field, value] :
         std::vector<std::pair<std::string, std::string>>{{"address", "example.org"},
                                                          {"address", "ftp://example.org/"},
                                                          {"address", "https://a b/"},
                                                          {"language", "english!"},
                                                          {"language", "e"},
                                                          {"icon", "../outside.png"},
                                                          {"icon", "images/none.png"},
                                                          {"name", "two\nlines"}}) {
        EXPECT_THROW(WriteSiteSettings(project, WithSiteSetting(read, field, value)), CommandError)
            << field << "=" << value;
    }
    EXPECT_THROW(WithSiteSetting(read, "colour", "red"), CommandError);
    EXPECT_EQ(test::ReadBytes(project + ".quenfort-site"), file);
}

TEST_F(RenderSite, AnAddressGivesCanonicalLinksSharedCardsASitemapAndRobots) {
    SiteSettings settings;
    settings.name = "The Bakery";
    settings.address = "https://bakery.example/shop/";
    settings.language = "fr";
    WriteSiteSettings(project_, settings);
    WritePageFile(project_ + "about us.html", SamplePage());
    ExportReport report = ExportSite(project_, outside_);
    EXPECT_TRUE(report.notes.empty());
    const std::string home = test::ReadBytes(outside_ + "/index.html");
    EXPECT_TRUE(Has(home, "<html lang=\"fr\">")) << home;
    EXPECT_TRUE(Has(home, "<link rel=\"canonical\" href=\"https://bakery.example/shop/\">"))
        << home;
    EXPECT_TRUE(Has(home, "<meta property=\"og:site_name\" content=\"The Bakery\">")) << home;
    EXPECT_TRUE(Has(home, "<meta property=\"og:locale\" content=\"fr\">")) << home;
    const std::string about = test::ReadBytes(outside_ + "/about us.html");
    EXPECT_TRUE(Has(about, "href=\"https://bakery.example/shop/about%20us.html\"")) << about;
    // The sitemap lists exactly the editor's pages, by their full address.
    const std::string sitemap = test::ReadBytes(outside_ + "/sitemap.xml");
    EXPECT_TRUE(Has(sitemap, "<loc>https://bakery.example/shop/</loc>")) << sitemap;
    EXPECT_TRUE(Has(sitemap, "<loc>https://bakery.example/shop/about%20us.html</loc>")) << sitemap;
    EXPECT_FALSE(Has(sitemap, "plain.html")) << sitemap;
    EXPECT_EQ(std::count(sitemap.begin(), sitemap.end(), '\n'), 5) << sitemap;
    EXPECT_EQ(test::ReadBytes(outside_ + "/robots.txt"),
              "User-agent: *\nAllow: /\nSitemap: https://bakery.example/shop/sitemap.xml\n");
    // Valid against the sitemap protocol's schema, as search engines read it.
    QProcess xmllint;
    xmllint.start("xmllint", {"--noout", "--schema", QUENFORT_TEST_DATA "/sitemap.xsd",
                              QString::fromStdString(outside_ + "/sitemap.xml")});
    ASSERT_TRUE(xmllint.waitForFinished(60000));
    EXPECT_EQ(xmllint.exitCode(), 0) << xmllint.readAllStandardError().toStdString();

    // Not to be indexed: the pages say so and robots.txt keeps all out.
    settings.index = false;
    WriteSiteSettings(project_, settings);
    ExportSite(project_, outside_);
    EXPECT_TRUE(Has(test::ReadBytes(outside_ + "/index.html"),
                    "<meta name=\"robots\" content=\"noindex\">"));
    EXPECT_EQ(test::ReadBytes(outside_ + "/robots.txt"), "User-agent: *\nDisallow: /\n");

    // Without an address: no canonical link, no sitemap, and a note says why.
    settings.address.clear();
    settings.index = true;
    WriteSiteSettings(project_, settings);
    const std::string bare = outside_ + "-bare";
    report = ExportSite(project_, bare);
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_TRUE(Has(report.notes[0], "no address")) << report.notes[0];
    EXPECT_FALSE(QFile::exists(QString::fromStdString(bare + "/sitemap.xml")));
    EXPECT_FALSE(Has(test::ReadBytes(bare + "/index.html"), "canonical"));
}

TEST_F(RenderSite, TheSiteIconBecomesFaviconTouchIconsAndAManifest) {
    SiteSettings settings;
    settings.name = "Caf\xC3\xA9 \"Chez Nous\"";
    settings.icon = "images/a.png";
    WriteSiteSettings(project_, settings);
    FakePictures fake;
    ExportReport report =
        ExportSite(project_, outside_, fake.Work(dir_.filePath("cache").toStdString()));
    ASSERT_EQ(report.notes.size(), 1u); // only that there is no sitemap without an address
    EXPECT_TRUE(Has(report.notes[0], "no address")) << report.notes[0];
    // Three PNGs of 32, 64 and 96 bytes (the fake's), behind a directory of three.
    const std::string ico = test::ReadBytes(outside_ + "/favicon.ico");
    ASSERT_EQ(ico.size(), 6u + 3 * 16 + 32 + 64 + 96);
    EXPECT_EQ(ico.substr(0, 6), std::string("\0\0\1\0\3\0", 6));
    EXPECT_EQ(int(std::uint8_t(ico[6 + 16 * 2])), 48);                    // the third is 48 wide
    EXPECT_EQ(int(std::uint8_t(ico[6 + 16 * 2 + 12])), 6 + 48 + 32 + 64); // where it starts
    EXPECT_EQ(test::ReadBytes(outside_ + "/icon-512.png").size(), 1024u);
    EXPECT_EQ(test::ReadBytes(outside_ + "/apple-touch-icon.png").size(), 360u);
    const std::string manifest = test::ReadBytes(outside_ + "/site.webmanifest");
    EXPECT_TRUE(Has(manifest, "\"name\": \"Caf\xC3\xA9 \\\"Chez Nous\\\"\"")) << manifest;
    EXPECT_TRUE(Has(manifest, "{\"src\": \"icon-192.png\", \"sizes\": \"192x192\"")) << manifest;
    const std::string home = test::ReadBytes(outside_ + "/index.html");
    EXPECT_TRUE(Has(home, "<link rel=\"apple-touch-icon\" href=\"apple-touch-icon.png\">")) << home;
    EXPECT_TRUE(Has(home, "<link rel=\"manifest\" href=\"site.webmanifest\">")) << home;
    // Without a way to make pictures, none are named.
    EXPECT_FALSE(Has(RenderPage(SamplePage(), SiteRenderOptions(project_)), "apple-touch-icon"));
}

} // namespace
} // namespace qf::render
