// Drives the real main window on the offscreen platform.
#include "TestSupport.h"
#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/Main.h"
#include "store/Collection.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/edit/MainMenus.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

// One section per item: "key=value" lines.
QByteArray database(const QList<QStringList>& items) {
    QByteArray out;
    for (int i = 0; i < items.size(); ++i) {
        out += "[ITEMNUMB" + QByteArray::number(i + 1).rightJustified(6, '0') + "]\r\n";
        for (const QString& line : items[i]) {
            out += line.toLatin1() + "\r\n";
        }
    }
    return out;
}

QList<QStringList> numberedItems(int count) {
    QList<QStringList> items;
    for (int i = 1; i <= count; ++i) {
        items.append({QStringLiteral("txtDescription=Coin %1").arg(i),
                      QStringLiteral("txtCurrentValue=%1").arg(i * 10),
                      QStringLiteral("g_sListOfImagesForItem(1)=")});
    }
    return items;
}

template <class W = QWidget> W* element(QWidget* root, const QString& name, int index) {
    for (W* w : root->findChildren<W*>(name)) {
        if (w->property("index").toInt() == index) {
            return w;
        }
    }
    return nullptr;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolderFixture> m_fixture;
    app::Program m_program;
    MainWindow* m_window = nullptr;

    void start(const QList<QStringList>& items) {
        m_fixture = std::make_unique<ProgramFolderFixture>();
        if (!items.isEmpty()) {
            m_fixture->write(QStringLiteral("\\_data\\991106EB51"), database(items));
        }
        m_program = app::main();
        m_window = m_program.window.get();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    QLineEdit* box(const QString& name) { return m_window->findChild<QLineEdit*>(name); }
    HomePage& home() { return m_window->homePage(); }
    FakeMessageBoxes& boxes() { return m_fixture->fakes.boxes; }

    void doubleClickCard(int n) {
        QLabel* picture = element<QLabel>(m_window, QStringLiteral("picSelectProperty"), n);
        QVERIFY(picture);
        QTest::mouseDClick(picture, Qt::LeftButton);
    }

    // File and Tools entries as their rules leave them.
    QMap<QString, bool> fileMenuState() {
        m_window->menus().fileEnablingRule();
        QMap<QString, bool> state;
        for (const char* name :
             {"mnuFileOpen", "mnuFileClose", "mnuFileAddNewProperty",
              "mnuFileRemoveSelectedProperty", "mnuFileSave", "mnuFileSaveAs", "mnuFileExit"}) {
            state[QString::fromLatin1(name)] =
                m_window->menus().action(QString::fromLatin1(name))->isEnabled();
        }
        return state;
    }

private slots:
    void cleanup() {
        m_program = {};
        m_window = nullptr;
        m_fixture.reset();
    }

    void startUpPreparesFoldersAndShowsTheFirstPage() {
        start({});
        QVERIFY(m_fixture->exists(QStringLiteral("\\_reports")));
        QVERIFY(m_fixture->exists(QStringLiteral("\\_data\\_userImages")));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Corvantheil v2.29.8"));
        QCOMPARE(m_window->pos(), QPoint(ui::px(1000), ui::px(1000)));
        QCOMPARE(m_window->outerWidthTwips(), 11650.0f);
        QCOMPARE(m_window->outerHeightTwips(), 9555.0f);
        QCOMPARE(home().filterBox()->count(), 121);
        QCOMPARE(home().filterBox()->currentText(), QStringLiteral("Show All Coins"));
        QCOMPARE(QApplication::focusWidget(), home().filterBox());
        QVERIFY(m_window->isHomePageShown());
        // An empty home page offers only Add New Item and Exit.
        const QMap<QString, bool> file = fileMenuState();
        QCOMPARE(file.values().count(true), 2);
        QVERIFY(file["mnuFileAddNewProperty"] && file["mnuFileExit"]);
        // Nothing was written: no database, no log.
        QVERIFY(!m_fixture->exists(QStringLiteral("\\_data\\991106EB51")));
        QVERIFY(!m_fixture->exists(QStringLiteral("\\corvantheil.Err")));
    }

    void storedPlacementIsUsedButNotItsSize() {
        m_fixture = std::make_unique<ProgramFolderFixture>();
        m_fixture->fakes.settings.values = {
            {"MainLeft", "3000"}, {"MainTop", "x"}, {"MainWidth", "5000"}, {"MainHeight", "4000"}};
        m_program = app::main();
        m_window = m_program.window.get();
        QCOMPARE(m_window->pos(), QPoint(ui::px(3000), ui::px(1000)));
        QCOMPARE(m_window->outerWidthTwips(), 11650.0f);
        QVERIFY(m_fixture->exists(QStringLiteral("\\corvantheil.Err"))); // "x" is not a number
    }

    void openingShowsEveryStoredField() {
        start({{"txtDescription=Morgan", "txtYear=1921", "cmbGrade=2", "cmbMintMark=6",
                "cmbCoinType=66", "txtMiscNotes=first~|second", "txtCurrentValue=$45.00",
                "g_sListOfImagesForItem(1)="}});
        doubleClickCard(1);
        QVERIFY(m_window->isPanelShown(Panel::DetailedInfo));
        QVERIFY(!m_window->isHomePageShown());
        QCOMPARE(box("txtYear")->text(), QStringLiteral("1921"));
        QCOMPARE(m_window->findChild<QComboBox*>("cmbGrade")->currentText(),
                 QStringLiteral("Proof (PF-60)"));
        QCOMPARE(m_window->findChild<QComboBox*>("cmbMintMark")->currentIndex(), 6);
        QCOMPARE(m_window->findChild<QPlainTextEdit*>("txtMiscNotes")->toPlainText(),
                 QStringLiteral("first\nsecond"));
        QCOMPARE(m_window->editor().pictures(), QStringList({""}));
        QCOMPARE(QApplication::focusWidget(), box("txtDescription"));
        QVERIFY(!m_window->navigation().homeBar()->isVisible());
        QVERIFY(m_window->navigation().itemBar()->isVisible());
        // An item stays unchanged until the user edits it.
        QVERIFY(!m_window->editor().hasUnsavedChanges());
    }

    void aStoredChoiceThatIsNoRowLeavesTheBoxEmptyAndIsLogged() {
        start({{"txtDescription=Odd", "cmbGrade=", "cmbMintMark=999", "txtYear=1900"}});
        doubleClickCard(1);
        QCOMPARE(m_window->findChild<QComboBox*>("cmbGrade")->currentIndex(), -1);
        QCOMPARE(m_window->findChild<QComboBox*>("cmbMintMark")->currentIndex(), -1);
        QCOMPARE(box("txtYear")->text(), QStringLiteral("1900"));
        const QList<QByteArray> log =
            m_fixture->read(QStringLiteral("\\corvantheil.Err")).split('\n');
        QVERIFY(log.size() >= 2);
    }

    void theLaterOfTwoEqualDescriptionsOpens() {
        start({{"txtDescription=Twin", "txtYear=1901"}, {"txtDescription=TWIN ", "txtYear=1902"}});
        doubleClickCard(1);
        QCOMPARE(m_window->editor().position(), 1);
        QCOMPARE(box("txtYear")->text(), QStringLiteral("1902"));
    }

    void closingReturnsToThePageTheItemWasOpenedFrom() {
        start(numberedItems(14));
        QTest::mouseClick(home().frame()->findChild<LinkLabel*>("lblNextPage"), Qt::LeftButton);
        QCOMPARE(home().cardTag(1), QStringLiteral("7"));
        doubleClickCard(5);
        QCOMPARE(box("txtDescription")->text(), QStringLiteral("Coin 11"));
        m_window->menus().action("mnuFileClose")->trigger();
        QVERIFY(m_window->isHomePageShown());
        QCOMPARE(home().cardTag(1), QStringLiteral("7"));
        QCOMPARE(home().cardLine1(1), QStringLiteral("Coin 7"));
        QVERIFY(boxes().shown.isEmpty());
    }

    void closeAsksOnlyAboutRealChanges_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("asks");
        QTest::newRow("letter case only") << "coin 1" << false;
        QTest::newRow("blanks around") << "  Coin 1  " << false;
        QTest::newRow("new text") << "Coin One" << true;
    }
    void closeAsksOnlyAboutRealChanges() {
        QFETCH(QString, typed);
        QFETCH(bool, asks);
        start(numberedItems(2));
        doubleClickCard(1);
        box("txtDescription")->setText(typed);
        boxes().answers = {platform::Answer::No};
        m_window->menus().action("mnuFileClose")->trigger();
        QCOMPARE(boxes().shown.size(), asks ? 1 : 0);
        QVERIFY(m_window->isHomePageShown());
    }

    void closeQuestionAnswers() {
        start(numberedItems(2));
        const QByteArray before = m_fixture->read("\\_data\\991106EB51");

        // Cancel: the item stays open with its edits.
        doubleClickCard(2);
        box("txtYear")->setText("1999");
        boxes().answers = {platform::Answer::Cancel};
        m_window->menus().action("mnuFileClose")->trigger();
        QCOMPARE(boxes().shown.size(), 1);
        const platform::MessageRequest& asked = boxes().shown.front();
        QCOMPARE(asked.title, QStringLiteral("Unsaved Changes"));
        QCOMPARE(asked.text,
                 QStringLiteral("You have made changes that have not been saved.\r\n\r\n"
                                "Do you want to save the changes before closing?"));
        QCOMPARE(asked.buttons, platform::Buttons::YesNoCancel);
        QCOMPARE(asked.icon, platform::Icon::Warning);
        QVERIFY(!m_window->isHomePageShown());
        QCOMPARE(box("txtYear")->text(), QStringLiteral("1999"));

        // No: home, nothing stored.
        boxes().answers = {platform::Answer::No};
        m_window->menus().action("mnuFileClose")->trigger();
        QVERIFY(m_window->isHomePageShown());
        QCOMPARE(m_fixture->read("\\_data\\991106EB51"), before);

        // Yes: stored, then home.
        doubleClickCard(2);
        box("txtYear")->setText("2001");
        boxes().answers = {platform::Answer::Yes};
        m_window->menus().action("mnuFileClose")->trigger();
        QVERIFY(m_window->isHomePageShown());
        QVERIFY(m_fixture->read("\\_data\\991106EB51").contains("txtYear=2001"));
        QCOMPARE(m_fixture->read("\\_data\\991106EB51backup"), before);
    }

    void closingTheWindowAsksAndStoresThePlacement() {
        start(numberedItems(2));
        doubleClickCard(1);
        box("txtCountry")->setText("Peru");
        boxes().answers = {platform::Answer::Cancel};
        QVERIFY(!m_window->close());
        QVERIFY(m_window->isVisible());
        QVERIFY(!m_window->isHomePageShown());
        QCOMPARE(m_fixture->fakes.settings.values.value("MainLeft"), QStringLiteral("1005"));
        QCOMPARE(m_fixture->fakes.settings.values.value("MainHeight"), QStringLiteral("9555"));

        boxes().answers = {platform::Answer::No};
        QVERIFY(m_window->close());
        QCOMPARE(boxes().shown.size(), 2);
    }

    void closingFromTheHomePageAsksNothing() {
        start(numberedItems(1));
        QVERIFY(m_window->close());
        QVERIFY(boxes().shown.isEmpty());
        QCOMPARE(m_fixture->fakes.settings.writes, 4);
    }

    void fileMenuFollowsTheWindowState() {
        start(numberedItems(3));
        QTest::mouseClick(element<QLabel>(m_window, "lblSelectPropertyLine1", 2), Qt::LeftButton);
        QMap<QString, bool> file = fileMenuState();
        QVERIFY(file["mnuFileOpen"] && file["mnuFileRemoveSelectedProperty"]);
        QVERIFY(!file["mnuFileSave"] && !file["mnuFileClose"]);

        m_window->menus().action("mnuFileOpen")->trigger();
        QCOMPARE(box("txtDescription")->text(), QStringLiteral("Coin 2"));
        file = fileMenuState();
        QVERIFY(file["mnuFileClose"] && file["mnuFileSave"] && file["mnuFileSaveAs"]);
        QVERIFY(!file["mnuFileOpen"] && !file["mnuFileAddNewProperty"]);
        m_window->editor().setPosition(std::nullopt); // an item never stored
        QVERIFY(!fileMenuState()["mnuFileSaveAs"]);

        m_window->menus().toolsEnablingRule();
        QVERIFY(!m_window->menus().action("mnuToolsViewImageDetails")->isEnabled());
        QVERIFY(m_window->menus().action("mnuToolsmnuPrintAnalysis")->isEnabled());
    }

    void panelLinksChooseOnReleaseOverThemOnly() {
        start(numberedItems(1));
        doubleClickCard(1);
        LinkLabel* notes = m_window->findChild<LinkLabel*>("lblComments");
        // Pressing on the link and releasing elsewhere chooses nothing.
        QTest::mousePress(notes, Qt::LeftButton);
        QTest::mouseRelease(notes, Qt::LeftButton, {}, QPoint(-20, -20));
        QVERIFY(m_window->isPanelShown(Panel::DetailedInfo));
        QTest::mouseClick(notes, Qt::LeftButton);
        QVERIFY(m_window->isPanelShown(Panel::Comments));
        QVERIFY(!m_window->isPanelShown(Panel::DetailedInfo));
        QCOMPARE(notes->palette().color(QPalette::WindowText), QColor(102, 153, 204));
        // The Detailed Information click area works like its link.
        QTest::mouseClick(m_window->findChild<QLabel*>("imgDetailedInfo"), Qt::LeftButton, {},
                          QPoint(2, 2));
        QVERIFY(m_window->isPanelShown(Panel::DetailedInfo));
        // The taller panel brings the vertical bar at the designed size.
        QVERIFY(m_window->findChild<QScrollBar*>("VScroll1")->isVisible());
    }

    void webLookUpOfTheWorkedExample() {
        start({{"txtDescription=Indian", "txtYear=1909", "txtCountry=USA", "cmbCoinType=12",
                "cmbMintMark=6", "cmbGrade=24"}});
        doubleClickCard(1);
        QTest::mouseClick(m_window->findChild<LinkLabel*>("lblOnlineStuff"), Qt::LeftButton);
        QVERIFY(m_window->isPanelShown(Panel::OnlineStuff));
        QTest::mouseClick(m_window->findChild<QPushButton*>("cmdWebSearchEbay"), Qt::LeftButton);
        QCOMPARE(m_fixture->fakes.shell.opened,
                 QStringList{app::SiteAddress +
                             "/clientlink.php?linktype=ebaysearch&year=1909&country=USA&cointype="
                             "1%20Cent%20%28small%29%20%3A%20Indian%20Head%20%281859%2D1909%29"
                             "&mintmark=S%20%3A%20San%20Francisco%2C%20CA%20%281854%20to%20date%29"
                             "&grade=Good%20%28G%2D4%29"});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
