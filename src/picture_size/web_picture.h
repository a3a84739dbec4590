#pragma once

#include "check/site_check.h"
#include "components/picture_import.h"
#include "render/render_site.h"

#include <optional>
#include <string>

namespace qf {

// Makes JPEG, PNG and WebP pictures fit for the web with Qt's image readers
// and writers: the EXIF orientation is turned into the pixels, a picture
// wider than the largest width is scaled down (its proportions kept), and the
// picture is encoded again in its own format (JPEG and WebP at the quality
// asked, PNG without loss), which leaves its camera and position data
// behind. The copy is offered when the original has to change, or when it
// is smaller and loses nothing the user asked to keep (with the metadata
// kept, a picture carrying it is only changed to be scaled down). Where the
// pixels need not change, the camera data is cut out of the original's bytes
// instead (WithoutCameraData), unless the new encoding is smaller still. An
// animated picture keeps its frames: only its camera data is cut out of its
// bytes (WithoutCameraData). Every other format is kept as it is.
// A file that is no picture (empty, in no format Qt reads, blocks that run
// past its end, picture data that cannot be decoded) is refused with
// NotAPictureError; only the formats Qt has no reader for here (EMF, WMF,
// SVG) are taken unread.
PictureProcessor WebPictureProcessor();

// True when the blocks of the picture file at `path` are sound enough to
// hand it to Qt's readers (PictureStructureProblem finds nothing), which
// would otherwise take a length that a damaged or hostile file claims for
// what they allocate.
bool PictureSafeToRead(const std::string& path);

// The size the picture file at `path` is shown at: its natural size with its
// EXIF orientation applied; nothing when it cannot be read.
std::optional<PictureSize> ShownPictureSize(const std::string& path);

// The picture file at `path` made `width` pixels wide (its proportions and
// orientation kept) and encoded as `format` ("webp", "png", "jpeg"), for the
// rendered site; empty when it cannot be read or encoded.
std::string EncodePictureVariant(const std::string& path, int width, const std::string& format);

// The picture file at `path` cut about its middle to the proportions of
// `width` by `height` and made that size (the card a shared link shows);
// empty when it cannot be read or encoded.
std::string EncodeCardPicture(const std::string& path, int width, int height,
                              const std::string& format);

// The picture work of the rendered site: sizes and variants by Qt's readers
// and writers.
render::PictureWork ImagePictureWork();

// How ImportPicture makes pictures fit for the web with `options`.
inline PictureImport WebPictureImport(const PictureImportOptions& options) {
    return PictureImport{options, WebPictureProcessor()};
}

} // namespace qf
