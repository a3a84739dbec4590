#pragma once

// A test's folders: a project folder "site/" and a folder "elsewhere/"
// beside it, in a temporary folder of the test's own.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace qf::test {

class ProjectFolders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath("site"));
        ASSERT_TRUE(QDir(dir_.path()).mkpath("elsewhere"));
        project_ = Path("site/");
    }

    // The path of `relative` in the test's folder, ending in "/" as it does.
    std::string Path(const QString& relative) const {
        return dir_.filePath(relative).toStdString() + (relative.endsWith('/') ? "/" : "");
    }

    QByteArray Read(const QString& relative) const {
        QFile file(dir_.filePath(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QTemporaryDir dir_;
    std::string project_;
};

} // namespace qf::test
