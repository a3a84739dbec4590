#include "scripted_prompts.h"

namespace qf::test {

ScriptedPrompts::ScriptedPrompts() {
    InstallPrompts(this);
}
ScriptedPrompts::~ScriptedPrompts() {
    InstallPrompts(nullptr);
}

template <typename T> std::optional<T> ScriptedPrompts::Next() {
    if (replies_.empty() || !std::holds_alternative<T>(replies_.front())) {
        return std::nullopt;
    }
    T value = std::get<T>(replies_.front());
    replies_.pop_front();
    return value;
}

void ScriptedPrompts::Inform(QWidget*, const QString& text) {
    asked << "inform: " + text;
}

void ScriptedPrompts::ShowError(QWidget*, const QString& text) {
    if (!text.isEmpty()) { // as the real one: an empty text shows nothing
        asked << "error: " + text;
    }
}

QString ScriptedPrompts::Choose(QWidget*, const QString& text, const QStringList& buttons) {
    asked << "choose: " + text + " [" + buttons.join('|') + "]";
    return Next<QString>().value_or(buttons.value(buttons.size() - 1));
}

Prompts::Answer ScriptedPrompts::Ask(QWidget*, const QString& text, bool with_cancel,
                                     std::optional<QPoint> position) {
    asked << "ask: " + text;
    last_ask_position = position;
    return Next<Answer>().value_or(with_cancel ? Answer::Cancel : Answer::No);
}

std::optional<QString> ScriptedPrompts::Secret(QWidget*, const QString& text) {
    asked << "secret: " + text;
    return Next<QString>();
}

QString ScriptedPrompts::OpenFile(QWidget*, const QString& caption, const QString& folder,
                                  const QString& filter) {
    asked << "open-file: " + caption;
    last_filter = filter;
    last_folder = folder;
    return Next<QString>().value_or(QString());
}

QString ScriptedPrompts::OpenPicture(QWidget*, const QString& caption, const QString& folder,
                                     const QString& filter) {
    asked << "open-picture: " + caption;
    last_filter = filter;
    last_folder = folder;
    return Next<QString>().value_or(QString());
}

QString ScriptedPrompts::ExistingFolder(QWidget*, const QString& caption, const QString& start) {
    asked << "folder: " + caption;
    last_folder = start;
    return Next<QString>().value_or(QString());
}

std::optional<QColor> ScriptedPrompts::Colour(QWidget*, const QColor&) {
    asked << "colour";
    return Next<QColor>();
}

bool ScriptedPrompts::Print(QWidget*, QPrinter* printer, const PaintPages& paint) {
    asked << "print";
    const bool print = Next<bool>().value_or(false);
    if (print) {
        paint(printer);
    }
    return print;
}

void ScriptedPrompts::OpenUrl(QWidget*, const QUrl& url) {
    asked << "open-url: " + url.toString();
}

} // namespace qf::test
