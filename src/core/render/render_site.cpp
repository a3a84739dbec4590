#include "render/render_site.h"

#include "components/page_properties.h"
#include "components/picture_import.h"
#include "document/ascii_case.h"
#include "document/file_io.h"
#include "document/markers.h"
#include "document/page_file.h"
#include "error.h"
#include "publish/publish_files.h"
#include "site/site_settings.h"
#include "site/site_style.h"
#include "work/on_every_core.h"
#include "workspace/project.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace qf::render {

namespace {

QString Q(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string Folder(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

// Copies a file of any size into `target` through a save file, a piece at a
// time.
void CopyInto(const std::string& source, const std::string& target) {
    QFile in(Q(source));
    if (!in.open(QIODevice::ReadOnly)) {
        throw CommandError("Cannot read file \"" + source + "\". " +
                           in.errorString().toStdString());
    }
    SaveFile file(target);
    file.SkipSync();
    for (;;) {
        const QByteArray piece = in.read(qint64(1) << 20);
        if (piece.isEmpty()) {
            if (in.error() != QFileDevice::NoError) {
                throw CommandError("Cannot read file \"" + source + "\". " +
                                   in.errorString().toStdString());
            }
            break;
        }
        file.Write(std::string_view(piece.constData(), std::size_t(piece.size())));
    }
    file.Commit();
}

} // namespace

RenderOptions SiteRenderOptions(const std::string& project_folder) {
    const SiteSettings settings = ReadSiteSettings(Folder(project_folder));
    RenderOptions options;
    options.language = settings.language.empty() ? DesktopLanguage() : settings.language;
    options.icon = settings.icon.empty() ? std::string() : PagePathLocation(settings.icon);
    options.site_name = settings.name;
    options.index = settings.index;
    try {
        options.site_style = StyleSheet(StyleOf(settings));
    } catch (const CommandError&) {
        // a style of a later version: the pages as designed
    }
    return options;
}

namespace {

// The formats pictures are made again in: JPEG, PNG and WebP, by their
// ending; empty for every other (GIF, SVG, ...), which stays as it is.
std::string VariantFormat(const std::string& path) {
    const std::string lower = QFileInfo(Q(path)).suffix().toLower().toStdString();
    if (lower == "jpg" || lower == "jpeg" || lower == "jpe") {
        return "jpeg";
    }
    if (lower == "png" || lower == "webp") {
        return lower;
    }
    return {};
}

std::string Ending(const std::string& format) {
    return format == "jpeg" ? "jpg" : format;
}

std::string Sha256Of(std::string_view bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), qsizetype(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// An ICO file holding each of `pngs` (`widths` wide) as it is: the icon
// directory, then the pictures.
std::string IconFile(const std::vector<int>& widths, const std::vector<std::string>& pngs) {
    auto put16 = [](std::string& out, unsigned value) {
        out += char(value & 0xff);
        out += char((value >> 8) & 0xff);
    };
    auto put32 = [&put16](std::string& out, std::uint32_t value) {
        put16(out, value & 0xffff);
        put16(out, value >> 16);
    };
    std::string ico;
    put16(ico, 0);
    put16(ico, 1); // an icon
    put16(ico, unsigned(pngs.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * pngs.size());
    for (std::size_t i = 0; i < pngs.size(); ++i) {
        const std::string& png = pngs[i];
        // The height as the PNG's header gives it; a square where it cannot be told.
        int height = widths[i];
        if (png.size() >= 24 && png.compare(1, 3, "PNG") == 0) {
            height = (std::uint8_t(png[20]) << 24) | (std::uint8_t(png[21]) << 16) |
                     (std::uint8_t(png[22]) << 8) | std::uint8_t(png[23]);
        }
        ico += char(widths[i] >= 256 ? 0 : widths[i]);
        ico += char(height >= 256 || height <= 0 ? 0 : height);
        ico += '\0'; // no palette
        ico += '\0';
        put16(ico, 1);  // planes
        put16(ico, 32); // bits a pixel
        put32(ico, std::uint32_t(png.size()));
        put32(ico, offset);
        offset += std::uint32_t(png.size());
    }
    for (const std::string& png : pngs) {
        ico += png;
    }
    return ico;
}

// A text as a JSON string, quotes included.
std::string JsonText(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

// The page left at a renamed page's old name: it sends visitors (and search
// engines, through the canonical link) on to the new name.
std::string ForwardPage(const std::string& to, const std::string& address,
                        const std::string& language) {
    const std::string link = PageLink(to);
    const std::string shown = Q(to).toHtmlEscaped().toStdString();
    std::string page = "<!DOCTYPE html>\n<html lang=\"" + (language.empty() ? "en" : language) +
                       "\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + shown +
                       "</title>\n<meta name=\"robots\" content=\"noindex\">\n"
                       "<meta http-equiv=\"refresh\" content=\"0; url=" +
                       link + "\">\n";
    if (!address.empty()) {
        page += "<link rel=\"canonical\" href=\"" + address + link + "\">\n";
    }
    return page + "</head>\n<body>\n<p>This page is now at <a href=\"" + link + "\">" + shown +
           "</a>.</p>\n</body>\n</html>\n";
}

bool HoldsPath(const std::vector<publish::LocalFile>& files, const std::string& path) {
    return std::any_of(files.begin(), files.end(),
                       [&path](const publish::LocalFile& file) { return file.path == path; });
}

} // namespace

SiteRendering::SiteRendering(std::string project_folder, PictureWork pictures, std::string address)
    : project_(Folder(project_folder)), pictures_(std::move(pictures)),
      base_(SiteRenderOptions(project_)) {
    const SiteSettings settings = ReadSiteSettings(project_);
    address_ = address.empty() ? settings.address : std::move(address);
    index_ = settings.index;
    moved_ = settings.moved;
    site_name_ = settings.name;
    if (!settings.icon.empty()) {
        icon_ = project_ + settings.icon;
    }
    cache_ = pictures_.cache_folder;
    if (cache_.empty()) {
        cache_ = QFile::encodeName(
                     QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                     "/quenfort/picture-variants")
                     .toStdString();
    }
    cache_ = Folder(cache_);
}

std::optional<SiteRendering::Source> SiteRendering::Resolve(const std::string& page_path,
                                                            std::string_view src) const {
    std::string written(src.substr(0, src.find_first_of("?#")));
    if (written.empty() || written.front() == '/' || written.find(':') != std::string::npos) {
        return std::nullopt; // another site's, or a path of this computer
    }
    const std::size_t slash = page_path.rfind('/');
    const QString folder =
        slash == std::string::npos ? QString() : Q(page_path.substr(0, slash + 1));
    const QString relative =
        QDir::cleanPath(folder + QUrl::fromPercentEncoding(QByteArray::fromStdString(written)));
    if (relative.startsWith("../") || relative == ".." || relative.isEmpty()) {
        return std::nullopt;
    }
    Source source;
    source.path = QFile::encodeName(relative).toStdString();
    source.full = project_ + source.path;
    const std::size_t last = written.rfind('/');
    source.location = last == std::string::npos ? std::string() : written.substr(0, last + 1);
    return source;
}

std::optional<std::pair<int, int>> SiteRendering::Size(const Source& source) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (const auto known = sizes_.find(source.path); known != sizes_.end()) {
            return known->second;
        }
    }
    std::optional<std::pair<int, int>> size;
    if (pictures_.size && QFileInfo(Q(source.full)).isFile()) {
        if (const auto shown = pictures_.size(source.full)) {
            size = std::pair{shown->width, shown->height};
        }
    }
    const std::lock_guard<std::mutex> guard(lock_);
    sizes_[source.path] = size;
    return size;
}

std::string SiteRendering::HashOf(const Source& source) {
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (const auto known = hashes_.find(source.path); known != hashes_.end()) {
            return known->second;
        }
    }
    std::string hash = publish::FileSha256(source.full);
    const std::lock_guard<std::mutex> guard(lock_);
    hashes_[source.path] = hash;
    return hash;
}

std::optional<RenderOptions::Variant> SiteRendering::Card(const Source& source) {
    const std::string own = VariantFormat(source.path);
    const auto size = Size(source);
    if (own.empty() || !size || !pictures_.card) {
        return std::nullopt;
    }
    // As wide as the picture allows in the card's proportions, at most the
    // card's own size; narrower than a large card: the picture as it is.
    const int width = std::min(
        {kCardWidth, size->first, int(std::int64_t(size->second) * kCardWidth / kCardHeight)});
    if (width < kCardPictureWidth) {
        return std::nullopt;
    }
    const int height = std::max(1, int(std::int64_t(width) * kCardHeight / kCardWidth));
    const std::string cached = cache_ + HashOf(source) + "-card" + std::to_string(width) + "x" +
                               std::to_string(height) + "." + Ending(own);
    if (!MadeInCache(cached, [&] { return pictures_.card(source.full, width, height, own); })) {
        return std::nullopt;
    }
    return PublishedBeside(source, cached, "card." + Ending(own));
}

bool SiteRendering::MadeInCache(const std::string& cached,
                                const std::function<std::string()>& make) const {
    if (QFileInfo::exists(Q(cached))) {
        return true;
    }
    const std::string bytes = make();
    if (bytes.empty()) {
        return false;
    }
    QDir().mkpath(Q(cache_));
    WriteCopyAtomically(cached, bytes);
    return true;
}

RenderOptions::Variant SiteRendering::PublishedBeside(const Source& source,
                                                      const std::string& cached,
                                                      const std::string& suffix) {
    const std::string name =
        QFile::encodeName(QFileInfo(Q(source.full)).completeBaseName()).toStdString() + "." +
        suffix;
    const std::size_t slash = source.path.rfind('/');
    const std::string path =
        (slash == std::string::npos ? std::string() : source.path.substr(0, slash + 1)) + name;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        variants_[path] = cached;
    }
    return RenderOptions::Variant{source.location + PagePathLocation(name),
                                  std::int64_t(QFileInfo(Q(cached)).size())};
}

std::optional<RenderOptions::Variant> SiteRendering::Variant(const Source& source, int width,
                                                             std::string_view format) {
    const std::string own = VariantFormat(source.path);
    const auto size = Size(source);
    if (own.empty() || !size || !pictures_.encode || width <= 0 || width > size->first) {
        return std::nullopt;
    }
    const std::string wanted = format.empty() ? own : std::string(format);
    const QFileInfo file(Q(source.full));
    // WebP only where it is smaller than the picture in its own format.
    std::optional<RenderOptions::Variant> rival;
    if (wanted != own) {
        rival = Variant(source, width, "");
        if (!rival) {
            return std::nullopt;
        }
    }
    // The picture itself where it is asked for as it is.
    if (wanted == own && width == size->first) {
        return RenderOptions::Variant{
            source.location +
                std::string(PagePathLocation(QFile::encodeName(file.fileName()).toStdString())),
            file.size()};
    }
    const std::string hash = HashOf(source);
    const std::string cached = cache_ + hash + "-" + std::to_string(width) + "." + Ending(wanted);
    if (!MadeInCache(cached, [&] { return pictures_.encode(source.full, width, wanted); })) {
        return std::nullopt;
    }
    if (rival && std::int64_t(QFileInfo(Q(cached)).size()) >= rival->bytes) {
        return std::nullopt;
    }
    return PublishedBeside(source, cached, "q" + std::to_string(width) + "." + Ending(wanted));
}

RenderOptions SiteRendering::OptionsFor(const std::string& page_path) {
    RenderOptions options = base_;
    // The icon and the address as seen from the page's own folder.
    const std::size_t depth = std::count(page_path.begin(), page_path.end(), '/');
    if (!options.icon.empty()) {
        std::string up;
        for (std::size_t i = 0; i < depth; ++i) {
            up += "../";
        }
        options.icon = up + options.icon;
        if (pictures_.encode) {
            options.touch_icon = up + std::string(kTouchIconFile);
            options.manifest = up + std::string(kManifestFile);
        }
    }
    if (!address_.empty()) {
        const bool home = page_path == "index.html" || page_path == "index.htm";
        options.page_address = address_ + (home ? std::string() : PagePathLocation(page_path));
    }
    options.picture_size = [this, page_path](std::string_view src) {
        const auto source = Resolve(page_path, src);
        return source ? Size(*source) : std::nullopt;
    };
    options.picture_variant = [this, page_path](std::string_view src, int width,
                                                std::string_view format) {
        const auto source = Resolve(page_path, src);
        return source ? Variant(*source, width, format) : std::nullopt;
    };
    options.card_picture = [this, page_path](std::string_view src) {
        const auto source = Resolve(page_path, src);
        return source ? Card(*source) : std::nullopt;
    };
    return options;
}

std::string SiteRendering::RenderedFile(const std::string& relative_path, bool& rendered) {
    std::string page =
        render::RenderedFile(project_, relative_path, OptionsFor(relative_path), rendered);
    // A page hidden from search engines stays out of the sitemap.
    if (rendered && page.find(qf::kNoIndexTag) == std::string::npos) {
        const QDateTime changed = QFileInfo(Q(project_ + relative_path)).lastModified().toUTC();
        const std::lock_guard<std::mutex> guard(lock_);
        pages_[relative_path] = changed.toString("yyyy-MM-dd").toStdString();
    }
    return page;
}

std::vector<std::pair<std::string, std::string>>
SiteRendering::SiteFiles(std::vector<std::string>& notes) const {
    std::vector<std::pair<std::string, std::string>> files;
    std::string robots = "User-agent: *\n";
    robots += index_ ? "Allow: /\n" : "Disallow: /\n";
    if (address_.empty()) {
        // Said only where a page of the editor would have been listed.
        const std::lock_guard<std::mutex> guard(lock_);
        if (!pages_.empty()) {
            notes.push_back("No sitemap.xml was made: the site has no address (give it in Site "
                            "Settings), and a sitemap names pages by their full address");
        }
    } else if (index_) {
        std::string sitemap = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
        const std::lock_guard<std::mutex> guard(lock_);
        for (const auto& [page, changed] : pages_) {
            const bool home = page == "index.html" || page == "index.htm";
            std::string address = address_ + (home ? std::string() : PagePathLocation(page));
            std::string escaped;
            for (const char c : address) {
                escaped += c == '&' ? std::string("&amp;") : std::string(1, c);
            }
            sitemap +=
                "  <url><loc>" + escaped + "</loc><lastmod>" + changed + "</lastmod></url>\n";
        }
        sitemap += "</urlset>\n";
        files.emplace_back("sitemap.xml", std::move(sitemap));
        robots += "Sitemap: " + address_ + "sitemap.xml\n";
    }
    // Without an address and with indexing allowed, robots.txt would say
    // nothing a search engine does not assume.
    if (!address_.empty() || !index_) {
        files.emplace_back("robots.txt", std::move(robots));
    }
    if (!icon_.empty() && pictures_.encode) {
        AddIconFiles(files, notes);
    }
    for (const auto& [from, to] : moved_) {
        if (EntryExists(project_ + to)) {
            files.emplace_back(from, ForwardPage(to, address_, base_.language));
        }
    }
    return files;
}

void SiteRendering::AddIconFiles(std::vector<std::pair<std::string, std::string>>& files,
                                 std::vector<std::string>& notes) const {
    // favicon.ico holds the icon at 16, 32 and 48 pixels, each a PNG, as
    // every browser reads it.
    std::vector<std::string> sizes;
    for (const int width : {16, 32, 48}) {
        sizes.push_back(pictures_.encode(icon_, width, "png"));
        if (sizes.back().empty()) {
            notes.push_back("No icons were made: the site's icon cannot be read as a picture");
            return;
        }
    }
    files.emplace_back("favicon.ico", IconFile({16, 32, 48}, sizes));
    std::string manifest_icons;
    for (const auto& [name, width] : {std::pair<std::string_view, int>{kTouchIconFile, 180},
                                      {"icon-192.png", 192},
                                      {"icon-512.png", 512}}) {
        std::string png = pictures_.encode(icon_, width, "png");
        if (png.empty()) {
            notes.push_back("No icons were made: the site's icon cannot be read as a picture");
            return;
        }
        if (width != 180) {
            manifest_icons += std::string(manifest_icons.empty() ? "" : ",\n") +
                              "    {\"src\": \"" + std::string(name) + "\", \"sizes\": \"" +
                              std::to_string(width) + "x" + std::to_string(width) +
                              "\", \"type\": \"image/png\"}";
        }
        files.emplace_back(std::string(name), std::move(png));
    }
    const std::string name = JsonText(site_name_.empty() ? std::string("Site") : site_name_);
    files.emplace_back(std::string(kManifestFile),
                       "{\n  \"name\": " + name + ",\n  \"short_name\": " + name +
                           ",\n  \"start_url\": \"./\",\n  \"display\": \"browser\",\n"
                           "  \"icons\": [\n" +
                           manifest_icons + "\n  ]\n}\n");
}

std::map<std::string, std::string> SiteRendering::Variants() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return variants_;
}

