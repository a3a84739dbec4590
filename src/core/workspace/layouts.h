#pragma once

#include "workspace/numbered_files.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

// Layout files live in the application folder's lays subfolder as "1.html",
// "2.html" and so on; a layout is known by its number only. The folder may
// hold gaps and other files: only files named by a number count.

// app_folder + "lays/".
std::string LaysFolder(const std::string& app_folder);
// The file of layout `number`.
std::string LayoutPath(const std::string& app_folder, int number);

// The numbers of the layout files that exist, in numeric order.
std::vector<int> LayoutNumbers(const std::string& app_folder);

// The text of layout `number`. Throws CommandError when there is no such
// layout or it cannot be read.
std::string ReadLayout(const std::string& app_folder, int number);

// Writes `layout_text` as a new layout: the highest number in use + 1 (1 in
// an empty folder), never over an existing file. Returns the number.
// Throws CommandError on a file error.
int SaveLayout(const std::string& app_folder, std::string_view layout_text);

// What a layout preview shows: the layout text with every area outlined,
// tinted and labelled with its Select Area name ("Area2"). The areas are
// white on white in the page itself, so without this a layout shows nothing.
std::string LayoutPreviewText(std::string_view layout_text);

// Writes LayoutPreviewText(layout_text) to app_folder + "temp/" + file_name
// and returns that path. Throws CommandError on a file error.
std::string WriteLayoutPreview(const std::string& app_folder, std::string_view layout_text,
                               std::string_view file_name);

// The file name of the small preview of layout `number` in the chooser's
// overview ("chooser-3.html"), and the number such a name (or a path or
// address ending in it) stands for; 0 for anything else.
std::string LayoutThumbnailFile(int number);
int LayoutThumbnailNumber(std::string_view path);

// The chooser's overview page: every layout of `numbers` as a small preview
// (its LayoutThumbnailFile, shown scaled down in a frame) with its name, each
// a link to that file, so a click names the layout. The layout `chosen` is
// marked; the page's script function choose(number) moves the mark.
std::string LayoutGalleryText(const std::vector<int>& numbers, int chosen);

// Writes the preview of every layout of `numbers` and, over them, the
// overview page app_folder + "temp/" + file_name; returns that path.
// Throws CommandError when a layout cannot be read or a file written.
std::string WriteLayoutGallery(const std::string& app_folder, const std::vector<int>& numbers,
                               int chosen, std::string_view file_name);

// The state of the layout chooser: the layouts found at its last scan, the
// one shown, and which of its step buttons are enabled. It opens on the
// lowest number; Next steps up, Previous down.
class LayoutChooser : public NumberedChooser {
public:
    LayoutChooser() : NumberedChooser(ChooserOrder::OldestFirst) {}

    // Rescans the lays subfolder and shows the first layout.
    void Scan(const std::string& app_folder);
    // Sets the layouts directly (what Scan does after listing the folder).
    void SetLayouts(std::vector<int> numbers) { SetNumbers(std::move(numbers)); }
};

} // namespace qf
