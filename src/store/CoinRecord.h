#pragma once

#include "store/Fields.h"
#include "store/IniReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace store {

// A picture is stored under "g_sListOfImagesForItem(n)", n counting from 1.
QString pictureKey(qsizetype number);
// Any key naming the picture list, letter case ignored; the number is not read.
bool isPictureKey(QStringView key);
// The key an item without pictures still writes once it has been stored.
inline const QString kFirstPictureKey = QStringLiteral("g_sListOfImagesForItem(1)");

// Text fields in the file: blanks around removed, a line break as "~|".
QString encodeText(const QString& text);
QString decodeText(const QString& stored);

// One coin: its keys and values in the order of the file. Keys the program
// does not know stay where they are, so a rewrite keeps them.
//
// A collection holds a hundred thousand of these, so a record keeps its
// values as the file's bytes (Windows-1252) in one buffer, its key names
// shared with the other records, and makes a value's text when asked.
class CoinRecord {
public:
    CoinRecord() = default;
    explicit CoinRecord(const std::vector<IniEntry>& fields);

    qsizetype size() const { return static_cast<qsizetype>(m_fields.size()); }
    bool isEmpty() const { return m_fields.empty(); }
    const QString& key(qsizetype i) const { return m_fields[static_cast<std::size_t>(i)].key; }
    QString value(qsizetype i) const;
    // The value as the file holds it: a line's bytes, no line break, no NUL.
    QByteArrayView valueBytes(qsizetype i) const {
        const Entry& f = m_fields[static_cast<std::size_t>(i)];
        return {m_bytes.constData() + f.begin, f.size};
    }

    // The value is kept as the file would hold it: a character Windows-1252
    // cannot hold as a character reference, a line break a blank, a NUL nothing.
    void append(const QString& key, QStringView value);
    // A value already in the file's form.
    void appendBytes(const QString& key, QByteArrayView value);
    void removeAt(qsizetype i);
    // Room for the fields and value bytes about to be appended.
    void reserve(qsizetype fields, qsizetype bytes);
    // Gives back the value bytes reserved beyond those appended.
    void squeeze() { m_bytes.squeeze(); }
    std::vector<IniEntry> entries() const;

    // The first value stored under the key, letter case ignored.
    std::optional<QString> value(QStringView key) const;
    // A field's stored text; empty when it is not stored.
    QString value(Field field) const;
    QString description() const { return value(Field::Description); }
    QString year() const { return value(Field::Year); }
    // An amount field as a number; none when missing or not a number ("$1,250.00" is 1250).
    std::optional<double> amount(Field field) const;
    // The chosen row of a list field; none when missing or no row of its list.
    std::optional<int> listRow(Field field) const;
    // A list field's chosen entry; empty when none.
    QString listText(Field field) const;
    // The stored picture names in key order; an empty stored name stays.
    QStringList pictures() const;

private:
    struct Entry {
        QString key;
        qint32 begin = 0;
        qint32 size = 0;
    };
    std::vector<Entry> m_fields;
    QByteArray m_bytes;
};

} // namespace store
