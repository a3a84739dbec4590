#include "web_picture.h"

#include "components/picture_metadata.h"
#include "document/file_io.h"
#include "error.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTransform>

#include <algorithm>
#include <cstring>

namespace qf {

namespace {

// The memory the pixels of one picture may take while it is read, in MB.
constexpr int kPixelMemoryLimitMb = 256;

void LimitPixelMemory() {
    const int limit = QImageReader::allocationLimit();
    if (limit == 0 || limit > kPixelMemoryLimitMb) {
        QImageReader::setAllocationLimit(kPixelMemoryLimitMb);
    }
}

// The endings of picture files that no reader of Qt's reads here: taken as
// they are.
bool ReadByNoReader(const std::string& path) {
    const QString suffix = QFileInfo(QFile::decodeName(path.c_str())).suffix().toLower();
    return suffix == "emf" || suffix == "wmf" || suffix == "svg" || suffix == "svgz";
}

// True when the pixels of a picture of `size` would pass the memory limit.
bool TooLargeToRead(QSize size) {
    return size.isValid() &&
           double(size.width()) * size.height() * 4 > double(kPixelMemoryLimitMb) * 1024 * 1024;
}

[[noreturn]] void Fail(const char* what, const std::string& path, const QString& reason) {
    throw CommandError(std::string(what) + " \"" + path + "\". " + reason.toStdString());
}

// The first bytes of the file, enough to tell its format; empty when it
// cannot be read (the import then says why).
std::string Opening(const std::string& path) {
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.read(16).toStdString();
}

// The pixels turned as the EXIF orientation says (2 to 8).
QImage Oriented(const QImage& image, int orientation) {
    const QTransform quarter = QTransform().rotate(90);
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5: // mirrored across the falling diagonal
        return image.mirrored(false, true).transformed(quarter);
    case 6:
        return image.transformed(quarter);
    case 7: // mirrored across the rising diagonal
        return image.mirrored(true, false).transformed(quarter);
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}

// The same pixels, colours and resolution without any of the texts the
// reader found (comments, XMP), which the writers would write again.
QImage WithoutTexts(const QImage& image) {
    QImage clean(image.size(), image.format());
    if (clean.isNull()) {
        return image;
    }
    const auto row = std::size_t(std::min(image.bytesPerLine(), clean.bytesPerLine()));
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(clean.scanLine(y), image.constScanLine(y), row);
    }
    clean.setColorTable(image.colorTable());
    clean.setColorSpace(image.colorSpace());
    clean.setDotsPerMeterX(image.dotsPerMeterX());
    clean.setDotsPerMeterY(image.dotsPerMeterY());
    return clean;
}

const char* WriterFormat(PictureFormat format) {
    switch (format) {
    case PictureFormat::Jpeg:
        return "jpeg";
    case PictureFormat::Png:
        return "png";
    case PictureFormat::WebP:
        return "webp";
    case PictureFormat::Other:
        break;
    }
    return nullptr;
}

// The natural size turned by the orientation: 5 to 8 swap the sides.
QSize Shown(QSize natural, int orientation) {
    return orientation >= 5 ? natural.transposed() : natural;
}

void SetSize(WebPicture& web, QSize size) {
    if (size.isValid() && !size.isEmpty()) {
        web.width = size.width();
        web.height = size.height();
    }
}

WebPicture Process(const std::string& path, const PictureImportOptions& options) {
    WebPicture web;
    LimitPixelMemory();
    const std::string first = Opening(path);
    const PictureMetadata opening = ReadPictureMetadata(first);
    const char* format = WriterFormat(opening.format);
    if (format == nullptr) {
        if (first.empty() && QFileInfo(QFile::decodeName(path.c_str())).size() == 0) {
            throw NotAPictureError("the file is empty");
        }
        if (ReadByNoReader(path)) {
            return web;
        }
        // Kept as it is: only its size is read.
        QImageReader reader(QFile::decodeName(path.c_str()));
        reader.setDecideFormatFromContent(true);
        if (!reader.canRead()) {
            throw NotAPictureError("its bytes are in no picture format that can be read");
        }
        SetSize(web, reader.size());
        return web;
    }
    const std::string bytes = ReadRegularFile(path);
    if (const std::string problem = PictureStructureProblem(bytes); !problem.empty()) {
        throw NotAPictureError(problem);
    }
    const PictureMetadata metadata = ReadPictureMetadata(bytes);
    QByteArray data = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // Where Qt reads the orientation itself it turns the pixels; elsewhere
    // the orientation read from the bytes is applied below.
    reader.setAutoTransform(true);
    const QSize shown = Shown(reader.size(), metadata.orientation);
    SetSize(web, shown);
    if (metadata.animated) {
        // Encoding it again would keep only its first frame: its camera data
        // is cut out of its bytes instead.
        if (options.strip_metadata && metadata.camera_data) {
            std::string stripped = WithoutCameraData(bytes);
            if (ReadPictureMetadata(stripped).camera_data) {
                Fail("Cannot remove the camera data of picture", path,
                     QStringLiteral("Its blocks cannot be read to their end"));
            }
            web.bytes = std::move(stripped);
            web.must_replace = true;
        }
        return web;
    }
    const bool scale =
        options.longest_side > 0 && std::max(shown.width(), shown.height()) > options.longest_side;
    // Metadata the user keeps would be lost to a new encoding: only a size
    // to keep to changes such a picture.
    if (!options.strip_metadata && metadata.camera_data && !scale) {
        return web;
    }
    web.must_replace =
        scale || metadata.orientation != 1 || (options.strip_metadata && metadata.camera_data);
    // Where the pixels stay as they are, the camera data is cut out of the
    // bytes without loss; a new encoding is taken only when it is smaller.
    std::string cut;
    if (options.strip_metadata && metadata.camera_data && !scale && metadata.orientation == 1) {
        cut = WithoutCameraData(bytes);
        if (ReadPictureMetadata(cut).camera_data) {
            cut.clear();
        }
    }
    const std::size_t to_beat = cut.empty() ? bytes.size() : cut.size();
    QImage image;
    if (!reader.read(&image)) {
        if (!TooLargeToRead(reader.size())) {
            throw NotAPictureError("its picture data cannot be read: " +
                                   reader.errorString().toStdString());
        }
        if (!cut.empty()) {
            web.bytes = std::move(cut);
            return web;
        }
        if (web.must_replace) {
            Fail("Cannot read picture", path, reader.errorString());
        }
        return web;
    }
    if (reader.transformation() == QImageIOHandler::TransformationNone) {
        image = Oriented(image, metadata.orientation);
    }
    if (const int longest = std::max(image.width(), image.height());
        scale && longest > options.longest_side) {
        const double factor = double(options.longest_side) / double(longest);
        const int width = std::max(1, qRound(image.width() * factor));
        const int height = std::max(1, qRound(image.height() * factor));
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (options.strip_metadata) {
        image = WithoutTexts(image);
    }
    QByteArray encoded;
    QBuffer out(&encoded);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, format);
    if (opening.format != PictureFormat::Png) {
        writer.setQuality(options.quality);
    }
    if (opening.format == PictureFormat::Jpeg) {
        writer.setOptimizedWrite(true);
    }
    if (!writer.write(image)) {
        if (!cut.empty()) {
            web.bytes = std::move(cut);
            return web;
        }
        if (web.must_replace) {
            Fail("Cannot convert picture", path, writer.errorString());
        }
        return web;
    }
    SetSize(web, image.size());
    if (std::size_t(encoded.size()) < to_beat || (web.must_replace && cut.empty())) {
        web.bytes = encoded.toStdString();
    } else if (!cut.empty()) {
        web.bytes = std::move(cut);
    }
    return web;
}

} // namespace

