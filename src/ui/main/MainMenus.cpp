#include "ui/main/MainMenus.h"

#include "app/Constants.h"
#include "report/SummaryReport.h"
#include "store/Collection.h"
#include "ui/collection/CollectionCommands.h"
#include "ui/edit/CommandWindow.h"
#include "ui/edit/EditCommands.h"
#include "ui/edit/ItemCommands.h"
#include "ui/edit/ItemEditor.h"
#include "ui/list/StoredItemReport.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

QAction* addAction(QMenu* menu, const QString& caption, const QString& name,
                   const QKeySequence& shortcut = {}) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setShortcut(shortcut);
    return a;
}

void addSeparator(QMenu* menu, const QString& name) {
    menu->addSeparator()->setObjectName(name);
}

// Each entry named so runs the target's command of the same row.
template <class Target, class Command>
void connectEntries(const MainMenus& menus, Target* target,
                    std::initializer_list<std::pair<const char*, Command>> entries) {
    for (const auto& [name, command] : entries) {
        QObject::connect(menus.action(QString::fromLatin1(name)), &QAction::triggered, target,
                         command);
    }
}

} // namespace

MainMenus::MainMenus(QMenuBar* bar, CommandWindow& window, ItemCommands& commands,
                     CollectionCommands& collection, const ItemEditor& editor,
                     const store::Collection& coins)
    : QObject(bar), m_bar(bar), m_edit(new EditCommands(window, this)), m_window(window),
      m_collection(collection), m_editor(editor) {
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
    addSeparator(file, QStringLiteral("mnuFileBarCollection"));
    addAction(file, QStringLiteral("&Import Coins..."), QStringLiteral("mnuFileImport"));
    addAction(file, QStringLiteral("&Export Collection..."), QStringLiteral("mnuFileExport"));
    addAction(file, QStringLiteral("Print Collection In&ventory"),
              QStringLiteral("mnuFilePrintInventory"));
    addAction(file, QStringLiteral("Restore from &Backup..."),
              QStringLiteral("mnuFileRestoreBackup"));
    addSeparator(file, QStringLiteral("mnuFileBar1"));
    addAction(file, QStringLiteral("E&xit"), QStringLiteral("mnuFileExit"));

    QMenu* edit = addMenu(QStringLiteral("&Edit"), QStringLiteral("mnuEdit"));
    addAction(edit, QStringLiteral("&Undo"), QStringLiteral("mnuEditUndo"));
    addSeparator(edit, QStringLiteral("mnuEditBar0"));
    addAction(edit, QStringLiteral("Cu&t"), QStringLiteral("mnuEditCut"),
              QKeySequence(Qt::CTRL | Qt::Key_X));
    addAction(edit, QStringLiteral("&Copy"), QStringLiteral("mnuEditCopy"),
              QKeySequence(Qt::CTRL | Qt::Key_C));
    addAction(edit, QStringLiteral("&Paste"), QStringLiteral("mnuEditPaste"),
              QKeySequence(Qt::CTRL | Qt::Key_V));
    addAction(edit, QStringLiteral("&Delete Selection"), QStringLiteral("mnuEditDelete"),
              QKeySequence(Qt::Key_Delete));
    addAction(edit, QStringLiteral("Select All"), QStringLiteral("mnuEditSelectAll"),
              QKeySequence(Qt::CTRL | Qt::Key_A));

    QMenu* view = addMenu(QStringLiteral("&View"), QStringLiteral("mnuView"));
    addAction(view, QStringLiteral("&Home Page"), QStringLiteral("mnuViewHomePage"));
    addAction(view, QStringLiteral("Collection &List"), QStringLiteral("mnuViewCollectionList"),
              QKeySequence(Qt::CTRL | Qt::Key_L));

    QMenu* tools = addMenu(QStringLiteral("&Tools"), QStringLiteral("mnuTools"));
    addAction(tools, QStringLiteral("&View Full-Size Version of Selected Picture"),
              QStringLiteral("mnuToolsViewImageDetails"));
    addAction(tools, QStringLiteral("&Print Report on This Item"),
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

    connectEntries<ItemCommands, void (ItemCommands::*)()>(
        *this, &commands,
        {{"mnuFileOpen", &ItemCommands::openHighlightedCard},
         {"mnuFileClose", &ItemCommands::closeItem},
         {"mnuFileAddNewProperty", &ItemCommands::addNewItem},
         {"mnuFileRemoveSelectedProperty", &ItemCommands::removeSelectedItem},
         {"mnuFileSaveAs", &ItemCommands::saveCopy}});
    connect(action(QStringLiteral("mnuFileSave")), &QAction::triggered, &commands,
            [&commands] { commands.save(); });
    connectEntries<CollectionCommands, void (CollectionCommands::*)()>(
        *this, &collection,
        {{"mnuFileImport", &CollectionCommands::importCoins},
         {"mnuFileExport", &CollectionCommands::exportCollection},
         {"mnuFilePrintInventory", &CollectionCommands::printCollectionInventory},
         {"mnuFileRestoreBackup", &CollectionCommands::restoreFromBackup}});
    connect(action(QStringLiteral("mnuFileExit")), &QAction::triggered, bar->window(),
            &QWidget::close);
    // The report shows the boxes as they are, unsaved edits included; from the
    // list, the selected coin as stored.
    connect(action(QStringLiteral("mnuToolsmnuPrintAnalysis")), &QAction::triggered, this,
            [this, &editor, &coins] {
                if (m_window.isCollectionListShown()) {
                    if (const std::optional<ChosenItem> chosen = m_window.chosenItem()) {
                        report::printReportOnThisItem(
                            ui::storedItemReport(coins.record(chosen->position)));
                    }
                    return;
                }
                report::printReportOnThisItem({editor.texts(), editor.pictures()});
            });
    connect(action(QStringLiteral("mnuToolsViewImageDetails")), &QAction::triggered, this,
            [this] { m_window.viewSelectedPictureFullSize(); });
    wireEditMenu(edit);
    wireViewMenu(view);
    for (const FieldBox& box : editor.boxes()) {
        if (box.isTextBox()) {
            m_edit->takeDeleteKeyOf(box.widget());
        }
    }
}

void MainMenus::wireEditMenu(QMenu* edit) {
    connectEntries<EditCommands, void (EditCommands::*)() const>(
        *this, m_edit,
        {{"mnuEditUndo", &EditCommands::undo},
         {"mnuEditCut", &EditCommands::cut},
         {"mnuEditCopy", &EditCommands::copy},
         {"mnuEditPaste", &EditCommands::paste},
         {"mnuEditDelete", &EditCommands::deleteSelection},
         {"mnuEditSelectAll", &EditCommands::selectAll}});
    connect(edit, &QMenu::aboutToShow, this, &MainMenus::editEnablingRule);
    connect(edit, &QMenu::aboutToHide, this, [edit] {
        for (QAction* a : edit->actions()) {
            a->setEnabled(true);
        }
    });
}

void MainMenus::wireViewMenu(QMenu* view) {
    // A shortcut runs the entry outside the open menu, so the commands look again.
    connect(action(QStringLiteral("mnuViewHomePage")), &QAction::triggered, this, [this] {
        if (!isItemShown()) {
            m_window.showHomePage();
        }
    });
    connect(action(QStringLiteral("mnuViewCollectionList")), &QAction::triggered, this, [this] {
        if (!isItemShown()) {
            m_window.showCollectionList();
        }
    });
    connect(view, &QMenu::aboutToShow, this, &MainMenus::viewEnablingRule);
    connect(view, &QMenu::aboutToHide, this, [view] {
        for (QAction* a : view->actions()) {
            a->setEnabled(true);
        }
    });
}

bool MainMenus::isItemShown() const {
    return !isHomeOrListShown();
}

bool MainMenus::isHomeOrListShown() const {
    return m_window.isHomePageShown() || m_window.isCollectionListShown();
}

void MainMenus::viewEnablingRule() {
    action(QStringLiteral("mnuViewHomePage"))->setEnabled(m_window.isCollectionListShown());
    action(QStringLiteral("mnuViewCollectionList"))->setEnabled(m_window.isHomePageShown());
}

QMenu* MainMenus::addMenu(const QString& caption, const QString& name) {
    QMenu* menu = m_bar->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    menu->installEventFilter(this);
    return menu;
}

// A letter typed in an open menu chooses among the available entries only:
// "&Add New Item" and "Save a Copy of This Item &As..." share their letter
// but are never available together, so the letter runs the one that is. Two
// available entries with one letter take turns being marked, as usual.
bool MainMenus::eventFilter(QObject* watched, QEvent* event) {
    auto* menu = qobject_cast<QMenu*>(watched);
    if (!menu || event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->text().size() != 1 || !key->text().front().isLetterOrNumber() ||
        (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        return false;
    }
    const char16_t letter = key->text().front().toUpper().unicode();
    QList<QAction*> matches;
    for (QAction* a : menu->actions()) {
        if (a->isVisible() && a->isEnabled() && !a->isSeparator() &&
            (QKeySequence::mnemonic(a->text())[0].toCombined() & 0xffff) == letter) {
            matches << a;
        }
    }
    if (matches.size() == 1) {
        menu->setActiveAction(matches.front());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &enter);
    } else if (!matches.isEmpty()) {
        const qsizetype at = matches.indexOf(menu->activeAction());
        menu->setActiveAction(matches[(at + 1) % matches.size()]);
    }
    return true;
}

QAction* MainMenus::action(const QString& name) const {
    return m_bar->findChild<QAction*>(name);
}

QMenu* MainMenus::menu(const QString& name) const {
    return m_bar->findChild<QMenu*>(name);
}

void MainMenus::fileEnablingRule() {
    const bool home = isHomeOrListShown();
    const bool highlighted = home && m_window.chosenItem().has_value();
    // The whole collection goes out as stored, so no edit may be waiting to be saved.
    const bool wholeCollection = m_collection.hasCoins() && (home || !m_editor.hasUnsavedChanges());
    const struct {
        const char* name;
        bool enabled;
    } entries[] = {
        {"mnuFileOpen", highlighted},
        {"mnuFileClose", !home},
        {"mnuFileAddNewProperty", home},
        {"mnuFileRemoveSelectedProperty", highlighted},
        {"mnuFileSave", !home},
        {"mnuFileSaveAs", !home && !m_editor.isNewItem()},
        {"mnuFileImport", home},
        {"mnuFileExport", wholeCollection},
        {"mnuFilePrintInventory", wholeCollection},
        {"mnuFileRestoreBackup", home},
        {"mnuFileExit", true},
    };
    for (const auto& e : entries) {
        action(QString::fromLatin1(e.name))->setEnabled(e.enabled);
    }
}

void MainMenus::editEnablingRule() {
    const EditCommands::States states = m_edit->enablingRule();
    action(QStringLiteral("mnuEditUndo"))->setEnabled(states.undo);
    action(QStringLiteral("mnuEditCut"))->setEnabled(states.cut);
    action(QStringLiteral("mnuEditCopy"))->setEnabled(states.copy);
    action(QStringLiteral("mnuEditPaste"))->setEnabled(states.paste);
    action(QStringLiteral("mnuEditDelete"))->setEnabled(states.deleteSelection);
    action(QStringLiteral("mnuEditSelectAll"))->setEnabled(states.selectAll);
}

void MainMenus::toolsEnablingRule() {
    bool view = false;
    if (m_window.isCoinImagesShown()) {
        view = m_window.isThumbnailSelected();
    } else if (isHomeOrListShown()) {
        view = m_window.chosenItem().has_value();
    }
    action(QStringLiteral("mnuToolsViewImageDetails"))->setEnabled(view);
    QAction* report = action(QStringLiteral("mnuToolsmnuPrintAnalysis"));
    report->setText(QStringLiteral("&Print Report on This Item"));
    report->setEnabled(m_window.isCollectionListShown() ? m_window.chosenItem().has_value()
                                                        : !m_window.isHomePageShown());
}
