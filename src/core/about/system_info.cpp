#include "about/system_info.h"

#include <QFile>
#include <QLocale>

#include <cstdio>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

namespace qf {

std::string OsLine(const OsVersion& version) {
    std::string line =
        version.name + " " + std::to_string(version.major) + "." + std::to_string(version.minor);
    if (!version.known_family) {
        return line;
    }
    line += " (Build " + std::to_string(version.build);
    if (!version.service_pack.empty()) {
        line += ": " + version.service_pack;
    }
    return line + ")";
}

OsVersion WindowsVersion(int platform_id, int major, int minor, std::uint32_t build_number,
                         std::string_view csd_version) {
    OsVersion version;
    version.major = major;
    version.minor = minor;
    version.service_pack = std::string(csd_version);
    switch (platform_id) {
    case 1:
        version.name = "Windows 95";
        version.build = build_number & 0xFFFFu;
        break;
    case 2:
        version.name = "Windows NT";
        version.build = build_number;
        break;
    default:
        version.name = "Windows";
        version.build = 0;
        version.known_family = false;
        break;
    }
    return version;
}

namespace {

// The value of `key` in os-release text (KEY=value or KEY="value").
std::string OsReleaseValue(std::string_view text, std::string_view key) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() > key.size() && line.substr(0, key.size()) == key &&
            line[key.size()] == '=') {
            std::string_view value = line.substr(key.size() + 1);
            while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) {
                value.remove_suffix(1);
            }
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            std::string unescaped;
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (value[i] == '\\' && i + 1 < value.size()) {
                    ++i;
                }
                unescaped += value[i];
            }
            return unescaped;
        }
    }
    return {};
}

// The leading decimal number of `text` from `pos`, moving `pos` past it.
int ReadNumber(std::string_view text, std::size_t& pos) {
    long long number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (number < 1000000000) {
            number = number * 10 + (text[pos] - '0');
        }
        ++pos;
    }
    return int(number);
}

} // namespace

OsVersion LinuxVersion(std::string_view os_release, std::string_view kernel_release,
                       std::string_view kernel_version) {
    OsVersion version;
    version.name = OsReleaseValue(os_release, "PRETTY_NAME");
    if (version.name.empty()) {
        version.name = OsReleaseValue(os_release, "NAME");
    }
    if (version.name.empty()) {
        version.name = "Linux";
    }
    std::size_t pos = 0;
    version.major = ReadNumber(kernel_release, pos);
    if (pos < kernel_release.size() && kernel_release[pos] == '.') {
        ++pos;
        version.minor = ReadNumber(kernel_release, pos);
    }
    if (!kernel_version.empty() && kernel_version.front() == '#') {
        std::size_t build_pos = 1;
        version.build = ReadNumber(kernel_version, build_pos);
    }
    if (!kernel_release.empty()) {
        version.service_pack = "kernel " + std::string(kernel_release);
    }
    return version;
}

OsVersion CurrentOsVersion() {
    std::string os_release;
    for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            os_release = file.readAll().toStdString();
            break;
        }
    }
    utsname names{};
    if (::uname(&names) != 0) {
        return LinuxVersion(os_release, "", "");
    }
    return LinuxVersion(os_release, names.release, names.version);
}

std::string MemoryLine(std::uint64_t bytes, std::string_view separator) {
    const std::string digits = std::to_string(bytes >> 10);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += separator;
        }
        grouped += digits[i];
    }
    return grouped + " KB";
}

std::uint64_t PhysicalMemoryBytes() {
    struct sysinfo info {};
    if (::sysinfo(&info) != 0) {
        return 0;
    }
    return std::uint64_t(info.totalram) * info.mem_unit;
}

std::string CurrentMemoryLine() {
    const QLocale locale;
    const std::string separator = (locale.numberOptions() & QLocale::OmitGroupSeparator)
                                      ? std::string()
                                      : locale.groupSeparator().toStdString();
    return MemoryLine(PhysicalMemoryBytes(), separator);
}

} // namespace qf
