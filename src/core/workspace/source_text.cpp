#include "workspace/source_text.h"

#include <QList>
#include <QStringDecoder>

#include <array>

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

} // namespace

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

} // namespace qf
