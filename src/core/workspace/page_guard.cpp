#include "workspace/page_guard.h"

#include "document/page_file.h"
#include "error.h"

#include <QFileInfo>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qf {

namespace {

constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

std::uint64_t Mix(std::uint64_t hash, std::uint64_t word) {
    hash = (hash ^ word) * kMultiplier;
    return hash ^ (hash >> 32);
}

std::uint64_t Word(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

} // namespace

// Four independent runs over the words, so that a page of megabytes is
// hashed at the speed of memory; then the rest and the length.
std::size_t PageTextHash(std::string_view text) {
    std::uint64_t lanes[4] = {1, 2, 3, 4};
    const char* at = text.data();
    std::size_t left = text.size();
    for (; left >= 32; at += 32, left -= 32) {
        for (int lane = 0; lane < 4; ++lane) {
            lanes[lane] = Mix(lanes[lane], Word(at + 8 * lane));
        }
    }
    std::uint64_t hash = Mix(Mix(lanes[0], lanes[1]), Mix(lanes[2], lanes[3]));
    for (; left >= 8; at += 8, left -= 8) {
        hash = Mix(hash, Word(at));
    }
    char tail[8] = {};
    if (left > 0) {
        std::memcpy(tail, at, left);
    }
    hash = Mix(Mix(hash, Word(tail)), text.size());
    return std::size_t(Mix(hash, hash >> 29));
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
