#include "components/picture_import.h"
#include "error.h"
#include "project_folders.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qf {
namespace {

// A project folder "site/" and a folder "elsewhere/" beside it.
class PictureImport : public test::ProjectFolders {
protected:
    void Write(const QString& relative, const QByteArray& bytes) const {
        QFile file(dir_.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    std::string Import(const QString& relative, const std::string& page_folder = {}) const {
        return ImportPicture(project_, page_folder, Path(relative));
    }

    std::string Refusal(const std::string& picture) const {
        try {
            return "(imported " + ImportPicture(project_, {}, picture) + ")";
        } catch (const CommandError& error) {
            return error.what();
        }
    }
};

TEST_F(PictureImport, APictureFromElsewhereIsCopiedIntoImagesUnderAFreeName) {
    Write("elsewhere/photo.png", "first");
    EXPECT_EQ(Import("elsewhere/photo.png"), "images/photo.png");
    EXPECT_EQ(Read("site/images/photo.png"), "first");
    EXPECT_EQ(Read("elsewhere/photo.png"), "first");

    // The same bytes again are reused, not copied twice.
    EXPECT_EQ(Import("elsewhere/photo.png"), "images/photo.png");
    EXPECT_EQ(QDir(dir_.filePath("site/images")).entryList(QDir::Files).size(), 1);

    // Other bytes under the same name never overwrite the first copy.
    ASSERT_TRUE(QDir(dir_.path()).mkpath("other"));
    Write("other/photo.png", "second");
    EXPECT_EQ(Import("other/photo.png"), "images/photo-2.png");
    Write("elsewhere/photo.png", "third");
    EXPECT_EQ(Import("elsewhere/photo.png"), "images/photo-3.png");
    EXPECT_EQ(Read("site/images/photo.png"), "first");
    EXPECT_EQ(Read("site/images/photo-2.png"), "second");
    EXPECT_EQ(Read("site/images/photo-3.png"), "third");
    // The second picture again finds its own earlier copy.
    EXPECT_EQ(Import("other/photo.png"), "images/photo-2.png");

    // Only the last dot starts the ending; a name without one gets the number at its end.
    Write("elsewhere/logo.small.gif", "a");
    Write("site/images/logo.small.gif", "b");
    EXPECT_EQ(Import("elsewhere/logo.small.gif"), "images/logo.small-2.gif");
    Write("elsewhere/picture", "a");
    Write("site/images/picture", "b");
    EXPECT_EQ(Import("elsewhere/picture"), "images/picture-2");
}

TEST_F(PictureImport, BlanksAndUrlCharactersAreEscapedAndOtherLettersKept) {
    Write("elsewhere/my photo.jpg", "x");
    EXPECT_EQ(Import("elsewhere/my photo.jpg"), "images/my%20photo.jpg");
    EXPECT_TRUE(QFile::exists(dir_.filePath("site/images/my photo.jpg")));

    Write(QString::fromUtf8("elsewhere/caf\xc3\xa9 \xe6\x97\xa5.png"), "y");
    EXPECT_EQ(Import(QString::fromUtf8("elsewhere/caf\xc3\xa9 \xe6\x97\xa5.png")),
              "images/caf\xc3\xa9%20\xe6\x97\xa5.png");

    Write("elsewhere/50% #1 a&b?.png", "z");
    EXPECT_EQ(Import("elsewhere/50% #1 a&b?.png"), "images/50%25%20%231%20a%26b%3F.png");
    EXPECT_EQ(PagePathLocation("a\"b'c<d>.png"), "a%22b%27c%3Cd%3E.png");
    EXPECT_EQ(PagePathLocation("dir/sub dir/x.png"), "dir/sub%20dir/x.png");
}

TEST_F(PictureImport, APictureInsideTheProjectStaysAndIsNamedRelativeToThePage) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath("site/art/old"));
    Write("site/art/old/sun.png", "sun");
    EXPECT_EQ(Import("site/art/old/sun.png"), "art/old/sun.png");
    EXPECT_FALSE(QDir(dir_.filePath("site/images")).exists());

