// Reading a picture's metadata from its bytes: the blocks of each format
// found, and anything cut short or malformed read safely.

#include "components/picture_metadata.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace qf {
namespace {

TEST(PictureMetadataReading, FindsTheBlocksInEachFormatAndStopsAtMalformedOnes) {
    using namespace std::string_literals;
    // A big-endian EXIF block whose first directory holds the orientation 6.
    const std::string exif = "Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0"s;
    EXPECT_EQ(ExifOrientation(exif), 6);
    // Little-endian, orientation 8.
    EXPECT_EQ(ExifOrientation("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x08\0\0\0"s), 8);
    // Out of range, cut short, a directory past the end: no orientation.
    EXPECT_EQ(ExifOrientation("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x09\0\0\0"s), 1);
    EXPECT_EQ(ExifOrientation(exif.substr(0, 20)), 1);
    EXPECT_EQ(ExifOrientation("MM\0*\xFF\xFF\xFF\xF0\0\0"s), 1);

    // JPEG: the EXIF segment; a length running past the end stops the reading.
    const std::string app1 =
        "\xFF\xE1"s + char((exif.size() + 2) >> 8) + char((exif.size() + 2) & 0xFF) + exif;
    const PictureMetadata jpeg = ReadPictureMetadata("\xFF\xD8"s + app1 + "\xFF\xDA\0\x02"s);
    EXPECT_EQ(jpeg.format, PictureFormat::Jpeg);
    EXPECT_TRUE(jpeg.camera_data);
    EXPECT_EQ(jpeg.orientation, 6);
    EXPECT_FALSE(ReadPictureMetadata("\xFF\xD8\xFF\xE1\xFF\xFF"s + exif).camera_data);
    // Behind the picture data nothing counts.
    EXPECT_FALSE(ReadPictureMetadata("\xFF\xD8\xFF\xDA\0\x02"s + app1).camera_data);

    // PNG: text chunks (the software's name aside), an animation.
    const auto chunk = [](const std::string& type, const std::string& data) {
        const std::size_t n = data.size();
        return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + type + data +
               "CRC!";
    };
    const std::string png = "\x89PNG\r\n\x1a\n"s + chunk("IHDR", std::string(13, '\0'));
    EXPECT_FALSE(ReadPictureMetadata(png + chunk("tEXt", "Software\0Draw"s)).camera_data);
    EXPECT_TRUE(ReadPictureMetadata(png + chunk("tEXt", "Make\0Fotocam"s)).camera_data);
    EXPECT_TRUE(
        ReadPictureMetadata(png + chunk("iTXt", "XML:com.adobe.xmp\0\0\0\0\0<x/>"s)).camera_data);
    EXPECT_TRUE(ReadPictureMetadata(png + chunk("acTL", std::string(8, '\0'))).animated);
    const PictureMetadata exif_png = ReadPictureMetadata(png + chunk("eXIf", exif.substr(6)));
    EXPECT_TRUE(exif_png.camera_data);
    EXPECT_EQ(exif_png.orientation, 6);
    EXPECT_FALSE(ReadPictureMetadata(png.substr(0, 20)).camera_data);

    // WebP: chunks padded to an even size.
    const auto riff = [](const std::string& type, const std::string& data) {
        const std::size_t n = data.size();
        return type + std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)} + data +
               (n % 2 != 0 ? "\0"s : ""s);
    };
    const std::string webp = "RIFF\0\0\0\0WEBP"s + riff("VP8X", std::string(9, '\0')) +
                             riff("VP8L", "abc") + riff("XMP ", "<x/>");
    const PictureMetadata webp_metadata = ReadPictureMetadata(webp);
    EXPECT_EQ(webp_metadata.format, PictureFormat::WebP);
    EXPECT_TRUE(webp_metadata.camera_data);
    EXPECT_EQ(ReadPictureMetadata("GIF89a"s).format, PictureFormat::Other);

    // Every cut and many damaged copies of each are read without reading
    // past their end (the sanitizer build watches).
    std::mt19937 random(11);
    for (const std::string& whole :
         {"\xFF\xD8"s + app1 + "\xFF\xDA\0\x02"s, png + chunk("eXIf", exif.substr(6)), webp}) {
        for (std::size_t size = 0; size <= whole.size(); ++size) {
            const std::string cut = whole.substr(0, size);
            const PictureMetadata metadata = ReadPictureMetadata(cut);
            EXPECT_GE(metadata.orientation, 1);
            EXPECT_LE(metadata.orientation, 8);
        }
        for (int round = 0; round < 2000; ++round) {
            std::string damaged = whole;
            for (int n = 0; n < 3; ++n) {
                damaged[random() % damaged.size()] = char(random());
            }
            const PictureMetadata metadata = ReadPictureMetadata(damaged);
            EXPECT_GE(metadata.orientation, 1);
            EXPECT_LE(metadata.orientation, 8);
        }
    }
}

