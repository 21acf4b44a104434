#pragma once

#include <QObject>

class CommandWindow;
class QWidget;
namespace store {
class Collection;
}

// The File menu's commands on the whole collection.
class CollectionCommands : public QObject {
    Q_OBJECT
public:
    CollectionCommands(store::Collection& collection, CommandWindow& window, QWidget* owner);

    // File > Restore from Backup...: the collection as a dated backup holds
    // it; the collection as it is now becomes one more dated backup first.
    void restoreFromBackup();

private:
    store::Collection& m_collection;
    CommandWindow& m_window;
    QWidget* m_owner;
};
