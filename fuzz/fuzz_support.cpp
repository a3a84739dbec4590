#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qf::fuzz {

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

void RemoveFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

} // namespace

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        RemoveFolder(); // abort skips what atexit would do
        std::abort();
    }
}

const std::string& TemporaryFolder() {
    std::string& folder = Folder();
    if (folder.empty()) {
        const char* tmpdir = std::getenv("TMPDIR");
        for (const char* base : {tmpdir, "/dev/shm", "/tmp"}) {
            if (base == nullptr || *base == '\0') {
                continue;
            }
            std::string name = std::string(base) + "/quenfort-fuzz-XXXXXX";
            if (::mkdtemp(name.data()) != nullptr) {
                folder = name + "/";
                break;
            }
        }
        Require(!folder.empty(), "cannot make a temporary folder");
        std::atexit(RemoveFolder);
    }
    return folder;
}

} // namespace qf::fuzz
