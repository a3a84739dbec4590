#include "picture_size.h"

#include <QImageReader>

namespace qf {

PictureSizeReader ImageReaderPictureSizes() {
    return [](const std::string& path) -> std::optional<PictureSize> {
        QImageReader reader(QString::fromLocal8Bit(path.data(), qsizetype(path.size())));
        reader.setDecideFormatFromContent(true);
        const QSize size = reader.size();
        if (!size.isValid() || size.isEmpty()) {
            return std::nullopt;
        }
        return PictureSize{size.width(), size.height()};
    };
}

} // namespace qf
