#pragma once

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
// cannot be read or the copy cannot be made; nothing is left behind then (no
// part of a copy, and no images folder made for it).
std::string ImportPicture(const std::string& project_folder, const std::string& page_folder,
                          const std::string& picture);

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
