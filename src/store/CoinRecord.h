#pragma once

#include "store/IniDocument.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace store {

// The keys of the fields the program edits, in the order the window creates
// their boxes and a save writes them. Each is the name of the box.
const QStringList& fieldKeys();

// The three fields whose value is a row of a fixed list (Coin Type, Mint Mark, Grade).
bool isAttributeChoice(QStringView key);

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
class CoinRecord {
public:
    CoinRecord() = default;
    explicit CoinRecord(std::vector<IniEntry> fields) : m_fields(std::move(fields)) {}

    const std::vector<IniEntry>& fields() const { return m_fields; }
    std::vector<IniEntry>& fields() { return m_fields; }
    bool isEmpty() const { return m_fields.empty(); }

    void append(QString key, QString value);

    // The first value stored under the key, letter case ignored.
    std::optional<QString> value(QStringView key) const;
    QString description() const;
    // The stored picture names in key order; an empty stored name stays.
    QStringList pictures() const;

private:
    std::vector<IniEntry> m_fields;
};

} // namespace store
