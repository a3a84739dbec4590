#include "components/insertion.h"
#include "document/kind_table.h"
#include "document/page_check.h"
#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"
#include "workspace/component_editing.h"
#include "workspace/source_text.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::Refusal;

std::string Block(const std::string& name, const std::string& body) {
    return "<!---Begin_" + name + "---!>" + body + "<!---End_" + name + "---!>";
}

// Text2 beside Text_Link2 and TextArea2, and images numbered 1, 7, 12, 42, 105.
std::string CrowdedPage() {
    return test::PageWith(
        "<!---Table1---!><!---Text_Link2---!><!---Text2---!><!---TextArea2---!><!---Image12---!>"
        "<!---Image1---!><!---Image7---!><!---Image42---!><!---Image105---!>",
        test::TableArea(1, Block("Text_Link2", "<a>link</a>") + Block("Text2", "<font>t</font>") +
                               Block("TextArea2", "<textarea></textarea>") +
                               Block("Image12", "<img 12>") + Block("Image1", "<img 1>") +
                               Block("Image7", "<img 7>") + Block("Image42", "<img 42>") +
                               Block("Image105", "<img 105>")));
}

TEST(ComponentSource, IsTheTextBetweenTheComponentsOwnMarkers) {
    const std::string page = CrowdedPage();
    EXPECT_EQ(ComponentSource(page, "Text String2"), "<font>t</font>");
    EXPECT_EQ(ComponentSource(page, "Text Link2"), "<a>link</a>");
    EXPECT_EQ(ComponentSource(page, "Form TextArea2"), "<textarea></textarea>");
    EXPECT_EQ(ComponentSource(page, "Image1"), "<img 1>");
    EXPECT_EQ(ComponentSource(page, "Image12"), "<img 12>");
    EXPECT_EQ(ComponentSource(page, "Image7"), "<img 7>");
    EXPECT_EQ(ComponentSource(page, "Image42"), "<img 42>");
    EXPECT_EQ(ComponentSource(page, "Image105"), "<img 105>");
    EXPECT_EQ(ComponentSource(test::WorkedExamplePage(), "Image1"),
              "<img src=\"logo.gif\" width=\"120\" height=\"60\" align=\"Left\" alt=\"Logo\" "
              "border=\"0\" bordercolor=\"#000000\">");

    EXPECT_EQ(Refusal([&] { ComponentSource(page, "Select Component"); }),
              "Please select a component");
    EXPECT_EQ(Refusal([&] { ComponentSource(page, ""); }), "Please select a component");
    EXPECT_EQ(Refusal([&] { ComponentSource(page, "Marquee3"); }),
              "Marquee3 is not a component of this page");
    // One declared without its block went with its area; one the page never
    // held is simply not there.
    const std::string orphan =
        test::PageWith("<!---Table1---!><!---Image3---!>", test::TableArea(1));
    EXPECT_EQ(Refusal([&] { ComponentSource(orphan, "Image3"); }),
              "Image3 is not on this page any more (the area that held it was deleted), so it "
              "cannot be modified; it can only be deleted.");
    EXPECT_EQ(Refusal([&] { ComponentSource(page, "Image3"); }), "Image3 is not on this page");
}

