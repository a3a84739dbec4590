#include "cli_runner.h"
#include "components/insertion.h"
#include "components/page_properties.h"
#include "components/picture_metadata.h"
#include "components/rollover.h"
#include "components/small_screens.h"
#include "document/page_file.h"
#include "test_pages.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::CliResult;
using test::RawRun;
using test::RunCli;
using test::RunCliRaw;

class ComponentCli : public ::testing::Test {
protected:
    void SetUp() override {
        // The command line's application folder lives under XDG_DATA_HOME.
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
        WritePageFile(Path().toStdString(), Start());
    }
    void TearDown() override { qunsetenv("XDG_DATA_HOME"); }
    static std::string Start() {
        return test::PageWith("<!---Table1---!><!---Table2---!>",
                              test::TableArea(1) + test::CellArea(2));
    }
    QString Path() const { return dir_.filePath("index.html"); }
    // The start page opened in `folder`, with Area2 selected: where a test
    // inserts through the core what it inserts through the command line.
    static Workspace CoreTwin(const QTemporaryDir& folder) {
        const std::string path = folder.filePath("index.html").toStdString();
        WritePageFile(path, Start());
        Workspace workspace;
        OpenPage(workspace, path);
        workspace.area_list.text = "Area2";
        return workspace;
    }
    std::string Bytes(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "(missing)";
    }
    QTemporaryDir dir_;
    QTemporaryDir data_;
};

TEST_F(ComponentCli, InsertGivesTheSameBytesAsTheCoreAndPrintsTheEntry) {
    // The same values through the core function a dialog calls.
    QTemporaryDir other;
    Workspace workspace = CoreTwin(other);
    InsertComponent(workspace, "Text",
                    {{"face", "Arial"}, {"bold", "1"}, {"text", "Caf\xC3\xA9 \"x\""}});
    InsertComponent(workspace, "Bullet_Item_List", {{"items", "one\ntwo"}});

    auto result = RunCli(
        {"insert", Path(), "Area2", "Text", "face=Arial", "bold=1", "text=Caf\xC3\xA9 \"x\""});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Text String1\n");
    result = RunCli({"insert", Path(), "Area2", "Bullet_Item_List", "items=one\ntwo"});
    EXPECT_EQ(result.out, "Bullet Item List1\n");
    EXPECT_EQ(Bytes(Path()), Bytes(other.filePath("index.html")));
    EXPECT_NE(ReadPageFile(Path().toStdString()).find("<b>Caf&#233; \"x\"</b>"), std::string::npos);

    result = RunCli({"insert", Path(), "Area1", "Image"});
    EXPECT_EQ(result.out, "Image1\n");
    EXPECT_NE(ReadPageFile(Path().toStdString())
                  .find("<!---Begin_Image1---!><img src=\"http://\" "
                        "align=\"\" alt=\"\" "
                        "border=\"0\" "
                        "bordercolor=\"\"><!---End_Image1---!></td></table><!---End_Table1---!>"),
              std::string::npos);
}

