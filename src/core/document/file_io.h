#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace qf {

// Files are opened by the bytes of their path exactly as given, so a name that
// is not valid UTF-8 is found as well. Every error names the file and the
// system's reason ("No space left on device").

// The largest file taken as a page (256 MB).
inline constexpr std::int64_t kMaxPageFileSize = std::int64_t(256) << 20;

// What kind of directory entry a file mode describes, as a message ends:
// "It is a folder, not a page file." Empty for a regular file.
std::string NotARegularFileReason(mode_t mode);

// Why `path` cannot be taken as a page file: missing (the system's reason),
// not a regular file (what it is instead); empty when it is a regular file.
// Symbolic links are followed; a link to nothing is reported as such.
std::string PageFileProblem(const std::string& path);

// True when a directory entry of this name exists, a symbolic link to nothing
// included.
bool EntryExists(const std::string& path);

// The size of the file in bytes, or 0 when it cannot be read.
std::int64_t FileSizeOf(const std::string& path);

// The part of a path after its last "/".
std::string_view BaseName(std::string_view path);

// The absolute folder a file path lies in, ending in "/"; a relative path is
// taken from the current folder.
std::string FolderOfFile(const std::string& path);

// True when `path` is a folder (symbolic links followed).
bool IsFolder(const std::string& path);

// Reads a whole regular file into a string. Refuses, naming what the path is,
// anything but a regular file (a FIFO is not waited on, a device not read) and
// a file larger than kMaxPageFileSize. Throws CommandError.
std::string ReadRegularFile(const std::string& path);

// Replaces a file atomically: the bytes go to a new file in the same folder,
// which is flushed, synced and closed, every step checked, and only then
// renamed over the old one. The new file keeps the old one's owner and group
// (where the system allows it) and every mode bit; a new file gets the mode
// the umask leaves. A path that is a symbolic link to a file writes that file;
// a link to nothing is replaced by the new file itself. Refuses an existing
// file without any write permission bit with "NAME is read-only", and anything
// but a regular file. Until Commit() nothing is visible; a SaveFile destroyed
// without Commit() leaves the old file as it was.
class SaveFile {
public:
    explicit SaveFile(const std::string& path);
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // Throws CommandError on a failed write; the old file stays.
    void Write(std::string_view bytes);
    // Throws CommandError when any step fails; the old file stays.
    void Commit();

private:
    [[noreturn]] void Fail(const char* action, int error);
    void WriteOut(const char* data, std::size_t size);

    std::string path_;   // as given, for messages
    std::string target_; // the file that is replaced
    std::string temp_;   // the new file until it is renamed
    int fd_ = -1;
    bool existed_ = false;
    struct stat old_ {};
    std::string buffer_;
};

// Writes `bytes` as the whole content of `path` through a SaveFile: the
// old file stays whole on any failure.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace qf
