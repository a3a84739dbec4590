#include "error.h"
#include "workspace/app_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

TEST(AppFolder, FillsWhatIsMissingAndNeverOverwrites) {
    QTemporaryDir dir;
    const std::string folder = dir.filePath("app").toStdString() + "/";
    FillAppFolder(folder);
    const QDir app(QString::fromStdString(folder));
    for (const char* sub : {"bin", "lays", "custom", "temp"}) {
        EXPECT_TRUE(app.exists(sub)) << sub;
    }
    ASSERT_TRUE(app.exists("js.js"));
    QFile changed(app.filePath("js.js"));
    ASSERT_TRUE(changed.open(QIODevice::WriteOnly | QIODevice::Truncate));
    changed.write("mine");
    changed.close();
    FillAppFolder(folder);
    QFile again(app.filePath("js.js"));
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), "mine");
}

// The message of the CommandError that `fill` throws; empty when none.
template <typename F> std::string ErrorOf(F fill) {
    try {
        fill();
    } catch (const CommandError& error) {
        return error.what();
    }
    return {};
}

TEST(AppFolder, AFolderOrFileThatCannotBeMadeIsNamedWithTheReason) {
    QTemporaryDir dir;
    const std::string folder = dir.filePath("app").toStdString() + "/";
    ASSERT_TRUE(QDir().mkpath(dir.filePath("app")));
    // A file where the bin folder belongs.
    QFile blocker(dir.filePath("app/bin"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(ErrorOf([&] { FillAppFolder(folder); }),
              "Cannot create folder \"" + folder + "bin\". Not a directory");

    // A link to nowhere where the home page belongs: the copy cannot be made,
    // and the link is left as it was.
    ASSERT_TRUE(QFile::remove(dir.filePath("app/bin")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("app/bin")));
    ASSERT_TRUE(QFile::link(dir.filePath("nowhere/home.html"), dir.filePath("app/bin/home.html")));
    const std::string message = ErrorOf([&] { FillAppFolder(folder); });
    EXPECT_EQ(message.rfind("Cannot create file \"" + folder + "bin/home.html\". ", 0), 0u)
        << message;
    EXPECT_GT(message.size(), ("Cannot create file \"" + folder + "bin/home.html\". ").size());
    EXPECT_EQ(QFileInfo(dir.filePath("app/bin/home.html")).symLinkTarget(),
              dir.filePath("nowhere/home.html"));
}

} // namespace
} // namespace qf
