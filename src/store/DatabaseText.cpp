#include "store/DatabaseText.h"

#include "app/Win1252.h"

#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace store {
namespace {

bool startsWith(QByteArrayView bytes, QByteArrayView prefix) {
    return bytes.size() >= prefix.size() && bytes.first(prefix.size()) == prefix;
}

QString withCrLf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

} // namespace

TextForm textFormOf(QByteArrayView head) {
    if (startsWith(head, "\xEF\xBB\xBF")) {
        return TextForm::Utf8;
    }
    if (startsWith(head, "\xFF\xFE")) {
        return TextForm::Utf16LittleEndian;
    }
    if (startsWith(head, "\xFE\xFF")) {
        return TextForm::Utf16BigEndian;
    }
    if (head.isEmpty()) {
        return TextForm::Native;
    }
    // Lines ended by a lone CR: the first line break tells.
    const char* cr = static_cast<const char*>(std::memchr(head.data(), '\r', head.size()));
    const char* lf = static_cast<const char*>(std::memchr(head.data(), '\n', head.size()));
    if (cr != nullptr && (lf == nullptr || cr < lf) && cr + 1 < head.data() + head.size() &&
        cr[1] != '\n') {
        return TextForm::CarriageReturns;
    }
    return TextForm::Native;
}

QByteArray toNativeForm(const QByteArray& file, TextForm form) {
    QString text;
    switch (form) {
    case TextForm::Native:
        return file;
    case TextForm::CarriageReturns:
        text = app::fromWin1252(file);
        break;
    case TextForm::Utf8:
        text = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless)
                   .decode(QByteArrayView(file).sliced(3));
        break;
    case TextForm::Utf16LittleEndian:
    case TextForm::Utf16BigEndian:
        text = QStringDecoder(form == TextForm::Utf16LittleEndian ? QStringDecoder::Utf16LE
                                                                  : QStringDecoder::Utf16BE,
                              QStringDecoder::Flag::Stateless)
                   .decode(QByteArrayView(file).sliced(2));
        break;
    }
    return app::toWin1252(withCrLf(std::move(text)));
}

QByteArray toNativeForm(const QByteArray& file) {
    constexpr qsizetype kHead = qsizetype{64} * 1024;
    return toNativeForm(file, textFormOf(QByteArrayView(file).first(std::min(file.size(), kHead))));
}

bool everyLinePlaced(QByteArrayView text) {
    return LinePlacement().placed(text);
}

bool LinePlacement::placed(QByteArrayView wholeLines) {
    const char* p = wholeLines.data();
    const char* end = p + wholeLines.size();
    bool& inSection = m_inSection;
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* lineEnd = lf ? lf : end;
        const char* b = p;
        p = lf ? lf + 1 : end;
        while (b < lineEnd && (*b == ' ' || *b == '\t' || *b == '\0' || *b == '\r')) {
            ++b;
        }
        if (b == lineEnd || *b == ';') {
            continue;
        }
        if (*b == '[') {
            inSection = true;
            continue;
        }
        if (!inSection || std::memchr(b, '=', lineEnd - b) == nullptr) {
            // Only blanks left on the line (a NUL-filled block) are no stray line.
            const bool blank = std::all_of(
                b, lineEnd, [](char c) { return c == ' ' || c == '\t' || c == '\0' || c == '\r'; });
            if (!blank) {
                return false;
            }
        }
    }
    return true;
}

} // namespace store
