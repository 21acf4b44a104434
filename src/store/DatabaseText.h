#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The item database is Windows-1252 text with CR LF line ends, as the
// program writes it. A file saved by another program may differ: a UTF-8 or
// UTF-16 byte-order mark, or lines ended by a lone CR (old Mac editors).
// Such a file is read through a copy in the program's own form.
namespace store {

enum class TextForm { Native, Utf8, Utf16LittleEndian, Utf16BigEndian, CarriageReturns };

// Told by the first bytes of the file.
TextForm textFormOf(QByteArrayView head);

// The whole file in the program's form: Windows-1252, a letter it cannot
// hold as a character reference, every line ended by CR LF.
QByteArray toNativeForm(const QByteArray& file, TextForm form);
// The same, the form told by the file's first bytes.
QByteArray toNativeForm(const QByteArray& file);

// True when every line is one the reader places: blank, a comment, a section
// header, or a key line ("key=value") inside a section.
bool everyLinePlaced(QByteArrayView text);

// The same over a file read a piece of whole lines at a time.
class LinePlacement {
public:
    bool placed(QByteArrayView wholeLines);

private:
    bool m_inSection = false;
};

} // namespace store
