#pragma once

#include "check/site_check.h"

namespace qf {

// Reads a picture's natural size from its file's header (QImageReader, every
// format Qt's image plugins know), without decoding the picture.
PictureSizeReader ImageReaderPictureSizes();

} // namespace qf
