// Takes arbitrary bytes as a picture file and reads its metadata, then cuts
// its camera data out. Whatever the bytes, nothing is read past their end,
// the orientation is 1 to 8, and a cut picture either is the input unchanged
// or holds no camera data, is no longer than the input, keeps its format and
// animation, and cutting it again changes nothing.
#include "components/picture_metadata.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "picture metadata: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const qf::PictureMetadata metadata = qf::ReadPictureMetadata(bytes);
    Require(metadata.orientation >= 1 && metadata.orientation <= 8, "orientation out of range");
    Require(qf::ExifOrientation(bytes) >= 1 && qf::ExifOrientation(bytes) <= 8,
            "EXIF orientation out of range");
    // The structure check reads nothing past the end either, and a picture
    // it passes keeps passing once its camera data is cut out.
    const std::string problem = qf::PictureStructureProblem(bytes);
    const std::string cut = qf::WithoutCameraData(bytes);
    Require(!problem.empty() || qf::PictureStructureProblem(cut).empty(),
            "cutting the camera data damaged a sound picture");
    if (cut == bytes) {
        return 0;
    }
    const qf::PictureMetadata after = qf::ReadPictureMetadata(cut);
    Require(!after.camera_data, "camera data left after the cut");
    Require(cut.size() <= bytes.size(), "the cut picture is longer");
    Require(after.format == metadata.format, "the cut changed the format");
    Require(after.animated == metadata.animated, "the cut changed the animation");
    Require(qf::WithoutCameraData(cut) == cut, "a second cut changed the picture");
    return 0;
}
