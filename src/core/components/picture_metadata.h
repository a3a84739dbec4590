#pragma once

#include <string_view>

namespace qf {

// The picture formats whose metadata is read from their bytes.
enum class PictureFormat { Other, Jpeg, Png, WebP };

// What a picture file carries besides its pixels.
struct PictureMetadata {
    PictureFormat format = PictureFormat::Other;
    // Camera, position or author data: an EXIF block, XMP, or IPTC
    // (Photoshop) records.
    bool camera_data = false;
    // The EXIF orientation: 1 (normal) to 8; 1 when there is none.
    int orientation = 1;
    // More than one frame (an animated PNG or WebP).
    bool animated = false;
};

// Reads the metadata of the picture `bytes` from its segments or chunks
// (JPEG APP1/APP13, PNG eXIf and text chunks, WebP EXIF and XMP chunks).
// Anything cut short or malformed ends the reading; what was found stays.
PictureMetadata ReadPictureMetadata(std::string_view bytes);

// The orientation (1 to 8) of an EXIF block in TIFF form ("II*\0" or
// "MM\0*"), optionally behind "Exif\0\0"; 1 when it has none or is malformed.
int ExifOrientation(std::string_view exif);

} // namespace qf
