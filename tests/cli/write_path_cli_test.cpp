// How the command line reports what happened to a page under faults that
// strike around the write itself: a lock that cannot be made, a folder that
// cannot be synced, a trash that cannot take the page, standard input that
// cannot be read, a picture that cannot be copied, a user who may not write
// the page, a file-size limit.
#include "cli_runner.h"
#include "document/page_file.h"
#include "test_pages.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qf {
namespace {

using test::CliResult;
using test::RawRun;
using test::ReadBytes;
using test::RunCliRaw;
using test::WriteBytes;

const std::string kShim = "LD_PRELOAD=" QUENFORT_WRITE_FAILURE_SHIM;

std::string RealPath(const std::string& path) {
    char real[PATH_MAX];
    return ::realpath(path.c_str(), real) != nullptr ? std::string(real) : path;
}

// Every entry of a folder, hidden ones included.
std::vector<std::string> EntriesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class WritePathCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = RealPath(project_.path().toStdString());
        page_ = folder_ + "/index.html";
        data_ = RealPath(data_home_.path().toStdString());
        WritePageFile(page_,
                      test::PageWith("<!---Table1---!><!---Image1---!>",
                                     test::TableArea(1, "<!---Begin_Image1---!><img "
                                                        "src=\"a.gif\"><!---End_Image1---!>")));
        ASSERT_EQ(Run({"layouts"}).status, 0); // the application folder is filled now
    }
    CliResult Run(std::vector<std::string> args, std::vector<std::string> env = {},
                  const std::string& stdin_path = {}) const {
        RawRun run;
        run.args = std::move(args);
        run.env = std::move(env);
        run.env.push_back("XDG_DATA_HOME=" + data_);
        run.stdin_path = stdin_path;
        return RunCliRaw(run);
    }
    // A run in which one system call fails below `under`.
    CliResult Failing(std::vector<std::string> args, const std::string& call, int error,
                      const std::string& under, std::vector<std::string> more_env = {}) const {
        more_env.insert(more_env.end(),
                        {kShim, "QF_FAIL_CALL=" + call, "QF_FAIL_ERRNO=" + std::to_string(error),
                         "QF_FAIL_UNDER=" + under});
        return Run(std::move(args), std::move(more_env));
    }

    QTemporaryDir project_;
    QTemporaryDir data_home_;
    std::string folder_;
    std::string page_;
    std::string data_;
};

TEST_F(WritePathCli, APageWhoseLockCannotBeMadeIsNotChanged) {
    const std::string before = ReadBytes(page_);
    const CliResult result = Failing({"insert", page_, "Area1", "Hr"}, "create", ENOSPC,
                                     folder_ + "/", {"QF_FAIL_NAME=.lock"});
    EXPECT_EQ(result.status, 1) << "written without its lock";
    EXPECT_EQ(result.err, "Cannot lock \"" + page_ + "\" for writing. No space left on device\n");
    EXPECT_EQ(ReadBytes(page_), before);
    // Reading needs no lock.
    EXPECT_EQ(
        Failing({"areas", page_}, "create", ENOSPC, folder_ + "/", {"QF_FAIL_NAME=.lock"}).out,
        "Area1\n");
}

TEST_F(WritePathCli, AFolderThatCannotBeSyncedIsReportedAfterTheWrite) {
    const CliResult result = Failing({"insert", page_, "Area1", "Hr"}, "fsyncdir", EIO, folder_);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "index.html was written, but its folder could not be synced "
                          "(Input/output error), so the change may be lost if the system stops "
                          "now\n");
    // It was written, and nothing else is left.
    EXPECT_NE(ReadPageFile(page_).find("<!---Begin_Hr1---!>"), std::string::npos);
    EXPECT_EQ(EntriesIn(folder_), std::vector<std::string>{"index.html"});
}

TEST_F(WritePathCli, ATrashThatCannotTakeThePageLeavesItInPlace) {
    const std::string before = ReadBytes(page_);
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(data_ + "/Trash/info")));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(data_ + "/Trash/files")));
    // The trash information cannot be written: a full disk there.
    const CliResult result = Failing({"delete-page", page_}, "write", ENOSPC, data_ + "/Trash");
    EXPECT_EQ(result.status, 1) << "reported as moved to the trash";
    EXPECT_EQ(result.err.rfind("Cannot move \"" + page_ + "\" to the trash. ", 0), 0u)
        << result.err;
    EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << result.err;
    EXPECT_EQ(ReadBytes(page_), before);
    EXPECT_TRUE(EntriesIn(data_ + "/Trash/files").empty());
    EXPECT_TRUE(EntriesIn(data_ + "/Trash/info").empty());

    // Without a fault the page goes, with its information.
    const CliResult moved = Run({"delete-page", page_});
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_FALSE(EntryExists(page_));
    const std::vector<std::string> info = EntriesIn(data_ + "/Trash/info");
    ASSERT_EQ(info.size(), 1u);
    EXPECT_NE(ReadBytes(data_ + "/Trash/info/" + info[0]).find("\nPath=" + page_ + "\n"),
              std::string::npos);
}

