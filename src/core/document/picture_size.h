#pragma once

namespace qf {

// A picture's width and height in pixels.
struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

} // namespace qf
