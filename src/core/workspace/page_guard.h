#pragma once

#include <QLockFile>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qf {

// What the workspace last read from or wrote to a page file: the file's size
// and modification time, and a hash of the page text it holds. Before a
// write the file on disk is compared with it, so a change made by another
// program is never overwritten unasked.
struct PageFileRecord {
    std::int64_t size = -1; // -1: nothing known yet
    std::int64_t modified_ns = 0;
    std::size_t text_hash = 0;

    bool Known() const { return size >= 0; }
};

std::size_t PageTextHash(std::string_view text);

// The size and modification time of a file (the hash left 0); nothing when
// the file is not there.
std::optional<PageFileRecord> StampOfFile(const std::string& path);

// True when the file at `path` still holds what `record` says: the same size
// and modification time, or else, read again, the same page text (a file
// rewritten with the same text takes its new stamp into `record`). A record
// of nothing known matches anything; a missing or unreadable file matches
// nothing.
bool FileMatchesRecord(PageFileRecord& record, const std::string& path);

// ".NAME.lock" beside the page file NAME: the lock every writer of the page
// holds while it reads, changes and writes the page.
std::string PageLockPath(const std::string& page_path);

// "NAME is being changed by another program"
std::string PageBusyMessage(std::string_view page_name);

// Holds the lock of one page while it lives. Waits up to `wait_ms` for a
// lock another process holds, then throws CommandError with
// PageBusyMessage; a lock left by a process that is gone is taken over. In a
// folder where no lock file can be made (nothing can be written there
// either) it holds nothing, and the write reports its own error.
class PageLock {
public:
    PageLock(const std::string& page_path, int wait_ms);
    PageLock(const PageLock&) = delete;
    PageLock& operator=(const PageLock&) = delete;

    const std::string& page_path() const { return page_path_; }

private:
    std::string page_path_;
    QLockFile lock_;
};

} // namespace qf
