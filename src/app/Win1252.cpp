#include "app/Win1252.h"

#include <array>

namespace app {
namespace {

// 0x80..0x9F; the five undefined bytes keep their own code point.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

unsigned char highByte(char16_t u) {
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == u) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QString fromWin1252(const char* data, qsizetype size) {
    QString out(size, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

unsigned char win1252Byte(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return static_cast<unsigned char>(u);
    }
    return highByte(u);
}

void appendWin1252(QByteArray& out, QStringView text) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        const unsigned char b = win1252Byte(text[i]);
        if (b == '?' && text[i] != u'?') {
            break;
        }
        dst[i] = static_cast<char>(b);
    }
    if (i == text.size()) {
        return;
    }
    // Rare: a letter the set cannot hold; the rest goes the slow way.
    out.truncate(start + i);
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        const unsigned char b = win1252Byte(c);
        if (b != '?' || c == u'?') {
            out.append(static_cast<char>(b));
            continue;
        }
        char32_t code = c.unicode();
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        if (pair) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            ++i;
        }
        if (code < 256 || (c.isSurrogate() && !pair)) {
            out.append('?'); // a control code or half a pair: nothing to refer to
            continue;
        }
        out.append("&#");
        out.append(QByteArray::number(static_cast<quint32>(code)));
        out.append(';');
    }
}

QString fromWin1252WithReferences(const char* data, qsizetype size) {
    QString text = fromWin1252(data, size);
    qsizetype at = text.indexOf(QLatin1StringView("&#"));
    while (at >= 0) {
        qsizetype end = at + 2;
        quint32 code = 0;
        while (end < text.size() && end - at < 10 && text[end] >= u'0' && text[end] <= u'9') {
            code = code * 10 + (text[end].unicode() - u'0');
            ++end;
        }
        const bool valid = end > at + 2 && end < text.size() && text[end] == u';' && code >= 256 &&
                           code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000);
        if (valid) {
            const char32_t c = code;
            const QString letter = QString::fromUcs4(&c, 1);
            text.replace(at, end + 1 - at, letter);
            end = at + letter.size();
        }
        at = text.indexOf(QLatin1StringView("&#"), valid ? end : at + 2);
    }
    return text;
}

QByteArray toWin1252(QStringView text) {
    QByteArray out;
    appendWin1252(out, text);
    return out;
}

} // namespace app
