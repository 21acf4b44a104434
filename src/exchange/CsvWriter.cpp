#include "exchange/CsvWriter.h"

namespace exchange {

CsvWriter::CsvWriter() : m_bytes("\xEF\xBB\xBF") {}

void CsvWriter::addRow(const QStringList& values) {
    m_row.clear();
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) {
            m_row += u',';
        }
        appendCsvValue(m_row, values[i]);
    }
    m_row += QLatin1StringView("\r\n");
    m_bytes += m_row.toUtf8();
}

void appendCsvValue(QString& row, const QString& value) {
    const bool quoted = std::any_of(value.begin(), value.end(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (!quoted) {
        row += value;
        return;
    }
    row += u'"';
    for (const QChar c : value) {
        if (c == u'"') {
            row += u'"';
        }
        row += c;
    }
    row += u'"';
}

} // namespace exchange
