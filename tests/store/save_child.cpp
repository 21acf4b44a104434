// Saves the collection of the folder it is given until killed, flipping item 1's
// first value between "A" and "B", and says "saved" after each save.
#include "app/ProgramFolder.h"
#include "store/Collection.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        return 2;
    }
    app::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    store::Collection collection(store::itemDatabasePath());
    collection.load();
    for (;;) {
        std::vector<store::IniEntry> next = collection.record(0).entries();
        QString& value = next.front().value;
        value = value == u"A" ? QStringLiteral("B") : QStringLiteral("A");
        collection.save(store::CoinRecord(next), 0);
        std::puts("saved");
        std::fflush(stdout);
    }
}
