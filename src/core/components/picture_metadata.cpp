#include "components/picture_metadata.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qf {

namespace {

constexpr std::string_view kExifHeader{"Exif\0\0", 6};
constexpr std::string_view kXmpHeader{"http://ns.adobe.com/xap/1.0/\0", 29};
constexpr std::string_view kXmpExtensionHeader{"http://ns.adobe.com/xmp/extension/\0", 35};
constexpr std::string_view kPhotoshopHeader{"Photoshop 3.0\0", 14};
constexpr std::string_view kPngSignature{"\x89PNG\r\n\x1a\n", 8};

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

std::uint32_t BigEndian16(std::string_view bytes, std::size_t at) {
    return Byte(bytes, at) << 8 | Byte(bytes, at + 1);
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    return BigEndian16(bytes, at) << 16 | BigEndian16(bytes, at + 2);
}

std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
    return Byte(bytes, at) | Byte(bytes, at + 1) << 8 | Byte(bytes, at + 2) << 16 |
           Byte(bytes, at + 3) << 24;
}

bool StartsWith(std::string_view bytes, std::string_view start) {
    return bytes.substr(0, start.size()) == start;
}

void ReadJpeg(std::string_view bytes, PictureMetadata& metadata) {
    std::size_t at = 2; // behind the start of image
    while (at + 4 <= bytes.size()) {
        if (Byte(bytes, at) != 0xFF) {
            return;
        }
        const std::uint32_t marker = Byte(bytes, at + 1);
        if (marker == 0xFF) {
            ++at; // fill byte
            continue;
        }
        // Markers without a length: the restart markers, a start of image.
        if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) {
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) {
            return; // the picture data: no metadata segments stand behind it
        }
        const std::size_t length = BigEndian16(bytes, at + 2);
        if (length < 2 || at + 2 + length > bytes.size()) {
            return;
        }
        const std::string_view segment = bytes.substr(at + 4, length - 2);
        if (marker == 0xE1 && StartsWith(segment, kExifHeader)) {
            metadata.camera_data = true;
            if (metadata.orientation == 1) {
                metadata.orientation = ExifOrientation(segment);
            }
        } else if (marker == 0xE1 &&
                   (StartsWith(segment, kXmpHeader) || StartsWith(segment, kXmpExtensionHeader))) {
            metadata.camera_data = true;
        } else if (marker == 0xED && StartsWith(segment, kPhotoshopHeader)) {
            metadata.camera_data = true;
        }
        at += 2 + length;
    }
}

// A PNG text chunk holds metadata unless it only names the program that
// wrote the file: a camera's make and model, an author, a time, a comment,
// XMP, or a raw EXIF, IPTC or XMP profile as image tools write them.
bool MetadataKeyword(std::string_view data) {
    return data.substr(0, data.find('\0')) != "Software";
}

void ReadPng(std::string_view bytes, PictureMetadata& metadata) {
    std::size_t at = kPngSignature.size();
    while (at + 12 <= bytes.size()) {
        const std::size_t length = BigEndian32(bytes, at);
        const std::string_view type = bytes.substr(at + 4, 4);
        if (length > bytes.size() - at - 12) {
            return;
        }
        const std::string_view data = bytes.substr(at + 8, length);
        if (type == "eXIf") {
            metadata.camera_data = true;
            if (metadata.orientation == 1) {
                metadata.orientation = ExifOrientation(data);
            }
        } else if ((type == "tEXt" || type == "zTXt" || type == "iTXt") && MetadataKeyword(data)) {
            metadata.camera_data = true;
        } else if (type == "acTL") {
            metadata.animated = true;
        } else if (type == "IEND") {
            return;
        }
        at += 12 + length;
    }
}

void ReadWebP(std::string_view bytes, PictureMetadata& metadata) {
    std::size_t at = 12; // behind "RIFF", the size and "WEBP"
    while (at + 8 <= bytes.size()) {
        const std::string_view type = bytes.substr(at, 4);
        const std::size_t length = LittleEndian32(bytes, at + 4);
        if (length > bytes.size() - at - 8) {
            return;
        }
        const std::string_view data = bytes.substr(at + 8, length);
        if (type == "EXIF") {
            metadata.camera_data = true;
            if (metadata.orientation == 1) {
                metadata.orientation = ExifOrientation(data);
            }
        } else if (type == "XMP ") {
            metadata.camera_data = true;
        } else if (type == "ANIM" || type == "ANMF") {
            metadata.animated = true;
        }
        at += 8 + length + (length & 1); // chunks are padded to an even size
    }
}

