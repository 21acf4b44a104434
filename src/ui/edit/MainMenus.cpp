#include "ui/edit/MainMenus.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "online/Help.h"
#include "store/ItemDatabase.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

MainMenus::MainMenus(MainWindow* window) : QObject(window), m_window(window) {
    QMenu* file = addMenu(QStringLiteral("&File"), QStringLiteral("mnuFile"));
    addAction(file, QStringLiteral("&Open"), QStringLiteral("mnuFileOpen"));
    addAction(file, QStringLiteral("&Close"), QStringLiteral("mnuFileClose"));
    addSeparator(file, QStringLiteral("mnuFileBar000"));
    addAction(file, QStringLiteral("&Add New Item"), QStringLiteral("mnuFileAddNewProperty"));
    addAction(file, QStringLiteral("&Remove Selected Item"),
              QStringLiteral("mnuFileRemoveSelectedProperty"));
    addSeparator(file, QStringLiteral("mnuFileBar0"));
    addAction(file, QStringLiteral("&Save"), QStringLiteral("mnuFileSave"));
    addAction(file, QStringLiteral("Save a Copy of This Item &As..."),
              QStringLiteral("mnuFileSaveAs"));
    addSeparator(file, QStringLiteral("mnuFileBar1"));
    addAction(file, QStringLiteral("E&xit"), QStringLiteral("mnuFileExit"));

    QMenu* edit = addMenu(QStringLiteral("&Edit"), QStringLiteral("mnuEdit"));
    addAction(edit, QStringLiteral("&Undo"), QStringLiteral("mnuEditUndo"));
    addSeparator(edit, QStringLiteral("mnuEditBar0"));
    addAction(edit, QStringLiteral("Cu&t"), QStringLiteral("mnuEditCut"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    addAction(edit, QStringLiteral("&Copy"), QStringLiteral("mnuEditCopy"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    addAction(edit, QStringLiteral("&Paste"), QStringLiteral("mnuEditPaste"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    addAction(edit, QStringLiteral("&Delete Selection"), QStringLiteral("mnuEditDelete"))
        ->setShortcut(QKeySequence(Qt::Key_Delete));
    addAction(edit, QStringLiteral("Select All"), QStringLiteral("mnuEditSelectAll"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));

    QMenu* tools = addMenu(QStringLiteral("&Tools"), QStringLiteral("mnuTools"));
    addAction(tools, QStringLiteral("&View Full-Size Version of Selected Picture"),
              QStringLiteral("mnuToolsViewImageDetails"));
    addAction(tools, QStringLiteral("&Print report on This Item"),
              QStringLiteral("mnuToolsmnuPrintAnalysis"));

    QMenu* help = addMenu(QStringLiteral("&Help"), QStringLiteral("mnuHelp"));
    addAction(help, QStringLiteral("General &Help"), QStringLiteral("mnuHelpTopics"));
    addAction(help, QStringLiteral("&Online Help @ ") + app::SiteDomain,
              QStringLiteral("mnuHelpOnlineHelp"));
    addAction(help, QStringLiteral("The Corvantheil Newsletter..."),
              QStringLiteral("mnuHelpNewsletter"));
    addSeparator(help, QStringLiteral("mnuHelpBar0"));
    addAction(help, QStringLiteral("&About "), QStringLiteral("mnuHelpAbout"));

    connect(file, &QMenu::aboutToShow, this, &MainMenus::fileEnablingRule);
    connect(tools, &QMenu::aboutToShow, this, &MainMenus::toolsEnablingRule);
    wireHelpMenu(help, window);

    connect(action(QStringLiteral("mnuFileOpen")), &QAction::triggered, window,
            &MainWindow::openHighlightedCard);
    connect(action(QStringLiteral("mnuFileClose")), &QAction::triggered, window,
            &MainWindow::closeItem);
    connect(action(QStringLiteral("mnuFileExit")), &QAction::triggered, window, &QWidget::close);
}

QMenu* MainMenus::addMenu(const QString& caption, const QString& name) {
    QMenu* menu = m_window->menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* MainMenus::addAction(QMenu* menu, const QString& caption, const QString& name) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

void MainMenus::addSeparator(QMenu* menu, const QString& name) {
    menu->addSeparator()->setObjectName(name);
}

QAction* MainMenus::action(const QString& name) const {
    return m_window->menuBar()->findChild<QAction*>(name);
}

void MainMenus::fileEnablingRule() {
    app::Guard guard;
    const bool home = m_window->isHomePageShown();
    guard.step([&] {
        for (const char* name : {"mnuFileClose", "mnuFileSave", "mnuFileSaveAs"}) {
            action(QString::fromLatin1(name))->setEnabled(!home);
        }
        for (const char* name :
             {"mnuFileOpen", "mnuFileRemoveSelectedProperty", "mnuFileAddNewProperty"}) {
            action(QString::fromLatin1(name))->setEnabled(false);
        }
    });
    guard.step([&] {
        if (home) {
            action(QStringLiteral("mnuFileAddNewProperty"))->setEnabled(true);
            if (m_window->homePage().highlightedCard() != 0) {
                action(QStringLiteral("mnuFileOpen"))->setEnabled(true);
                action(QStringLiteral("mnuFileRemoveSelectedProperty"))->setEnabled(true);
            }
        } else if (store::g_lCurrentItem == 0) {
            action(QStringLiteral("mnuFileSaveAs"))->setEnabled(false);
        }
    });
    guard.step([&] { action(QStringLiteral("mnuFileExit"))->setEnabled(true); });
}

void MainMenus::toolsEnablingRule() {
    app::Guard guard;
    QAction* view = action(QStringLiteral("mnuToolsViewImageDetails"));
    guard.step([&] {
        view->setEnabled(false);
        if (m_window->isPanelShown(Panel::CoinImages)) {
            for (int k = 1; k <= PictureStrip::kThumbnails; ++k) {
                if (m_window->pictureStrip().thumbnailSelected(k)) {
                    view->setEnabled(true);
                }
            }
        } else if (m_window->isHomePageShown()) {
            view->setEnabled(m_window->homePage().highlightedCard() != 0);
        }
    });
    guard.step([&] {
        QAction* report = action(QStringLiteral("mnuToolsmnuPrintAnalysis"));
        report->setText(QStringLiteral("&Print report on This Item"));
        report->setEnabled(!m_window->isHomePageShown());
    });
}

void MainWindow::openHighlightedCard() {
    app::Guard guard;
    for (int n = 1; n <= HomePage::kCards; ++n) {
        guard.step([&] {
            if (m_home->cardHasBorder(n)) {
                QString description = m_home->cardLine1(n);
                openItemByDescription(description);
            }
        });
    }
}