bool IsEditorPage(std::string_view relative_path, std::string_view page_text) {
    return (EndsWithNoCase(relative_path, ".html") || EndsWithNoCase(relative_path, ".htm")) &&
           page_text.find(kDeclareBegin) != std::string_view::npos;
}

std::string RenderedFile(const std::string& project_folder, const std::string& relative_path,
                         const RenderOptions& options, bool& rendered) {
    rendered = false;
    if (!EndsWithNoCase(relative_path, ".html") && !EndsWithNoCase(relative_path, ".htm")) {
        return {};
    }
    const std::string text = ReadPageFile(Folder(project_folder) + relative_path);
    if (!IsEditorPage(relative_path, text)) {
        return {};
    }
    rendered = true;
    return RenderPage(text, options);
}

std::string OutputFolderProblem(const std::string& project_folder, const std::string& folder) {
    if (folder.empty()) {
        return "No folder was given for the site.";
    }
    const QString project = QFileInfo(Q(project_folder)).canonicalFilePath();
    // The folder may not exist yet: its nearest existing ancestor decides.
    QFileInfo target(QDir::cleanPath(QFileInfo(Q(folder)).absoluteFilePath()));
    QString missing;
    while (!target.exists() && target.absoluteFilePath() != "/") {
        missing = target.fileName() + (missing.isEmpty() ? "" : "/" + missing);
        target = QFileInfo(target.absolutePath());
    }
    QString resolved = target.canonicalFilePath();
    if (!missing.isEmpty()) {
        resolved += "/" + missing;
    }
    if (!project.isEmpty() && (resolved == project || resolved.startsWith(project + "/"))) {
        return "The folder " + folder +
               " is the project folder or inside it, so every copy of the site would copy "
               "the one before: choose a folder outside the project";
    }
    return {};
}

