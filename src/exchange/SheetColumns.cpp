#include "exchange/SheetColumns.h"

#include <QHash>
#include <QRegularExpression>

namespace exchange {
namespace {

using F = store::Field;

// Names a collector's own sheet or another collection program gives a column.
struct Alias {
    const char* name; // folded
    ColumnTarget target;
};

const Alias kAliases[] = {
    {"title", ColumnTarget::of(F::Description)},
    {"name", ColumnTarget::of(F::Description)},
    {"coin", ColumnTarget::of(F::Description)},
    {"coinname", ColumnTarget::of(F::Description)},
    {"itemname", ColumnTarget::of(F::Description)},
    {"desc", ColumnTarget::of(F::Description)},
    {"date", ColumnTarget::of(F::Year)}, // a coin's date is the year it bears
    {"yr", ColumnTarget::of(F::Year)},
    {"yearofissue", ColumnTarget::of(F::Year)},
    {"nation", ColumnTarget::of(F::Country)},
    {"issuer", ColumnTarget::of(F::Country)},
    {"type", ColumnTarget::of(F::CoinType)},
    {"mint", ColumnTarget::of(F::MintMark)},
    {"mm", ColumnTarget::of(F::MintMark)},
    {"condition", ColumnTarget::of(F::Grade)},
    {"grading", ColumnTarget::of(F::Grade)},
    {"item", ColumnTarget::of(F::ItemNumber)},
    {"itemno", ColumnTarget::of(F::ItemNumber)},
    {"itemnr", ColumnTarget::of(F::ItemNumber)},
    {"itemid", ColumnTarget::of(F::ItemNumber)},
    {"number", ColumnTarget::of(F::ItemNumber)},
    {"no", ColumnTarget::of(F::ItemNumber)},
    {"inventorynumber", ColumnTarget::of(F::ItemNumber)},
    {"inventoryno", ColumnTarget::of(F::ItemNumber)},
    {"value", ColumnTarget::of(F::CurrentValue)},
    {"marketvalue", ColumnTarget::of(F::CurrentValue)},
    {"estimatedvalue", ColumnTarget::of(F::CurrentValue)},
    {"estimate", ColumnTarget::of(F::CurrentValue)},
    {"worth", ColumnTarget::of(F::CurrentValue)},
    {"price", ColumnTarget::of(F::PurchasePrice)},
    {"cost", ColumnTarget::of(F::PurchasePrice)},
    {"paid", ColumnTarget::of(F::PurchasePrice)},
    {"pricepaid", ColumnTarget::of(F::PurchasePrice)},
    {"amountpaid", ColumnTarget::of(F::PurchasePrice)},
    {"purchasecost", ColumnTarget::of(F::PurchasePrice)},
    {"change", ColumnTarget::of(F::ChangeInValue)},
    {"appraisal", ColumnTarget::of(F::LastAppraisal)},
    {"appraisedvalue", ColumnTarget::of(F::LastAppraisal)},
    {"acquired", ColumnTarget::of(F::DateAcquired)},
    {"purchasedate", ColumnTarget::of(F::DateAcquired)},
    {"dateofpurchase", ColumnTarget::of(F::DateAcquired)},
    {"datepurchased", ColumnTarget::of(F::DateAcquired)},
    {"purchased", ColumnTarget::of(F::DateAcquired)},
    {"acquisitiondate", ColumnTarget::of(F::DateAcquired)},
    {"datebought", ColumnTarget::of(F::DateAcquired)},
    {"source", ColumnTarget::of(F::ValuationSource)},
    {"valuesource", ColumnTarget::of(F::ValuationSource)},
    {"pricesource", ColumnTarget::of(F::ValuationSource)},
    {"series", ColumnTarget::of(F::Category)},
    {"packaging", ColumnTarget::of(F::PackagingType)},
    {"holder", ColumnTarget::of(F::PackagingType)},
    {"box", ColumnTarget::of(F::BoxNumber)},
    {"boxno", ColumnTarget::of(F::BoxNumber)},
    {"catalog", ColumnTarget::of(F::CatalogNumber)},
    {"catalogue", ColumnTarget::of(F::CatalogNumber)},
    {"cataloguenumber", ColumnTarget::of(F::CatalogNumber)},
    {"catalogno", ColumnTarget::of(F::CatalogNumber)},
    {"catno", ColumnTarget::of(F::CatalogNumber)},
    {"lastupdated", ColumnTarget::of(F::RecordLastUpdated)},
    {"updated", ColumnTarget::of(F::RecordLastUpdated)},
    {"lastmodified", ColumnTarget::of(F::RecordLastUpdated)},
    {"modified", ColumnTarget::of(F::RecordLastUpdated)},
    {"packagingcondition", ColumnTarget::of(F::PackagingCondition)},
    {"holdercondition", ColumnTarget::of(F::PackagingCondition)},
    {"related", ColumnTarget::of(F::RelatedItems)},
    {"note", ColumnTarget::of(F::MiscNotes)},
    {"comments", ColumnTarget::of(F::MiscNotes)},
    {"comment", ColumnTarget::of(F::MiscNotes)},
    {"remarks", ColumnTarget::of(F::MiscNotes)},
    {"notes2", ColumnTarget::of(F::MiscNotes2)},
    {"notes3", ColumnTarget::of(F::MiscNotes3)},
};

const char* const kPictureWords[] = {"picture", "pictures", "image",     "images",
                                     "photo",   "photos",   "imagefile", "picturefile"};

QString foldedList(QStringView text) {
    return text.toString().simplified().toCaseFolded();
}

const QHash<QString, ColumnTarget>& headerNames() {
    static const QHash<QString, ColumnTarget> names = [] {
        QHash<QString, ColumnTarget> table;
        for (const Alias& a : kAliases) {
            table.insert(QString::fromLatin1(a.name), a.target);
        }
        for (const store::FieldInfo& f : store::fields()) {
            table.insert(foldedHeader(QString(f.caption)), ColumnTarget::of(f.field));
            table.insert(foldedHeader(QString(f.key)), ColumnTarget::of(f.field));
        }
        for (const char* word : kPictureWords) {
            table.insert(QString::fromLatin1(word), {ColumnTarget::Kind::Pictures});
        }
        table.insert(foldedHeader(otherFieldsCaption()), {ColumnTarget::Kind::OtherFields});
        return table;
    }();
    return names;
}

struct ListNames {
    QHash<QString, int> texts; // folded entry to row
    QHash<QString, int> codes; // folded code to row; -1 when two rows share it
};

// "Gem Proof (PF-65)" is named by "pf65"; "D : Denver, CO (1906 to date)" by "d".
QString codeOf(store::Field field, const QString& entry) {
    if (field == F::Grade) {
        static const QRegularExpression code(QStringLiteral("\\(([A-Za-z]+)(?:-(\\d+))?\\)$"));
        const QRegularExpressionMatch m = code.match(entry);
        return m.hasMatch() ? foldedHeader(m.captured(0)) : QString();
    }
    if (field == F::MintMark) {
        const qsizetype colon = entry.indexOf(u':');
        return colon > 0 ? foldedHeader(QStringView(entry).first(colon)) : QString();
    }
    return {};
}

ListNames namesOf(store::Field field) {
    ListNames names;
    const QStringList& entries = store::listEntries(field);
    for (int row = 0; row < entries.size(); ++row) {
        names.texts.insert(foldedList(entries[row]), row);
        const QString code = codeOf(field, entries[row]);
        if (!code.isEmpty()) {
            names.codes.insert(code, names.codes.contains(code) ? -1 : row);
        }
    }
    return names;
}

} // namespace

const std::array<store::Field, store::kFieldCount>& fieldsInWindowOrder() {
    static constexpr std::array<store::Field, store::kFieldCount> order = {
        F::Description,     F::Year,
        F::Country,         F::CoinType,
        F::MintMark,        F::Grade,
        F::ItemNumber,      F::CurrentValue,
        F::PurchasePrice,   F::ChangeInValue,
        F::LastAppraisal,   F::DateAcquired,
        F::ValuationSource, F::Detail1,
        F::Detail2,         F::Detail3,
        F::Detail4,         F::Detail5,
        F::MiscDetail1,     F::MiscDetail2,
        F::MiscDetail3,     F::MiscDetail4,
        F::MiscDetail5,     F::Category,
        F::CatalogNumber,   F::RelatedItems,
        F::PackagingType,   F::PackagingCondition,
        F::BoxNumber,       F::RecordLastUpdated,
        F::MiscNotes,       F::MiscNotes2,
        F::MiscNotes3,
    };
    return order;
}

QString picturesCaption() {
    return QStringLiteral("Pictures");
}

QString otherFieldsCaption() {
    return QStringLiteral("Other Fields");
}

QString foldedHeader(QStringView header) {
    QString folded;
    folded.reserve(header.size() + 8);
    for (const QChar c : header) {
        if (c == u'#') {
            folded += QStringLiteral("number");
        } else if (c.isLetterOrNumber()) {
            folded += c.toCaseFolded();
        }
    }
    return folded;
}

ColumnTarget targetOfHeader(QStringView header) {
    const QString folded = foldedHeader(header);
    const auto it = headerNames().constFind(folded);
    if (it != headerNames().cend()) {
        return *it;
    }
    // "Obverse Image", "Reverse Photo": a picture column of its own.
    for (const char* word : kPictureWords) {
        if (folded.endsWith(QLatin1StringView(word))) {
            return {ColumnTarget::Kind::Pictures};
        }
    }
    return {};
}

std::optional<int> listRowOfText(store::Field field, QStringView text) {
    static const std::array<ListNames, 3> lists = {namesOf(F::CoinType), namesOf(F::MintMark),
                                                   namesOf(F::Grade)};
    const ListNames* names = field == F::CoinType   ? lists.data()
                             : field == F::MintMark ? &lists[1]
                             : field == F::Grade    ? &lists[2]
                                                    : nullptr;
    if (names == nullptr) {
        return std::nullopt;
    }
    if (const auto it = names->texts.constFind(foldedList(text)); it != names->texts.cend()) {
        return *it;
    }
    const QString code = foldedHeader(text);
    if (const auto it = names->codes.constFind(code);
        !code.isEmpty() && it != names->codes.cend() && *it >= 0) {
        return *it;
    }
    return std::nullopt;
}

} // namespace exchange
