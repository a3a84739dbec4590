#include "gui_test.h"

#include "workspace/app_folder.h"

#include <QApplication>
#include <QTest>

namespace qf::test {

void GuiTest::StartProgram() {
    qputenv("XDG_DATA_HOME", data_home_.path().toUtf8());
    QApplication::setApplicationName(kApplicationName);
}

void GuiTest::StartTest(std::unique_ptr<ScriptedPrompts> prompts) {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    prompts_ = prompts ? std::move(prompts) : std::make_unique<ScriptedPrompts>();
}

void GuiTest::StartWindow() {
    window_ = std::make_unique<TForm1>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->FormActivate();
}

void GuiTest::EndTest() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

} // namespace qf::test
