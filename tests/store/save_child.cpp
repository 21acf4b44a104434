// Saves a large collection over and over until it is killed; the crash-safety
// test kills it at random moments.
#include "app/ProgramFolder.h"
#include "store/ItemDatabase.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        return 2;
    }
    app::SetProgramFolder(QString::fromLocal8Bit(argv[1]));
    store::LoadAllItems();
    std::puts("loaded");
    std::fflush(stdout);
    // Leaving out nothing rewrites the same items; the test tells the versions
    // apart by the marker the test wrote into item 1 before each start.
    for (;;) {
        store::SaveAllItems(0);
    }
}