std::string PngWithoutCameraData(std::string_view bytes) {
    std::string kept(bytes.substr(0, kPngSignature.size()));
    std::size_t at = kPngSignature.size();
    while (at + 12 <= bytes.size()) {
        const std::size_t length = BigEndian32(bytes, at);
        if (length > bytes.size() - at - 12) {
            return std::string(bytes);
        }
        const std::string_view type = bytes.substr(at + 4, 4);
        const std::string_view data = bytes.substr(at + 8, length);
        const bool camera =
            type == "eXIf" ||
            ((type == "tEXt" || type == "zTXt" || type == "iTXt") && MetadataKeyword(data));
        if (!camera) {
            kept += bytes.substr(at, 12 + length);
        }
        at += 12 + length;
        if (type == "IEND") {
            kept += bytes.substr(at); // whatever trails the picture stays
            return kept;
        }
    }
    return std::string(bytes); // cut short: left as it is
}

std::string JpegWithoutCameraData(std::string_view bytes) {
    // Walks the segments as ReadJpeg does.
    std::string kept(bytes.substr(0, 2));
    std::size_t at = 2;
    while (at + 4 <= bytes.size() && Byte(bytes, at) == 0xFF) {
        const std::uint32_t marker = Byte(bytes, at + 1);
        if (marker == 0xFF) {
            ++at; // a fill byte, left out: beside other segments it could read as a marker
            continue;
        }
        if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) {
            kept += bytes.substr(at, 2);
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) {
            break; // the rest, from the picture data on, is kept as it is
        }
        const std::size_t length = BigEndian16(bytes, at + 2);
        if (length < 2 || at + 2 + length > bytes.size()) {
            return std::string(bytes);
        }
        const std::string_view segment = bytes.substr(at + 4, length - 2);
        const bool camera = (marker == 0xE1 &&
                             (StartsWith(segment, kExifHeader) || StartsWith(segment, kXmpHeader) ||
                              StartsWith(segment, kXmpExtensionHeader))) ||
                            (marker == 0xED && StartsWith(segment, kPhotoshopHeader));
        if (!camera) {
            kept += bytes.substr(at, 2 + length);
        }
        at += 2 + length;
    }
    kept += bytes.substr(at);
    return kept;
}

void PutLittleEndian32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + std::size_t(i)] = char((value >> (8 * i)) & 0xFF);
    }
}

std::string WebPWithoutCameraData(std::string_view bytes) {
    std::string kept(bytes.substr(0, 12));
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string_view type = bytes.substr(at, 4);
        const std::size_t length = LittleEndian32(bytes, at + 4);
        if (length > bytes.size() - at - 8) {
            return std::string(bytes);
        }
        const std::size_t whole = std::min(8 + length + (length & 1), bytes.size() - at);
        if (type != "EXIF" && type != "XMP ") {
            const std::size_t start = kept.size();
            kept += bytes.substr(at, whole);
            if (type == "VP8X" && length > 0) {
                kept[start + 8] = char(Byte(kept, start + 8) & ~0x0Cu); // no EXIF, no XMP
            }
        }
        at += whole;
    }
    if (at != bytes.size()) {
        return std::string(bytes);
    }
    PutLittleEndian32(kept, 4, std::uint32_t(kept.size() - 8));
    return kept;
}

std::string JpegProblem(std::string_view bytes) {
    std::size_t at = 2;
    bool frame = false; // a start of frame: the picture's size and kind
    while (at + 2 <= bytes.size()) {
        if (Byte(bytes, at) != 0xFF) {
            return "a JPEG segment does not start where the one before it ends";
        }
        const std::uint32_t marker = Byte(bytes, at + 1);
        if (marker == 0xFF) {
            ++at;
            continue;
        }
        if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) {
            at += 2;
            continue;
        }
        if (marker == 0xD9) {
            break;
        }
        if (at + 4 > bytes.size()) {
            break;
        }
        const std::size_t length = BigEndian16(bytes, at + 2);
        if (length < 2 || length > bytes.size() - at - 2) {
            return "a JPEG segment claims more bytes than the file has left";
        }
        if ((marker >= 0xC0 && marker <= 0xCF) && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            frame = true;
        }
        if (marker == 0xDA) {
            if (!frame) {
                return "its picture data comes before the picture's size";
            }
            return at + 2 + length < bytes.size() ? "" : "it ends before its picture data";
        }
        at += 2 + length;
    }
    return "it ends before its picture data";
}

