#include "document/page_file.h"

#include "error.h"

#include <QFile>
#include <QSaveFile>

namespace qf {

std::vector<std::string_view> CutIntoLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t rest = text.size() - start;
        if (rest <= kPageLineWidth) {
            lines.push_back(text.substr(start));
            break;
        }
        // The last blank that still ends a line of at most kPageLineWidth
        // characters; failing that, the first blank after it.
        std::size_t blank = text.rfind(' ', start + kPageLineWidth - 1);
        if (blank == std::string_view::npos || blank < start) {
            blank = text.find(' ', start + kPageLineWidth);
        }
        if (blank == std::string_view::npos || blank + 1 >= text.size()) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, blank + 1 - start));
        start = blank + 1;
    }
    return lines;
}

std::string EncodePageFile(std::string_view text) {
    const std::vector<std::string_view> lines = CutIntoLines(text);
    std::string bytes;
    bytes.reserve(text.size() + 2 * lines.size() + 4);
    bytes.append("\r\n");
    for (std::string_view line : lines) {
        bytes.append(line).append("\r\n");
    }
    bytes.append("\r\n");
    return bytes;
}

std::string DecodePageFile(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            text.append(bytes.substr(start));
            break;
        }
        std::size_t line_end = lf;
        if (line_end > start && bytes[line_end - 1] == '\r') {
            --line_end;
        }
        text.append(bytes.substr(start, line_end - start));
        start = lf + 1;
    }
    return text;
}

std::string ReadPageFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        throw CommandError("Cannot open file \"" + path + "\". " +
                           file.errorString().toStdString());
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw CommandError("Cannot read file \"" + path + "\". " +
                           file.errorString().toStdString());
    }
    return DecodePageFile(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        throw CommandError("Cannot create file \"" + path + "\". " +
                           file.errorString().toStdString());
    }
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw CommandError("Cannot write file \"" + path + "\". " + reason);
    }
    if (!file.commit()) {
        throw CommandError("Cannot write file \"" + path + "\". " +
                           file.errorString().toStdString());
    }
}

void WritePageFile(const std::string& path, std::string_view text) {
    WriteFileAtomically(path, EncodePageFile(text));
}

} // namespace qf
