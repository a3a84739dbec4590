// Page files under hostile conditions, end to end through the command line: a
// full disk, a file-size limit, failing system calls, odd permissions, things
// that are not regular files, links to nothing, names that are not UTF-8.
#include "cli_runner.h"
#include "test_pages.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace qf {
namespace {

using test::CliResult;
using test::RawRun;
using test::RunCliRaw;

using test::ReadBytes;
using test::WriteBytes;

std::string RealPath(const std::string& path) {
    char real[PATH_MAX];
    return ::realpath(path.c_str(), real) != nullptr ? std::string(real) : path;
}

// A page file of about `size` bytes whose one area holds a long run of text.
std::string PageBytes(std::size_t size) {
    std::string words;
    while (words.size() + 900 < size) {
        words += "several words of text ";
    }
    return "\r\n" + test::PageWith("<!---Table1---!>", test::TableArea(1, words)) + "\r\n\r\n";
}

// Every entry of a folder, by the bytes of its name.
std::size_t EntriesIn(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

class PageFileCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = RealPath(project_.path().toStdString());
        page_ = folder_ + "/index.html";
        data_env_ = "XDG_DATA_HOME=" + data_home_.path().toStdString();
        // The application folder is filled now, so no later run writes there.
        ASSERT_EQ(Run({"layouts"}).status, 0);
    }
    CliResult Run(std::vector<std::string> args, std::vector<std::string> env = {}) const {
        RawRun run;
        run.args = std::move(args);
        run.env = std::move(env);
        run.env.push_back(data_env_);
        return RunCliRaw(run);
    }
    // The three commands that write a page, each on the page at page_.
    std::vector<std::vector<std::string>> WritingCommands() const {
        return {{"insert", page_, "Area1", "Text", "text=more"},
                {"page-properties", page_, "heading=Home"},
                {"new-page", folder_, "index", "replace=yes", "header=Home"}};
    }

    QTemporaryDir project_;
    QTemporaryDir data_home_;
    std::string folder_;
    std::string page_;
    std::string data_env_;
};

TEST_F(PageFileCli, AFailedWriteKeepsTheOldPageExitsOneAndNamesTheReason) {
    struct Failure {
        const char* what;
        std::vector<std::string> env; // through the shim
        long limit;                   // RLIMIT_FSIZE
        const char* reason;
    };
    const std::string shim = "LD_PRELOAD=" QUENFORT_WRITE_FAILURE_SHIM;
    const std::string under = "QF_FAIL_UNDER=" + folder_ + "/";
    const std::vector<Failure> failures = {
        {"file-size limit", {}, 64, "File too large"},
        {"full disk",
         {shim, under, "QF_FAIL_CALL=write", "QF_FAIL_ERRNO=28"},
         -1,
         "No space left on device"},
        {"failing sync",
         {shim, under, "QF_FAIL_CALL=fsync", "QF_FAIL_ERRNO=5"},
         -1,
         "Input/output error"},
        {"failing close",
         {shim, under, "QF_FAIL_CALL=close", "QF_FAIL_ERRNO=122"},
         -1,
         "Disk quota exceeded"},
    };
    for (const std::size_t size : {1000u, 10'000u, 100'000u}) {
        const std::string old_bytes = PageBytes(size);
        for (const Failure& failure : failures) {
            for (const std::vector<std::string>& command : WritingCommands()) {
                WriteBytes(page_, old_bytes);
                RawRun run;
                run.args = command;
                run.env = failure.env;
                run.env.push_back(data_env_);
                run.file_size_limit = failure.limit;
                const CliResult result = RunCliRaw(run);
                const std::string context =
                    command[0] + " on " + std::to_string(size) + " bytes, " + failure.what;
                EXPECT_EQ(result.status, 1) << context;
                EXPECT_EQ(result.out, "") << context;
                EXPECT_NE(result.err.find(failure.reason), std::string::npos)
                    << context << ": " << result.err;
                EXPECT_NE(result.err.find(page_), std::string::npos) << context;
                EXPECT_EQ(ReadBytes(page_), old_bytes) << context;
                EXPECT_EQ(EntriesIn(folder_), 1u) << context << ": a file was left behind";
            }
        }
    }
}

TEST_F(PageFileCli, SavingKeepsOwnerGroupAndEveryModeBit) {
    for (const std::vector<std::string>& command : WritingCommands()) {
        WriteBytes(page_, PageBytes(1000));
        const bool root = ::geteuid() == 0;
        if (root) {
            ASSERT_EQ(::chown(page_.c_str(), 1234, 5678), 0);
        }
        ASSERT_EQ(::chmod(page_.c_str(), S_ISGID | S_ISVTX | 0664), 0);
        const CliResult result = Run(command);
        EXPECT_EQ(result.status, 0) << command[0] << ": " << result.err;
        struct stat info {};
        ASSERT_EQ(::stat(page_.c_str(), &info), 0);
        EXPECT_NE(ReadBytes(page_), PageBytes(1000)) << command[0];
        EXPECT_EQ(info.st_mode & 07777, unsigned(S_ISGID | S_ISVTX | 0664)) << command[0];
        if (root) {
            EXPECT_EQ(info.st_uid, 1234u) << command[0];
            EXPECT_EQ(info.st_gid, 5678u) << command[0];
        }
    }
}

