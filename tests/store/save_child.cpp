// Saves a collection over and over until it is killed, flipping the marker of
// item 1 between "marker-A" and "marker-B" before every save, so that each
// save writes a collection that differs from the one before it.
#include "app/ProgramFolder.h"
#include "store/ItemDatabase.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
const QString kMarkerKey = QStringLiteral("txtCatalogNumber");

bool flipMarker() {
    const std::vector<store::IniEntry>& own = store::g_sAllItems.ownSlots(1);
    for (std::size_t s = 0; s < own.size(); ++s) {
        if (own[s].key == kMarkerKey) {
            const QString next = own[s].value == u"marker-A" ? QStringLiteral("marker-B")
                                                             : QStringLiteral("marker-A");
            store::g_sAllItems.setSlot(1, static_cast<qint32>(s + 1), kMarkerKey, next);
            return true;
        }
    }
    return false;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    app::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    store::loadAllItems();
    if (store::g_lNumberOfItems < 1) {
        return 3;
    }
    store::g_lCurrentItem = 1;
    std::puts("loaded");
    std::fflush(stdout);
    for (;;) {
        if (!flipMarker()) {
            return 4;
        }
        store::saveAllItems(0);
        std::puts("saved");
        std::fflush(stdout);
    }
}
