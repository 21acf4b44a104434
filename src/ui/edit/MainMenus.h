#pragma once

#include <QObject>

class QAction;
class QMenu;
class MainWindow;

// The menu bar. The File and Tools menus decide which entries are available
// each time they open, from the window's state.
class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(MainWindow* window);

    QAction* action(const QString& name) const;

    void fileEnablingRule();
    void toolsEnablingRule();

private:
    QMenu* addMenu(const QString& caption, const QString& name);
    QAction* addAction(QMenu* menu, const QString& caption, const QString& name);
    void addSeparator(QMenu* menu, const QString& name);

    MainWindow* m_window;
};