TEST_F(ComponentCli, UsageErrorsAndRefusalsLeaveThePageAlone) {
    const std::string before = Bytes(Path());
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Image", "colour=red"}).status, 2);
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Marquee"}).status, 2);
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Image", "width"}).status, 2);
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Image", "alt=a", "alt=b"}).status, 2);
    EXPECT_EQ(RunCli({"insert", Path(), "Area1"}).status, 2);
    // Only "Area" and the digits of an area on the page name an area; the
    // last digits of a longer text do not.
    for (const char* bad : {"Area", "Apple1", "Area 1", "Area-2", "Area+1", "Area01", "area1",
                            "Area1x", " Area1", "Area\xC2\xB2"}) {
        const auto result = RunCli({"insert", Path(), bad, "Image"});
        EXPECT_EQ(result.status, 1) << bad;
        EXPECT_EQ(result.err, "'" + std::string(bad) +
                                  "' is not an area name: Area followed by the area's number, as "
                                  "Area2\n");
    }
    auto result = RunCli({"insert", Path(), "Area9", "Hr"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Area9 is not on this page\n");
    for (const char* absent : {"Area1001", "Area2001", "Area99999999999"}) {
        result = RunCli({"insert", Path(), absent, "Hr"});
        EXPECT_EQ(result.status, 1) << absent;
        EXPECT_EQ(result.err, std::string(absent) + " is not on this page\n");
    }
    result = RunCli({"insert", Path(), "Area1", "Image", "width=+-5"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Width (width): '+-5' is not a valid integer value\n");
    result = RunCli({"insert", Path(), "Area1", "Image", "alt=<!---x"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Mouse Over Text (alt) may not contain \"<!---\" or \"---!>\"\n");
    result = RunCli({"insert", Path(), "Area1", "Hr", "width=0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(Bytes(Path()), before);
    EXPECT_EQ(RunCli({"page-properties", Path(), "colour=#fff"}).status, 2);
    EXPECT_EQ(RunCli({"page-properties", Path(), "noscroll=yes"}).status, 2);
    EXPECT_EQ(Bytes(Path()), before);
}

TEST_F(ComponentCli, RolloverTakesTheScriptFromTheApplicationFolder) {
    auto result = RunCli({"insert", Path(), "Area1", "Roll_Img", "src=a.gif", "rollover=b.gif"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Rollover Image1\n");
    const QString shipped = data_.filePath("quenfort/js.js");
    ASSERT_TRUE(QFile::exists(shipped));
    EXPECT_EQ(Bytes(dir_.filePath("js.js")), Bytes(shipped));
    EXPECT_NE(ReadPageFile(Path().toStdString()).find("<SCRIPT SRC=\"js.js\"></SCRIPT></head>"),
              std::string::npos);
    result = RunCli({"insert", Path(), "Area2", "Roll_Img"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, std::string(kPageHoldsRolloverMessage) + "\n");
}

TEST_F(ComponentCli, PagePropertiesAndKinds) {
    auto result =
        RunCli({"page-properties", Path(), "heading=My Page", "background=#336699", "noscroll=1"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "My Page\n");
    const std::string expected =
        ApplyPageProperties(Start(), {"My Page", "#336699", true, std::nullopt, std::nullopt,
                                      std::nullopt, std::nullopt});
    EXPECT_EQ(ReadPageFile(Path().toStdString()), expected);
    EXPECT_NE(expected.find("<body scroll=\"no\" bgcolor=#336699>"), std::string::npos);
    // Without heading= the page keeps its title, without noscroll= its scroll bars.
    result = RunCli({"page-properties", Path()});
    EXPECT_EQ(result.out, "My Page\n");
    EXPECT_EQ(ReadPageFile(Path().toStdString()), expected);
    result = RunCli({"page-properties", Path(), "noscroll=0"});
    EXPECT_NE(ReadPageFile(Path().toStdString()).find("<title>My Page</title>"), std::string::npos);
    EXPECT_NE(ReadPageFile(Path().toStdString()).find("<body bgcolor=#336699>"), std::string::npos);
    // A heading that would end the title or hold a line break is refused.
    const std::string before = Bytes(Path());
    for (const char* bad : {"heading=a</TITLE>b", "heading=two\nlines"}) {
        result = RunCli({"page-properties", Path(), bad});
        EXPECT_EQ(result.status, 1) << bad;
    }
    EXPECT_EQ(result.err, "Heading must be a single line\n");
    EXPECT_EQ(Bytes(Path()), before);

    result = RunCli({"kinds"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.substr(0, 42), "Image (Image)\n  src=http://         Image ");
    EXPECT_NE(result.out.find("Hr (Horizontal Line)\n  width=1"), std::string::npos);
    EXPECT_NE(result.out.find("Spaced_List (Spaced Item List)\n"), std::string::npos);
    EXPECT_NE(result.out.find("  href=Select"), std::string::npos);
    EXPECT_EQ(RunCli({"kinds", "extra"}).status, 2);
}

TEST_F(ComponentCli, FitSmallScreensGoesInAndOutOfTheHeadByteForByte) {
    const std::string before = Bytes(Path());
    auto result = RunCli({"page-properties", Path(), "fit=1"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string fitted = ReadPageFile(Path().toStdString());
    EXPECT_EQ(fitted, WithSmallScreenFit(Start(), true));
    // The page's own readers and the structural check see the page as before.
    for (const char* command : {"areas", "components", "check"}) {
        result = RunCli({command, Path()});
        EXPECT_EQ(result.status, 0) << command << result.err;
        WritePageFile(dir_.filePath("plain.html").toStdString(), Start());
        EXPECT_EQ(result.out, RunCli({command, dir_.filePath("plain.html")}).out) << command;
    }
    // Again changes nothing; fit=0 gives the file back as it was.
    EXPECT_EQ(RunCli({"page-properties", Path(), "fit=1"}).status, 0);
    EXPECT_EQ(ReadPageFile(Path().toStdString()), fitted);
    EXPECT_EQ(RunCli({"page-properties", Path(), "heading=Kept"}).status, 0);
    EXPECT_TRUE(PageFitsSmallScreens(ReadPageFile(Path().toStdString())));
    EXPECT_EQ(RunCli({"page-properties", Path(), "heading=T", "fit=0"}).status, 0);
    EXPECT_EQ(Bytes(Path()), before);
    EXPECT_EQ(RunCli({"page-properties", Path(), "fit=yes"}).status, 2);
    EXPECT_EQ(Bytes(Path()), before);
    // A block that lost a marker is refused, the page left alone.
    std::string damaged = fitted;
    damaged.erase(damaged.find(kFitEndMarker), kFitEndMarker.size());
    WritePageFile(Path().toStdString(), damaged);
    const std::string damaged_bytes = Bytes(Path());
    result = RunCli({"page-properties", Path(), "fit=0"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("damaged"), std::string::npos) << result.err;
    EXPECT_EQ(Bytes(Path()), damaged_bytes);
}

TEST_F(ComponentCli, ImportPictureCopiesOnceAndPrintsTheLocation) {
    QTemporaryDir outside;
    QFile picture(outside.filePath("my photo.png"));
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    ASSERT_TRUE(image.save(picture.fileName(), "png"));
    const std::string png = Bytes(picture.fileName());
    // Relative arguments are taken from the shell's folder.
    auto result = RunCli({"import-picture", ".", picture.fileName()}, {}, dir_.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "images/my%20photo.png\n");
    EXPECT_EQ(Bytes(dir_.filePath("images/my photo.png")), png);
    result = RunCli({"import-picture", dir_.path(), dir_.filePath("images/my photo.png")});
    EXPECT_EQ(result.out, "images/my%20photo.png\n");

    result = RunCli({"import-picture", dir_.path(), outside.filePath("none.png")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Cannot open file \"" + outside.filePath("none.png").toStdString() +
                              "\". No such file or directory\n");
    EXPECT_EQ(RunCli({"import-picture", dir_.path()}).status, 2);

    // Files that are no picture are refused and nothing is copied; import-file
    // still copies them.
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } not_pictures[] = {
        {"notes.jpg", "Opening hours: 8 to 6\n", "no picture format"},
        {"empty.png", "", "the file is empty"},
        {"header.jpg",
         QByteArray("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20),
         "ends before its picture data"},
    };
    QTemporaryDir project;
    for (const auto& file : not_pictures) {
        const QString path = outside.filePath(file.name);
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.bytes);
        out.close();
        result = RunCli({"import-picture", project.path(), path});
        EXPECT_EQ(result.status, 1) << file.name;
        EXPECT_EQ(result.out, "") << file.name;
        EXPECT_EQ(result.err.rfind(path.toStdString() + " is not a picture (", 0), 0u)
            << result.err;
        EXPECT_NE(result.err.find(file.reason), std::string::npos) << result.err;
        EXPECT_TRUE(QDir(project.path())
                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                        .isEmpty())
            << file.name;
    }
    EXPECT_EQ(RunCli({"import-file", project.path(), outside.filePath("notes.jpg")}).status, 0);
}

TEST_F(ComponentCli, ImportPictureTakesItsOptionsAndRefusesBadOnesWritingNothing) {
    QTemporaryDir outside;
    const QString photo = outside.filePath("photo.jpg");
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(qRgb(200, 120, 40));
    ASSERT_TRUE(image.save(photo, "jpeg", 95));
    ASSERT_EQ(QProcess::execute("exiftool", {"-q", "-overwrite_original", "-GPSLatitude=51.5",
                                             "-GPSLongitude=0.12", "-Make=Fotocam", photo}),
              0);
    const std::string original = Bytes(photo);

    // Refused before anything is copied, each saying what is wrong.
    const struct {
        const char* option;
        const char* message;
    } bad[] = {{"max-width=-3", "max-width must be a whole number from 0 to 100000, not '-3'"},
               {"quality=0", "quality must be a whole number from 1 to 100, not '0'"},
               {"quality=high", "quality must be a whole number from 1 to 100, not 'high'"},
               {"keep-metadata=yes", "keep-metadata must be 0 or 1, not 'yes'"},
               {"colour=red", "'colour' is not a picture option"},
               {"quality", "'quality' is not of the form FIELD=VALUE"}};
    for (const auto& c : bad) {
        const CliResult result = RunCli({"import-picture", dir_.path(), photo, c.option});
        EXPECT_EQ(result.status, 2) << c.option;
        EXPECT_EQ(result.out, "") << c.option;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(QFileInfo::exists(dir_.filePath("images"))) << c.option;
    }

    auto result = RunCli({"import-picture", dir_.path(), photo, "max-side=60", "quality=70"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "images/photo.jpg\n");
    const std::string copy = Bytes(dir_.filePath("images/photo.jpg"));
    EXPECT_FALSE(ReadPictureMetadata(copy).camera_data);
    EXPECT_EQ(QImage(dir_.filePath("images/photo.jpg")).size(), QSize(60, 40));
    EXPECT_EQ(Bytes(photo), original);

    // Kept as it is on request.
    QTemporaryDir kept;
    result = RunCli({"import-picture", kept.path(), photo, "keep-metadata=1"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Bytes(kept.filePath("images/photo.jpg")), original);
}

TEST_F(ComponentCli, ImportFilePutsPicturesIntoImagesAndTheRestIntoMedia) {
    QTemporaryDir outside;
    const auto make = [&](const QString& name, const QByteArray& bytes) {
        QFile file(outside.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const struct {
        QString name;
        std::string location;
    } cases[] = {{"tone.mp3", "media/tone.mp3"},
                 {"my clip.swf", "media/my%20clip.swf"},
                 {"Logo.PNG", "images/Logo.PNG"},
                 {"film.avi", "media/film.avi"}};
    for (const auto& c : cases) {
        const QString source = make(c.name, c.name.toUtf8());
        const auto result = RunCli({"import-file", dir_.path(), source});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.location + "\n");
        const QString copy = dir_.filePath(QString::fromStdString(c.location).replace("%20", " "));
        EXPECT_EQ(Bytes(copy), c.name.toStdString());
        // The same bytes again are the same file; other bytes get a free name.
        EXPECT_EQ(RunCli({"import-file", dir_.path(), source}).out, c.location + "\n");
    }
    make("tone.mp3", "other bytes");
    EXPECT_EQ(RunCli({"import-file", dir_.path(), outside.filePath("tone.mp3")}).out,
              "media/tone-2.mp3\n");
    // A file inside the project stays where it is.
    EXPECT_EQ(RunCli({"import-file", dir_.path(), dir_.filePath("media/tone.mp3")}).out,
              "media/tone.mp3\n");
    EXPECT_EQ(RunCli({"import-file", dir_.path()}).status, 2);
}

TEST_F(ComponentCli, AFailedImportLeavesNothingBehind) {
    QTemporaryDir outside;
    QFile source(outside.filePath("tone.mp3"));
    ASSERT_TRUE(source.open(QIODevice::WriteOnly));
    source.write(QByteArray(300'000, 'x'));
    source.close();
    const std::string shim = "LD_PRELOAD=" QUENFORT_WRITE_FAILURE_SHIM;
    const QTemporaryDir project;
    const std::string folder = QFileInfo(project.path()).canonicalFilePath().toStdString();
    const std::string under = "QF_FAIL_UNDER=" + folder + "/";
    const struct {
        const char* call;
        const char* error;
        const char* reason;
    } failures[] = {{"write", "28", "No space left on device"},
                    {"fsync", "5", "Input/output error"},
                    {"close", "122", "Disk quota exceeded"}};
    // A picture for import-picture, large enough to be written in several pieces.
    QImage noise(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            noise.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 256, (x * y) % 256, (x ^ y) % 256));
        }
    }
    const QString picture = outside.filePath("noise.png");
    ASSERT_TRUE(noise.save(picture, "png"));
    for (const char* command : {"import-file", "import-picture"}) {
        for (const auto& failure : failures) {
            RawRun run;
            run.args = {command, folder,
                        (std::string(command) == "import-picture" ? picture : source.fileName())
                            .toStdString()};
            run.env = {shim, under, std::string("QF_FAIL_CALL=") + failure.call,
                       std::string("QF_FAIL_ERRNO=") + failure.error};
            const CliResult result = RunCliRaw(run);
            const std::string context = std::string(command) + ", failing " + failure.call;
            EXPECT_EQ(result.status, 1) << context;
            EXPECT_EQ(result.out, "") << context;
            EXPECT_NE(result.err.find(failure.reason), std::string::npos)
                << context << ": " << result.err;
            // Neither a part of the copy nor the folder made for it.
            EXPECT_EQ(QDir(project.path())
                          .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                          .join(" "),
                      QString())
                << context;
        }
    }
    // A folder that was there stays, without the part.
    ASSERT_TRUE(QDir(project.path()).mkdir("media"));
    RawRun run;
    run.args = {"import-file", folder, source.fileName().toStdString()};
    run.env = {shim, under, "QF_FAIL_CALL=write", "QF_FAIL_ERRNO=28"};
    EXPECT_EQ(RunCliRaw(run).status, 1);
    EXPECT_TRUE(QDir(project.filePath("media"))
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}

TEST_F(ComponentCli, TablesFramesAndMediaGiveTheCoreBytes) {
    // The values the dialogs hand to the core, inserted there directly.
    QTemporaryDir other;
    Workspace workspace = CoreTwin(other);
    const FieldValues table{
        {"rows", "2"}, {"cols", "2"},    {"cell.1.1", "Caf\xC3\xA9"}, {"cell.2.2", "<b>x</b>"},
        {"bold", "1"}, {"bgcolor", "1"}, {"background", "#FFFFFF"}};
    InsertComponent(workspace, "Data_Table", table);
    InsertComponent(workspace, "Frame", {{"src", "about.html"}, {"noscroll", "1"}});
    workspace.area_list.text = "Area1";
    InsertComponent(workspace, "Bgsound", {{"src", "tune.mid"}});
    InsertComponent(workspace, "Flash", {{"src", "a.swf"}, {"width", "320"}});

    QStringList args{"insert", Path(), "Area2", "Data_Table"};
    for (const auto& [name, value] : table) {
        args << QString::fromStdString(name + "=" + value);
    }
    auto result = RunCli(args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Data Table1\n");
    EXPECT_EQ(RunCli({"insert", Path(), "Area2", "Frame", "src=about.html", "noscroll=1"}).out,
              "Frame1\n");
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Bgsound", "src=tune.mid"}).out,
              "Back Ground Sound1\n");
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Flash", "src=a.swf", "width=320"}).out,
              "Flash1\n");
    EXPECT_EQ(Bytes(Path()), Bytes(other.filePath("index.html")));

    const std::string before = Bytes(Path());
    result = RunCli({"insert", Path(), "Area1", "Data_Table", "rows=101"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "A data table can have at most 100 rows.\n");
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Data_Table", "cell.0.1=x"}).status, 2);
    EXPECT_EQ(RunCli({"insert", Path(), "Area1", "Video", "cell.1.1=x"}).status, 2);
    EXPECT_EQ(Bytes(Path()), before);

    result = RunCli({"kinds"});
    EXPECT_NE(result.out.find("Data_Table (Data Table)\n  rows=1"), std::string::npos);
    EXPECT_NE(result.out.find("  cell.R.C="), std::string::npos);
    EXPECT_NE(result.out.find("Shock (Shockwave)\n  src="), std::string::npos);
}

TEST_F(ComponentCli, CustomTablesAreListedAndInsertedByNumber) {
    auto result = RunCli({"custom-tables"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "1\n2\n3\n4\n5\n6\n");
    const QString shipped = data_.filePath("quenfort/custom/2.html");
    const std::string table = ReadPageFile(shipped.toStdString());
    EXPECT_NE(table.find("Opening Hours"), std::string::npos);

    result = RunCli({"insert", Path(), "Area1", "Custom_Table", "table=2"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Custom Table1\n");
    EXPECT_NE(ReadPageFile(Path().toStdString())
                  .find("<!---Begin_Custom_Table1---!>" + table + "<!---End_Custom_Table1---!>"),
              std::string::npos);
    result = RunCli({"insert", Path(), "Area1", "Custom_Table", "table=60"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("There is no custom table 60"), std::string::npos);
    EXPECT_EQ(RunCli({"custom-tables", "x"}).status, 2);
}

} // namespace
} // namespace qf
