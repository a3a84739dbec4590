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

    // PNG: an XMP text chunk and an animation; a plain comment is no camera data.
    const auto chunk = [](const std::string& type, const std::string& data) {
        const std::size_t n = data.size();
        return std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} + type + data +
               "CRC!";
    };
    const std::string png = "\x89PNG\r\n\x1a\n"s + chunk("IHDR", std::string(13, '\0'));
    EXPECT_FALSE(ReadPictureMetadata(png + chunk("tEXt", "Comment\0hello"s)).camera_data);
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

} // namespace
} // namespace qf