void SiteRendering::KnowHashes(const std::vector<publish::LocalFile>& files) {
    const std::lock_guard<std::mutex> guard(lock_);
    for (const publish::LocalFile& file : files) {
        if (!file.sha256.empty()) {
            hashes_[file.path] = file.sha256;
        }
    }
}

namespace {

// A made picture of the cache never changes (its name holds the picture's
// hash and the size), so its own hash is kept beside it ("HASH SIZE") and
// read back instead of reading the picture; a record that does not match the
// file's size is made again.
std::string CachedFileSha256(const std::string& cached, std::int64_t& size) {
    const std::string record_path = cached + ".sha256";
    size = std::int64_t(QFileInfo(Q(cached)).size());
    try {
        if (QFileInfo::exists(Q(record_path))) {
            const std::string record = ReadRegularFile(record_path);
            const std::size_t blank = record.find(' ');
            if (blank == 64 && record.substr(blank + 1) == std::to_string(size)) {
                return record.substr(0, blank);
            }
        }
    } catch (const CommandError&) {
        // read the picture itself
    }
    const std::string hash = publish::FileSha256(cached, &size);
    try {
        WriteCopyAtomically(record_path, hash + " " + std::to_string(size));
    } catch (const CommandError&) {
        // a cache that cannot be written only makes the next publish slower
    }
    return hash;
}

} // namespace

