#include "cli_runner.h"
#include "components/insertion.h"
#include "document/page_file.h"
#include "test_pages.h"
#include "workspace/app_folder.h"
#include "workspace/area_content.h"
#include "workspace/area_editing.h"
#include "workspace/component_editing.h"
#include "workspace/layouts.h"
#include "workspace/new_page.h"
#include "workspace/workspace.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace qf {
namespace {

using test::RunCli;

// The command line beside the core functions the dialogs call: the same page
// edited both ways must end in the same bytes.
class EditingCli : public ::testing::Test {
protected:
    void SetUp() override {
        WritePageFile(Path(), Start());
        WritePageFile(Twin(), Start());
        OpenPage(twin_, Twin());
    }
    static std::string Start() {
        return test::PageWith(
            "<!---Table1---!><!---Table2---!><!---Image1---!>",
            test::TableArea(1, "<!---Begin_Image1---!><img 1><!---End_Image1---!>") +
                test::CellArea(2));
    }
    std::string Path() const { return dir_.filePath("index.html").toStdString(); }
    std::string Twin() const { return twin_dir_.filePath("index.html").toStdString(); }
    QString P() const { return QString::fromStdString(Path()); }
    std::string Bytes(const std::string& path) const {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
    }
    void ExpectSameBytes() { EXPECT_EQ(Bytes(Path()), Bytes(Twin())); }

