#pragma once

#include <QStringList>

// The fields of one item; a field's key is the name of the window box that
// edits it, in the order the window creates its boxes.
namespace store {

inline const QStringList& itemRecordKeys() {
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

// The three boxes whose value is a row of a fixed list.
inline bool isAttributeChoice(const QString& name) {
    return name == QLatin1String("cmbCoinType") || name == QLatin1String("cmbMintMark") ||
           name == QLatin1String("cmbGrade");
}

} // namespace store
