#pragma once

#include <QString>
#include <optional>
#include <vector>

// The coin a command acts on: where it stands in the collection, and the
// description the user sees for it.
struct ChosenItem {
    qsizetype position = 0;
    QString description;
};

// What the item commands and the menus need of the main window around the
// editor: its state, and its ways between the home page and the item panels.
class CommandWindow {
public:
    virtual ~CommandWindow() = default;

    virtual bool isHomePageShown() const = 0;
    virtual bool isCollectionListShown() const = 0;
    // The coin of the highlighted home page card, or of the selected row while the
    // collection list shows; none when there is none.
    virtual std::optional<ChosenItem> chosenItem() const = 0;
    virtual bool isCoinImagesShown() const = 0;
    virtual bool isThumbnailSelected() const = 0;
    // The coin at that position into the editor, on the item panels.
    virtual void openItem(qsizetype position) = 0;
    virtual void showHomePage() = 0;
    virtual void showCollectionList() = 0;
    // Back from the item panels to where the item was opened: the collection
    // list or the home page.
    virtual void leaveItem() = 0;
    // The coins the collection list shows, in its order; none when it is not shown.
    virtual std::optional<std::vector<qsizetype>> shownItems() const = 0;
    // The panels for the editor's new, empty item: no pictures, the Detailed
    // Information panel, the default corner picture, the title "Add New Item".
    virtual void showNewItem() = 0;
    // The home page from the first item, whatever the filter box shows; the
    // collection list, when it shows, read again.
    virtual void refillHomePageFromFirstItem() = 0;
    // The collection was read anew from its file: the home page follows it.
    virtual void collectionReadAgain() = 0;
    // Removes the selected thumbnail's picture from the open item.
    virtual void deleteSelectedPicture() = 0;
    // Adds the files copied to the clipboard, or its picture, to the open item.
    virtual void pastePicture() = 0;
    // The selected thumbnail's picture on the Coin Images panel, or the
    // highlighted card's (the selected row's) first picture, in the full-size window.
    virtual void viewSelectedPictureFullSize() = 0;

protected:
    CommandWindow() = default;
    CommandWindow(const CommandWindow&) = default;
    CommandWindow& operator=(const CommandWindow&) = default;
};
