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

// The names of the characters U+00A0 to U+00FF, in order.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// Named references besides those: the markup's own characters and a few
// that pages often hold.
constexpr std::pair<std::string_view, char32_t> kOtherNames[] = {
    {"amp", u'&'},     {"lt", u'<'},      {"gt", u'>'},       {"quot", u'"'},     {"apos", u'\''},
    {"euro", 0x20AC},  {"ndash", 0x2013}, {"mdash", 0x2014},  {"lsquo", 0x2018},  {"rsquo", 0x2019},
    {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"bull", 0x2022},   {"hellip", 0x2026}, {"trade", 0x2122},
    {"OElig", 0x0152}, {"oelig", 0x0153}, {"Scaron", 0x0160}, {"scaron", 0x0161}, {"Yuml", 0x0178},
};

// Any character reference starting at `at` as a browser reads it when it
// ends with ";": numeric (of a character that may stand in a page) or one
// of the names above.
std::optional<Reference> CharacterReference(const QString& text, qsizetype at) {
    if (at >= text.size() || text[at] != u'&') {
        return std::nullopt;
    }
    if (at + 1 < text.size() && text[at + 1] == u'#') {
        if (const std::optional<Reference> reference = NonAsciiReference(text, at)) {
            return reference;
        }
        // An ASCII one: the same reading, below 0x80.
        qsizetype pos = at + 2;
        const bool hex = pos < text.size() && (text[pos] == u'x' || text[pos] == u'X');
        pos += hex ? 1 : 0;
        const qsizetype digits = pos;
        char32_t code = 0;
        while (pos < text.size() && pos - digits < 8) {
            const int value = DigitValue(text[pos].unicode(), hex);
            if (value < 0) {
                break;
            }
            code = code * (hex ? 16 : 10) + char32_t(value);
            ++pos;
        }
        if (pos == digits || pos >= text.size() || text[pos] != u';' || code == 0 || code >= 0x80) {
            return std::nullopt;
        }
        return Reference{code, pos + 1};
    }
    const qsizetype semicolon = text.indexOf(u';', at + 1);
    if (semicolon < 0 || semicolon - at - 1 > 8 || semicolon == at + 1) {
        return std::nullopt;
    }
    const std::string name = text.mid(at + 1, semicolon - at - 1).toStdString();
    for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
        if (kLatin1Names[i] == name) {
            return Reference{char32_t(0xA0 + i), semicolon + 1};
        }
    }
    for (const auto& [known, code] : kOtherNames) {
        if (known == name) {
            return Reference{code, semicolon + 1};
        }
    }
    return std::nullopt;
}

// Source text as it reads, each character with the run of the source it
// comes from.
struct ReadSource {
    QString text;
    std::vector<qsizetype> from; // per character of `text`: where its run starts
    std::vector<qsizetype> to;   // and where it ends
};

ReadSource Read(const QString& source) {
    ReadSource read;
    read.text.reserve(source.size());
    read.from.reserve(std::size_t(source.size()));
    read.to.reserve(std::size_t(source.size()));
    for (qsizetype at = 0; at < source.size();) {
        if (const std::optional<Reference> reference = CharacterReference(source, at)) {
            const QString character = QString::fromUcs4(&reference->code, 1);
            for (const QChar unit : character) {
                read.text += unit;
                read.from.push_back(at);
                read.to.push_back(reference->end);
            }
            at = reference->end;
        } else {
            read.text += source[at];
            read.from.push_back(at);
            read.to.push_back(at + 1);
            ++at;
        }
    }
    return read;
}

} // namespace

SourceMatch FindInSource(const QString& source, const QString& needle, qsizetype from,
                         bool backward) {
    if (needle.isEmpty()) {
        return {};
    }
    std::vector<SourceMatch> matches;
    for (qsizetype at = source.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
         at = source.indexOf(needle, at + 1, Qt::CaseInsensitive)) {
        matches.push_back({at, needle.size()});
    }
    // Read only when the page holds references at all.
    if (source.contains(u'&')) {
        const ReadSource read = Read(source);
        for (qsizetype at = read.text.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
             at = read.text.indexOf(needle, at + 1, Qt::CaseInsensitive)) {
            const qsizetype start = read.from[std::size_t(at)];
            matches.push_back({start, read.to[std::size_t(at + needle.size() - 1)] - start});
        }
    }
    if (matches.empty()) {
        return {};
    }
    std::sort(matches.begin(), matches.end(), [](const SourceMatch& a, const SourceMatch& b) {
        return a.start != b.start ? a.start < b.start : a.length < b.length;
    });
    if (backward) {
        for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
            if (it->start < from) {
                return *it;
            }
        }
        return matches.back(); // round the start to the end
    }
    for (const SourceMatch& match : matches) {
        if (match.start >= from) {
            return match;
        }
    }
    return matches.front(); // round the end to the start
}

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

SourceEncoding EncodingOfSource(std::string_view bytes) {
    // Decoded in pieces that end between two characters, each thrown away.
    constexpr std::size_t kPiece = 64 * 1024;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = std::min(bytes.size(), at + kPiece);
        for (int back = 0; end < bytes.size() && end > at + 1 && back < 4 &&
                           (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80;
             ++back) {
            --end;
        }
        const QString piece = utf8.decode(QByteArrayView(bytes.data() + at, qsizetype(end - at)));
        if (utf8.hasError()) {
            return SourceEncoding::Windows1252;
        }
        at = end;
    }
    return SourceEncoding::Utf8;
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
