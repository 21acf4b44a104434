#include "store/CoinRecord.h"

#include "app/RegionalFormats.h"
#include "app/TextUtil.h"
#include "app/Win1252.h"

namespace store {

QString pictureKey(qsizetype number) {
    return QStringLiteral("g_sListOfImagesForItem(") + QString::number(number) + u')';
}

bool isPictureKey(QStringView key) {
    return key.contains(u"g_sListOfImagesForItem", Qt::CaseInsensitive);
}

QString encodeText(const QString& text) {
    QString t = app::trimBlanks(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("~|"));
    t.replace(u'\n', QStringLiteral("~|"));
    return t;
}

QString decodeText(const QString& stored) {
    QString t = stored;
    t.replace(QStringLiteral("~|"), QStringLiteral("\n"));
    return t;
}

CoinRecord::CoinRecord(const std::vector<IniEntry>& fields) {
    m_fields.reserve(fields.size());
    for (const IniEntry& field : fields) {
        append(field.key, field.value);
    }
}

QString CoinRecord::value(qsizetype i) const {
    const QByteArrayView bytes = valueBytes(i);
    return app::fromWin1252WithReferences(bytes.data(), bytes.size());
}

void CoinRecord::append(const QString& key, QStringView value) {
    const qsizetype begin = m_bytes.size();
    appendValueBytes(m_bytes, value);
    m_fields.push_back(
        {key, static_cast<qint32>(begin), static_cast<qint32>(m_bytes.size() - begin)});
}

void CoinRecord::appendBytes(const QString& key, QByteArrayView value) {
    const qsizetype begin = m_bytes.size();
    m_bytes.append(value);
    m_fields.push_back({key, static_cast<qint32>(begin), static_cast<qint32>(value.size())});
}

void CoinRecord::removeAt(qsizetype i) {
    // The bytes stay behind; a record is rebuilt when it is stored anyway.
    m_fields.erase(m_fields.begin() + i);
}

void CoinRecord::reserve(qsizetype fields, qsizetype bytes) {
    m_fields.reserve(static_cast<std::size_t>(fields));
    m_bytes.reserve(bytes);
}

std::vector<IniEntry> CoinRecord::entries() const {
    std::vector<IniEntry> entries;
    entries.reserve(m_fields.size());
    for (qsizetype i = 0; i < size(); ++i) {
        entries.push_back({key(i), value(i)});
    }
    return entries;
}

std::optional<QString> CoinRecord::value(QStringView key) const {
    for (qsizetype i = 0; i < size(); ++i) {
        if (key.compare(this->key(i), Qt::CaseInsensitive) == 0) {
            return value(i);
        }
    }
    return std::nullopt;
}

QString CoinRecord::value(store::Field field) const {
    const QLatin1StringView key = fieldInfo(field).key;
    for (qsizetype i = 0; i < size(); ++i) {
        const QString& k = this->key(i);
        if (k.size() == key.size() && k.compare(key, Qt::CaseInsensitive) == 0) {
            return value(i);
        }
    }
    return {};
}

std::optional<double> CoinRecord::amount(store::Field field) const {
    const QString text = value(field);
    return text.isEmpty() ? std::nullopt : app::parseNumber(text);
}

std::optional<int> CoinRecord::listRow(store::Field field) const {
    const std::optional<qint32> row = app::toLong(value(field));
    if (!row || *row < 0 || *row >= listEntries(field).size()) {
        return std::nullopt;
    }
    return *row;
}

QString CoinRecord::listText(store::Field field) const {
    const std::optional<int> row = listRow(field);
    return row ? listEntries(field).at(*row) : QString();
}

QStringList CoinRecord::pictures() const {
    QStringList pictures;
    for (qsizetype i = 0; i < size(); ++i) {
        if (isPictureKey(key(i))) {
            pictures.append(value(i));
        }
    }
    return pictures;
}

} // namespace store
