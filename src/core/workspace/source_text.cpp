#include "workspace/source_text.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

namespace qf {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page has no character
// (those bytes are read as the C1 control of the same value).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

QChar FromWindows1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0 && kHighControls[byte - 0x80] != 0) {
        return QChar(kHighControls[byte - 0x80]);
    }
    return QChar(byte);
}

// The Windows-1252 byte of `c`, or -1 when the code page has none.
int ToWindows1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return c;
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c) {
            return int(0x80 + i);
        }
    }
    if (c >= 0x80 && c < 0xA0) {
        return c; // an undefined byte read back as its control character
    }
    return -1;
}

int DigitValue(char16_t c, bool hex) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (hex && c >= u'a' && c <= u'f') {
        return 10 + (c - u'a');
    }
    if (hex && c >= u'A' && c <= u'F') {
        return 10 + (c - u'A');
    }
    return -1;
}

// The character of the numeric reference starting at `at` ("&#252;" or
// "&#xFC;") when it is one outside ASCII, and where the reference ends.
struct Reference {
    char32_t code = 0;
    qsizetype end = 0;
};

std::optional<Reference> NonAsciiReference(const QString& text, qsizetype at) {
    if (!QStringView(text).mid(at).startsWith(u"&#")) {
        return std::nullopt;
    }
    qsizetype pos = at + 2;
    const bool hex = pos < text.size() && (text[pos] == u'x' || text[pos] == u'X');
    pos += hex ? 1 : 0;
    const qsizetype digits = pos;
    char32_t code = 0;
    // Eight digits at most, so the number never overflows.
    while (pos < text.size() && pos - digits < 8) {
        const int value = DigitValue(text[pos].unicode(), hex);
        if (value < 0) {
            break;
        }
        code = code * (hex ? 16 : 10) + char32_t(value);
        ++pos;
    }
    if (pos == digits || pos >= text.size() || text[pos] != u';') {
        return std::nullopt;
    }
    if (code < 0x80 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    return Reference{code, pos + 1};
}

} // namespace

QString ReadableText(std::string_view bytes) {
    const QString text = DecodeSource(bytes).text;
    QString readable;
    readable.reserve(text.size());
    for (qsizetype at = 0; at < text.size();) {
        if (const std::optional<Reference> reference = NonAsciiReference(text, at)) {
            readable += QString::fromUcs4(&reference->code, 1);
            at = reference->end;
        } else {
            readable += text[at];
            ++at;
        }
    }
    return readable;
}

SourceText DecodeSource(std::string_view bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (!utf8.hasError()) {
        return {text, SourceEncoding::Utf8};
    }
    text.clear();
    text.reserve(qsizetype(bytes.size()));
    for (const char byte : bytes) {
        text.append(FromWindows1252(static_cast<unsigned char>(byte)));
    }
    return {text, SourceEncoding::Windows1252};
}

std::string EncodeSource(const QString& text, SourceEncoding encoding) {
    if (encoding == SourceEncoding::Utf8) {
        return text.toStdString();
    }
    std::string bytes;
    bytes.reserve(std::size_t(text.size()));
    for (const char32_t code : text.toUcs4()) {
        const int byte = code <= 0xFFFF ? ToWindows1252(char16_t(code)) : -1;
        if (byte >= 0) {
            bytes.push_back(char(byte));
        } else {
            bytes += "&#" + std::to_string(std::uint32_t(code)) + ";";
        }
    }
    return bytes;
}

namespace {

bool StartsTag(std::string_view bytes, std::size_t at) {
    if (at + 1 >= bytes.size()) {
        return false;
    }
    const auto next = static_cast<unsigned char>(bytes[at + 1]);
    return std::isalpha(next) != 0 || next == '/' || next == '!' || next == '?';
}

// The position just behind the tag, comment or marker that starts at `at`.
std::size_t TagEnd(std::string_view bytes, std::size_t at) {
    if (bytes.substr(at, 4) == "<!--") {
        const std::size_t plain = bytes.find("-->", at + 4);
        const std::size_t marker = bytes.find("--!>", at + 4);
        const std::size_t end = std::min(plain, marker);
        if (end == std::string_view::npos) {
            return bytes.size();
        }
        return end + (end == plain ? 3 : 4);
    }
    for (std::size_t i = at + 1; i < bytes.size(); ++i) {
        if (bytes[i] == '>') {
            return i + 1;
        }
        if (bytes[i] == '"' || bytes[i] == '\'') {
            const std::size_t close = bytes.find(bytes[i], i + 1);
            if (close == std::string_view::npos) {
                break; // an open quote: the first ">" ends the tag after all
            }
            i = close;
        }
    }
    const std::size_t plain = bytes.find('>', at + 1);
    return plain == std::string_view::npos ? bytes.size() : plain + 1;
}

} // namespace

std::vector<std::string> SourceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t text_start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes[i] != '<' || !StartsTag(bytes, i)) {
            ++i;
            continue;
        }
        if (i > text_start) {
            lines.emplace_back(bytes.substr(text_start, i - text_start));
        }
        const std::size_t end = TagEnd(bytes, i);
        lines.emplace_back(bytes.substr(i, end - i));
        i = text_start = end;
    }
    if (text_start < bytes.size()) {
        lines.emplace_back(bytes.substr(text_start));
    }
    return lines;
}

} // namespace qf
