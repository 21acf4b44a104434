#pragma once

#include "exchange/Amounts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace exchange {

enum class SheetEncoding { Utf8, Utf16, Windows1252 };

// One row of a sheet, found but not yet read.
struct SheetRow {
    qsizetype begin = 0;  // where its first value starts in the text
    qsizetype end = 0;    // after its last value
    qsizetype line = 0;   // the line of the file it starts on, from 1
    qsizetype values = 0; // how many values it has
    // Bit c: value c holds more than blanks; bit 63 stands for every value from 63 on.
    quint64 filled = 0;
    bool filledBeyondHeader = false; // a value after the header's last column holds something
};

// A sheet in CSV form: comma, semicolon or tab separated, quoted as RFC 4180
// quotes, in UTF-8 (with or without its byte-order mark), UTF-16 with its
// mark, or else Windows-1252. The first row that holds anything names the
// columns. Reading only finds the rows; a row's values are read when asked
// for, so that a large file costs little more than its own bytes.
class CsvSheet {
public:
    enum class Refusal { None, Empty, NotText };

    static CsvSheet read(QByteArray bytes);

    Refusal refusal() const { return m_refusal; }
    SheetEncoding encoding() const { return m_encoding; }
    bool hasByteOrderMark() const { return m_byteOrderMark; }
    char separator() const { return m_separator; }

    const QStringList& header() const { return m_header; }
    // The rows after the header that hold anything.
    const std::vector<SheetRow>& rows() const { return m_rows; }
    // Lines where a quoted value starts that never ends; each such row is
    // left out and reading goes on at the next line.
    const std::vector<qsizetype>& unclosedQuoteLines() const { return m_unclosed; }
    // Set when so many quotes were left open that the rest was not read.
    qsizetype unreadFromLine() const { return m_unreadFrom; }

    // A row's values: quotes undone, line breaks as "\n".
    QStringList values(const SheetRow& row) const;
    // What a column's cells tell of the sheet's decimal mark.
    MarkVotes votes(qsizetype column) const;

private:
    QByteArray m_text; // UTF-8 or Windows-1252
    Refusal m_refusal = Refusal::None;
    SheetEncoding m_encoding = SheetEncoding::Utf8;
    bool m_byteOrderMark = false;
    char m_separator = ',';
    QStringList m_header;
    std::vector<SheetRow> m_rows;
    std::vector<qsizetype> m_unclosed;
    qsizetype m_unreadFrom = 0;
    std::vector<MarkVotes> m_votes;
};

} // namespace exchange