TEST(ModifyComponent, SavesBetweenTheSameMarkersAndRefusesMarkerDelimiters) {
    const std::string page = CrowdedPage();
    // Saved unchanged: byte for byte.
    for (const char* entry : {"Text String2", "Text Link2", "Image1", "Image105"}) {
        EXPECT_EQ(ModifiedComponentText(page, entry, ComponentSource(page, entry)), page);
    }
    // Line breaks typed into the memo are kept, each as one CR.
    std::string modified = ModifiedComponentText(page, "Text String2", "a\r\nb\nc");
    EXPECT_EQ(ComponentSource(modified, "Text String2"), "a\rb\rc");
    EXPECT_EQ(ComponentSource(modified, "Text Link2"), "<a>link</a>");
    EXPECT_EQ(ComponentSource(modified, "Form TextArea2"), "<textarea></textarea>");
    std::string expected = page;
    expected.replace(expected.find("<font>t</font>"), 14, "a\rb\rc");
    EXPECT_EQ(modified, expected);

    // Markers in the source would break the page: refused.
    const std::string refusal = "The component source may not contain \"<!---\" or \"---!>\"";
    EXPECT_EQ(Refusal([&] { ModifiedComponentText(page, "Image7", "<!---End_Image7---!>x"); }),
              refusal);
    EXPECT_EQ(Refusal([&] { ModifiedComponentText(page, "Image7", "x ---!>"); }), refusal);
    // A line break between the parts keeps them apart, also once the page
    // file has been written and read again.
    const std::string apart = ModifiedComponentText(page, "Image7", "<!--\n-x");
    EXPECT_EQ(DecodePageFile(EncodePageFile(apart)), apart);
    EXPECT_EQ(ComponentSource(apart, "Image7"), "<!--\r-x");
    EXPECT_TRUE(CheckPage(apart).empty());
    EXPECT_EQ(Refusal([&] { ModifiedComponentText(page, "Image3", "x"); }),
              "Image3 is not on this page");
    EXPECT_TRUE(CheckPage(ModifiedComponentText(page, "Image42", "<p>new</p>")).empty());
}

TEST(ModifyComponent, SourceKeepsTheEncodingItWasShownIn) {
    // Windows-1252 bytes are shown decoded and written back the same way.
    EXPECT_EQ(SourceBytes("caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9"), "caf\xE9 \x80");
    EXPECT_EQ(SourceBytes("\xE2\x98\x83", "\xE9"), "&#9731;");
    // UTF-8 and plain ASCII sources take the typed text as it stands.
    EXPECT_EQ(SourceBytes("caf\xC3\xA9", "caf\xC3\xA9"), "caf\xC3\xA9");
}

TEST(ModifyComponent, LineBreaksAreShownAsTypedAndSavedBackAsTheyWere) {
    EXPECT_EQ(KeptLineBreaks("\r\na\r\r\nb\n\n"), "\ra\r\rb\r\r");
    // A source is shown with "\n" and typed back unchanged gives its bytes,
    // in either encoding.
    for (const std::string source : {"<script>// hi\r\rx = 1;</script>\r", "caf\xE9\r\xE9"}) {
        const std::string shown = DecodeSource(ShownLineBreaks(source)).text.toStdString();
        EXPECT_EQ(shown.find('\r'), std::string::npos);
        EXPECT_EQ(SourceBytes(shown, source), source);
    }
    EXPECT_EQ(ShownLineBreaks("a\rb"), "a\nb");
    // Only the line break that ends a text read from a stream goes.
    EXPECT_EQ(WithoutFinalLineBreak("a\n\n"), "a\n");
    EXPECT_EQ(WithoutFinalLineBreak("a\r\n"), "a");
    EXPECT_EQ(WithoutFinalLineBreak("a\r"), "a");
    EXPECT_EQ(WithoutFinalLineBreak("\na"), "\na");
    EXPECT_EQ(WithoutFinalLineBreak(""), "");
}

TEST(DeleteComponent, RemovesBlockAndDeclarationOfThatComponentOnly) {
    const std::string page = CrowdedPage();
    const std::string without = DeletedComponentText(page, "Text String2");
    std::string expected = page;
    expected.erase(expected.find("<!---Text2---!>"), 15);
    expected.erase(expected.find(Block("Text2", "<font>t</font>")),
                   Block("Text2", "<font>t</font>").size());
    EXPECT_EQ(without, expected);
    EXPECT_TRUE(CheckPage(without).empty());

    const std::string without1 = DeletedComponentText(page, "Image1");
    EXPECT_NE(without1.find(Block("Image12", "<img 12>")), std::string::npos);
    EXPECT_NE(without1.find("<!---Image12---!>"), std::string::npos);
    EXPECT_EQ(without1.find("<!---Image1---!>"), std::string::npos);

    // A component whose area went: its declaration still goes.
    const std::string orphan =
        test::PageWith("<!---Table1---!><!---Image3---!>", test::TableArea(1));
    EXPECT_EQ(DeletedComponentText(orphan, "Image3"),
              test::PageWith("<!---Table1---!>", test::TableArea(1)));
    EXPECT_EQ(Refusal([&] { DeletedComponentText(orphan, "Image4"); }),
              "Image4 is not on this page");
    EXPECT_EQ(Refusal([&] { DeletedComponentText(orphan, "Select Component"); }),
              "Please select a component");
}

