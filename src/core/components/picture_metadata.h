#pragma once

#include <string>
#include <string_view>

namespace qf {

// The picture formats whose metadata is read from their bytes.
enum class PictureFormat { Other, Jpeg, Png, WebP };

// What a picture file carries besides its pixels.
struct PictureMetadata {
    PictureFormat format = PictureFormat::Other;
    // Camera, position or author data: an EXIF block, XMP, IPTC
    // (Photoshop) records, or a PNG text chunk other than the name of the
    // program that wrote it.
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

// The JPEG, PNG or WebP picture `bytes` without its camera data: the
// segments and chunks ReadPictureMetadata counts as camera data left out,
// everything else byte for byte (a WebP's sizes and flags made to match), so
// the pixels lose nothing. Other formats, and pictures it cannot read to
// their end, come back unchanged.
std::string WithoutCameraData(std::string_view bytes);

// Why the JPEG, PNG or WebP picture `bytes` cannot be shown: empty when its
// blocks are sound or it is another format, otherwise the reason ("the file
// is empty", "a PNG chunk claims more bytes than the file has left", "it ends
// before its picture data"). Every length read from the file is held against
// what is left of it, so a reader handed a picture that passes never asks
// for more memory than the file's size suggests.
std::string PictureStructureProblem(std::string_view bytes);

// The orientation (1 to 8) of an EXIF block in TIFF form ("II*\0" or
// "MM\0*"), optionally behind "Exif\0\0"; 1 when it has none or is malformed.
int ExifOrientation(std::string_view exif);

} // namespace qf
