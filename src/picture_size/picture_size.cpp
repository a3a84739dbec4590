#include "picture_size.h"

#include "web_picture.h"

namespace qf {

PictureSizeReader ImageReaderPictureSizes() {
    // The size a browser shows: turned as the picture's orientation tag says.
    return [](const std::string& path) { return ShownPictureSize(path); };
}

} // namespace qf
