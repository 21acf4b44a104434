#include "store/Fields.h"

#include "store/AttributeLists.h"

namespace store {
namespace {

using L = QLatin1StringView;
using K = FieldKind;
using G = FieldGroup;

constexpr std::array<FieldInfo, kFieldCount> kFields = {{
    {Field::MiscNotes3, L("txtMiscNotes3"), L("Further Notes"), K::MultiLineText, G::Notes},
    {Field::MiscNotes2, L("txtMiscNotes2"), L("More Notes"), K::MultiLineText, G::Notes},
    {Field::MiscNotes, L("txtMiscNotes"), L("Notes"), K::MultiLineText, G::Notes},
    {Field::Grade, L("cmbGrade"), L("Grade"), K::List, G::Coin},
    {Field::MintMark, L("cmbMintMark"), L("Mint Mark"), K::List, G::Coin},
    {Field::CoinType, L("cmbCoinType"), L("Coin Type"), K::List, G::Coin},
    {Field::Country, L("txtCountry"), L("Country"), K::Text, G::Coin},
    {Field::ItemNumber, L("txtItemNumber"), L("Item #"), K::Text, G::Coin},
    {Field::Year, L("txtYear"), L("Year"), K::Text, G::Coin},
    {Field::Description, L("txtDescription"), L("Description"), K::Text, G::Coin},
    {Field::ChangeInValue, L("txtFinancialChangeInValue"), L("Change in Value"), K::Computed,
     G::Financial},
    {Field::LastAppraisal, L("txtLastAppraisal"), L("Last Appraisal"), K::Amount, G::Financial},
    {Field::DateAcquired, L("txtDateAcquired"), L("Date Acquired"), K::Date, G::Financial},
    {Field::ValuationSource, L("txtValuationSource"), L("Valuation Source"), K::Text, G::Financial},
    {Field::CurrentValue, L("txtCurrentValue"), L("Current Value"), K::Amount, G::Financial},
    {Field::PurchasePrice, L("txtPurchasePrice"), L("Purchase Price"), K::Amount, G::Financial},
    {Field::Detail4, L("txtDetail4"), L("Detail 4"), K::Text, G::CoinDetails},
    {Field::Detail5, L("txtDetail5"), L("Detail 5"), K::Text, G::CoinDetails},
    {Field::MiscDetail4, L("txtMiscDetail4"), L("Misc Detail 4"), K::Text, G::CoinDetails},
    {Field::MiscDetail5, L("txtMiscDetail5"), L("Misc Detail 5"), K::Text, G::CoinDetails},
    {Field::Detail1, L("txtDetail1"), L("Detail 1"), K::Text, G::CoinDetails},
    {Field::Detail2, L("txtDetail2"), L("Detail 2"), K::Text, G::CoinDetails},
    {Field::Detail3, L("txtDetail3"), L("Detail 3"), K::Text, G::CoinDetails},
    {Field::MiscDetail1, L("txtMiscDetail1"), L("Misc Detail 1"), K::Text, G::CoinDetails},
    {Field::MiscDetail2, L("txtMiscDetail2"), L("Misc Detail 2"), K::Text, G::CoinDetails},
    {Field::MiscDetail3, L("txtMiscDetail3"), L("Misc Detail 3"), K::Text, G::CoinDetails},
    {Field::Category, L("txtCategory"), L("Category"), K::Text, G::Other},
    {Field::PackagingType, L("txtPackagingType"), L("Packaging Type"), K::Text, G::Other},
    {Field::BoxNumber, L("txtBoxNumber"), L("Box #"), K::Text, G::Other},
    {Field::CatalogNumber, L("txtCatalogNumber"), L("Catalog #"), K::Text, G::Other},
    {Field::RecordLastUpdated, L("txtRecordLastUpdated"), L("Record Last Updated"), K::Computed,
     G::Other},
    {Field::PackagingCondition, L("txtPackagingCondition"), L("Package Condition"), K::Text,
     G::Other},
    {Field::RelatedItems, L("txtRelatedItems"), L("Related Items"), K::Text, G::Other},
}};

constexpr bool inKeyOrder() {
    for (int i = 0; i < kFieldCount; ++i) {
        if (static_cast<int>(kFields[static_cast<std::size_t>(i)].field) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inKeyOrder(), "the table is indexed by Field");

} // namespace

const std::array<FieldInfo, kFieldCount>& fields() {
    return kFields;
}

const FieldInfo& fieldInfo(Field field) {
    return kFields[static_cast<std::size_t>(field)];
}

std::optional<Field> fieldOfKey(QStringView key) {
    for (const FieldInfo& f : kFields) {
        if (key.size() == f.key.size() && key.compare(f.key, Qt::CaseInsensitive) == 0) {
            return f.field;
        }
    }
    return std::nullopt;
}

const QStringList& fieldKeys() {
    static const QStringList keys = [] {
        QStringList list;
        for (const FieldInfo& f : kFields) {
            list << QString(f.key);
        }
        return list;
    }();
    return keys;
}

const QStringList& listEntries(Field field) {
    static const QStringList none;
    switch (field) {
    case Field::CoinType:
        return coinTypeList();
    case Field::MintMark:
        return mintMarkList();
    case Field::Grade:
        return gradeList();
    default:
        return none;
    }
}

} // namespace store
