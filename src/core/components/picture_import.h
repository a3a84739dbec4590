#pragma once

#include "error.h"

#include <functional>
#include <string>
#include <string_view>

namespace qf {

struct Workspace;

// The folders inside a project that files from elsewhere are copied into:
// pictures, and sound, video, Flash and Shockwave files.
inline constexpr std::string_view kImagesFolder = "images";
inline constexpr std::string_view kMediaFolder = "media";

// The endings (in lower case) of the files taken for pictures: those the
// picture dialogs offer, and the other formats browsers show.
inline constexpr std::string_view kPictureEndings[] = {
    "jpg", "jpeg", "jpe", "gif", "png", "bmp", "ico", "emf", "wmf", "tif", "tiff", "webp", "svg"};

// True when the file's name ends in one of kPictureEndings, in any case.
bool IsPictureFile(std::string_view path);

// The long side pictures are kept to when they come into a project.
inline constexpr int kDefaultLongestPictureSide = 2560;

// How pictures are made fit for the web on their way into a project.
struct PictureImportOptions {
    // A picture longer on its long side is scaled down to it (no page shows
    // more than a large screen's width); 0: no limit.
    int longest_side = kDefaultLongestPictureSide;
    int quality = 85;           // of JPEG and WebP pictures encoded again, 1 to 100
    bool strip_metadata = true; // camera and position data (EXIF, XMP, IPTC) removed
};

// The quality bounds and the longest side's.
inline constexpr int kLowestPictureQuality = 1;
inline constexpr int kHighestPictureQuality = 100;
inline constexpr int kLargestPictureWidthLimit = 100000;

// Refuses options out of bounds (a negative or huge longest side, a quality
// outside 1 to 100) with CommandError saying which and why.
void CheckPictureImportOptions(const PictureImportOptions& options);

// What a picture becomes for the web, as a PictureProcessor makes it.
struct WebPicture {
    // The picture encoded again, to be used instead of the original; empty
    // when the original is used as it is.
    std::string bytes;
    // The original may not go to the web as it is: its camera or position
    // data has to go, its orientation was turned into its pixels, or it was
    // scaled down. Only then is a picture inside the project copied too.
    bool must_replace = false;
    // The size the picture is shown at (its orientation applied, scaled as
    // it will be), in pixels; 0 when it cannot be told.
    int width = 0;
    int height = 0;
};

// A file taken for a picture whose bytes are no picture a browser shows (an
// empty file, a text file named .jpg, a JPEG that ends before its picture
// data). Its message is the reason alone; ImportPicture names the file.
class NotAPictureError : public CommandError {
public:
    using CommandError::CommandError;
};

// Reads the picture file at `path` and makes it fit for the web by
// `options`. Throws NotAPictureError when the file is no picture. Throws CommandError naming the
// file when a picture that has to change cannot be read or encoded.
using PictureProcessor =
    std::function<WebPicture(const std::string& path, const PictureImportOptions& options)>;

// How ImportPicture treats a picture: without a processor (the core reads
// no pictures itself), the picture is copied as it is.
struct PictureImport {
    PictureImportOptions options;
    PictureProcessor processor;
};

// A picture made to travel with the site.
struct ImportedPicture {
    std::string location; // as ImportPicture returns it
    std::string file;     // the picture's file, in the project folder
    int width = 0;        // the size it is shown at (WebPicture); 0 when unknown
    int height = 0;
};

// A picture chosen for a page, made to travel with the site: a file inside
// the project folder stays where it is; a file elsewhere is copied into the
// project's "images" folder. A file of the same name and the same bytes that
// is there already is reused; one with other bytes is left alone and the copy
// takes the first free name "NAME-2.png", "NAME-3.png", and so on.
//
// Returns the location the page names the picture by: the path relative to
// `page_folder` (the folder of the page the picture is for, ending in "/";
// empty means the project folder), with "/" between folders and every blank
// and URL-special character ("#", "?", "%", quotes and the like) written as
// "%XX". Characters outside ASCII are kept as they are.
//
// The copy is made under a hidden name and renamed once it is whole. Throws
// CommandError naming the file and the system's reason when the picture
// cannot be read or the copy cannot be made, and "NAME is not a picture
// (REASON)" when the processor finds the file is none; nothing is left behind then (no
// part of a copy, and no images folder made for it).
//
// With a processor (`how`), the picture is made fit for the web first: the
// processor's copy replaces the original when it must (camera or position
// data to remove, an orientation to apply, a width to keep to) or when it is
// smaller; it keeps the original's name, under the same rules. A picture
// inside the project folder that must change is never overwritten: its copy
// goes into the images folder, and the page names the copy.
std::string ImportPicture(const std::string& project_folder, const std::string& page_folder,
                          const std::string& picture, const PictureImport& how = {});

// The same, telling also the picture's file and the size it is shown at.
ImportedPicture ImportWebPicture(const std::string& project_folder, const std::string& page_folder,
                                 const std::string& picture, const PictureImport& how);

// The same for a sound, video, Flash or Shockwave file, copied into the
// project's "media" folder.
std::string ImportMedia(const std::string& project_folder, const std::string& page_folder,
                        const std::string& file);

// The same for any file: a picture (IsPictureFile) into "images", any other
// into "media".
std::string ImportFile(const std::string& project_folder, const std::string& page_folder,
                       const std::string& file);

// The same into the project's folder `folder_name`.
std::string ImportFileInto(const std::string& project_folder, const std::string& page_folder,
                           const std::string& file, std::string_view folder_name);

// The folder pictures chosen for the open page are named relative to: the
// open page's folder, or the project folder while no page is open.
std::string PictureBaseFolder(const Workspace& workspace);

// A relative file path written as a location in a page: "/" kept, blanks and
// URL-special characters as "%XX", everything else as it is.
std::string PagePathLocation(std::string_view relative_path);

} // namespace qf
