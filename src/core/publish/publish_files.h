#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace qf::publish {

// A file of the project folder that publishing sends.
struct LocalFile {
    std::string path; // relative to the project folder, "/" between folders
    std::string full; // the file's own path on this computer
    std::int64_t size = 0;
    std::string sha256; // lower-case hexadecimal
};

// What FilesToPublish found and what it left out, with the reason.
struct ProjectFiles {
    std::vector<LocalFile> files;     // sorted by path
    std::vector<std::string> skipped; // "PATH: reason"
};

// The editor's own files in a project folder: never published, never deleted.
inline constexpr std::string_view kTargetsFileName = ".quenfort-publish-targets";
inline constexpr std::string_view kKnownHostsFileName = ".quenfort-publish-known-hosts";
// FTPS certificates the user accepted, pinned by their public key.
inline constexpr std::string_view kKnownCertificatesFileName =
    ".quenfort-publish-known-certificates";
std::string ManifestFileName(std::string_view target); // ".quenfort-publish-TARGET.manifest"
// A git target's record of the commit it last pushed: ".quenfort-publish-TARGET.git".
std::string GitRecordFileName(std::string_view target);

// True for a name publishing leaves alone: hidden names (lock files,
// temporary save files and the publish files all are) and editor files.
bool IsEditorOrHiddenName(std::string_view name);

// Every file publishing sends from `project_folder`: pages, js.js and every
// other file in it and its folders, minus hidden files and folders and the
// editor's own files. A link is followed only to a regular file inside the
// project folder. Each file is hashed with SHA-256. Throws CommandError when
// the folder or a file cannot be read.
ProjectFiles FilesToPublish(const std::string& project_folder);

// SHA-256 of a file's bytes as lower-case hexadecimal; its size through `size`.
std::string FileSha256(const std::string& path, std::int64_t* size = nullptr);

// What a target holds because we published it.
struct ManifestEntry {
    std::int64_t size = 0;
    std::string sha256;
};
using Manifest = std::map<std::string, ManifestEntry>;

// The lines of a small settings file (the manifest, the targets), without
// empty lines and "#" comments.
std::vector<std::string> ReadSettingLines(const std::string& file);

// The lines of a text, each without its line feed and a carriage return
// before it; a last line without a line feed counts too.
std::vector<std::string> TextLines(std::string_view text);

// Reads a manifest file; a missing file is an empty manifest. Throws
// CommandError for a file that cannot be read or is not a manifest.
Manifest ReadManifest(const std::string& file);
// Writes the manifest atomically (the old one stays whole on any failure).
void WriteManifest(const std::string& file, const Manifest& manifest);

} // namespace qf::publish
