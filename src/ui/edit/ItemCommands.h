#pragma once

#include "platform/Platform.h"

#include <QObject>

class CommandWindow;
class InputDialog;
class ItemEditor;
class QWidget;
namespace app {
class RuntimeError;
}
namespace store {
class Collection;
}

// The File menu's item commands, on the open item and the collection.
class ItemCommands : public QObject {
    Q_OBJECT
public:
    // `owner` owns the input dialog and is the window it stands over.
    ItemCommands(ItemEditor& editor, store::Collection& collection, CommandWindow& window,
                 QWidget* owner);

    // The unsaved-changes question of Close and of closing the window: Yes,
    // No or Cancel (Escape and closing the box count as Cancel).
    static platform::Answer askAboutUnsavedChanges();

    // A new, empty item in the editor; nothing is stored until it is saved.
    void addNewItem();
    // After a question, removes the highlighted card's (selected row's) item from the collection.
    void removeSelectedItem();
    // Stores the open item (stamped now) and makes it the unchanged state.
    // False, after telling the user why, when it did not reach the file.
    bool save();
    // Stores the open item as a new one under a description asked for.
    void saveCopy();
    // Back to where the item was opened, asking first about unsaved changes; an answer
    // Yes whose save failed stays on the item.
    void closeItem();
    // File > Open: the highlighted card's item.
    void openHighlightedCard();

    // When another program changed the collection file, reads it again and
    // tells the user; the open item's edits stay in the window. True when it did.
    bool readAgainIfChanged();

    // Made on first use, then kept.
    InputDialog& inputDialog();

private:
    void tellFailure(const QString& what, const QString& then) const;

    ItemEditor& m_editor;
    store::Collection& m_collection;
    CommandWindow& m_window;
    QWidget* m_owner;
    InputDialog* m_dialog = nullptr;
};
