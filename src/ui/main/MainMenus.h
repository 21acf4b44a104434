#pragma once

#include <QObject>

class CollectionCommands;
class CommandWindow;
class EditCommands;
class ItemCommands;
class ItemEditor;
class QAction;
class QMenu;
class QMenuBar;
namespace store {
class Collection;
}

// The menu bar. The File, Edit and Tools menus decide which entries are
// available each time they open, from the window's state. Outside the open
// menu the Edit entries stay available, so that a shortcut does what the
// entry would do in that moment.
class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(QMenuBar* bar, CommandWindow& window, ItemCommands& commands,
              CollectionCommands& collection, const ItemEditor& editor,
              const store::Collection& coins);

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;

    void fileEnablingRule();
    void editEnablingRule();
    void toolsEnablingRule();
    void viewEnablingRule();

    EditCommands& editCommands() const { return *m_edit; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMenu* addMenu(const QString& caption, const QString& name);
    void wireEditMenu(QMenu* edit);
    void wireViewMenu(QMenu* view);
    bool isItemShown() const;
    // The list stands for the home page, its selected row for the highlighted card.
    bool isHomeOrListShown() const;

    QMenuBar* m_bar;
    EditCommands* m_edit = nullptr;
    CommandWindow& m_window;
    const CollectionCommands& m_collection;
    const ItemEditor& m_editor;
};
