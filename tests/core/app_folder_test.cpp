#include "workspace/app_folder.h"

#include <QDir>
#include <QFile>
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

} // namespace
} // namespace qf
