// Pictures made fit for the web on import: real pictures written with Qt's
// writers, given camera and position data with exiftool, imported through
// the processor the editor and the command line use.

#include "components/picture_import.h"
#include "components/picture_metadata.h"
#include "error.h"
#include "picture_size.h"
#include "project_folders.h"
#include "web_picture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qf {
namespace {

// A picture whose left half is red and right half blue, with some noise so
// that the quality shows in the size.
QImage TwoHalves(int width, int height, bool noisy = false) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int noise = noisy ? int(random.bounded(60)) : 0;
            image.setPixel(x, y,
                           x < width / 2 ? qRgb(230 - noise, noise, noise)
                                         : qRgb(noise, noise, 230 - noise));
        }
    }
    return image;
}

bool Reddish(QRgb pixel) {
    return qRed(pixel) > 150 && qBlue(pixel) < 100;
}

bool Bluish(QRgb pixel) {
    return qBlue(pixel) > 150 && qRed(pixel) < 100;
}

class WebPictures : public test::ProjectFolders {
protected:
    void Save(const QImage& image, const QString& relative, const char* format,
              int quality = -1) const {
        QImageWriter writer(dir_.filePath(relative), format);
        writer.setQuality(quality);
        ASSERT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    }

    // Runs exiftool on a file of the folder; its output.
    std::string ExifTool(const QStringList& arguments, const QString& relative) const {
        QProcess tool;
        tool.start("exiftool", QStringList(arguments) << dir_.filePath(relative));
        EXPECT_TRUE(tool.waitForFinished(30000)) << "exiftool (libimage-exiftool-perl) is needed";
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        return tool.readAllStandardOutput().trimmed().toStdString();
    }

    // Gives the file a camera, a place on earth and `orientation`.
    void AddCameraData(const QString& relative, int orientation) const {
        ExifTool({"-overwrite_original", "-n", "-Make=Fotocam", "-Model=F1", "-GPSLatitude=48.8584",
                  "-GPSLatitudeRef=N", "-GPSLongitude=2.2945", "-GPSLongitudeRef=E",
                  "-XMP:Creator=Someone", QString("-Orientation=%1").arg(orientation)},
                 relative);
    }

    // The camera and position data exiftool still finds in the file.
    std::string CameraData(const QString& relative) const {
        return ExifTool({"-s", "-s", "-GPS:all", "-Make", "-Model", "-XMP:all", "-Orientation"},
                        relative);
    }

    ImportedPicture Import(const QString& relative, const PictureImportOptions& options = {},
                           const std::string& project = {}) const {
        return ImportWebPicture(project.empty() ? project_ : project, {}, Path(relative),
                                WebPictureImport(options));
    }

    QImage Picture(const QString& relative) const { return QImage(dir_.filePath(relative)); }
};

