#include "about/system_info.h"
#include "about/version.h"
#include "cli_runner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

using test::RunCli;

void Touch(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html></html>");
}

TEST(ProjectCli, NewProjectThenItsPages) {
    QTemporaryDir dir;
    auto result = RunCli({"new-project", "shop", dir.path()});
    EXPECT_EQ(result.status, 0) << result.err;
    const QString folder = dir.path() + "/shop/";
    EXPECT_EQ(result.out, folder.toStdString() + "\n");
    EXPECT_TRUE(QDir(folder).exists());

    for (const char* name : {"b.html", "A.php", "notes.txt"}) {
        Touch(folder + name);
    }
    result = RunCli({"pages", dir.path() + "/shop"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "A.php\nb.html\n");
    // A relative location is the shell's current folder's.
    result = RunCli({"new-project", "blog", "."}, {}, dir.path());
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, dir.path().toStdString() + "/blog/\n");
    EXPECT_TRUE(QDir(dir.filePath("blog")).exists());

    // Refusals: exit 1 with the editor's message; wrong arguments: exit 2.
    result = RunCli({"new-project", "", dir.path()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "Please enter a Project Name.\n");
    result = RunCli({"new-project", "x", dir.path() + "/missing"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("No such file or directory"), std::string::npos);
    EXPECT_EQ(RunCli({"pages"}).status, 2);
    EXPECT_EQ(RunCli({"pages", dir.path() + "/none"}).status, 1);
}

TEST(ProjectCli, DeletePageMovesItToTheTrash) {
    QTemporaryDir dir;
    const QString page = dir.filePath("index.html");
    Touch(page);
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
    auto result = RunCli({"delete-page", page});
    qputenv("XDG_DATA_HOME", saved);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(QFile::exists(page));
    EXPECT_TRUE(QFile::exists(dir.filePath("data/Trash/files/index.html")));

    Touch(page);
    result = RunCli({"delete-page", page, "for-good=yes"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_FALSE(QFile::exists(page));
    EXPECT_EQ(RunCli({"delete-page", page}).status, 1);
    EXPECT_EQ(RunCli({"delete-page", page, "for-good=no"}).status, 2);
}

TEST(ProjectCli, AboutPrintsTheAboutBoxLines) {
    const auto result = RunCli({"about"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Quenfort Website Developer v" + std::string(kVersion) +
                              "\nOperating System: " + OsLine(CurrentOsVersion()) +
                              "\nPhysical Memory: " + CurrentMemoryLine() + "\n");
}

} // namespace
} // namespace qf
