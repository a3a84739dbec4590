#include "about/system_info.h"

#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(SystemInfo, WindowsLinesFollowThePlatformFamily) {
    EXPECT_EQ(OsLine(WindowsVersion(2, 5, 1, 2600, "Service Pack 2")),
              "Windows NT 5.1 (Build 2600: Service Pack 2)");
    EXPECT_EQ(OsLine(WindowsVersion(2, 5, 0, 2195, "")), "Windows NT 5.0 (Build 2195)");
    // The 95 family keeps version bits in the high word of the build number.
    EXPECT_EQ(OsLine(WindowsVersion(1, 4, 10, 0x040A08AEu, " A ")),
              "Windows 95 4.10 (Build 2222:  A )");
    EXPECT_EQ(OsLine(WindowsVersion(1, 4, 90, 0x045A0BB8u, "")), "Windows 95 4.90 (Build 3000)");
    EXPECT_EQ(OsLine(WindowsVersion(3, 6, 2, 9200, "ignored")), "Windows 6.2");
}

TEST(SystemInfo, LinuxLineNamesTheDistributionAndTheKernel) {
    const char* os_release = "NAME=\"Debian GNU/Linux\"\n"
                             "VERSION_ID=\"12\"\n"
                             "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n";
    EXPECT_EQ(OsLine(LinuxVersion(os_release, "6.1.0-18-amd64",
                                  "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)")),
              "Debian GNU/Linux 12 (bookworm) 6.1 (Build 1: kernel 6.1.0-18-amd64)");
    // NAME stands in for a missing PRETTY_NAME; quotes are optional.
    EXPECT_EQ(OsLine(LinuxVersion("NAME=Arch\nID=arch\n", "6.9.7-arch1-1", "#23 SMP")),
              "Arch 6.9 (Build 23: kernel 6.9.7-arch1-1)");
    EXPECT_EQ(OsLine(LinuxVersion("", "", "")), "Linux 0.0 (Build 0)");
    // The line of this machine is well formed.
    const std::string line = OsLine(CurrentOsVersion());
    EXPECT_NE(line.find(" (Build "), std::string::npos) << line;
}

TEST(SystemInfo, MemoryIsWholeKilobytesInThousands) {
    EXPECT_EQ(MemoryLine(536330240, ","), "523,760 KB");
    EXPECT_EQ(MemoryLine(536330240, "."), "523.760 KB");
    EXPECT_EQ(MemoryLine(1023, ","), "0 KB");
    EXPECT_EQ(MemoryLine(999 * 1024 + 1023, ","), "999 KB");
    EXPECT_EQ(MemoryLine(1000 * 1024, ","), "1,000 KB");
    EXPECT_EQ(MemoryLine(17179869184ull, "\xE2\x80\xAF"), "16\xE2\x80\xAF"
                                                          "777\xE2\x80\xAF"
                                                          "216 KB");
    EXPECT_GT(PhysicalMemoryBytes(), 0u);
}

} // namespace
} // namespace qf