namespace {

// The picture at `path` made `width` pixels wide: `height` high, cut about
// its middle to those proportions, or for 0 in its own proportions.
std::string EncodePicture(const std::string& path, int width, int height,
                          const std::string& format) {
    LimitPixelMemory();
    if (width <= 0 || height < 0 || !PictureSafeToRead(path)) {
        return {};
    }
    QImageReader reader(QFile::decodeName(path.c_str()));
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage image;
    if (!reader.read(&image)) {
        return {};
    }
    if (reader.transformation() == QImageIOHandler::TransformationNone) {
        try {
            image = Oriented(image, ReadPictureMetadata(ReadRegularFile(path)).orientation);
        } catch (const CommandError&) {
            return {};
        }
    }
    if (image.isNull()) {
        return {};
    }
    if (height > 0) {
        // The largest part of the picture in the wanted proportions, about
        // its middle.
        const double wanted = double(width) / height;
        QRect part = image.rect();
        if (double(image.width()) / image.height() > wanted) {
            part.setWidth(std::max(1, qRound(image.height() * wanted)));
            part.moveLeft((image.width() - part.width()) / 2);
        } else {
            part.setHeight(std::max(1, qRound(image.width() / wanted)));
            part.moveTop((image.height() - part.height()) / 2);
        }
        image = image.copy(part);
    } else {
        height = std::max(1, qRound(double(image.height()) * width / double(image.width())));
    }
    if (image.width() != width || image.height() != height) {
        image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    image = WithoutTexts(image);
    QByteArray encoded;
    QBuffer out(&encoded);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, format.c_str());
    if (format != "png") {
        writer.setQuality(format == "webp" ? 80 : 85);
    }
    if (format == "jpeg") {
        writer.setOptimizedWrite(true);
        writer.setProgressiveScanWrite(true);
    }
    if (!writer.write(image)) {
        return {};
    }
    return encoded.toStdString();
}

} // namespace

std::string EncodePictureVariant(const std::string& path, int width, const std::string& format) {
    return EncodePicture(path, width, 0, format);
}

std::string EncodeCardPicture(const std::string& path, int width, int height,
                              const std::string& format) {
    return height <= 0 ? std::string() : EncodePicture(path, width, height, format);
}

render::PictureWork ImagePictureWork() {
    render::PictureWork work;
    work.size = [](const std::string& path) { return ShownPictureSize(path); };
    work.encode = EncodePictureVariant;
    work.card = EncodeCardPicture;
    return work;
}

PictureProcessor WebPictureProcessor() {
    return Process;
}

bool PictureSafeToRead(const std::string& path) {
    if (ReadPictureMetadata(Opening(path)).format == PictureFormat::Other) {
        return true; // read by Qt's own handlers, which hold to the memory limit
    }
    try {
        return PictureStructureProblem(ReadRegularFile(path)).empty();
    } catch (const CommandError&) {
        return false;
    }
}

std::optional<PictureSize> ShownPictureSize(const std::string& path) {
    LimitPixelMemory();
    int orientation = 1;
    if (ReadPictureMetadata(Opening(path)).format != PictureFormat::Other) {
        try {
            const std::string bytes = ReadRegularFile(path);
            if (!PictureStructureProblem(bytes).empty()) {
                return std::nullopt;
            }
            orientation = ReadPictureMetadata(bytes).orientation;
        } catch (const CommandError&) {
            return std::nullopt;
        }
    }
    QImageReader reader(QFile::decodeName(path.c_str()));
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        return std::nullopt;
    }
    size = Shown(size, orientation);
    return PictureSize{size.width(), size.height()};
}

} // namespace qf
