#pragma once

#include "error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace qf {

// Files are opened by the bytes of their path exactly as given, so a name that
// is not valid UTF-8 is found as well. Every error names the file and the
// system's reason ("No space left on device").

// Lets a write past the file-size limit (ulimit -f) fail with EFBIG ("File
// too large") and be reported as any failed write, instead of the signal
// ending the program without a word. Called first by both programs.
void TreatFileSizeLimitAsWriteError();

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
// With `reading`, also the file's state and the hash of its bytes.
struct FileReading;
std::string ReadRegularFile(const std::string& path, FileReading* reading = nullptr);

// A file as it was when it was last looked at: enough to tell, right before
// a save, whether anything replaced, rewrote or removed it since.
struct FileState {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified_ns = 0;

    bool operator==(const FileState&) const = default;
};

FileState FileStateOf(const struct stat& info);

// The state of the file at `path` (links followed); a file that is not there
// is a state of its own. Throws CommandError naming the file and the system's
// reason when it cannot be looked at (no ENOENT).
FileState CurrentFileState(const std::string& path);

// A hash of bytes fed in pieces of any size: the same bytes give the same
// value however they are cut. Four independent runs over the words, so that
// a page of megabytes is hashed at the speed of memory.
class ByteHash {
public:
    void Add(std::string_view bytes);
    std::size_t Value() const;

private:
    void AddBlock(const char* block);

    std::uint64_t lanes_[4] = {1, 2, 3, 4};
    char carry_[32] = {};
    std::size_t carried_ = 0;
    std::uint64_t length_ = 0;
};

std::size_t HashOfBytes(std::string_view bytes);

// A page, a script or a picture that another program changed, replaced or
// removed while it was being saved: nothing was written.
class OutsideChangeError : public CommandError {
public:
    OutsideChangeError(const std::string& message, bool deleted)
        : CommandError(message), deleted_(deleted) {}
    bool deleted() const { return deleted_; }

private:
    bool deleted_;
};

// "NAME was changed by another program; nothing was written"
std::string ChangedMessage(std::string_view name);
// "NAME was deleted by another program"
std::string DeletedMessage(std::string_view name);
// "NAME was made by another program meanwhile; nothing was written"
std::string MadeMessage(std::string_view name);

// Replaces a file atomically: the bytes go to a new file in the same folder,
// which is flushed, synced and closed, every step checked, and only then
// renamed over the old one; the folder is synced after it. The new file keeps
// the old one's owner and group (where the system allows it) and every mode
// bit; a new file gets the mode the umask leaves. A path that is a symbolic
// link to a file writes that file; a link to nothing is replaced by the new
// file itself. Refuses with "NAME is read-only" an existing file without any
// write permission bit or one the user may not write (access(2)), and
// anything but a regular file. Until Commit() nothing is visible; a SaveFile
// destroyed without Commit() leaves the old file as it was.
//
// The hidden new file is named after the target and the writing process, so
// a save that a killed run left behind is recognised and removed by the next
// save of the same file.
//
// A file with more than one name (hard links) is not renamed over, which
// would leave the other names on the old file: once the new file is whole
// and synced, it is kept as ".NAME.PID-RANDOM.copy" and its bytes are
// written over the old file in place, which is then synced; the copy goes
// only after that. A write that fails puts the old bytes back; a run killed
// in the middle leaves the whole new file in the copy, which no save
// removes. The outside-change check looks at the file right before it is
// overwritten.
class SaveFile {
public:
    explicit SaveFile(const std::string& path);
    ~SaveFile();
    SaveFile(const SaveFile&) = delete;
    SaveFile& operator=(const SaveFile&) = delete;

    // Right before the rename the target must still be in this state (when it
    // does not exist, nothing may have been made there meanwhile); otherwise
    // the save is undone and OutsideChangeError thrown. A change that comes
    // between that last look and the rename is seen after it where the system
    // can swap the two files, and the old file is put back.
    void ExpectTarget(const FileState& state);
    // The file may not grow beyond `bytes`: a write past it fails, and
    // nothing is written.
    void LimitSize(std::int64_t bytes, std::string reason);
    // Neither the file nor its folder is synced: for copies that are made
    // again from the project at will (a rendered site, its staging), whose
    // writer syncs the whole folder once at its end, if at all. The file is
    // still whole or absent, never half written.
    void SkipSync() { sync_ = false; }

    // Throws CommandError on a failed write; the old file stays.
    void Write(std::string_view bytes);
    // Throws CommandError when any step fails; the old file stays. A folder
    // that cannot be synced after the rename leaves the new file in place:
    // that is thrown as NotDurableError, once the file is there.
    void Commit();

    // After Commit(): the new file's state and the hash of every byte written.
    const FileState& written() const { return written_; }
    std::size_t written_hash() const { return hash_.Value(); }

private:
    [[noreturn]] void Fail(const char* action, int error);
    void WriteOut(const char* data, std::size_t size);
    void Rename();
    void WriteInPlace();

    std::string path_;   // as given, for messages
    std::string target_; // the file that is replaced
    std::string temp_;   // the new file until it is renamed
    int fd_ = -1;
    bool existed_ = false;
    struct stat old_ {};
    std::string buffer_;
    bool expect_ = false;
    FileState expected_;
    std::int64_t limit_ = -1;
    std::string limit_reason_;
    bool sync_ = true;
    std::int64_t size_ = 0;
    ByteHash hash_;
    FileState written_;
};

// A file that was written whole but whose folder could not be synced: the
// change is there, but may not survive a crash of the system.
class NotDurableError : public CommandError {
public:
    using CommandError::CommandError;
};

// Writes `bytes` as the whole content of `path` through a SaveFile: the
// old file stays whole on any failure. With `expected`, as ExpectTarget.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         const FileState* expected = nullptr);
// The same without syncing (SaveFile::SkipSync).
void WriteCopyAtomically(const std::string& path, std::string_view bytes);

// Copies the regular file `source` to `target`, which must not exist yet,
// through a SaveFile: on any failure nothing is left at `target`. Throws
// OutsideChangeError when `target` was made meanwhile.
void CopyFileAtomically(const std::string& source, const std::string& target);

// How a file was read: its state while it was read and a hash of its bytes.
struct FileReading {
    FileState state;
    std::size_t hash = 0;
};

// Reads the file in pieces into `hash` only; nothing when it is not there.
// A file that changed while it was read gives no reading. Throws CommandError
// when it cannot be read.
std::optional<FileReading> HashFile(const std::string& path);

} // namespace qf
