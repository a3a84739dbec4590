#pragma once

#include "check/site_check.h"

namespace qf {

// Reads a picture's size as a browser shows it (QImageReader, every format
// Qt's image plugins know, without decoding the picture): its natural size,
// turned as its orientation tag says (ShownPictureSize).
PictureSizeReader ImageReaderPictureSizes();

} // namespace qf
