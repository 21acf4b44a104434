#pragma once

#include <QObject>

class QAction;
class QMenu;
class frmMain;

// The menu bar. The File and Tools menus decide which entries are available
// each time they open, from the window's state.
class MainMenus : public QObject {
    Q_OBJECT
public:
    explicit MainMenus(frmMain* window);

    QAction* action(const QString& name) const;

    void FileEnablingRule();
    void ToolsEnablingRule();

private:
    QMenu* AddMenu(const QString& caption, const QString& name);
    QAction* AddAction(QMenu* menu, const QString& caption, const QString& name);
    void AddSeparator(QMenu* menu, const QString& name);

    frmMain* m_window;
};
