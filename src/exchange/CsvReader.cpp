#include "exchange/CsvReader.h"

#include "app/Win1252.h"

#include <QStringDecoder>
#include <cstring>

namespace exchange {
namespace {

// Rows whose quotes never close are each read again from their next line;
// past this many the rest of the file is given up rather than read again.
constexpr qsizetype kMaxUnclosedQuotes = 100;
// Columns whose cells are looked at for the decimal mark.
constexpr qsizetype kVotingColumns = 1024;

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

// Where the line that holds `p` ends.
qsizetype lineEndFrom(const QByteArray& text, qsizetype p) {
    while (p < text.size() && !isLineBreak(text[p])) {
        ++p;
    }
    return p;
}

qsizetype afterLineBreak(const QByteArray& text, qsizetype p) {
    if (p < text.size() && text[p] == '\r') {
        ++p;
        if (p < text.size() && text[p] == '\n') {
            ++p;
        }
    } else if (p < text.size() && text[p] == '\n') {
        ++p;
    }
    return p;
}

// A file that holds NUL bytes, or more control codes than text ever does, is no sheet.
bool looksBinary(const QByteArray& bytes) {
    if (std::memchr(bytes.constData(), '\0', static_cast<std::size_t>(bytes.size())) != nullptr) {
        return true;
    }
    const qsizetype head = std::min<qsizetype>(bytes.size(), qsizetype{64} * 1024);
    qsizetype controls = 0;
    for (qsizetype i = 0; i < head; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        controls += (c < 0x20 && c != '\t' && c != '\r' && c != '\n' && c != '\f') || c == 0x7F;
    }
    // A stray one (an old end-of-file mark, a form feed) is no sign.
    return controls >= 8 && controls * 100 > head;
}

// The separator the first line uses most, outside quotes: comma, semicolon or tab.
char separatorOf(const QByteArray& text, qsizetype from) {
    qsizetype counts[3] = {0, 0, 0};
    bool quoted = false;
    for (qsizetype p = from; p < text.size(); ++p) {
        const char c = text[p];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && isLineBreak(c)) {
            break;
        } else if (!quoted) {
            counts[0] += c == ',';
            counts[1] += c == ';';
            counts[2] += c == '\t';
        }
    }
    const char separators[3] = {',', ';', '\t'};
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (counts[i] > counts[best]) {
            best = i;
        }
    }
    return separators[best];
}

struct Scan {
    SheetRow row;
    qsizetype next = 0; // where the next row starts
    qsizetype nextLine = 0;
    bool unclosed = false; // a quoted value runs to the end of the file
};

// One row from `p`: its values counted, which of them hold anything, and
// their cells shown to the decimal-mark votes.
Scan scanRow(const QByteArray& text, char separator, qsizetype p, qsizetype line,
             qsizetype headerValues, std::vector<MarkVotes>* votes) {
    const char* d = text.constData();
    const qsizetype n = text.size();
    Scan scan;
    SheetRow& row = scan.row;
    row.begin = p;
    row.line = line;
    qsizetype column = 0;
    for (;;) {
        bool filled = false;
        qsizetype contentBegin = p;
        qsizetype contentEnd = p;
        if (p < n && d[p] == '"') {
            contentBegin = ++p;
            for (;;) {
                const auto* quote = static_cast<const char*>(
                    std::memchr(d + p, '"', static_cast<std::size_t>(n - p)));
                if (quote == nullptr) {
                    scan.unclosed = true;
                    return scan;
                }
                for (const char* c = d + p; c < quote; ++c) {
                    filled = filled || (*c != ' ' && *c != '\t');
                    line += *c == '\n' || (*c == '\r' && (c + 1 == d + n || c[1] != '\n'));
                }
                p = quote - d + 1;
                if (p < n && d[p] == '"') {
                    filled = true; // "" stands for a quote
                    ++p;
                    continue;
                }
                break;
            }
            contentEnd = p - 1;
            // Text after the closing quote stays with the value, as spreadsheets read it.
            for (; p < n && d[p] != separator && !isLineBreak(d[p]); ++p) {
                filled = filled || (d[p] != ' ' && d[p] != '\t');
            }
        } else {
            for (; p < n && d[p] != separator && !isLineBreak(d[p]); ++p) {
                filled = filled || (d[p] != ' ' && d[p] != '\t');
            }
            contentEnd = p;
        }
        if (filled) {
            row.filled |= quint64{1} << std::min<qsizetype>(column, 63);
            row.filledBeyondHeader =
                row.filledBeyondHeader || (headerValues > 0 && column >= headerValues);
            if (votes != nullptr && column < static_cast<qsizetype>(votes->size())) {
                voteOnCell(QByteArrayView(d + contentBegin, contentEnd - contentBegin),
                           (*votes)[static_cast<std::size_t>(column)]);
            }
        }
        ++column;
        if (p < n && d[p] == separator) {
            ++p;
            continue;
        }
        break;
    }
    row.end = p;
    row.values = column;
    scan.next = afterLineBreak(text, p);
    scan.nextLine = line + (scan.next > p);
    return scan;
}

