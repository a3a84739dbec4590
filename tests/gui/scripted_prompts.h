#pragma once

#include "services/prompts.h"

#include <QStringList>
#include <deque>
#include <variant>

namespace qf::test {

// Answers every prompt from a queue and records what was asked. A prompt
// with no queued answer gets the cancel answer (No, an empty path, no colour,
// no printing), so a test never blocks. Installs itself while it lives.
class ScriptedPrompts : public Prompts {
public:
    using Reply = std::variant<Answer, QString, QColor, bool>;

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    void Queue(Reply reply) { replies_.push_back(std::move(reply)); }

    // One line per prompt: "inform: TEXT", "error: TEXT", "ask: TEXT",
    // "choose: TEXT [BUTTON|BUTTON|...]" (a queued QString names the button),
    // "secret: TEXT" (a queued QString is the typed password),
    // "open-file: CAPTION", "open-picture: CAPTION", "folder: CAPTION",
    // "colour", "print", "open-url: URL".
    QStringList asked;
    std::optional<QPoint> last_ask_position;
    QString last_filter;
    QString last_folder;

    void Inform(QWidget* parent, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    QString Choose(QWidget* parent, const QString& text, const QStringList& buttons) override;
    Answer Ask(QWidget* parent, const QString& text, bool with_cancel,
               std::optional<QPoint> position) override;
    std::optional<QString> Secret(QWidget* parent, const QString& text) override;
    QString OpenFile(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& filter) override;
    QString OpenPicture(QWidget* parent, const QString& caption, const QString& folder,
                        const QString& filter) override;
    QString ExistingFolder(QWidget* parent, const QString& caption, const QString& start) override;
    std::optional<QColor> Colour(QWidget* parent, const QColor& initial) override;
    // Records "print"; a queued true prints (paints on `printer`) as the
    // preview's print button would, anything else closes the preview.
    bool Print(QWidget* parent, QPrinter* printer, const PaintPages& paint) override;
    // Records "open-url: URL" and opens nothing.
    void OpenUrl(QWidget* parent, const QUrl& url) override;

private:
    template <typename T> std::optional<T> Next();
    std::deque<Reply> replies_;
};

} // namespace qf::test