TEST_F(WebPictures, CameraAndPositionDataGoAndTheOrientationIsTurnedIntoThePixels) {
    Save(TwoHalves(40, 30), "elsewhere/photo.jpg", "jpeg", 95);
    AddCameraData("elsewhere/photo.jpg", 6); // turned a quarter clockwise
    const QByteArray original = Read("elsewhere/photo.jpg");
    ASSERT_TRUE(CameraData("elsewhere/photo.jpg").find("GPSLatitude") != std::string::npos);

    const ImportedPicture imported = Import("elsewhere/photo.jpg");
    EXPECT_EQ(imported.location, "images/photo.jpg");
    EXPECT_EQ(imported.file, Path("site/images/photo.jpg"));
    // The size as shown: the sides swapped.
    EXPECT_EQ(imported.width, 30);
    EXPECT_EQ(imported.height, 40);
    EXPECT_EQ(CameraData("site/images/photo.jpg"), "");
    EXPECT_FALSE(ReadPictureMetadata(Read("site/images/photo.jpg").toStdString()).camera_data);
    // The left (red) half is now at the top, read without any tag to turn it.
    QImageReader reader(dir_.filePath("site/images/photo.jpg"));
    reader.setAutoTransform(false);
    const QImage pixels = reader.read();
    ASSERT_EQ(pixels.size(), QSize(30, 40));
    EXPECT_TRUE(Reddish(pixels.pixel(15, 5)));
    EXPECT_TRUE(Bluish(pixels.pixel(15, 35)));
    // The user's file is left as it was.
    EXPECT_EQ(Read("elsewhere/photo.jpg"), original);

    // Once more: the same copy is reused.
    EXPECT_EQ(Import("elsewhere/photo.jpg").location, "images/photo.jpg");
    EXPECT_EQ(QDir(dir_.filePath("site/images")).entryList(QDir::Files).size(), 1);

    // A PNG keeps its XMP and EXIF in text chunks, which Qt's reader hands to
    // its writer: they go too, and upside down is turned upright.
    Save(TwoHalves(40, 30), "elsewhere/drawing.png", "png");
    AddCameraData("elsewhere/drawing.png", 3);
    ASSERT_TRUE(CameraData("elsewhere/drawing.png").find("Creator") != std::string::npos);
    const ImportedPicture drawing = Import("elsewhere/drawing.png");
    EXPECT_EQ(CameraData("site/images/drawing.png"), "");
    EXPECT_EQ(drawing.width, 40);
    const QImage turned = Picture("site/images/drawing.png");
    EXPECT_TRUE(Bluish(turned.pixel(5, 15)));
    EXPECT_TRUE(Reddish(turned.pixel(35, 15)));

    // Kept on request: the original's bytes, shown at its turned size.
    PictureImportOptions keep;
    keep.strip_metadata = false;
    ASSERT_TRUE(QDir(dir_.path()).mkpath("kept"));
    const ImportedPicture kept = Import("elsewhere/photo.jpg", keep, Path("kept/"));
    EXPECT_EQ(Read("kept/images/photo.jpg"), original);
    EXPECT_EQ(kept.width, 30);
    EXPECT_EQ(kept.height, 40);
}

TEST_F(WebPictures, DataLeavesWithoutLossWhereThePixelsNeedNotChange) {
    // Encoding it again at the best quality would only make it larger.
    Save(TwoHalves(240, 240, true), "elsewhere/small.jpg", "jpeg", 20);
    AddCameraData("elsewhere/small.jpg", 1);
    const QByteArray original = Read("elsewhere/small.jpg");
    PictureImportOptions best;
    best.quality = 100;
    const ImportedPicture imported = Import("elsewhere/small.jpg", best);
    const QByteArray copy = Read("site/images/small.jpg");
    EXPECT_EQ(CameraData("site/images/small.jpg"), "");
    EXPECT_LT(copy.size(), original.size());
    // The picture data itself is the original's, byte for byte.
    const qsizetype scan = original.indexOf("\xFF\xDA");
    ASSERT_GT(scan, 0);
    EXPECT_TRUE(copy.endsWith(original.mid(scan)));
    EXPECT_EQ(imported.width, 240);

    // A PNG the same way: its pixels' chunk untouched.
    Save(TwoHalves(30, 20), "elsewhere/chart.png", "png");
    AddCameraData("elsewhere/chart.png", 1);
    const QByteArray chart = Read("elsewhere/chart.png");
    Import("elsewhere/chart.png");
    EXPECT_EQ(CameraData("site/images/chart.png"), "");
    const qsizetype pixels = chart.indexOf("IDAT") - 4;
    EXPECT_TRUE(Read("site/images/chart.png").contains(chart.mid(pixels, 40)));
}

TEST_F(WebPictures, EveryOrientationIsTurnedAsTheTagSays) {
    // Red, green / blue, white quarters.
    QImage quarters(40, 20, QImage::Format_RGB32);
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255),
               white = qRgb(255, 255, 255);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 40; ++x) {
            quarters.setPixel(x, y, y < 10 ? (x < 20 ? red : green) : (x < 20 ? blue : white));
        }
    }
    // The corners as shown (top left, top right, bottom left, bottom right).
    const QRgb expected[9][4] = {{},
                                 {red, green, blue, white},
                                 {green, red, white, blue},
                                 {white, blue, green, red},
                                 {blue, white, red, green},
                                 {red, blue, green, white},
                                 {blue, red, white, green},
                                 {white, green, blue, red},
                                 {green, white, red, blue}};
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QString name = QString("elsewhere/turn%1.png").arg(orientation);
        Save(quarters, name, "png");
        AddCameraData(name, orientation);
        const ImportedPicture imported = Import(name);
        const QImage shown(QString::fromStdString(imported.file));
        const QSize size = orientation >= 5 ? QSize(20, 40) : QSize(40, 20);
        ASSERT_EQ(shown.size(), size) << orientation;
        EXPECT_EQ(QSize(imported.width, imported.height), size) << orientation;
        const int right = size.width() - 1, bottom = size.height() - 1;
        EXPECT_EQ(shown.pixel(0, 0), expected[orientation][0]) << orientation;
        EXPECT_EQ(shown.pixel(right, 0), expected[orientation][1]) << orientation;
        EXPECT_EQ(shown.pixel(0, bottom), expected[orientation][2]) << orientation;
        EXPECT_EQ(shown.pixel(right, bottom), expected[orientation][3]) << orientation;
    }
}