QString decoded(const char* data, qsizetype size, SheetEncoding encoding) {
    QString text = encoding == SheetEncoding::Windows1252 ? app::fromWin1252(data, size)
                                                          : QString::fromUtf8(data, size);
    if (text.contains(u'\r')) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
    }
    return text;
}

} // namespace

CsvSheet CsvSheet::read(QByteArray bytes) {
    CsvSheet sheet;
    qsizetype start = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        sheet.m_byteOrderMark = true;
        start = 3;
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Kept as UTF-8 from here on: the scan looks at single bytes.
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                          : QStringDecoder::Utf16BE);
        const QString text = utf16.decode(QByteArrayView(bytes).sliced(2));
        bytes = text.toUtf8();
        sheet.m_byteOrderMark = true;
        sheet.m_encoding = SheetEncoding::Utf16;
    }
    if (looksBinary(bytes)) {
        sheet.m_refusal = Refusal::NotText;
        return sheet;
    }
    if (!sheet.m_byteOrderMark && !QByteArrayView(bytes).isValidUtf8()) {
        sheet.m_encoding = SheetEncoding::Windows1252;
    }
    sheet.m_text = std::move(bytes);
    const QByteArray& text = sheet.m_text;

    qsizetype line = 1;
    // Lines that hold nothing before the header are passed over.
    for (qsizetype p = start; p < text.size(); ++p) {
        if (text[p] == '\n' || (text[p] == '\r' && (p + 1 == text.size() || text[p + 1] != '\n'))) {
            ++line;
            start = p + 1;
        } else if (text[p] != ' ' && text[p] != '\t' && text[p] != '\r') {
            break;
        }
    }
    if (start >= text.size()) {
        sheet.m_refusal = Refusal::Empty;
        return sheet;
    }
    // "sep=;" on a line of its own names the separator, as spreadsheet programs write it.
    const qsizetype firstEnd = lineEndFrom(text, start);
    const QByteArrayView firstLine = QByteArrayView(text).sliced(start, firstEnd - start).trimmed();
    if (firstLine.size() == 5 && firstLine.startsWith("sep=")) {
        sheet.m_separator = firstLine[4];
        start = afterLineBreak(text, firstEnd);
        ++line;
    } else {
        sheet.m_separator = separatorOf(text, start);
    }

    qsizetype headerValues = 0;
    qsizetype unclosed = 0;
    for (qsizetype p = start; p < text.size();) {
        Scan scan = scanRow(text, sheet.m_separator, p, line, headerValues,
                            headerValues > 0 ? &sheet.m_votes : nullptr);
        if (scan.unclosed) {
            sheet.m_unclosed.push_back(line);
            if (++unclosed >= kMaxUnclosedQuotes) {
                sheet.m_unreadFrom = line + 1;
                break;
            }
            // The row is left out; the lines after its first may be rows of their own.
            p = afterLineBreak(text, lineEndFrom(text, p));
            ++line;
            continue;
        }
        if (scan.row.filled != 0) {
            if (headerValues == 0) {
                sheet.m_header = sheet.values(scan.row);
                headerValues = scan.row.values;
                sheet.m_votes.resize(
                    static_cast<std::size_t>(std::min(headerValues, kVotingColumns)));
            } else {
                sheet.m_rows.push_back(scan.row);
            }
        }
        p = scan.next;
        line = scan.nextLine;
    }
    if (headerValues == 0 && sheet.m_unclosed.empty()) {
        sheet.m_refusal = Refusal::Empty;
    }
    return sheet;
}

QStringList CsvSheet::values(const SheetRow& row) const {
    QStringList values;
    values.reserve(row.values);
    const char* d = m_text.constData();
    qsizetype p = row.begin;
    QByteArray unquoted;
    for (;;) {
        if (p < row.end && d[p] == '"') {
            unquoted.clear();
            ++p;
            for (;;) {
                const auto* quote = static_cast<const char*>(
                    std::memchr(d + p, '"', static_cast<std::size_t>(row.end - p)));
                if (quote == nullptr) {
                    quote = d + row.end; // cannot happen for a row the scan found whole
                }
                unquoted.append(d + p, quote - (d + p));
                p = quote - d + 1;
                if (p < row.end && d[p] == '"') {
                    unquoted += '"';
                    ++p;
                    continue;
                }
                break;
            }
            const qsizetype tail = p;
            while (p < row.end && d[p] != m_separator) {
                ++p;
            }
            unquoted.append(d + tail, p - tail);
            values << decoded(unquoted.constData(), unquoted.size(), m_encoding);
        } else {
            const qsizetype begin = p;
            while (p < row.end && d[p] != m_separator) {
                ++p;
            }
            values << decoded(d + begin, p - begin, m_encoding);
        }
        if (p < row.end && d[p] == m_separator) {
            ++p;
            continue;
        }
        break;
    }
    return values;
}

MarkVotes CsvSheet::votes(qsizetype column) const {
    return column >= 0 && column < static_cast<qsizetype>(m_votes.size())
               ? m_votes[static_cast<std::size_t>(column)]
               : MarkVotes{};
}

} // namespace exchange
