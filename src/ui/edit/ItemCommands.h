#pragma once

#include "platform/Platform.h"

#include <QObject>

class CommandWindow;
class ItemEditor;
namespace store {
class Collection;
}

// The File menu's item commands, on the open item and the collection.
class ItemCommands : public QObject {
    Q_OBJECT
public:
    ItemCommands(ItemEditor& editor, store::Collection& collection, CommandWindow& window,
                 QObject* parent);

    // The unsaved-changes question of Close and of closing the window: Yes,
    // No or Cancel (Escape and closing the box count as Cancel).
    static platform::Answer askAboutUnsavedChanges();

    // Stores the open item (stamped now) and makes it the unchanged state.
    void save();
    // Back to the home page, asking first about unsaved changes.
    void closeItem();
    // File > Open: the highlighted card's item.
    void openHighlightedCard();

private:
    ItemEditor& m_editor;
    store::Collection& m_collection;
    CommandWindow& m_window;
};