TEST_F(WebPictures, TheSiteCheckMeasuresAPictureAsABrowserShowsIt) {
    // Width and height come turned as the orientation tag says, for each
    // format that carries one; a file that is no picture has no size.
    const PictureSizeReader sizes = ImageReaderPictureSizes();
    for (const char* format : {"jpg", "png", "webp"}) {
        for (const int orientation : {1, 3, 6, 8}) {
            const QString name = QString("elsewhere/size%1.%2").arg(orientation).arg(format);
            Save(TwoHalves(40, 20), name, format);
            AddCameraData(name, orientation);
            const std::optional<PictureSize> size = sizes(Path(name));
            ASSERT_TRUE(size) << format << orientation;
            const bool turned = orientation >= 5;
            EXPECT_EQ(size->width, turned ? 20 : 40) << format << orientation;
            EXPECT_EQ(size->height, turned ? 40 : 20) << format << orientation;
        }
    }
    QFile text(dir_.filePath("elsewhere/words.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no picture at all");
    text.close();
    EXPECT_FALSE(sizes(Path("elsewhere/words.png")));
}

TEST_F(WebPictures, APictureWithNothingToChangeIsKeptByteForByte) {
    Save(TwoHalves(12, 8), "elsewhere/icon.png", "png");
    const QByteArray original = Read("elsewhere/icon.png");
    const ImportedPicture imported = Import("elsewhere/icon.png");
    EXPECT_EQ(imported.location, "images/icon.png");
    EXPECT_EQ(Read("site/images/icon.png"), original);
    EXPECT_EQ(imported.width, 12);
    EXPECT_EQ(imported.height, 8);

    // Inside the project it stays where it is.
    Save(TwoHalves(12, 8), "site/logo.png", "png");
    const QByteArray logo = Read("site/logo.png");
    EXPECT_EQ(Import("site/logo.png").location, "logo.png");
    EXPECT_EQ(Read("site/logo.png"), logo);
    EXPECT_EQ(QDir(dir_.filePath("site/images")).entryList(QDir::Files).size(), 1);

    // Formats it does not encode again (BMP) are kept, even when wider than allowed.
    Save(TwoHalves(80, 20), "elsewhere/plain.bmp", "bmp");
    const QByteArray bmp = Read("elsewhere/plain.bmp");
    PictureImportOptions narrow;
    narrow.longest_side = 40;
    const ImportedPicture kept = Import("elsewhere/plain.bmp", narrow);
    EXPECT_EQ(Read("site/images/plain.bmp"), bmp);
    EXPECT_EQ(kept.width, 80);
    EXPECT_EQ(kept.height, 20);
}

TEST_F(WebPictures, ALongerPictureIsScaledToTheLongestSideItsProportionsKept) {
    Save(TwoHalves(200, 101), "elsewhere/wide.png", "png");
    Save(TwoHalves(50, 30), "elsewhere/narrow.png", "png");
    PictureImportOptions options;
    options.longest_side = 80;
    const ImportedPicture wide = Import("elsewhere/wide.png", options);
    EXPECT_EQ(wide.width, 80);
    EXPECT_EQ(wide.height, 40);
    const QImage scaled = Picture("site/images/wide.png");
    EXPECT_EQ(scaled.size(), QSize(80, 40));
    EXPECT_TRUE(Reddish(scaled.pixel(10, 20)));
    EXPECT_TRUE(Bluish(scaled.pixel(70, 20)));

    const ImportedPicture narrow = Import("elsewhere/narrow.png", options);
    EXPECT_EQ(Read("site/images/narrow.png"), Read("elsewhere/narrow.png"));
    EXPECT_EQ(narrow.width, 50);

    // The size is the one shown: a picture turned upright is long in its height.
    Save(TwoHalves(100, 60), "elsewhere/upright.jpg", "jpeg");
    AddCameraData("elsewhere/upright.jpg", 8);
    const ImportedPicture upright = Import("elsewhere/upright.jpg", options);
    EXPECT_EQ(upright.width, 48);
    EXPECT_EQ(upright.height, 80);
    options.longest_side = 30;
    options.strip_metadata = false; // a size to keep to changes it all the same
    ASSERT_TRUE(QDir(dir_.path()).mkpath("small"));
    const ImportedPicture small = Import("elsewhere/upright.jpg", options, Path("small/"));
    EXPECT_EQ(small.width, 18);
    EXPECT_EQ(small.height, 30);
    EXPECT_EQ(Picture("small/images/upright.jpg").size(), QSize(18, 30));
    // By default a camera-sized photo keeps 2,560 pixels on its long side.
    Save(TwoHalves(3000, 2000), "elsewhere/camera.png", "png");
    const ImportedPicture camera = Import("elsewhere/camera.png", PictureImportOptions{});
    EXPECT_EQ(camera.width, 2560);
    EXPECT_EQ(camera.height, 1707);
}

// The card a shared link shows: the picture's middle in the card's
// proportions, at the size asked.
TEST_F(WebPictures, ACardIsCutAboutThePicturesMiddle) {
    Save(TwoHalves(1600, 630), "elsewhere/wide.png", "png");
    const QImage wide = QImage::fromData(
        QByteArray::fromStdString(EncodeCardPicture(Path("elsewhere/wide.png"), 1200, 630, "png")));
    ASSERT_EQ(wide.size(), QSize(1200, 630));
    // Cut from the left, the red half would reach x = 800.
    EXPECT_TRUE(Reddish(wide.pixel(550, 300)));
    EXPECT_TRUE(Bluish(wide.pixel(650, 300)));

    Save(TwoHalves(800, 1000), "elsewhere/tall.jpg", "jpeg");
    const QImage tall = QImage::fromData(
        QByteArray::fromStdString(EncodeCardPicture(Path("elsewhere/tall.jpg"), 800, 420, "jpeg")));
    EXPECT_EQ(tall.size(), QSize(800, 420));
    EXPECT_EQ(EncodeCardPicture(Path("elsewhere/none.png"), 1200, 630, "png"), "");
}

TEST_F(WebPictures, TheQualityDecidesTheSizeAndALargerCopyIsNotUsed) {
    Save(TwoHalves(160, 160, true), "elsewhere/noise.jpg", "jpeg", 100);
    const qint64 original = Read("elsewhere/noise.jpg").size();
    qint64 sizes[2] = {};
    int slot = 0;
    for (const int quality : {30, 90}) {
        const QString folder = QString("q%1/").arg(quality);
        ASSERT_TRUE(QDir(dir_.path()).mkpath(folder));
        PictureImportOptions options;
        options.quality = quality;
        Import("elsewhere/noise.jpg", options, Path(folder));
        sizes[slot++] = Read(folder + "images/noise.jpg").size();
    }
    EXPECT_LT(sizes[0], sizes[1]);
    EXPECT_LT(sizes[1], original);

    // A picture already small for its quality is not made larger.
    Save(TwoHalves(160, 160, true), "elsewhere/small.jpg", "jpeg", 20);
    PictureImportOptions best;
    best.quality = 100;
    Import("elsewhere/small.jpg", best);
    EXPECT_EQ(Read("site/images/small.jpg"), Read("elsewhere/small.jpg"));
}

TEST_F(WebPictures, APictureInsideTheProjectThatMustChangeIsCopiedNeverOverwritten) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath("site/images"));
    Save(TwoHalves(40, 30), "site/images/holiday.jpg", "jpeg", 95);
    AddCameraData("site/images/holiday.jpg", 1);
    const QByteArray original = Read("site/images/holiday.jpg");
    const ImportedPicture imported = Import("site/images/holiday.jpg");
    EXPECT_EQ(imported.location, "images/holiday-2.jpg");
    EXPECT_EQ(Read("site/images/holiday.jpg"), original);
    EXPECT_EQ(CameraData("site/images/holiday-2.jpg"), "");
    // The copy has nothing left to remove: it stays where it is.
    EXPECT_EQ(Import("site/images/holiday-2.jpg").location, "images/holiday-2.jpg");
    // And the original again finds the copy made of it.
    EXPECT_EQ(Import("site/images/holiday.jpg").location, "images/holiday-2.jpg");
    EXPECT_EQ(QDir(dir_.filePath("site/images")).entryList(QDir::Files).size(), 2);
}