void RenderPagesForPublishing(const std::string& project_folder,
                              std::vector<publish::LocalFile>& files, const std::string& staging,
                              const PictureWork& pictures, std::vector<std::string>* site_notes,
                              const std::string& address) {
    SiteRendering site(project_folder, pictures, address);
    site.KnowHashes(files);
    const std::string out = Folder(staging);
    for (const publish::LocalFile& file : files) {
        const std::size_t slash = file.path.rfind('/');
        if (slash != std::string::npos) {
            QDir().mkpath(Q(out + file.path.substr(0, slash)));
        }
    }
    OnEveryCore(files.size(), [&](std::size_t index) {
        publish::LocalFile& file = files[index];
        bool rendered = false;
        const std::string page = site.RenderedFile(file.path, rendered);
        if (!rendered) {
            return;
        }
        file.full = out + file.path;
        WriteCopyAtomically(file.full, page);
        file.size = std::int64_t(page.size());
        file.sha256 = Sha256Of(page);
    });
    // The site's own files (robots.txt, sitemap.xml) beside the pages,
    // unless the project has its own.
    bool added = false;
    std::vector<std::string> notes;
    for (const auto& [path, bytes] : site.SiteFiles(notes)) {
        if (HoldsPath(files, path)) {
            continue;
        }
        publish::LocalFile generated;
        generated.path = path;
        generated.full = out + path;
        WriteCopyAtomically(generated.full, bytes);
        generated.size = std::int64_t(bytes.size());
        generated.sha256 = Sha256Of(bytes);
        files.push_back(std::move(generated));
        added = true;
    }
    if (site_notes != nullptr) {
        *site_notes = std::move(notes);
    }
    // The pictures made for the pages, sent from the cache; a file of the
    // project of the same name stays the project's.
    for (const auto& [path, cached] : site.Variants()) {
        if (HoldsPath(files, path)) {
            continue;
        }
        publish::LocalFile variant;
        variant.path = path;
        variant.full = cached;
        variant.sha256 = CachedFileSha256(cached, variant.size);
        files.push_back(std::move(variant));
        added = true;
    }
    if (added) {
        std::sort(files.begin(), files.end(),
                  [](const publish::LocalFile& a, const publish::LocalFile& b) {
                      return a.path < b.path;
                  });
    }
}

