#include "document/page_file.h"
#include "error.h"
#include "test_pages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace qf {
namespace {

using test::ReadBytes;
using test::WriteBytes;

std::string RandomPageText(std::mt19937& random, std::size_t size) {
    // Mostly markup-like text with blanks, runs without blanks, and any byte but LF.
    static const std::string pieces[] = {"<!---Begin_Table12---!>",
                                         "<td width=400>",
                                         " ",
                                         "  ",
                                         "word ",
                                         "</td></table>",
                                         "<",
                                         "\r",
                                         std::string(1, '\0'),
                                         "\xe9\xff",
                                         std::string(150, 'x'),
                                         "a b c "};
    std::uniform_int_distribution<int> pick(0, 11);
    std::string text;
    while (text.size() < size) {
        text += pieces[pick(random)];
    }
    return text;
}

TEST(PageFile, LinesAreCutOnlyAfterBlanksAndRejoinToTheSameText) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        const std::string text = RandomPageText(random, std::size_t(round) * 37);
        const std::vector<std::string_view> lines = CutIntoLines(text);
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string_view line = lines[i];
            joined += line;
            EXPECT_FALSE(line.empty());
            if (i + 1 < lines.size()) {
                EXPECT_EQ(line.back(), ' ') << "cut not after a blank";
            }
            if (line.size() > kPageLineWidth) {
                // Too long only where the line holds no blank before its end.
                EXPECT_EQ(line.substr(0, line.size() - 1).find(' '), std::string_view::npos)
                    << "overlong line with a blank: " << line;
            }
        }
        EXPECT_EQ(joined, text);
        EXPECT_EQ(DecodePageFile(EncodePageFile(text)), text);
        EXPECT_EQ(EncodePageFile(text).size(), text.size() + 2 * lines.size() + 4);
    }
}

TEST(PageFile, MarkersAndTagsAreNeverSplit) {
    const std::string text = test::WorkedExamplePage();
    for (std::string_view line : CutIntoLines(text)) {
        EXPECT_NE(line.back(), '<');
        if (line.size() > kPageLineWidth) {
            EXPECT_EQ(line.substr(0, line.size() - 1).find(' '), std::string_view::npos) << line;
        }
    }
    const std::string bytes = EncodePageFile(text);
    EXPECT_EQ(bytes.substr(0, 2), "\r\n");
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
    EXPECT_NE(bytes.find("<!---End_Table1---!>"), std::string::npos);
    EXPECT_EQ(EncodePageFile(""), "\r\n\r\n");
}

TEST(PageFile, ReadingJoinsLinesEvenInsideAMarkerAndKeepsOtherBytes) {
    EXPECT_EQ(DecodePageFile("\r\n<p>x<!---End_Ta\r\nble1---!>\r\n\r\n"),
              "<p>x<!---End_Table1---!>");
    EXPECT_EQ(DecodePageFile("one\ntwo\r\n"), "onetwo");
    // A lone CR, NUL and bytes outside ASCII stay as they are.
    const std::string odd = std::string("a\rb") + '\0' + "\xe9\x80z";
    EXPECT_EQ(DecodePageFile("\r\n" + odd + "\r\n\r\n"), odd);
    EXPECT_EQ(DecodePageFile(EncodePageFile(odd + "\r")), odd + "\r");
}

class PageFileOnDisk : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
};