TEST_F(WebPictures, AWebPPictureLosesItsCameraDataAndIsTurned) {
    if (!QImageWriter::supportedImageFormats().contains("webp")) {
        GTEST_SKIP() << "Qt's WebP plugin (qt6-image-formats-plugins) is not installed";
    }
    Save(TwoHalves(40, 30), "elsewhere/shot.webp", "webp", 90);
    AddCameraData("elsewhere/shot.webp", 6);
    ASSERT_TRUE(ReadPictureMetadata(Read("elsewhere/shot.webp").toStdString()).camera_data);
    const ImportedPicture imported = Import("elsewhere/shot.webp");
    EXPECT_EQ(imported.location, "images/shot.webp");
    EXPECT_EQ(imported.width, 30);
    EXPECT_EQ(imported.height, 40);
    EXPECT_EQ(CameraData("site/images/shot.webp"), "");
    const QImage pixels = Picture("site/images/shot.webp");
    ASSERT_EQ(pixels.size(), QSize(30, 40));
    EXPECT_TRUE(Reddish(pixels.pixel(15, 5)));
    EXPECT_TRUE(Bluish(pixels.pixel(15, 35)));
}

// The PNG chunk `type` holding `data`, its check sum included.
QByteArray PngChunk(const QByteArray& type, const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : type + data) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    crc ^= 0xFFFFFFFFu;
    const auto big_endian = [](quint32 value) {
        const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
        return QByteArray(bytes, 4);
    };
    QByteArray chunk = big_endian(quint32(data.size())) + type + data + big_endian(crc);
    return chunk;
}