    // Reached through "..", the file is still the one inside the project.
    EXPECT_EQ(Import("site/art/../art/old/sun.png"), "art/old/sun.png");
    // A page in a folder of its own names it from there.
    ASSERT_TRUE(QDir(dir_.path()).mkpath("site/blog"));
    EXPECT_EQ(Import("site/art/old/sun.png", Path("site/blog/")), "../art/old/sun.png");
    Write("elsewhere/moon.png", "moon");
    EXPECT_EQ(Import("elsewhere/moon.png", Path("site/blog/")), "../images/moon.png");
}

TEST_F(PictureImport, PathsThatOnlyLookInsideAreCopied) {
    // "site/../elsewhere" leaves the project; "site2" only shares its first letters.
    Write("elsewhere/a.png", "a");
    EXPECT_EQ(Import("site/../elsewhere/a.png"), "images/a.png");
    ASSERT_TRUE(QDir(dir_.path()).mkpath("site2"));
    Write("site2/b.png", "b");
    EXPECT_EQ(Import("site2/b.png"), "images/b.png");
    // A name made of dots is an ordinary name.
    Write("elsewhere/..png", "dots");
    EXPECT_EQ(Import("elsewhere/..png"), "images/..png");
    EXPECT_EQ(Read("site/images/..png"), "dots");
}

TEST_F(PictureImport, AnExistingImagesFolderIsUsedAndWhatIsInTheWayRefused) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath("site/images/photo.png"));
    Write("site/images/keep.txt", "keep");
    Write("elsewhere/photo.png", "p");
    // A folder named like the picture takes the next name; nothing already there changes.
    EXPECT_EQ(Import("elsewhere/photo.png"), "images/photo-2.png");
    EXPECT_EQ(Read("site/images/keep.txt"), "keep");
    EXPECT_TRUE(QFileInfo(dir_.filePath("site/images/photo.png")).isDir());

    // A file named "images" cannot hold pictures: refused, and left as it was.
    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkpath("site"));
    QFile blocker(other.filePath("site/images"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();
    try {
        ImportPicture(other.filePath("site").toStdString() + "/", {}, Path("elsewhere/photo.png"));
        ADD_FAILURE() << "a file named images was taken for a folder";
    } catch (const CommandError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create folder \"" +
                                                 other.filePath("site/images").toStdString() +
                                                 "\". A file of that name is in the way");
    }
    EXPECT_EQ(blocker.size(), 12);
}

TEST_F(PictureImport, MissingOrUnreadablePicturesAreRefusedWithTheirName) {
    EXPECT_EQ(Refusal(Path("elsewhere/none.png")),
              "Cannot open file \"" + Path("elsewhere/none.png") + "\". No such file or directory");
    EXPECT_EQ(Refusal(Path("elsewhere")),
              "Cannot open file \"" + Path("elsewhere") + "\". Not a file");
    EXPECT_FALSE(QDir(dir_.filePath("site/images")).exists());
    try {
        Write("elsewhere/p.png", "p");
        ImportPicture(Path("gone/"), {}, Path("elsewhere/p.png"));
        ADD_FAILURE() << "a missing project folder was taken";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("No such file"), std::string::npos);
    }
}

TEST_F(PictureImport, MediaFilesGoIntoTheirOwnFolderByTheSameRules) {
    Write("elsewhere/tone.mp3", "tone");
    EXPECT_EQ(ImportMedia(project_, Path("site/sub/"), Path("elsewhere/tone.mp3")),
              "../media/tone.mp3");
    EXPECT_EQ(Read("site/media/tone.mp3"), "tone");
    EXPECT_FALSE(QDir(dir_.filePath("site/images")).exists());
    // Whatever the file, its name decides where import-file puts it.
    for (const char* picture : {"a.png", "b.JPG", "c.tiff", "d.svg", "x.mp3.gif"}) {
        EXPECT_TRUE(IsPictureFile(picture)) << picture;
    }
    for (const char* other : {"a.mp3", "b.swf", "c.dcr", ".png", "png", "d.png.avi", "dir.png/x"}) {
        EXPECT_FALSE(IsPictureFile(other)) << other;
    }
    Write("elsewhere/film.PNG.avi", "film");
    EXPECT_EQ(ImportFile(project_, {}, Path("elsewhere/film.PNG.avi")), "media/film.PNG.avi");
}

TEST(PictureBase, TheOpenPagesFolderOrElseTheProject) {
    Workspace workspace;
    workspace.project_folder = "/srv/site/";
    EXPECT_EQ(PictureBaseFolder(workspace), "/srv/site/");
    workspace.page_name = "index.html";
    workspace.page_path = "/srv/site/index.html";
    EXPECT_EQ(PictureBaseFolder(workspace), "/srv/site/");
    workspace.page_path = "/home/u/drafts/index.html";
    EXPECT_EQ(PictureBaseFolder(workspace), "/home/u/drafts/");
}

} // namespace
} // namespace qf