TEST_F(PageFileOnDisk, WriteThenReadGivesTheTextBackAndKeepsPermissions) {
    const std::string path = Path("index.html");
    WriteBytes(path, "old");
    QFile::setPermissions(QString::fromStdString(path),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    std::string text = test::WorkedExamplePage();
    text += std::string("\0\x81\r", 3);
    WritePageFile(path, text);
    EXPECT_EQ(ReadPageFile(path), text);
    EXPECT_EQ(ReadBytes(path), EncodePageFile(text));
    EXPECT_EQ(QFile::permissions(QString::fromStdString(path)) &
                  (QFile::ReadOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::ReadGroup);
    // Nothing is left behind in the folder.
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(PageFileOnDisk, LargeFileRoundTripsByteForByte) {
    const std::string path = Path("big.html");
    std::string text;
    text.reserve(50u << 20);
    std::mt19937 random(7);
    while (text.size() < (50u << 20)) {
        text += RandomPageText(random, 4096);
    }
    WritePageFile(path, text);
    EXPECT_EQ(ReadPageFile(path), text);
}

TEST_F(PageFileOnDisk, FailedWriteLeavesTheOldFileWholeAndNamesIt) {
    if (geteuid() == 0) {
        // Root writes into a read-only folder all the same: use a missing folder.
        const std::string path = Path("missing/index.html");
        try {
            WritePageFile(path, "text");
            FAIL() << "no error";
        } catch (const CommandError& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
        }
        return;
    }
    const std::string path = Path("index.html");
    WriteBytes(path, "old page");
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_THROW(WritePageFile(path, "new page"), CommandError);
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadBytes(path), "old page");
}

TEST_F(PageFileOnDisk, WritingOverAFolderFailsAndKeepsIt) {
    const std::string path = Path("sub");
    QDir(dir_.path()).mkdir("sub");
    EXPECT_THROW(WritePageFile(path, "text"), CommandError);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path)).isDir());
}

TEST_F(PageFileOnDisk, WritingThroughALinkChangesTheFileItPointsTo) {
    const std::string target = Path("real.html");
    const std::string link = Path("index.html");
    WriteBytes(target, "old");
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    WritePageFile(link, "new");
    EXPECT_EQ(ReadBytes(target), EncodePageFile("new"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(PageFileOnDisk, APageWithASecondHardLinkKeepsBothNamesOnTheNewPage) {
    const std::string path = Path("index.html");
    const std::string other = Path("home.html");
    WritePageFile(path, "old page, somewhat longer than the new one");
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    // Written through either name, shorter or longer: both names show it.
    PageWrite written;
    WritePageFile(other, "new", &written);
    EXPECT_EQ(ReadPageFile(path), "new");
    WritePageFile(path, std::string(300000, 'x') + " end");
    EXPECT_EQ(ReadPageFile(other), std::string(300000, 'x') + " end");
    struct stat after {};
    ASSERT_EQ(::stat(other.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_nlink, 2u);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"home.html", "index.html"}));

    // The outside-change check still holds: a change made through the other
    // name after the look is kept, and nothing is written.
    const FileState seen = CurrentFileState(path);
    EXPECT_EQ(written.state.inode, seen.inode);
    {
        SaveFile file(path);
        file.ExpectTarget(seen);
        file.Write(EncodePageFile("mine"));
        WriteBytes(other, EncodePageFile("theirs"));
        EXPECT_THROW(file.Commit(), OutsideChangeError);
    }
    EXPECT_EQ(ReadPageFile(path), "theirs");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"home.html", "index.html"}));
}

TEST_F(PageFileOnDisk, ReadingAMissingFileNamesItAndTheReason) {
    const std::string path = Path("nothing.html");
    try {
        ReadPageFile(path);
        FAIL() << "no error";
    } catch (const CommandError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("\"" + path + "\""), std::string::npos);
        EXPECT_NE(message.find("No such file"), std::string::npos) << message;
    }
}

TEST(PageFile, HashesAndSizesDoNotDependOnHowTheBytesCome) {
    std::mt19937 random(5);
    const std::string text = RandomPageText(random, 5000);
    const std::size_t whole = HashOfBytes(text);
    std::uniform_int_distribution<std::size_t> piece(0, 70);
    for (int round = 0; round < 20; ++round) {
        ByteHash hash;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t n = std::min(piece(random), text.size() - at);
            hash.Add(std::string_view(text).substr(at, n));
            at += n;
        }
        EXPECT_EQ(hash.Value(), whole) << round;
    }
    EXPECT_NE(HashOfBytes(text.substr(1)), whole);
    EXPECT_NE(HashOfBytes(text + std::string(1, '\0')), whole);
    for (const std::string& page :
         {std::string(), text, std::string(kByteOrderMark) + text, std::string(300, 'x')}) {
        EXPECT_EQ(EncodedPageSize(page), std::int64_t(EncodePageFile(page).size()));
    }
}