TEST(PictureMetadataReading, CameraDataIsCutOutOfPngAndWebPBytesLeavingTheRestAsItIs) {
    using namespace std::string_literals;
    const auto chunk = [](const std::string& type, const std::string& data) {
        const std::size_t n = data.size();
        return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + type + data +
               "CRC!";
    };
    const std::string head = "\x89PNG\r\n\x1a\n"s + chunk("IHDR", std::string(13, '\x01')) +
                             chunk("acTL", std::string(8, '\x02'));
    const std::string frames = chunk("IDAT", "pixels") + chunk("fdAT", "more") + chunk("IEND", "");
    const std::string png = head + chunk("eXIf", "MM\0*\0\0\0\x08\0\0"s) +
                            chunk("tEXt", "Software\0kept"s) +
                            chunk("iTXt", "XML:com.adobe.xmp\0\0\0\0\0<x/>"s) +
                            chunk("zTXt", "Raw profile type exif\0\0data"s) + frames;
    EXPECT_EQ(WithoutCameraData(png), head + chunk("tEXt", "Software\0kept"s) + frames);
    // Cut short, it is left alone (the caller then finds the data still there).
    EXPECT_EQ(WithoutCameraData(png.substr(0, png.size() - 3)), png.substr(0, png.size() - 3));

    const auto riff = [](const std::string& type, const std::string& data) {
        const std::size_t n = data.size();
        return type + std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)} + data +
               (n % 2 != 0 ? "\0"s : ""s);
    };
    const auto webp = [](const std::string& chunks) {
        const std::size_t n = chunks.size() + 4;
        return "RIFF"s + std::string{char(n), char(n >> 8), char(n >> 16), char(n >> 24)} + "WEBP" +
               chunks;
    };
    // Animated, with EXIF and XMP: flags 0x02 | 0x04 | 0x08 | 0x10.
    const std::string animation = riff("ANIM", std::string(6, '\0')) + riff("ANMF", "frame");
    const std::string with = webp(riff("VP8X", "\x1E"s + std::string(9, '\0')) + animation +
                                  riff("EXIF", "II*\0\x08\0\0\0\0\0"s) + riff("XMP ", "<x/>"));
    const std::string without = webp(riff("VP8X", "\x12"s + std::string(9, '\0')) + animation);
    EXPECT_EQ(WithoutCameraData(with), without);
    EXPECT_FALSE(ReadPictureMetadata(WithoutCameraData(with)).camera_data);
    EXPECT_TRUE(ReadPictureMetadata(WithoutCameraData(with)).animated);
    EXPECT_EQ(WithoutCameraData("GIF89a and more"s), "GIF89a and more");

    // JPEG: the EXIF, XMP and IPTC segments go; a comment and the picture data stay.
    const auto segment = [](char marker, const std::string& data) {
        const std::size_t n = data.size() + 2;
        return "\xFF"s + marker + char(n >> 8) + char(n & 0xFF) + data;
    };
    const std::string comment = segment('\xFE', "made here");
    const std::string scan = "\xFF\xDA\0\x02 scan data \xFF\xE1 not a segment \xFF\xD9"s;
    const std::string jpeg = "\xFF\xD8"s + segment('\xE1', "Exif\0\0MM\0*"s) + comment +
                             segment('\xE1', "http://ns.adobe.com/xap/1.0/\0<x/>"s) +
                             segment('\xED', "Photoshop 3.0\0records"s) + scan;
    EXPECT_EQ(WithoutCameraData(jpeg), "\xFF\xD8"s + comment + scan);
    EXPECT_EQ(WithoutCameraData(jpeg.substr(0, 8)), jpeg.substr(0, 8));
    // A fill byte before a segment that goes must not turn what follows into a marker.
    const std::string trailing = "\xE1\0\x10"s + "Exif\0\0" + std::string(8, 'x');
    const std::string filled = "\xFF\xD8\xFF"s + segment('\xE1', "Exif\0\0MM\0*"s) + trailing;
    EXPECT_EQ(WithoutCameraData(filled), "\xFF\xD8"s + trailing);
    EXPECT_FALSE(ReadPictureMetadata(WithoutCameraData(filled)).camera_data);
}

} // namespace
} // namespace qf
