#include "ui/edit/MainMenus.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "store/ItemDatabase.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

MainMenus::MainMenus(frmMain* window) : QObject(window), m_window(window) {
    QMenu* file = AddMenu(QStringLiteral("&File"), QStringLiteral("mnuFile"));
    AddAction(file, QStringLiteral("&Open"), QStringLiteral("mnuFileOpen"));
    AddAction(file, QStringLiteral("&Close"), QStringLiteral("mnuFileClose"));
    AddSeparator(file, QStringLiteral("mnuFileBar000"));
    AddAction(file, QStringLiteral("&Add New Item"), QStringLiteral("mnuFileAddNewProperty"));
    AddAction(file, QStringLiteral("&Remove Selected Item"),
              QStringLiteral("mnuFileRemoveSelectedProperty"));
    AddSeparator(file, QStringLiteral("mnuFileBar0"));
    AddAction(file, QStringLiteral("&Save"), QStringLiteral("mnuFileSave"));
    AddAction(file, QStringLiteral("Save a Copy of This Item &As..."),
              QStringLiteral("mnuFileSaveAs"));
    AddSeparator(file, QStringLiteral("mnuFileBar1"));
    AddAction(file, QStringLiteral("E&xit"), QStringLiteral("mnuFileExit"));

    QMenu* edit = AddMenu(QStringLiteral("&Edit"), QStringLiteral("mnuEdit"));
    AddAction(edit, QStringLiteral("&Undo"), QStringLiteral("mnuEditUndo"));
    AddSeparator(edit, QStringLiteral("mnuEditBar0"));
    AddAction(edit, QStringLiteral("Cu&t"), QStringLiteral("mnuEditCut"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    AddAction(edit, QStringLiteral("&Copy"), QStringLiteral("mnuEditCopy"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    AddAction(edit, QStringLiteral("&Paste"), QStringLiteral("mnuEditPaste"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    AddAction(edit, QStringLiteral("&Delete Selection"), QStringLiteral("mnuEditDelete"))
        ->setShortcut(QKeySequence(Qt::Key_Delete));
    AddAction(edit, QStringLiteral("Select All"), QStringLiteral("mnuEditSelectAll"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));

    QMenu* tools = AddMenu(QStringLiteral("&Tools"), QStringLiteral("mnuTools"));
    AddAction(tools, QStringLiteral("&View Full-Size Version of Selected Picture"),
              QStringLiteral("mnuToolsViewImageDetails"));
    AddAction(tools, QStringLiteral("&Print Report on This Item"),
              QStringLiteral("mnuToolsmnuPrintAnalysis"));

    QMenu* help = AddMenu(QStringLiteral("&Help"), QStringLiteral("mnuHelp"));
    AddAction(help, QStringLiteral("General &Help"), QStringLiteral("mnuHelpTopics"));
    AddAction(help, QStringLiteral("&Online Help @ ") + app::SiteDomain,
              QStringLiteral("mnuHelpOnlineHelp"));
    AddAction(help, QStringLiteral("The Corvantheil Newsletter..."),
              QStringLiteral("mnuHelpNewsletter"));
    AddSeparator(help, QStringLiteral("mnuHelpBar0"));
    AddAction(help, QStringLiteral("&About "), QStringLiteral("mnuHelpAbout"));

    connect(file, &QMenu::aboutToShow, this, &MainMenus::FileEnablingRule);
    connect(tools, &QMenu::aboutToShow, this, &MainMenus::ToolsEnablingRule);
    connect(help, &QMenu::aboutToShow, this, [this] {
        action(QStringLiteral("mnuHelpAbout"))->setText(QStringLiteral("&About ") + app::kTitle);
    });

    connect(action(QStringLiteral("mnuFileOpen")), &QAction::triggered, window,
            &frmMain::OpenHighlightedCard);
    connect(action(QStringLiteral("mnuFileClose")), &QAction::triggered, window,
            &frmMain::CloseItem);
    connect(action(QStringLiteral("mnuFileExit")), &QAction::triggered, window, &QWidget::close);
}

QMenu* MainMenus::AddMenu(const QString& caption, const QString& name) {
    QMenu* menu = m_window->menuBar()->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* MainMenus::AddAction(QMenu* menu, const QString& caption, const QString& name) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

void MainMenus::AddSeparator(QMenu* menu, const QString& name) {
    menu->addSeparator()->setObjectName(name);
}

QAction* MainMenus::action(const QString& name) const {
    return m_window->menuBar()->findChild<QAction*>(name);
}

void MainMenus::FileEnablingRule() {
    app::Guard guard;
    const bool home = m_window->IsHomePageShown();
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
            if (m_window->homePage().HighlightedCard() != 0) {
                action(QStringLiteral("mnuFileOpen"))->setEnabled(true);
                action(QStringLiteral("mnuFileRemoveSelectedProperty"))->setEnabled(true);
            }
        } else if (store::g_lCurrentItem == 0) {
            action(QStringLiteral("mnuFileSaveAs"))->setEnabled(false);
        }
    });
    guard.step([&] { action(QStringLiteral("mnuFileExit"))->setEnabled(true); });
}

void MainMenus::ToolsEnablingRule() {
    app::Guard guard;
    QAction* view = action(QStringLiteral("mnuToolsViewImageDetails"));
    guard.step([&] {
        view->setEnabled(false);
        if (m_window->IsPanelShown(Panel::CoinImages)) {
            for (int k = 1; k <= PictureStrip::kThumbnails; ++k) {
                if (m_window->pictureStrip().ThumbnailSelected(k)) {
                    view->setEnabled(true);
                }
            }
        } else if (m_window->IsHomePageShown()) {
            view->setEnabled(m_window->homePage().HighlightedCard() != 0);
        }
    });
    guard.step([&] {
        QAction* report = action(QStringLiteral("mnuToolsmnuPrintAnalysis"));
        report->setText(QStringLiteral("&Print Report on This Item"));
        report->setEnabled(!m_window->IsHomePageShown());
    });
}

void frmMain::OpenHighlightedCard() {
    app::Guard guard;
    for (int n = 1; n <= HomePage::kCards; ++n) {
        guard.step([&] {
            if (m_home->CardHasBorder(n)) {
                QString description = m_home->CardLine1(n);
                OpenItemByDescription(description);
            }
        });
    }
}