std::string WritePreviewRendering(const std::string& project_folder, const std::string& page_path,
                                  std::string_view page_text, const std::string& cache_folder,
                                  const PictureWork& pictures) {
    // The pictures at the sizes the page gives them; no variant is made for
    // a look at one page.
    PictureWork sizes_only = pictures;
    sizes_only.encode = nullptr;
    SiteRendering site(project_folder, sizes_only);
    const QString relative = QDir(Q(Folder(project_folder)))
                                 .relativeFilePath(QFileInfo(Q(page_path)).absoluteFilePath());
    std::string html =
        RenderPage(page_text, site.OptionsFor(QFile::encodeName(relative).toStdString()));
    const QFileInfo page(Q(page_path));
    const std::string base =
        QUrl::fromLocalFile(page.absolutePath() + "/").toString(QUrl::FullyEncoded).toStdString();
    const std::size_t head = html.find("<head>\n");
    if (head != std::string::npos) {
        html.insert(head + 7, "<base href=\"" + base + "\">\n");
    }
    const std::string folder = Folder(cache_folder) + "as-published/";
    if (!QDir().mkpath(Q(folder))) {
        throw CommandError("Cannot create folder \"" + folder + "\". Permission denied");
    }
    const std::string path = folder + page.fileName().toStdString();
    WriteFileAtomically(path, html);
    return path;
}