TEST_F(PageFileOnDisk, ASaveIsUndoneWhenTheFileChangedBeforeItsRename) {
    const std::string path = Path("index.html");
    WritePageFile(path, "old");
    const FileState seen = CurrentFileState(path);
    ASSERT_TRUE(seen.exists);
    const auto entries = [&] { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); };

    // Rewritten after the look: the old file stays as the other program left it.
    {
        SaveFile file(path);
        file.ExpectTarget(seen);
        file.Write(EncodePageFile("mine"));
        WriteBytes(path, EncodePageFile("theirs, longer"));
        try {
            file.Commit();
            FAIL() << "written over another program's change";
        } catch (const OutsideChangeError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "index.html was changed by another program; nothing was written");
            EXPECT_FALSE(error.deleted());
        }
    }
    EXPECT_EQ(ReadPageFile(path), "theirs, longer");
    EXPECT_EQ(entries(), QStringList{"index.html"});

    // Deleted after the look: not made again.
    const FileState now = CurrentFileState(path);
    EXPECT_THROW(
        {
            SaveFile file(path);
            file.ExpectTarget(now);
            file.Write("x");
            ASSERT_EQ(::unlink(path.c_str()), 0);
            file.Commit();
        },
        OutsideChangeError);
    EXPECT_FALSE(EntryExists(path));
    EXPECT_TRUE(entries().isEmpty());

    // Expected to be new, but made meanwhile: kept.
    EXPECT_THROW(
        {
            SaveFile file(path);
            file.ExpectTarget(FileState{});
            file.Write("mine");
            WriteBytes(path, "theirs");
            file.Commit();
        },
        OutsideChangeError);
    EXPECT_EQ(ReadBytes(path), "theirs");
    EXPECT_EQ(entries(), QStringList{"index.html"});

    // Unchanged: written.
    const FileState unchanged = CurrentFileState(path);
    WriteFileAtomically(path, "mine", &unchanged);
    EXPECT_EQ(ReadBytes(path), "mine");
}

TEST_F(PageFileOnDisk, APageTooLargeToReadAgainIsRefusedBeforeItIsWritten) {
    const std::string path = Path("index.html");
    WritePageFile(path, "old");
    // 255 MiB of words: with its line ends the file would pass 256 MB.
    std::string text;
    text.reserve(std::size_t(255) << 20);
    while (text.size() + 5 <= (std::size_t(255) << 20)) {
        text += "word ";
    }
    try {
        WritePageFile(path, text);
        FAIL() << "a page was written that cannot be read again";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write file \"" + path +
                      "\". The page would be larger than 256 MB, too large to open again.");
    }
    EXPECT_EQ(ReadPageFile(path), "old");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"index.html"});
    // The size is a limit of the writer itself as well.
    SaveFile file(path);
    file.LimitSize(4, "Too much.");
    EXPECT_THROW(file.Write("12345"), CommandError);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"index.html"});
}

TEST_F(PageFileOnDisk, SavesLeftByEndedRunsAreRemoved) {
    const std::string path = Path("index.html");
    WritePageFile(path, "old");
    int dead = 4194000;
    while (QFile::exists(QStringLiteral("/proc/%1").arg(dead))) {
        ++dead;
    }
    const std::string ours = std::to_string(::getpid());
    const std::string dead_run = Path(".index.html.") + std::to_string(dead) + "-abcdefghij.saving";
    const std::string older_run = Path(".index.html.abcdefghij.saving"); // without a number
    const std::string live_run = Path(".index.html.") + ours + "-abcdefghij.saving";
    const std::string not_ours = Path(".index.html.notasave");
    const std::string other_page =
        Path(".other.html.") + std::to_string(dead) + "-abcdefghij.saving";
    for (const std::string& file : {dead_run, older_run, live_run, not_ours, other_page}) {
        WriteBytes(file, "partial");
    }
    const timespec old_times[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, older_run.c_str(), old_times, 0), 0);

    WritePageFile(path, "new");
    EXPECT_FALSE(EntryExists(dead_run));
    EXPECT_FALSE(EntryExists(older_run));
    EXPECT_TRUE(EntryExists(live_run)); // this run's, written since it started
    EXPECT_TRUE(EntryExists(not_ours));
    EXPECT_TRUE(EntryExists(other_page)); // another page's saves are that page's
    EXPECT_EQ(ReadPageFile(path), "new");
}

} // namespace
} // namespace qf