std::string PngProblem(std::string_view bytes) {
    std::size_t at = kPngSignature.size();
    bool header = false;
    bool data = false;
    while (at + 8 <= bytes.size()) {
        const std::size_t length = BigEndian32(bytes, at);
        const std::string_view type = bytes.substr(at + 4, 4);
        if (length > 0x7FFFFFFFu || at + 12 > bytes.size() || length > bytes.size() - at - 12) {
            return "a PNG chunk claims more bytes than the file has left";
        }
        if (!header && type != "IHDR") {
            return "it does not start with the picture's size (IHDR)";
        }
        header = true;
        data = data || type == "IDAT";
        at += 12 + length;
        if (type == "IEND") {
            break;
        }
    }
    return data ? "" : "it ends before its picture data";
}

std::string WebPProblem(std::string_view bytes) {
    std::size_t at = 12;
    bool image = false;
    while (at + 8 <= bytes.size()) {
        const std::string_view type = bytes.substr(at, 4);
        const std::size_t length = LittleEndian32(bytes, at + 4);
        if (length > bytes.size() - at - 8) {
            return "a WebP chunk claims more bytes than the file has left";
        }
        image = image || type == "VP8 " || type == "VP8L" || type == "ANMF";
        at += 8 + length + (length & 1);
    }
    return image ? "" : "it ends before its picture data";
}

} // namespace

std::string PictureStructureProblem(std::string_view bytes) {
    if (bytes.empty()) {
        return "the file is empty";
    }
    switch (ReadPictureMetadata(bytes).format) {
    case PictureFormat::Jpeg:
        return JpegProblem(bytes);
    case PictureFormat::Png:
        return PngProblem(bytes);
    case PictureFormat::WebP:
        return WebPProblem(bytes);
    default:
        return {};
    }
}

std::string WithoutCameraData(std::string_view bytes) {
    switch (ReadPictureMetadata(bytes).format) {
    case PictureFormat::Jpeg:
        return JpegWithoutCameraData(bytes);
    case PictureFormat::Png:
        return PngWithoutCameraData(bytes);
    case PictureFormat::WebP:
        return WebPWithoutCameraData(bytes);
    default:
        return std::string(bytes);
    }
}

int ExifOrientation(std::string_view exif) {
    if (StartsWith(exif, kExifHeader)) {
        exif.remove_prefix(kExifHeader.size());
    }
    if (exif.size() < 8) {
        return 1;
    }
    const bool little = StartsWith(exif, std::string_view("II*\0", 4));
    if (!little && !StartsWith(exif, std::string_view("MM\0*", 4))) {
        return 1;
    }
    const auto read16 = [&](std::size_t at) -> std::uint32_t {
        return little ? Byte(exif, at) | Byte(exif, at + 1) << 8 : BigEndian16(exif, at);
    };
    const auto read32 = [&](std::size_t at) -> std::uint32_t {
        return little ? LittleEndian32(exif, at) : BigEndian32(exif, at);
    };
    const std::size_t directory = read32(4);
    if (directory > exif.size() - 2) {
        return 1;
    }
    const std::size_t entries = read16(directory);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (entry + 12 > exif.size()) {
            return 1;
        }
        // Tag 0x0112, one SHORT, its value in the entry itself.
        if (read16(entry) == 0x0112) {
            const std::uint32_t value = read16(entry + 8);
            return read16(entry + 2) == 3 && value >= 1 && value <= 8 ? int(value) : 1;
        }
    }
    return 1;
}

PictureMetadata ReadPictureMetadata(std::string_view bytes) {
    PictureMetadata metadata;
    if (StartsWith(bytes, "\xFF\xD8")) {
        metadata.format = PictureFormat::Jpeg;
        ReadJpeg(bytes, metadata);
    } else if (StartsWith(bytes, kPngSignature)) {
        metadata.format = PictureFormat::Png;
        ReadPng(bytes, metadata);
    } else if (bytes.size() >= 12 && StartsWith(bytes, "RIFF") && bytes.substr(8, 4) == "WEBP") {
        metadata.format = PictureFormat::WebP;
        ReadWebP(bytes, metadata);
    }
    return metadata;
}

} // namespace qf
