#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Windows-1252, the single-byte character set of every text file the program
// keeps. Bytes without a defined character map to the control code of the same
// number, so every byte survives a read and a write unchanged.
namespace app {

QString fromWin1252(const char* data, qsizetype size);
inline QString fromWin1252(const QByteArray& bytes) {
    return fromWin1252(bytes.constData(), bytes.size());
}

// A character the set cannot hold is written as a decimal character reference
// ("&#322;" for "ł", code points from 256 up), so no letter is lost and a text
// the set can hold is written exactly as before.
QByteArray toWin1252(QStringView text);
void appendWin1252(QByteArray& out, QStringView text);

// Text as written by toWin1252: the references from 256 up become their
// characters again; "&#65;" and anything else stays as it is.
QString fromWin1252WithReferences(const char* data, qsizetype size);

// The byte a character becomes, "?" when the set cannot hold it.
unsigned char win1252Byte(QChar c);

} // namespace app
