#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qf {

// The facts the about box shows of the operating system: a name, a version,
// a build and a service-pack text.
struct OsVersion {
    std::string name;
    int major = 0;
    int minor = 0;
    std::int64_t build = 0;
    std::string service_pack;
    bool known_family = true; // false: the line shows name and version only
};

// The operating-system line: "%s %d.%d" for an unknown family, else
// "%s %d.%d (Build %d: %s)" with a service-pack text or "%s %d.%d (Build %d)"
// without one.
std::string OsLine(const OsVersion& version);

// A Windows version record as GetVersionExA fills it: platform id 1 is the
// Windows 95 family (only the low 16 bits of the build number count), 2 the
// NT family, anything else plain "Windows" with build 0.
OsVersion WindowsVersion(int platform_id, int major, int minor, std::uint32_t build_number,
                         std::string_view csd_version);

// The version of a Linux system: the distribution's name from the text of
// /etc/os-release (PRETTY_NAME, else NAME, else "Linux"), the kernel's
// version from its release ("6.1.0-18-amd64": 6.1), the build from the
// kernel's build count at the start of its version ("#1 SMP ...": 1), and
// "kernel " + release as the service-pack text.
OsVersion LinuxVersion(std::string_view os_release, std::string_view kernel_release,
                       std::string_view kernel_version);

// This machine's version (reads /etc/os-release and uname).
OsVersion CurrentOsVersion();

// The memory line: whole kilobytes (bytes shifted right by 10) with digits
// grouped in thousands by `separator`, then " KB": 536330240 bytes with ","
// give "523,760 KB".
std::string MemoryLine(std::uint64_t bytes, std::string_view separator);

// This machine's total physical memory in bytes (sysinfo); 0 when unknown.
std::uint64_t PhysicalMemoryBytes();

// MemoryLine of this machine with the user's thousands separator.
std::string CurrentMemoryLine();

} // namespace qf
