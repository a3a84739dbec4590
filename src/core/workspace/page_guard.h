#pragma once

#include "document/file_io.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qf {

// What the workspace last read from or wrote to a page file: the file's
// state, a hash of its bytes and a hash of the page text it holds. Before a
// write the file on disk is read and hashed again (size and time alone miss
// a copy made with its times, or a write within one tick of a coarse clock),
// so a change made by another program is never overwritten unasked.
struct PageFileRecord {
    std::int64_t size = -1; // -1: nothing known yet
    std::int64_t modified_ns = 0;
    std::size_t text_hash = 0;
    std::size_t file_hash = 0;
    FileState state;

    bool Known() const { return size >= 0; }
};

std::size_t PageTextHash(std::string_view text);

// The record of a file as read or written.
PageFileRecord RecordOf(const FileState& state, std::size_t file_hash, std::size_t text_hash);

// True when the file at `path` still holds what `record` says: the same
// bytes, or else, read again, the same page text (a file rewritten with the
// same text takes its new state into `record`). A record of nothing known
// matches anything. A missing file matches nothing; a file that cannot be
// looked at or read throws CommandError with the system's reason. `seen`,
// when given, gets the state the file was found in.
bool FileMatchesRecord(PageFileRecord& record, const std::string& path, FileState* seen = nullptr);

// The lock file of the page file at `page_path`: in the folder of the real
// file (links resolved), named by the identity of that folder and the file's
// name there, so every name of one file has one lock, and the lock's name is
// short whatever the page is called. Throws CommandError when the page's
// folder cannot be looked at.
std::string PageLockPath(const std::string& page_path);

// "NAME is being changed by another program"
std::string PageBusyMessage(std::string_view page_name);

// The lock another process holds, thrown with PageBusyMessage.
class PageBusyError : public CommandError {
public:
    using CommandError::CommandError;
};

// Holds the lock of one page while it lives: every writer of the page holds
// it while it reads, changes and writes the page. Waits up to `wait_ms` for a
// lock another process holds, then throws CommandError with PageBusyMessage.
// The lock is the system's lock on the open lock file (flock), so it ends
// with the process that held it, however that ended; what a lock file holds
// means nothing, and a lock file that cannot even be opened (another user's,
// unreadable) is taken as left over after a short look and replaced. A lock
// that cannot be made (a full disk, a folder that cannot be written, a folder
// where the lock file should be) throws CommandError with the reason: no page
// is written without its lock. The lock file is not synced: after a crash no
// lock is held anyway.
class PageLock {
public:
    PageLock(const std::string& page_path, int wait_ms);
    ~PageLock();
    PageLock(const PageLock&) = delete;
    PageLock& operator=(const PageLock&) = delete;

    const std::string& page_path() const { return page_path_; }
    const std::string& lock_path() const { return lock_path_; }

private:
    std::string page_path_;
    std::string lock_path_;
    int fd_ = -1;
};

} // namespace qf
