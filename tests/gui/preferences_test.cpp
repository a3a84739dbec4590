// Edit > Preferences: how pictures are made fit for the web, kept with the
// session and used by every picture browse.

#include "app/main_window.h"
#include "app/preferences_dialog.h"
#include "components/image_dialog.h"
#include "components/picture_metadata.h"
#include "dialog_driving.h"
#include "gui_test.h"
#include "scripted_prompts.h"
#include "widgets/picture_field.h"
#include "workspace/layout_chooser.h"
#include "workspace/preferences.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTest>

namespace qf {

using test::Click;
using test::Find;
using test::OnModal;

class PreferencesTest : public test::GuiTest {
    Q_OBJECT

private:
    QString Settings() const { return dir_->filePath("config/quenfort.conf"); }

    // A picture of `size` outside the project, its left half red; its path.
    QString Picture(const QString& name, QSize size, const char* format = "PNG") const {
        QDir(dir_->path()).mkpath("pics");
        const QString path = dir_->filePath("pics/" + name);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::blue);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width() / 2; ++x) {
                image.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
        image.save(path, format);
        return path;
    }

    // Browses for `picture` in a fresh Image dialog; the dialog's location
    // and size fields after it.
    struct Browsed {
        QString location;
        int width;
        int height;
    };
    Browsed BrowseInImageDialog(Workspace& workspace, const QString& picture) {
        TFormb dialog(workspace);
        Click(&dialog, "RadioButton1");
        prompts_->Queue(picture);
        Click(&dialog, "ToolButton1");
        return {Find<QLineEdit>(&dialog, "Edit1")->text(),
                Find<QSpinBox>(&dialog, "SpinEdit1")->value(),
                Find<QSpinBox>(&dialog, "SpinEdit2")->value()};
    }

private Q_SLOTS:
    void initTestCase() { StartProgram(); }
    void init() {
        StartTest();
        SetPictureImportOptions(PictureImportOptions{});
    }
    void cleanup() { EndTest(); }

    void ThePreferencesAreReadAtStartChangedAndKept() {
        Preferences stored;
        stored.pictures.longest_side = 640;
        SavePreferences(Settings(), stored);
        window_ = std::make_unique<TForm1>();
        window_->RememberSession(Settings());
        QCOMPARE(PictureImportOptionsInUse().longest_side, 640);
        QCOMPARE(PictureImportOptionsInUse().quality, 85);
        QVERIFY(PictureImportOptionsInUse().strip_metadata);
        QVERIFY(TFormmen2::FitNewPages());

        bool seen = false;
        OnModal([&](QWidget* dialog) {
            seen = true;
            QCOMPARE(dialog->objectName(), QString("PreferencesDialog"));
            QCOMPARE(Find<QSpinBox>(dialog, "LongestPictureSide")->value(), 640);
            QCOMPARE(Find<QSpinBox>(dialog, "PictureQuality")->value(), 85);
            QVERIFY(Find<QCheckBox>(dialog, "RemoveCameraData")->isChecked());
            QVERIFY(Find<QCheckBox>(dialog, "FitNewPages")->isChecked());
            test::Shoot(dialog, "preferences_dialog");
            Find<QCheckBox>(dialog, "FitNewPages")->setChecked(false);
            Find<QSpinBox>(dialog, "LongestPictureSide")->setValue(25);
            Find<QSpinBox>(dialog, "PictureQuality")->setValue(60);
            Find<QCheckBox>(dialog, "RemoveCameraData")->setChecked(false);
            Click(dialog, "OkButton");
        });
        window_->findChild<QAction*>("Preferences")->trigger();
        QVERIFY(seen);
        QCOMPARE(PictureImportOptionsInUse().longest_side, 25);
        QCOMPARE(PictureImportOptionsInUse().quality, 60);
        QVERIFY(!PictureImportOptionsInUse().strip_metadata);
        const Preferences kept = LoadPreferences(Settings());
        QCOMPARE(kept.pictures.longest_side, 25);
        QCOMPARE(kept.pictures.quality, 60);
        QVERIFY(!kept.pictures.strip_metadata);
        // New pages from now on are made without the small-screen fit.
        QVERIFY(!TFormmen2::FitNewPages());
        QVERIFY(!kept.fit_new_pages);

        // Cancel changes nothing.
        OnModal([](QWidget* dialog) {
            Find<QSpinBox>(dialog, "LongestPictureSide")->setValue(0);
            Click(dialog, "CancelButton");
        });
        window_->findChild<QAction*>("Preferences")->trigger();
        QCOMPARE(PictureImportOptionsInUse().longest_side, 25);
        QCOMPARE(LoadPreferences(Settings()).pictures.longest_side, 25);
        QVERIFY(!TFormmen2::FitNewPages());
        // The next start reads it again.
        TFormmen2::SetFitNewPages(true);
        window_ = std::make_unique<TForm1>();
        window_->RememberSession(Settings());
        QVERIFY(!TFormmen2::FitNewPages());
        TFormmen2::SetFitNewPages(true);
    }

    void EveryPictureBrowseUsesThemAndFillsTheSizeAsShown() {
        Workspace workspace = test::TwoAreaWorkspace(dir_->path());
        PictureImportOptions options;
        options.longest_side = 50;
        SetPictureImportOptions(options);
        const Browsed wide = BrowseInImageDialog(workspace, Picture("wide.png", QSize(200, 120)));
        QCOMPARE(wide.location, QString("images/wide.png"));
        QCOMPARE(wide.width, 50);
        QCOMPARE(wide.height, 30);
        QCOMPARE(QImage(dir_->filePath("site/images/wide.png")).size(), QSize(50, 30));

        // A photo turned upright by its tag, its position data removed.
        const QString photo = Picture("photo.jpg", QSize(40, 30), "JPEG");
        QCOMPARE(QProcess::execute("exiftool", {"-q", "-overwrite_original", "-n", "-Orientation=6",
                                                "-GPSLatitude=10", "-GPSLongitude=20", photo}),
                 0);
        const Browsed upright = BrowseInImageDialog(workspace, photo);
        QCOMPARE(upright.location, QString("images/photo.jpg"));
        QCOMPARE(upright.width, 30);
        QCOMPARE(upright.height, 40);
        QFile copy(dir_->filePath("site/images/photo.jpg"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QVERIFY(!ReadPictureMetadata(copy.readAll().toStdString()).camera_data);
    }
};

} // namespace qf

QTEST_MAIN(qf::PreferencesTest)
#include "preferences_test.moc"
