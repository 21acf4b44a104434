#pragma once

#include <QObject>

class CommandWindow;
class ItemCommands;
class ItemEditor;
class QAction;
class QMenu;
class QMenuBar;

// The menu bar. The File and Tools menus decide which entries are available
// each time they open, from the window's state.
class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(QMenuBar* bar, CommandWindow& window, ItemCommands& commands,
              const ItemEditor& editor);

    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;

    void fileEnablingRule();
    void toolsEnablingRule();

private:
    QMenu* addMenu(const QString& caption, const QString& name);

    QMenuBar* m_bar;
    CommandWindow& m_window;
    const ItemEditor& m_editor;
};
