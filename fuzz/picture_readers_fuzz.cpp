// Takes arbitrary bytes as a picture file, under each name a picture may
// have, and hands it to the readers the import and the site check use: the
// size a browser shows, and the processor that makes a picture fit for the
// web. Whatever the bytes, they either give a picture or refuse it with a
// reason; no reader may ask for more memory than the pixel limit (the fuzzer
// runs with a small allocation limit, so a length taken from the file for an
// allocation ends the run), and a picture that passes the structure check is
// one the readers are safe with.
#include "components/picture_import.h"
#include "components/picture_metadata.h"
#include "error.h"
#include "web_picture.h"

#include <QImageReader>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string ScratchFile(const char* ending) {
    static const std::string folder = [] {
        char name[] = "/tmp/quenfort-picture-fuzz-XXXXXX";
        if (::mkdtemp(name) == nullptr) {
            std::abort();
        }
        return std::string(name);
    }();
    return folder + "/picture." + ending;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Pictures of up to 16 MB of pixels: far more than 64 KB of input can
    // honestly describe, far less than the fuzzer's limits.
    QImageReader::setAllocationLimit(16);
    const char* ending = size > 0 ? (data[0] % 3 == 0   ? "png"
                                     : data[0] % 3 == 1 ? "jpg"
                                                        : "webp")
                                  : "png";
    const std::string path = ScratchFile(ending);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) {
        std::abort();
    }
    const auto shown = qf::ShownPictureSize(path);
    if (shown && (shown->width <= 0 || shown->height <= 0)) {
        std::fprintf(stderr, "picture readers: a size that is no size\n");
        std::abort();
    }
    try {
        const qf::WebPicture web =
            qf::WebPictureProcessor()(path, qf::PictureImportOptions{64, 60, true});
        if (!web.bytes.empty() && !qf::PictureStructureProblem(web.bytes).empty() &&
            qf::ReadPictureMetadata(web.bytes).format != qf::PictureFormat::Other) {
            std::fprintf(stderr, "picture readers: the processor made a damaged picture\n");
            std::abort();
        }
    } catch (const qf::CommandError&) {
        // refused with a reason
    }
    return 0;
}