ExportReport ExportSite(const std::string& project_folder, const std::string& folder,
                        const PictureWork& pictures) {
    const std::string problem = OutputFolderProblem(project_folder, folder);
    if (!problem.empty()) {
        throw CommandError(problem);
    }
    const std::string out = Folder(folder);
    if (!QDir().mkpath(Q(out))) {
        throw CommandError("Cannot create folder \"" + out + "\". Permission denied");
    }
    const publish::ProjectFiles files = publish::FilesToPublish(project_folder);
    SiteRendering site(project_folder, pictures);
    ExportReport report;
    report.skipped = files.skipped;
    // Folders first, on this thread; then the files on every core.
    for (const publish::LocalFile& file : files.files) {
        const std::size_t slash = file.path.rfind('/');
        if (slash != std::string::npos && !QDir().mkpath(Q(out + file.path.substr(0, slash)))) {
            throw CommandError("Cannot create folder \"" + out + file.path.substr(0, slash) +
                               "\". Permission denied");
        }
    }
    std::atomic<int> pages{0};
    std::atomic<int> copied{0};
    OnEveryCore(files.files.size(), [&](std::size_t index) {
        const publish::LocalFile& file = files.files[index];
        bool rendered = false;
        const std::string page = site.RenderedFile(file.path, rendered);
        if (rendered) {
            WriteCopyAtomically(out + file.path, page);
            ++pages;
        } else {
            CopyInto(file.full, out + file.path);
            ++copied;
        }
    });
    for (const auto& [path, cached] : site.Variants()) {
        if (!HoldsPath(files.files, path)) {
            CopyInto(cached, out + path);
            ++report.variants;
        }
    }
    for (const auto& [path, bytes] : site.SiteFiles(report.notes)) {
        if (!HoldsPath(files.files, path)) {
            WriteCopyAtomically(out + path, bytes);
        }
    }
    // Everything written reaches the disk at once, not file by file.
    if (const int folder = ::open(out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); folder >= 0) {
        const int error = ::syncfs(folder) == 0 ? 0 : errno;
        ::close(folder);
        if (error != 0) {
            throw CommandError("The site was written to " + out + " but could not be synced (" +
                               std::strerror(error) + ")");
        }
    }
    report.pages = pages;
    report.files = copied;
    return report;
}

} // namespace qf::render