    QTemporaryDir dir_;
    QTemporaryDir twin_dir_;
    Workspace twin_;
};

TEST_F(EditingCli, AreaCommandsGiveTheDialogsBytes) {
    auto result =
        RunCli({"modify-area", P(), "Area1", "width=300", "align=Cent\"er", "bgcolor=#abc"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "width=300\nheight=100\ninner=0\nouter=0\nalign=Cent&quot;er\n"
                          "valign=Top\nbgcolor=#abc\nbordercolor=#000000\n");
    twin_.area_list.text = "Area1";
    ModifyArea(twin_, {.width = 300, .align = "Cent\"er", .background = "#abc"});
    ExpectSameBytes();

    // No field: the area as it stands; a cell prints its own fields only.
    const std::string before = Bytes(Path());
    result = RunCli({"modify-area", P(), "Area2"});
    EXPECT_EQ(result.out, "width=200\nheight=100\nbgcolor=#ffffff\nbordercolor=#000000\n");
    EXPECT_EQ(Bytes(Path()), before);

    result = RunCli({"platform", P(), "Area2", "count=3", "width=50", "height=20"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Area3\nArea4\nArea5\n");
    twin_.area_list.text = "Area2";
    InsertPlatform(twin_, 3, 50, 20);
    ExpectSameBytes();

    EXPECT_EQ(RunCli({"line-break", P(), "Area4"}).status, 0);
    EXPECT_EQ(RunCli({"insert-html", P(), "Area4"}, "<p>Caf\xC3\xA9\n</p>").status, 0);
    twin_.area_list.text = "Area4";
    InsertLineBreak(twin_);
    InsertHtml(twin_, "<p>Caf\xC3\xA9\n</p>");
    ExpectSameBytes();

    result = RunCli({"delete-area", P(), "Area1"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Area1\nImage1\n");
    twin_.area_list.text = "Area1";
    DeleteArea(twin_);
    ExpectSameBytes();
    result = RunCli({"delete-area", P(), "Area2"});
    EXPECT_EQ(result.out, "Area2\nArea3\nArea4\nArea5\n");
    EXPECT_EQ(RunCli({"check", P()}).status, 0);
}

TEST_F(EditingCli, HtmlCodeKeepsItsLineBreaksInThePageFile) {
    const std::string code = "<script>\n// say hello\ndocument.title = \"ran\";\n</script>\n"
                             "<pre>line 1\nline 2</pre>\nHello\nworld\n";
    const auto result = RunCli({"insert-html", P(), "Area2"}, code);
    ASSERT_EQ(result.status, 0) << result.err;
    // Each line break is a CR, which the file keeps; the input's last one goes.
    const std::string page = ReadPageFile(Path());
    EXPECT_NE(page.find("<script>\r// say hello\rdocument.title = \"ran\";\r</script>\r"
                        "<pre>line 1\rline 2</pre>\rHello\rworld</td><!---End_Table2---!>"),
              std::string::npos)
        << page;
    EXPECT_EQ(RunCli({"check", P()}).status, 0);

    // Kept as a component: listed, and its source is the code.
    const auto kept = RunCli({"insert-html", P(), "Area2", "--component"}, "<b>\nbold</b>\n");
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.out, "HTML Code1\n");
    EXPECT_EQ(RunCli({"component-source", P(), "HTML Code1"}).out, "<b>\nbold</b>\n");
    EXPECT_EQ(RunCli({"check", P()}).status, 0);
}

TEST_F(EditingCli, AnAreaDeclaredWithoutItsBlockCanOnlyBeDeleted) {
    const std::string page =
        test::PageWith("<!---Table1---!><!---Table5---!>", test::TableArea(1, "x"));
    WritePageFile(Path(), page);
    auto result = RunCli({"insert", P(), "Area5", "Hr"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Area5 is not on this page\n");
    EXPECT_EQ(RunCli({"line-break", P(), "Area5"}).status, 1);
    EXPECT_EQ(ReadPageFile(Path()), page);
    result = RunCli({"delete-area", P(), "Area5"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Area5\n");
    EXPECT_EQ(ReadPageFile(Path()), test::PageWith("<!---Table1---!>", test::TableArea(1, "x")));
}

TEST_F(EditingCli, ComponentCommandsGiveTheDialogsBytes) {
    auto result = RunCli({"component-source", P(), "Image1"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "<img 1>\n");
    // What component-source prints, given back, changes nothing.
    const std::string before = Bytes(Path());
    EXPECT_EQ(RunCli({"set-component-source", P(), "Image1"}, result.out).status, 0);
    EXPECT_EQ(Bytes(Path()), before);

    // Line breaks stay line breaks, but the one that ends the input is not
    // part of the source.
    result = RunCli({"set-component-source", P(), "Image1"}, "<img\nsrc=\"a.gif\">\r\n");
    ASSERT_EQ(result.status, 0) << result.err;
    twin_.component_list.text = "Image1";
    SaveComponentSource(twin_, "<img\nsrc=\"a.gif\">");
    ExpectSameBytes();
    EXPECT_EQ(RunCli({"component-source", P(), "Image1"}).out, "<img\nsrc=\"a.gif\">\n");
    EXPECT_NE(ReadPageFile(Path()).find("<img\rsrc=\"a.gif\"><!---End_Image1"), std::string::npos);

    result = RunCli({"delete-component", P(), "Image1"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Image1\n");
    DeleteComponent(twin_);
    ExpectSameBytes();
}

TEST_F(EditingCli, RefusalsAndUsageErrorsLeaveThePageAlone) {
    const std::string before = Bytes(Path());
    struct Case {
        QStringList args;
        std::string input;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"modify-area", P(), "Select Area", "width=1"},
         "",
         1,
         "'Select Area' is not an area name: Area followed by the area's number, as Area2\n"},
        {{"modify-area", P(), "Area9"}, "", 1, "Area9 is not on this page\n"},
        {{"modify-area", P(), "Area1", "width=wide"},
         "",
         1,
         "width must be a whole number, not 'wide'\n"},
        {{"modify-area", P(), "Area2", "inner=3"},
         "",
         1,
         "Area2 is a cell beside another area: it has no spacings or alignment of its own, "
         "only width, height and colours.\n"},
        {{"modify-area", P(), "Area1", "bgcolor=<!---x"},
         "",
         1,
         "Background Color may not contain \"<!---\" or \"---!>\"\n"},
        {{"modify-area", P(), "Area1", "colour=red"}, "", 2, ""},
        {{"modify-area", P()}, "", 2, ""},
        {{"delete-area", P(), "Area7"}, "", 1, "Area7 is not on this page\n"},
        {{"delete-area", P()}, "", 2, ""},
        {{"component-source", P(), "Select Component"}, "", 1, "Please select a component\n"},
        {{"set-component-source", P(), "Image1"},
         "<!---End_Image1---!>",
         1,
         "The component source may not contain \"<!---\" or \"---!>\"\n"},
        {{"set-component-source", P(), "Image4"}, "x", 1, "Image4 is not on this page\n"},
        {{"set-component-source", P(), "Image1"},
         "caf\xe9",
         1,
         "The component source: the text is not valid UTF-8\n"},
        {{"modify-area", P(), "Area1", "align=Left\nRight"},
         "",
         1,
         "Align must be a single line\n"},
        {{"delete-component", P(), "Text Link1"}, "", 1, "Text Link1 is not on this page\n"},
        {{"platform", P(), "Area1", "count=21"},
         "",
         1,
         "Adjacent Tables must be from 2 to 20, not 21.\n"},
        {{"platform", P(), "Area1", "rows=2"}, "", 2, ""},
        {{"line-break", P(), "Select Area"},
         "",
         1,
         "'Select Area' is not an area name: Area followed by the area's number, as Area2\n"},
        {{"insert-html", P(), "Area1"},
         "<!---",
         1,
         "The HTML code may not contain \"<!---\" or \"---!>\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto result = RunCli(c.args, c.input);
        EXPECT_EQ(result.status, c.status);
        if (!c.err.empty()) {
            EXPECT_EQ(result.err, c.err);
        }
        EXPECT_EQ(Bytes(Path()), before);
    }
    // Texts whose last digits name an area of the page name no area here.
    for (const char* command :
         {"modify-area", "delete-area", "platform", "line-break", "insert-html"}) {
        for (const char* bad : {"Area1001", "Area001", "Area-2", "Apple1", "Area 1", "Area+1"}) {
            SCOPED_TRACE(std::string(command) + " " + bad);
            const auto result = RunCli({command, P(), bad}, "<b>x</b>");
            EXPECT_EQ(result.status, 1);
            EXPECT_NE(result.err.find(bad), std::string::npos) << result.err;
            EXPECT_EQ(Bytes(Path()), before);
        }
    }
}

TEST(EditingCliSequences, LeaveEveryShippedLayoutsPageSoundForCheck) {
    QTemporaryDir dir;
    const std::string app = dir.path().toStdString() + "/app/";
    FillAppFolder(app);
    std::mt19937 random(7);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (const int layout : LayoutNumbers(app)) {
        SCOPED_TRACE("layout " + std::to_string(layout));
        const QString page = dir.filePath(QString("l%1.html").arg(layout));
        WritePageFile(page.toStdString(),
                      PageTextFromLayout(ReadLayout(app, layout), {"p", "T", "", 0}));
        std::string history;
        for (int step = 0; step < 8; ++step) {
            const std::vector<std::string> areas = AreaEntries(ReadPageFile(page.toStdString()));
            const std::vector<std::string> components =
                ComponentEntries(ReadPageFile(page.toStdString()));
            if (areas.empty()) {
                break;
            }
            const QString area =
                QString::fromStdString(areas[std::size_t(pick(0, int(areas.size()) - 1))]);
            QStringList args;
            std::string input;
            switch (pick(0, 6)) {
            case 0:
                args = {"insert", page, area, pick(0, 1) ? "Image" : "Text", "text=x"};
                if (args[3] == "Image") {
                    args.removeLast();
                }
                break;
            case 1:
                args = {"modify-area", page, area, QString("width=%1").arg(pick(0, 500)),
                        "bgcolor=#123"};
                break;
            case 2:
                args = {"delete-area", page, area};
                if (areas.size() < 2) {
                    args = {"line-break", page, area};
                }
                break;
            case 3:
                args = {"platform", page, area, QString("count=%1").arg(pick(2, 4)), "width=40"};
                break;
            case 4:
                args = {"insert-html", page, area};
                input = "<em>code</em>\n";
                break;
            case 5:
                if (components.empty()) {
                    args = {"line-break", page, area};
                } else {
                    args = {"delete-component", page, QString::fromStdString(components.front())};
                }
                break;
            default:
                if (components.empty()) {
                    args = {"line-break", page, area};
                } else {
                    args = {"set-component-source", page,
                            QString::fromStdString(components.back())};
                    input = "<p>new</p>";
                }
                break;
            }
            history += args.mid(2).join(' ').toStdString() + "; ";
            const auto result = RunCli(args, input);
            ASSERT_EQ(result.status, 0) << history << result.err;
        }
        const auto check = RunCli({"check", page});
        EXPECT_EQ(check.status, 0) << history << check.out;
        EXPECT_EQ(check.out, "");
    }
}

} // namespace
} // namespace qf
