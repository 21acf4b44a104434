#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace exchange {

// A sheet as RFC 4180 writes it: values parted by commas, a value holding a
// comma, a quote or a line break in double quotes with its quotes doubled,
// rows ending in CR LF. UTF-8 after a byte-order mark, which spreadsheet
// programs need to read every letter right.
class CsvWriter {
public:
    CsvWriter();

    void addRow(const QStringList& values);
    QByteArray take() { return std::move(m_bytes); }

private:
    QByteArray m_bytes;
    QString m_row;
};

// A value as it stands in a row.
void appendCsvValue(QString& row, const QString& value);

} // namespace exchange
