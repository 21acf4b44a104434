#include "SyntheticCollection.h"

#include "app/ProgramFolder.h"
#include "store/AtomicFile.h"
#include "store/Collection.h"
#include "store/IniDocument.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace bench {
namespace {

const char* const kDescriptions[] = {
    "Morgan Silver Dollar",
    "Peace Dollar",
    "Walking Liberty Half Dollar",
    "Buffalo Nickel",
    "Mercury Dime",
    "Indian Head Cent",
    "Standing Liberty Quarter",
    "Saint-Gaudens Double Eagle",
    "Barber Quarter",
    "Seated Liberty Dime",
    "Maple Leaf",
    "Britannia Two Pounds",
};
const char* const kCountries[] = {"United States", "Canada", "United Kingdom", "Mexico",
                                  "Germany",       "France", "Australia",      "Switzerland"};
const char* const kSources[] = {"Dealer price guide", "Auction record", "Show appraisal",
                                "Grading service estimate"};
const char* const kPackaging[] = {"2x2 flip", "Slab", "Capsule", "Album page", "Roll tube"};

QString money(QRandomGenerator& r, int maxDollars) {
    const int dollars = static_cast<int>(r.bounded(maxDollars));
    const int cents = static_cast<int>(r.bounded(100));
    QString whole = QString::number(dollars);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3) {
        whole.insert(i, u',');
    }
    return QStringLiteral("$%1.%2").arg(whole).arg(cents, 2, 10, QLatin1Char('0'));
}

} // namespace

std::vector<store::IniEntry> syntheticItem(QRandomGenerator& r, int i) {
    std::vector<store::IniEntry> e;
    auto add = [&](const QString& key, const QString& value) { e.push_back({key, value}); };
    const int year = 1794 + static_cast<int>(r.bounded(230));
    const QString country = QString::fromLatin1(kCountries[r.bounded(8)]);
    add("txtMiscNotes", QStringLiteral("Bought at the spring show in %1~|Light toning on the "
                                       "reverse~|Certificate kept in binder %2")
                            .arg(2000 + i % 24)
                            .arg(i % 40));
    if (i % 3 == 0) {
        add("txtMiscNotes2",
            QStringLiteral("Compared against the reference plate; rim nick at 3 o'clock"));
    }
    add("cmbGrade", QString::number(r.bounded(26)));
    add("cmbMintMark", QString::number(r.bounded(7)));
    add("cmbCoinType", QString::number(r.bounded(12)));
    add("txtCountry", country);
    add("txtItemNumber", QStringLiteral("INV-%1").arg(i, 6, 10, QLatin1Char('0')));
    add("txtYear", QString::number(year));
    add("txtDescription",
        QStringLiteral("%1 %2").arg(year).arg(QString::fromLatin1(kDescriptions[r.bounded(12)])));
    add("txtFinancialChangeInValue",
        QStringLiteral("%1.%2%").arg(r.bounded(90)).arg(r.bounded(10, 99)));
    add("txtLastAppraisal", money(r, 5000));
    add("txtDateAcquired", QStringLiteral("%1/%2/%3")
                               .arg(r.bounded(1, 13))
                               .arg(r.bounded(1, 29))
                               .arg(r.bounded(1990, 2025)));
    add("txtValuationSource", QString::fromLatin1(kSources[r.bounded(4)]));
    add("txtCurrentValue", money(r, 5000));
    add("txtPurchasePrice", money(r, 3000));
    add("txtDetail4",
        QStringLiteral("Diameter %1.%2 mm").arg(r.bounded(15, 40)).arg(r.bounded(10)));
    add("txtDetail5", QStringLiteral("Weight %1.%2 g").arg(r.bounded(2, 35)).arg(r.bounded(100)));
    add("txtMiscDetail4", QStringLiteral("Reeded edge"));
    add("txtMiscDetail5", QStringLiteral("Designer: engraver no. %1").arg(r.bounded(30)));
    add("txtDetail1", QStringLiteral("90% silver, 10% copper"));
    add("txtDetail2", QStringLiteral("Mintage %1").arg(r.bounded(10000, 90000000)));
    add("txtDetail3", QStringLiteral("Obverse: Liberty head facing left"));
    add("txtMiscDetail1", QStringLiteral("Proof-like fields"));
    add("txtMiscDetail2", QStringLiteral("Die variety %1").arg(r.bounded(1, 12)));
    add("txtMiscDetail3", QStringLiteral("Pedigree: %1 collection").arg(country));
    add("txtCategory", QStringLiteral("Silver dollars"));
    add("txtPackagingType", QString::fromLatin1(kPackaging[r.bounded(5)]));
    add("txtBoxNumber", QString::number(i / 100 + 1));
    add("txtCatalogNumber", QStringLiteral("KM-%1").arg(r.bounded(1, 999)));
    add("txtRecordLastUpdated", QStringLiteral("3/15/2024 2:30:05 PM"));
    add("txtPackagingCondition", QStringLiteral("Good"));
    const int pictures = static_cast<int>(r.bounded(4));
    for (int k = 1; k <= pictures; ++k) {
        add(QStringLiteral("g_sListOfImagesForItem(%1)").arg(k),
            QStringLiteral("_data\\_userImages\\202403151%1%2.jpg")
                .arg(i % 100000, 5, 10, QLatin1Char('0'))
                .arg(k));
    }
    if (pictures == 0) {
        add("g_sListOfImagesForItem(1)", QString());
    }
    return e;
}

QString sectionName(int number) {
    return QStringLiteral("ITEMNUMB%1").arg(number, 6, 10, QLatin1Char('0'));
}

// A program folder holding a database of `items` items.
void writeSyntheticCollection(const QString& folder, int items) {
    QDir().mkpath(folder + "/_data");
    app::setProgramFolder(folder);
    writeDatabase(store::itemDatabasePath(), items,
                  [](QRandomGenerator& r, int i) { return syntheticItem(r, i); });
}

void writeDatabase(
    const QString& path, int items,
    const std::function<std::vector<store::IniEntry>(QRandomGenerator&, int)>& item) {
    QRandomGenerator r(static_cast<quint32>(items));
    store::IniDocument file;
    for (int i = 1; i <= items; ++i) {
        file.writeSection({sectionName(i), item(r, i)});
    }
    store::writeFileAtomically(app::nativePath(path), file.serialize());
}

double peakRssMb() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return -1;
}

} // namespace bench
