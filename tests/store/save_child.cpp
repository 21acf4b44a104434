// Saves a collection over and over until it is killed, flipping the marker of
// item 1 between "marker-A" and "marker-B" before every save, so that each
// save writes a collection that differs from the one before it.
#include "app/ProgramFolder.h"
#include "store/Collection.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
const QString kMarkerKey = QStringLiteral("txtCatalogNumber");

// The first item with its marker flipped; an empty record when it has none.
store::CoinRecord flipped(const store::CoinRecord& record) {
    store::CoinRecord next = record;
    for (store::IniEntry& field : next.fields()) {
        if (field.key == kMarkerKey) {
            field.value = field.value == u"marker-A" ? QStringLiteral("marker-B")
                                                     : QStringLiteral("marker-A");
            return next;
        }
    }
    return {};
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    app::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    store::Collection collection(store::itemDatabasePath());
    collection.load();
    if (collection.count() < 1) {
        return 3;
    }
    std::puts("loaded");
    std::fflush(stdout);
    for (;;) {
        store::CoinRecord next = flipped(collection.record(0));
        if (next.isEmpty()) {
            return 4;
        }
        collection.save(std::move(next), 0);
        std::puts("saved");
        std::fflush(stdout);
    }
}
