#include "workspace/page_guard.h"

#include "document/page_file.h"
#include "error.h"

#include <QFileInfo>

#include <filesystem>
#include <functional>
#include <system_error>

namespace qf {

std::size_t PageTextHash(std::string_view text) {
    return std::hash<std::string_view>{}(text);
}

std::optional<PageFileRecord> StampOfFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file(path);
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return std::nullopt;
    }
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error) {
        return std::nullopt;
    }
    PageFileRecord record;
    record.size = std::int64_t(size);
    record.modified_ns = std::int64_t(
        std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count());
    return record;
}

bool FileMatchesRecord(PageFileRecord& record, const std::string& path) {
    if (!record.Known()) {
        return true;
    }
    const std::optional<PageFileRecord> stamp = StampOfFile(path);
    if (!stamp) {
        return false;
    }
    if (stamp->size == record.size && stamp->modified_ns == record.modified_ns) {
        return true;
    }
    std::string text;
    try {
        text = ReadPageFile(path);
    } catch (const CommandError&) {
        return false;
    }
    if (PageTextHash(text) != record.text_hash) {
        return false;
    }
    record.size = stamp->size;
    record.modified_ns = stamp->modified_ns;
    return true;
}

std::string PageLockPath(const std::string& page_path) {
    const QFileInfo info(QString::fromStdString(page_path));
    return (info.absolutePath() + "/." + info.fileName() + ".lock").toStdString();
}

std::string PageBusyMessage(std::string_view page_name) {
    return std::string(page_name) + " is being changed by another program";
}

PageLock::PageLock(const std::string& page_path, int wait_ms)
    : page_path_(page_path), lock_(QString::fromStdString(PageLockPath(page_path))) {
    if (!lock_.tryLock(wait_ms) && lock_.error() == QLockFile::LockFailedError) {
        throw CommandError(
            PageBusyMessage(QFileInfo(QString::fromStdString(page_path)).fileName().toStdString()));
    }
}

} // namespace qf
