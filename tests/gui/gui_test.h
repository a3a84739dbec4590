#pragma once

#include "app/main_window.h"
#include "scripted_prompts.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

namespace qf::test {

// What the window and dialog test programs share. A program has a data home
// of its own, so the user's application folder and settings are never
// touched; each test has a fresh folder, scripted prompts, and the window
// when it starts one. A program derives from it and calls StartProgram,
// StartTest and EndTest from initTestCase, init and cleanup.
class GuiTest : public QObject {
protected:
    void StartProgram();
    // A fresh folder and prompts; `prompts` stands in for plain scripted
    // ones where a test watches more of what is asked.
    void StartTest(std::unique_ptr<ScriptedPrompts> prompts = nullptr);
    // A window as the editor starts it: shown, on the screen and activated.
    void StartWindow();
    // The window, the prompts and the folder go, in that order.
    void EndTest();

    QTemporaryDir data_home_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<ScriptedPrompts> prompts_;
    std::unique_ptr<TForm1> window_;
};

} // namespace qf::test
