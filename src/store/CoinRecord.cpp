#include "store/CoinRecord.h"

#include "app/TextUtil.h"

namespace store {

const QStringList& fieldKeys() {
    static const QStringList keys = {
        QStringLiteral("txtMiscNotes3"),
        QStringLiteral("txtMiscNotes2"),
        QStringLiteral("txtMiscNotes"),
        QStringLiteral("cmbGrade"),
        QStringLiteral("cmbMintMark"),
        QStringLiteral("cmbCoinType"),
        QStringLiteral("txtCountry"),
        QStringLiteral("txtItemNumber"),
        QStringLiteral("txtYear"),
        QStringLiteral("txtDescription"),
        QStringLiteral("txtFinancialChangeInValue"),
        QStringLiteral("txtLastAppraisal"),
        QStringLiteral("txtDateAcquired"),
        QStringLiteral("txtValuationSource"),
        QStringLiteral("txtCurrentValue"),
        QStringLiteral("txtPurchasePrice"),
        QStringLiteral("txtDetail4"),
        QStringLiteral("txtDetail5"),
        QStringLiteral("txtMiscDetail4"),
        QStringLiteral("txtMiscDetail5"),
        QStringLiteral("txtDetail1"),
        QStringLiteral("txtDetail2"),
        QStringLiteral("txtDetail3"),
        QStringLiteral("txtMiscDetail1"),
        QStringLiteral("txtMiscDetail2"),
        QStringLiteral("txtMiscDetail3"),
        QStringLiteral("txtCategory"),
        QStringLiteral("txtPackagingType"),
        QStringLiteral("txtBoxNumber"),
        QStringLiteral("txtCatalogNumber"),
        QStringLiteral("txtRecordLastUpdated"),
        QStringLiteral("txtPackagingCondition"),
        QStringLiteral("txtRelatedItems"),
    };
    return keys;
}

bool isAttributeChoice(QStringView key) {
    return key == u"cmbCoinType" || key == u"cmbMintMark" || key == u"cmbGrade";
}

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

void CoinRecord::append(QString key, QString value) {
    m_fields.push_back({std::move(key), std::move(value)});
}

std::optional<QString> CoinRecord::value(QStringView key) const {
    for (const IniEntry& field : m_fields) {
        if (key.compare(field.key, Qt::CaseInsensitive) == 0) {
            return field.value;
        }
    }
    return std::nullopt;
}

QString CoinRecord::description() const {
    return value(u"txtDescription").value_or(QString());
}

QStringList CoinRecord::pictures() const {
    QStringList pictures;
    for (const IniEntry& field : m_fields) {
        if (isPictureKey(field.key)) {
            pictures.append(field.value);
        }
    }
    return pictures;
}

} // namespace store