TEST_F(PageFileCli, APageWithoutWritePermissionIsRefusedAndKept) {
    for (const std::vector<std::string>& command : WritingCommands()) {
        const std::string old_bytes = PageBytes(1000);
        WriteBytes(page_, old_bytes);
        ASSERT_EQ(::chmod(page_.c_str(), 0444), 0);
        const CliResult result = Run(command);
        EXPECT_EQ(result.status, 1) << command[0];
        EXPECT_EQ(result.err, "index.html is read-only\n") << command[0];
        EXPECT_EQ(ReadBytes(page_), old_bytes) << command[0];
        ::chmod(page_.c_str(), 0644);
    }
}

TEST_F(PageFileCli, OnlyRegularFilesArePages) {
    const std::string fifo = folder_ + "/pipe.html";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string folder = folder_ + "/sub.html";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string big = folder_ + "/big.html";
    {
        // Sparse: 257 MB on paper, nothing on disk.
        const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(257) << 20), 0);
        ::close(fd);
    }
    struct Case {
        std::string path;
        const char* says;
    };
    std::vector<Case> cases = {{fifo, "It is a named pipe (FIFO), not a page file."},
                               {"/dev/zero", "It is a character device, not a page file."},
                               {folder, "It is a folder, not a page file."},
                               {big, "It is larger than 256 MB, too large for a page."}};
    for (const Case& c : cases) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"areas", c.path},
              std::vector<std::string>{"insert", c.path, "Area1", "Hr"},
              std::vector<std::string>{"page-properties", c.path, "heading=x"}}) {
            RawRun run;
            run.args = args;
            run.env = {data_env_};
            run.timeout_seconds = 10;
            const CliResult result = RunCliRaw(run);
            EXPECT_EQ(result.status, 1) << args[0] << " " << c.path << " hangs or succeeds";
            EXPECT_EQ(result.err, "Cannot open file \"" + c.path + "\". " + c.says + "\n");
        }
    }

    // delete-page says what the path really is, and leaves it.
    for (const auto& [path, says] : std::vector<std::pair<std::string, const char*>>{
             {fifo, "It is a named pipe (FIFO), not a page file."},
             {folder, "It is a folder, not a page file."},
             {folder_ + "/none.html", "No such file or directory"}}) {
        for (const char* how : {"", "for-good=yes"}) {
            std::vector<std::string> args = {"delete-page", path};
            if (*how != '\0') {
                args.emplace_back(how);
            }
            const CliResult result = Run(args);
            EXPECT_EQ(result.status, 1) << path;
            EXPECT_EQ(result.err, "Cannot delete \"" + path + "\". " + says + "\n");
        }
    }
    struct stat info {};
    EXPECT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(::lstat(folder.c_str(), &info), 0);
    if (::geteuid() == 0) {
        const std::string device = folder_ + "/null.html";
        ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        const CliResult result = Run({"delete-page", device, "for-good=yes"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err,
                  "Cannot delete \"" + device + "\". It is a character device, not a page file.\n");
        EXPECT_EQ(::lstat(device.c_str(), &info), 0);
    }
}

TEST_F(PageFileCli, NewPageNeverWritesThroughALinkToNothing) {
    QTemporaryDir outside;
    const std::string target = RealPath(outside.path().toStdString()) + "/elsewhere.html";
    ASSERT_EQ(::symlink(target.c_str(), page_.c_str()), 0);

    CliResult result = Run({"new-page", folder_, "index"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "The page index.html already exists in this project.\n");
    struct stat info {};
    EXPECT_NE(::lstat(target.c_str(), &info), 0) << "a file was made outside the project";

    result = Run({"new-page", folder_, "index", "replace=yes"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(::lstat(target.c_str(), &info), 0) << "a file was made outside the project";
    ASSERT_EQ(::lstat(page_.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode)) << "the link was not replaced by the page";
}

TEST_F(PageFileCli, AFailedStandardOutputExitsOne) {
    WriteBytes(page_, PageBytes(1000));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"areas", page_}, std::vector<std::string>{"kinds"},
          std::vector<std::string>{"--help"}}) {
        RawRun run;
        run.args = args;
        run.env = {data_env_};
        run.stdout_path = "/dev/full";
        const CliResult result = RunCliRaw(run);
        EXPECT_EQ(result.status, 1) << args[0];
        EXPECT_EQ(result.err, "quenfort-cli: cannot write the output: No space left on device\n")
            << args[0];
    }
}

TEST_F(PageFileCli, FileNamesThatAreNotUtf8AreFound) {
    const std::string folder = folder_ + "/caf\xe9";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string page = folder + "/caf\xe9.html";
    WriteBytes(page, PageBytes(1000));

    CliResult result = Run({"areas", page});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Area1\n");
    result = Run({"insert", page, "Area1", "Hr"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(ReadBytes(page).find("<!---Begin_Hr1---!>"), std::string::npos);
    result = Run({"page-properties", page, "heading=Caf\xc3\xa9"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(ReadBytes(page).find("<title>Caf&#233;</title>"), std::string::npos);
    result = Run({"new-page", folder, "men\xc3\xbc"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "men\xc3\xbc.html\n");
    EXPECT_EQ(EntriesIn(folder_), 1u);
    const std::string new_page = folder + "/men\xc3\xbc.html";
    struct stat info {};
    EXPECT_EQ(::stat(new_page.c_str(), &info), 0);
    result = Run({"pages", folder});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "caf\xe9.html\nmen\xc3\xbc.html\n");
    result = Run({"delete-page", page, "for-good=yes"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(::stat(page.c_str(), &info), 0);
    std::filesystem::remove_all(folder); // names Qt cannot remove
}

} // namespace
} // namespace qf