TEST_F(WebPictures, AnAnimatedPictureKeepsItsFramesAndLosesItsCameraData) {
    Save(TwoHalves(40, 30), "elsewhere/moving.png", "png");
    // Made an animation of one frame: an animation control chunk behind the header.
    QByteArray bytes = Read("elsewhere/moving.png");
    const qsizetype header_end = 8 + 25;
    bytes.insert(header_end, PngChunk("acTL", QByteArray("\0\0\0\x01\0\0\0\0", 8)));
    QFile file(dir_.filePath("elsewhere/moving.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    AddCameraData("elsewhere/moving.png", 6);
    ASSERT_NE(CameraData("elsewhere/moving.png"), "");

    const ImportedPicture imported = Import("elsewhere/moving.png");
    EXPECT_EQ(imported.location, "images/moving.png");
    EXPECT_EQ(CameraData("site/images/moving.png"), "");
    const QByteArray copy = Read("site/images/moving.png");
    EXPECT_TRUE(ReadPictureMetadata(copy.toStdString()).animated);
    // Its frames are the original's, byte for byte.
    const qsizetype pixels = bytes.indexOf("IDAT") - 4;
    EXPECT_TRUE(copy.contains(bytes.mid(pixels, bytes.indexOf("IEND") - pixels)));
    EXPECT_EQ(QImage(dir_.filePath("site/images/moving.png")).size(), QSize(40, 30));

    // Kept on request, it is copied as it is.
    PictureImportOptions keep;
    keep.strip_metadata = false;
    ASSERT_TRUE(QDir(dir_.path()).mkpath("kept"));
    Import("elsewhere/moving.png", keep, Path("kept/"));
    EXPECT_EQ(Read("kept/images/moving.png"), Read("elsewhere/moving.png"));
}

TEST_F(WebPictures, APictureWhoseDataMustGoButCannotBeReadIsRefused) {
    Save(TwoHalves(40, 30), "elsewhere/broken.jpg", "jpeg");
    AddCameraData("elsewhere/broken.jpg", 1);
    // The camera data stays readable; the picture behind it is cut off.
    QByteArray bytes = Read("elsewhere/broken.jpg");
    const PictureMetadata whole = ReadPictureMetadata(bytes.toStdString());
    ASSERT_TRUE(whole.camera_data);
    const qsizetype frame = bytes.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    bytes.truncate(frame + 4);
    QFile file(dir_.filePath("elsewhere/broken.jpg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    try {
        Import("elsewhere/broken.jpg");
        ADD_FAILURE() << "imported a picture whose position data could not be removed";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  Path("elsewhere/broken.jpg") +
                      " is not a picture (a JPEG segment claims more bytes than the file has "
                      "left)");
    }
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("site/images")));
}

