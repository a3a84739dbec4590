#pragma once

#include "check/site_check.h"
#include "publish/publish_files.h"
#include "render/render_page.h"

#include <map>
#include <memory>
#include <mutex>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qf::render {

// The files made from the site's icon beside favicon.ico.
inline constexpr std::string_view kTouchIconFile = "apple-touch-icon.png";
inline constexpr std::string_view kManifestFile = "site.webmanifest";

// The site as visitors receive it: every page of the editor rendered
// (RenderPage), every other file of the project as it is. Nothing here
// writes into the project.

// The options the pages of the project at `project_folder` are rendered
// with: the project's language, or the desktop's when it names none.
RenderOptions SiteRenderOptions(const std::string& project_folder);

// How the site's pictures are read and made again at other sizes (QtGui's
// readers and writers, which the core does not link). Without them, the
// pictures are written as the pages have them.
struct PictureWork {
    // The size a picture file is shown at.
    PictureSizeReader size;
    // The picture file at `path` made `width` pixels wide, encoded as
    // `format` ("webp", "png", "jpeg"); empty when it cannot be.
    std::function<std::string(const std::string& path, int width, const std::string& format)>
        encode;
    // The picture file at `path` cut about its middle to the proportions of
    // `width` by `height` and made that size, encoded as `format`; empty when
    // it cannot be. Without it, a shared link shows the picture as it is.
    std::function<std::string(const std::string& path, int width, int height,
                              const std::string& format)>
        card;
    // Where made pictures are kept between runs, by the picture's hash and
    // the size; empty: the user's cache folder.
    std::string cache_folder;
};

// The site's pages being rendered: the options for each page, with its
// pictures' sizes and their variants (made once, then taken from the cache,
// never written into the project), and the variants the pages asked for.
// Safe to use from several threads at once.
class SiteRendering {
public:
    // `address`, when given, stands for the site's address (a publish
    // target's own, such as a staging server's).
    SiteRendering(std::string project_folder, PictureWork pictures, std::string address = {});

    // The SHA-256 of files of the project already read (a publish lists them
    // with their hashes), so a picture's variants are found in the cache
    // without reading the picture again.
    void KnowHashes(const std::vector<publish::LocalFile>& files);

    // The options for the page at `page_path` (relative to the project).
    RenderOptions OptionsFor(const std::string& page_path);
    // RenderedFile with those options.
    std::string RenderedFile(const std::string& relative_path, bool& rendered);
    // Each variant the pages rendered so far ask for: its path in the site
    // (relative, "/" between folders) and the cached file that holds it.
    std::map<std::string, std::string> Variants() const;
    // The site's own files for the pages rendered so far, by path: where the
    // site has an address, sitemap.xml listing those pages with their last
    // change and robots.txt naming it; robots.txt disallowing all where the
    // site may not be indexed; the site's icon as favicon.ico (16, 32 and
    // 48 pixels), apple-touch-icon.png (180), icon-192.png, icon-512.png and
    // a web manifest naming them; and for each page renamed in the editor, a
    // small page at its old name that sends visitors on to the new one (not
    // in the sitemap). `notes` tells what could not be made.
    std::vector<std::pair<std::string, std::string>>
    SiteFiles(std::vector<std::string>& notes) const;

private:
    void AddIconFiles(std::vector<std::pair<std::string, std::string>>& files,
                      std::vector<std::string>& notes) const;

    struct Source {
        std::string path;     // relative to the project
        std::string full;     // on this computer
        std::string location; // as the page writes it, up to its file name
    };
    std::optional<Source> Resolve(const std::string& page_path, std::string_view src) const;
    std::optional<std::pair<int, int>> Size(const Source& source);
    // The made picture `cached` of the cache, made by `make` unless it is
    // there; false when it cannot be made.
    bool MadeInCache(const std::string& cached, const std::function<std::string()>& make) const;
    // `cached` published beside the picture as its name + "." + `suffix`
    // ("q300.webp", "card.jpg").
    RenderOptions::Variant PublishedBeside(const Source& source, const std::string& cached,
                                           const std::string& suffix);
    // The picture's SHA-256, read once.
    std::string HashOf(const Source& source);
    // The picture cut to a large card's 1.91:1, at most kCardWidth wide.
    std::optional<RenderOptions::Variant> Card(const Source& source);
    std::optional<RenderOptions::Variant> Variant(const Source& source, int width,
                                                  std::string_view format);

    std::string project_;
    PictureWork pictures_;
    std::string cache_;
    RenderOptions base_;
    mutable std::mutex lock_;
    std::map<std::string, std::optional<std::pair<int, int>>> sizes_;
    std::map<std::string, std::string> hashes_;
    std::map<std::string, std::string> variants_;
    std::string address_;
    bool index_ = true;
    std::vector<std::pair<std::string, std::string>> moved_; // old page name -> new
    std::string site_name_;
    std::string icon_;                         // the site's icon on this computer; empty: none
    std::map<std::string, std::string> pages_; // page -> its last change (yyyy-mm-dd)
};

// True for a file publishing sends rendered: a page the editor made (a
// ".html" or ".htm" file whose text holds the declaration block).
bool IsEditorPage(std::string_view relative_path, std::string_view page_text);

// The rendered bytes of the file `relative_path` of the project when it is a
// page of the editor; `rendered` is then true. Any other file's bytes are
// not read: `rendered` is false and the result empty. Throws CommandError
// when the file cannot be read.
std::string RenderedFile(const std::string& project_folder, const std::string& relative_path,
                         const RenderOptions& options, bool& rendered);

// Why `folder` cannot take the rendered site of the project: it is the
// project folder or inside it (a copy would copy itself at every run).
// Empty when it can.
std::string OutputFolderProblem(const std::string& project_folder, const std::string& folder);

// Pages of the editor go out rendered: each page among `files` is rendered
// into the folder `staging` (under its own path) and its entry points there,
// with the size and SHA-256 of the rendered bytes, so every target sends and
// records what visitors receive. Uses every core. Throws CommandError when a
// page cannot be read or its rendering written. The variants of pictures the
// pages ask for are added to `files`, sent from the cache.
// `address`, when given, is the target's own address for the site.
void RenderPagesForPublishing(const std::string& project_folder,
                              std::vector<publish::LocalFile>& files, const std::string& staging,
                              const PictureWork& pictures = {},
                              std::vector<std::string>* site_notes = nullptr,
                              const std::string& address = {});

// The page `page_text` (the open page, at `page_path`) rendered for the
// editor's "As Published" view: written to `cache_folder` + "/as-published/"
// under the page's file name, with a base address that points its links and
// pictures at the page's own folder. Returns the file's path. Nothing is
// written into the project. Throws CommandError when the file cannot be
// written.
std::string WritePreviewRendering(const std::string& project_folder, const std::string& page_path,
                                  std::string_view page_text, const std::string& cache_folder,
                                  const PictureWork& pictures = {});

struct ExportReport {
    int pages = 0;                    // pages rendered
    int files = 0;                    // other files copied
    int variants = 0;                 // pictures made at other sizes for the pages
    std::vector<std::string> notes;   // what the site lacks (no sitemap without an address)
    std::vector<std::string> skipped; // files of the project left out, with the reason
};

// Writes the whole rendered site of the project into `folder` (made when
// missing), each file atomically; files of the folder the site does not
// have are left alone. Pages are rendered on every core. Throws
// CommandError, naming the file and the reason, when the folder is refused
// (OutputFolderProblem) or a file cannot be read or written.
ExportReport ExportSite(const std::string& project_folder, const std::string& folder,
                        const PictureWork& pictures = {});

} // namespace qf::render