TEST(DeleteComponent, WorksForEveryListedKindOfTheKindTable) {
    for (const Kind& kind : Kinds()) {
        if (kind.display_name.empty()) {
            continue;
        }
        SCOPED_TRACE(std::string(kind.tag));
        const std::string name = std::string(kind.tag) + "2";
        const std::string page = test::PageWith("<!---Table1---!><!---" + name + "---!>",
                                                test::TableArea(1, Block(name, "<b>x</b>")));
        const std::string entry = std::string(kind.display_name) + "2";
        EXPECT_EQ(ComponentSource(page, entry), "<b>x</b>");
        EXPECT_EQ(ComponentSource(ModifiedComponentText(page, entry, "<i>y</i>"), entry),
                  "<i>y</i>");
        EXPECT_EQ(DeletedComponentText(page, entry),
                  test::PageWith("<!---Table1---!>", test::TableArea(1)));
    }
}

class ComponentWorkspace : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.filePath("index.html").toStdString();
        WritePageFile(path_, test::PageWith("<!---Table1---!>", test::TableArea(1)));
        OpenPage(workspace_, path_);
        workspace_.area_list.text = "Area1";
        workspace_.app_folder = dir_.path().toStdString() + "/app/";
    }
    QTemporaryDir dir_;
    std::string path_;
    Workspace workspace_;
};

TEST_F(ComponentWorkspace, SaveAndDeleteWriteTheFileAndKeepTheListTrue) {
    CommitComponent(workspace_, "Image", "<img 1>");
    CommitComponent(workspace_, "Image", "<img 2>");
    workspace_.component_list.text = "Image2";
    SaveComponentSource(workspace_, "<img two>");
    EXPECT_EQ(ReadPageFile(path_), workspace_.page_text);
    EXPECT_EQ(ComponentSource(workspace_.page_text, "Image2"), "<img two>");
    EXPECT_EQ(workspace_.component_list.entries, (std::vector<std::string>{"Image1", "Image2"}));

    workspace_.component_list.text = "Image1";
    EXPECT_EQ(DeleteComponent(workspace_), "Image1");
    EXPECT_EQ(ReadPageFile(path_), workspace_.page_text);
    EXPECT_EQ(workspace_.component_list.entries, std::vector<std::string>{"Image2"});
    EXPECT_EQ(workspace_.component_list.text, "Select Component");
    // The counting rule gives 2 again, which is in use: the next image is 3.
    EXPECT_EQ(CommitComponent(workspace_, "Image", "<img 3>"), "Image3");
    EXPECT_TRUE(CheckPage(workspace_.page_text).empty());

    const std::string before = workspace_.page_text;
    workspace_.component_list.text = "Image3";
    EXPECT_THROW(SaveComponentSource(workspace_, "<!---"), CommandError);
    workspace_.component_list.text = "Select Component";
    EXPECT_THROW(DeleteComponent(workspace_), CommandError);
    EXPECT_EQ(ReadPageFile(path_), before);
    EXPECT_EQ(workspace_.page_text, before);
}

TEST_F(ComponentWorkspace, ThePreviewFileIsAPageFileInTheTempFolder) {
    EXPECT_THROW(WriteComponentPreview(workspace_, "<b>x</b>"), CommandError); // no temp folder
    QDir().mkpath(QString::fromStdString(workspace_.app_folder + "temp"));
    const std::string path = WriteComponentPreview(workspace_, "<b>x</b> y");
    EXPECT_EQ(path, workspace_.app_folder + "temp/Comp.html");
    EXPECT_EQ(ReadPageFile(path), "<b>x</b> y");
    EXPECT_EQ(EncodePageFile("<b>x</b> y").size(), QFileInfo(QString::fromStdString(path)).size());
}

} // namespace
} // namespace qf