TEST_F(WritePathCli, StandardInputThatCannotBeReadChangesNothing) {
    const std::string before = ReadBytes(page_);
    const std::vector<std::string> layouts = EntriesIn(data_ + "/quenfort/lays");
    // A folder as standard input: every read fails (EISDIR).
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"set-component-source", page_, "Image1"},
          std::vector<std::string>{"insert-html", page_, "Area1"},
          std::vector<std::string>{"design-layout"}}) {
        const CliResult result = Run(args, {}, folder_);
        EXPECT_EQ(result.status, 1) << args[0] << " took a failed read for the end";
        EXPECT_EQ(result.err,
                  "Cannot read the standard input. Is a directory; nothing was written.\n");
        EXPECT_EQ(ReadBytes(page_), before);
    }
    EXPECT_EQ(EntriesIn(data_ + "/quenfort/lays"), layouts);
}

TEST_F(WritePathCli, APictureThatCannotBeCopiedLeavesNothing) {
    QTemporaryDir outside;
    const std::string picture = RealPath(outside.path().toStdString()) + "/photo.png";
    QImage noise(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y) {
        for (int x = 0; x < noise.width(); ++x) {
            noise.setPixel(x, y, qRgb((x * 7919 + y * 104729) % 256, (x * y) % 256, (x ^ y) % 256));
        }
    }
    ASSERT_TRUE(noise.save(QString::fromStdString(picture), "png"));
    const std::string png = ReadBytes(picture);
    for (const auto& [call, error] : std::vector<std::pair<std::string, int>>{
             {"write", ENOSPC}, {"fsync", EIO}, {"close", EDQUOT}}) {
        const CliResult result =
            Failing({"import-picture", folder_, picture}, call, error, folder_);
        EXPECT_EQ(result.status, 1) << call;
        EXPECT_NE(result.err.find(std::strerror(error)), std::string::npos) << result.err;
        EXPECT_EQ(EntriesIn(folder_), std::vector<std::string>{"index.html"})
            << call << ": a picture or its folder was left";
    }
    const CliResult result = Run({"import-picture", folder_, picture});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "images/photo.png\n");
    EXPECT_EQ(ReadBytes(folder_ + "/images/photo.png"), png);
}

TEST_F(WritePathCli, ComponentsAreNamedExactlyAsListed) {
    const std::string before = ReadBytes(page_);
    for (const char* entry : {"Image01", "Image1 ", "image1", "Image+1"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"delete-component", page_, entry},
              std::vector<std::string>{"set-component-source", page_, entry},
              std::vector<std::string>{"component-source", page_, entry}}) {
            const CliResult result = Run(args);
            EXPECT_EQ(result.status, 1) << args[0] << " took " << entry;
            EXPECT_EQ(result.out, "") << args[0] << " " << entry;
        }
    }
    EXPECT_EQ(ReadBytes(page_), before);
    EXPECT_EQ(Run({"component-source", page_, "Image1"}).out, "<img src=\"a.gif\">\n");
}

TEST_F(WritePathCli, ALayoutUnderAFileSizeLimitIsNotLeftEmpty) {
    const std::string lays = data_ + "/quenfort/lays";
    ASSERT_TRUE(IsFolder(lays)) << lays;
    const std::vector<std::string> before = EntriesIn(lays);
    RawRun run;
    run.args = {"design-layout"};
    run.env = {"XDG_DATA_HOME=" + data_};
    run.file_size_limit = 100;
    const std::string input = folder_ + "/design.txt";
    WriteBytes(input, "add width=400 height=100\nadd width=300 height=50\nsave\n");
    run.stdin_path = input;
    const CliResult result = RunCliRaw(run);
    EXPECT_EQ(result.status, 1) << "ended by the limit without a word";
    EXPECT_NE(result.err.find("File too large"), std::string::npos) << result.err;
    EXPECT_EQ(EntriesIn(lays), before);
}

TEST_F(WritePathCli, APageThisUserMayNotWriteIsRefusedThoughItsFolderAllowsIt) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "making a page of another user needs root";
    }
    const passwd* user = ::getpwnam("nobody");
    if (user == nullptr || !std::filesystem::exists("/usr/bin/setpriv")) {
        GTEST_SKIP() << "no unprivileged user \"nobody\" or no setpriv to run as one";
    }
    // The folder and the data home are the user's; the page is root's, 0644.
    ASSERT_EQ(::chown(folder_.c_str(), user->pw_uid, user->pw_gid), 0);
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::chmod(page_.c_str(), 0644), 0);
    std::filesystem::remove_all(data_ + "/quenfort");
    ASSERT_EQ(::chown(data_.c_str(), user->pw_uid, user->pw_gid), 0);
    const std::string before = ReadBytes(page_);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"insert", page_, "Area1", "Hr"},
          std::vector<std::string>{"page-properties", page_, "heading=Mine"},
          std::vector<std::string>{"new-page", folder_, "index", "replace=yes"}}) {
        RawRun run;
        run.wrapper = {"/usr/bin/setpriv", "--reuid=" + std::to_string(user->pw_uid),
                       "--regid=" + std::to_string(user->pw_gid), "--clear-groups"};
        run.args = args;
        run.env = {"XDG_DATA_HOME=" + data_, "HOME=" + data_};
        const CliResult result = RunCliRaw(run);
        EXPECT_EQ(result.status, 1) << args[0] << ": " << result.err;
        EXPECT_EQ(result.err, "index.html is read-only\n") << args[0];
        EXPECT_EQ(ReadBytes(page_), before) << args[0];
        struct stat info {};
        ASSERT_EQ(::stat(page_.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, 0u) << args[0] << ": the page now belongs to the user";
    }
}

} // namespace
} // namespace qf