// A PNG of one pixel whose chunk of `type`, standing before the picture
// data, claims 0x7FFFFFFF bytes: 141 bytes in all.
QByteArray PngWithAHugeChunk(const char* type) {
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png += QByteArray("\x00\x00\x00\x0dIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00\x00\x00"
                      "\x90\x77\x53\xde",
                      25);
    png += QByteArray("\x7f\xff\xff\xff", 4) + type + "Comment";
    png += QByteArray(141 - png.size(), 'x');
    return png;
}

// The most memory `read` makes a process take beyond what it had, in MB:
// run in a child, so what a reader asks for never weighs on the tests.
long PeakMemoryOfReadingMb(const std::function<void()>& read) {
    const pid_t child = ::fork();
    if (child == 0) {
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        read();
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        ::_exit(int(std::min<long>(250, (after.ru_maxrss - before.ru_maxrss) / 1024 / 8)));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? long(WEXITSTATUS(status)) * 8 : -1;
}

TEST_F(WebPictures, HostilePicturesAreRefusedWithoutTakingMemory) {
    const auto write = [&](const QString& relative, const QByteArray& bytes) {
        QFile file(dir_.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    };
    QByteArray webp("RIFF\x20\x00\x00\x00WEBPVP8X\x0a\x00\x00\x00", 20);
    webp += QByteArray(10, '\0') + QByteArray("EXIF\xf0\xff\xff\x7f", 8) + "0123";
    const struct {
        QString name;
        QByteArray bytes;
        const char* reason;
    } hostile[] = {
        {"text.png", PngWithAHugeChunk("tEXt"), "a PNG chunk claims more bytes"},
        {"ztext.png", PngWithAHugeChunk("zTXt"), "a PNG chunk claims more bytes"},
        {"itext.png", PngWithAHugeChunk("iTXt"), "a PNG chunk claims more bytes"},
        {"chunk.webp", webp, "a WebP chunk claims more bytes"},
    };
    for (const auto& picture : hostile) {
        const QString relative = "elsewhere/" + picture.name;
        write(relative, picture.bytes);
        const std::string path = Path(relative);
        long peak = PeakMemoryOfReadingMb([&] { (void)ShownPictureSize(path); });
        EXPECT_GE(peak, 0) << picture.name.toStdString();
        EXPECT_LT(peak, 64) << picture.name.toStdString() << " took " << peak << " MB to measure";
        EXPECT_FALSE(ShownPictureSize(path).has_value()) << picture.name.toStdString();
        EXPECT_FALSE(PictureSafeToRead(path)) << picture.name.toStdString();
        peak = PeakMemoryOfReadingMb([&] {
            try {
                Import(relative);
            } catch (const CommandError&) {
            }
        });
        EXPECT_LT(peak, 64) << picture.name.toStdString() << " took " << peak << " MB to import";
        try {
            Import(relative);
            ADD_FAILURE() << "imported " << picture.name.toStdString();
        } catch (const CommandError& error) {
            EXPECT_NE(std::string(error.what()).find(" is not a picture ("), std::string::npos)
                << error.what();
            EXPECT_NE(std::string(error.what()).find(picture.reason), std::string::npos)
                << error.what();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("site/images")));
}

TEST_F(WebPictures, OptionsOutOfBoundsAreRefusedBeforeAnythingIsWritten) {
    Save(TwoHalves(12, 8), "elsewhere/icon.png", "png");
    for (const auto& [options, message] :
         {std::pair{PictureImportOptions{-1, 85, true}, "longest side of a picture"},
          std::pair{PictureImportOptions{0, 0, true}, "picture quality"},
          std::pair{PictureImportOptions{0, 101, true}, "picture quality"}}) {
        try {
            Import("elsewhere/icon.png", options);
            ADD_FAILURE() << "accepted " << message;
        } catch (const CommandError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("site/images")));
}

} // namespace
} // namespace qf
