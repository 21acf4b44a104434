// The real main window, its panels and layout; the home page's scan, and the page alone.
#include "TestSupport.h"
#include "app/Constants.h"
#include "store/AttributeLists.h"
#include "store/CoinRecord.h"
#include "store/Collection.h"
#include "ui/common/Controls.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/main/HomePage.h"
#include "ui/main/Layout.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

TestItem item(std::initializer_list<QString> fields) {
    TestItem out;
    for (const QString& field : fields) {
        out.push_back({field.section('=', 0, 0), field.section('=', 1)});
    }
    return out;
}

// "Coin 1".."Coin count": 4 to 6 worth $500, the rest $10; odd ones type 0, even type 4.
std::vector<TestItem> coins(int count) {
    std::vector<TestItem> items;
    for (int n = 1; n <= count; ++n) {
        items.push_back({{"txtDescription", QStringLiteral("Coin %1").arg(n)},
                         {"txtCurrentValue", n >= 4 && n <= 6 ? "500" : "10"},
                         {"cmbCoinType", QString::number(n % 2 ? 0 : 4)}});
    }
    return items;
}

// A collection and the page on it, alone.
struct Page {
    ProgramFolderFixture folder;
    store::Collection collection{store::itemDatabasePath()};
    QWidget scroll;
    HomePage home{&scroll, collection};

    explicit Page(const std::vector<TestItem>& items = {}) {
        home.fillFilterList();
        scroll.resize(760, 570);
        scroll.show();
        setItems(items);
    }
    void setItems(const std::vector<TestItem>& items) {
        folder.write(kDatabase, databaseText(items));
        collection.load();
    }
    ui::HomePageContent fill(qsizetype first, const QString& filter = "Show All Coins") const {
        const int row = int(ui::homeFilterList().indexOf(filter));
        return ui::loadPropertiesOnMainPage(collection, first, row, {}, 0);
    }
    void load(qsizetype first = 1) { home.loadPropertiesOnMainPage(first, home.filterRow()); }
    template <class W = QLabel> W* find(const QString& name, int index = 0) const {
        return child<W>(scroll, name, index);
    }
};

// The item numbers of the cards shown, between "<" and ">" for the links.
QString shown(const ui::HomePageContent& page) {
    QStringList parts(page.previousPage ? 1 : 0, "<");
    for (const ui::CardContent& card : page.cards) {
        if (card.visible) {
            parts << card.tag;
        }
    }
    return (parts << QStringList(page.nextPage ? 1 : 0, ">")).join(' ');
}

using platform::Answer;

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpPreparesFoldersAndShowsTheFirstPage() {
        RunningProgram p;
        QVERIFY(p.folder.exists("_reports") && p.folder.exists("_data\\_userImages"));
        QCOMPARE(p.window().windowTitle(), QStringLiteral("Corvantheil v2.29.8"));
        QCOMPARE(p.window().pos(), QPoint(ui::px(1000), ui::px(1000)));
        QCOMPARE(p.window().outerWidthTwips(), 11650.0f);
        QCOMPARE(p.window().outerHeightTwips(), 9555.0f);
        QCOMPARE(QApplication::focusWidget(), p.window().homePage().filterBox());
        QVERIFY(!p.folder.exists(kDatabase) && !p.folder.exists("corvantheil.Err"));
    }

    void storedPlacementIsUsedButNotItsSize() {
        ProgramFolderFixture folder;
        folder.fakes.settings.values = {
            {"MainLeft", "3000"}, {"MainTop", "x"}, {"MainWidth", "5000"}, {"MainHeight", "4000"}};
        const app::Program program = app::main();
        QCOMPARE(program.window->pos(), QPoint(ui::px(3000), ui::px(1000)));
        QCOMPARE(program.window->outerWidthTwips(), 11650.0f);
        QVERIFY(folder.exists("corvantheil.Err")); // "x" is not a number
    }

    // Each of two twin coins opens as itself; a stored choice that is no row
    // leaves its box empty and is logged; every stored field is shown.
    void openingShowsWhatIsStored() {
        RunningProgram p(
            {item({"txtDescription=Twin", "txtYear=1901"}),
             item({"txtDescription=TWIN ", "cmbGrade=", "cmbMintMark=999", "txtYear=1902"}),
             item({"txtDescription=Morgan", "txtYear=1921", "cmbGrade=2", "cmbMintMark=6",
                   "txtMiscNotes=first~|second"})});
        const auto combo = [&p](const char* name) { return p.control<QComboBox>(name); };
        p.doubleClickCard(1);
        QCOMPARE(p.control<QLineEdit>("txtYear")->text(), QStringLiteral("1901"));
        p.trigger("mnuFileClose");
        p.doubleClickCard(2);
        QCOMPARE(p.control<QLineEdit>("txtYear")->text(), QStringLiteral("1902"));
        QCOMPARE(combo("cmbGrade")->currentIndex(), -1);
        QCOMPARE(combo("cmbMintMark")->currentIndex(), -1);
        QVERIFY(p.folder.log().count('\n') >= 2);

        p.trigger("mnuFileClose");
        p.doubleClickCard(3);
        QCOMPARE(p.control<QLineEdit>("txtYear")->text(), QStringLiteral("1921"));
        QCOMPARE(combo("cmbGrade")->currentText(), QStringLiteral("Proof (PF-60)"));
        QCOMPARE(combo("cmbMintMark")->currentIndex(), 6);
        QCOMPARE(p.control<QPlainTextEdit>("txtMiscNotes")->toPlainText(),
                 QStringLiteral("first\nsecond"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtDescription"));
    }

    void closeAsksOnlyAboutRealChanges_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<platform::Answer>("answer");
        QTest::addColumn<int>("asks");
        QTest::addColumn<bool>("stored");
        QTest::newRow("letter case only") << "coin 11" << Answer::Yes << 0 << false;
        QTest::newRow("blanks around") << "  Coin 11  " << Answer::Yes << 0 << false;
        QTest::newRow("Cancel") << "Coin Eleven" << Answer::Cancel << 1 << false;
        QTest::newRow("No") << "Coin Eleven" << Answer::No << 1 << false;
        QTest::newRow("Yes") << "Coin Eleven" << Answer::Yes << 1 << true;
    }
    void closeAsksOnlyAboutRealChanges() {
        QFETCH(QString, typed);
        QFETCH(platform::Answer, answer);
        QFETCH(bool, stored);
        RunningProgram p(coins(14));
        const QByteArray before = p.database();
        QTest::mouseClick(p.control<LinkLabel>("lblNextPage"), Qt::LeftButton);
        p.doubleClickCard(5);
        p.control<QLineEdit>("txtDescription")->setText(typed);
        p.folder.fakes.boxes.answers = {answer};
        p.trigger("mnuFileClose");
        QTEST(int(p.folder.fakes.boxes.shown.size()), "asks");
        if (!p.folder.fakes.boxes.shown.isEmpty()) {
            const platform::MessageRequest& asked = p.folder.fakes.boxes.shown.front();
            QCOMPARE(asked.title, QStringLiteral("Unsaved Changes"));
            QCOMPARE(asked.text,
                     QStringLiteral("You have made changes that have not been saved.\r\n\r\n"
                                    "Do you want to save the changes before closing?"));
            QCOMPARE(asked.buttons, platform::Buttons::YesNoCancel);
            QCOMPARE(asked.icon, platform::Icon::Warning);
        }
        // Cancel keeps the item open with its edits; the others return to its page.
        if (answer == Answer::Cancel) {
            QCOMPARE(p.control<QLineEdit>("txtDescription")->text(), typed);
        } else {
            QCOMPARE(p.window().homePage().cardTag(1), QStringLiteral("7"));
        }
        QCOMPARE(p.window().isHomePageShown(), answer != Answer::Cancel);
        QCOMPARE(p.database().contains("Coin Eleven"), stored);
        QCOMPARE(p.folder.read(kDatabase + "backup"), stored ? before : QByteArray());
    }

    void closingTheWindowAsksAndStoresThePlacement() {
        {
            RunningProgram p(coins(1));
            QVERIFY(p.window().close());
            QVERIFY(p.folder.fakes.boxes.shown.isEmpty());
            QCOMPARE(p.folder.fakes.settings.writes, 4);
        }
        RunningProgram p(coins(1));
        p.doubleClickCard(1);
        p.control<QLineEdit>("txtCountry")->setText("Peru");
        p.folder.fakes.boxes.answers = {Answer::Cancel};
        QVERIFY(!p.window().close());
        QVERIFY(p.window().isVisible() && !p.window().isHomePageShown());
        QCOMPARE(p.folder.fakes.settings.values.value("MainLeft"), QStringLiteral("1005"));
        QCOMPARE(p.folder.fakes.settings.values.value("MainHeight"), QStringLiteral("9555"));
        p.folder.fakes.boxes.answers = {Answer::No};
        QVERIFY(p.window().close());
        QCOMPARE(p.folder.fakes.boxes.shown.size(), 2);
    }

    // Panel links choose on release over them only; then the worked example's look-up.
    void panelLinksAndTheWebLookUp() {
        RunningProgram p({item({"txtDescription=Indian", "txtYear=1909", "txtCountry=USA",
                                "cmbCoinType=12", "cmbMintMark=6", "cmbGrade=24"})});
        p.doubleClickCard(1);
        auto* notes = p.control<LinkLabel>("lblComments");
        QTest::mousePress(notes, Qt::LeftButton);
        QTest::mouseRelease(notes, Qt::LeftButton, {}, QPoint(-20, -20));
        QVERIFY(p.window().isPanelShown(Panel::DetailedInfo));
        QTest::mouseClick(notes, Qt::LeftButton);
        QVERIFY(p.window().isPanelShown(Panel::Comments));
        QVERIFY(!p.window().isPanelShown(Panel::DetailedInfo));
        QTest::mouseClick(p.control<LinkLabel>("lblOnlineStuff"), Qt::LeftButton);
        QTest::mouseClick(p.control<QPushButton>("cmdWebSearchEbay"), Qt::LeftButton);
        QCOMPARE(p.folder.fakes.shell.opened,
                 QStringList{app::SiteAddress + "/clientlink.php?linktype=ebaysearch" +
                             kWorkedLookUpFields});
    }
    // On a new item: each field box once, on its panel with a caption; the
    // attribute boxes hold their lists with nothing chosen.
    void panelsHoldEveryFieldBox() {
        RunningProgram p;
        p.trigger("mnuFileAddNewProperty");
        for (const QString& name : store::fieldKeys()) {
            const bool notes = name.startsWith("txtMiscNotes");
            auto* panel = p.control<QFrame>(notes ? "frameComments" : "frameDetailedInfo");
            const QList<QWidget*> boxes = p.window().findChildren<QWidget*>(name);
            QCOMPARE(boxes.size(), 1);
            const QList<QLabel*> labels = panel->findChildren<QLabel*>();
            const auto captions = std::count_if(labels.begin(), labels.end(), [&](const QLabel* l) {
                return l->buddy() == boxes[0];
            });
            QVERIFY2(panel->isAncestorOf(boxes[0]) && captions == 1, qPrintable(name));
        }
        for (const auto& [name, rows] : {std::pair{"cmbCoinType", &store::coinTypeList()},
                                         {"cmbMintMark", &store::mintMarkList()},
                                         {"cmbGrade", &store::gradeList()}}) {
            auto* combo = p.control<QComboBox>(name);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) {
                shown << combo->itemText(i);
            }
            QCOMPARE(shown, *rows);
            QCOMPARE(combo->currentIndex(), -1);
        }
    }

    void firstItemAndLinks_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("shown");
        const QString all = "Show All Coins", cheap = "Current Value < $100";
        QTest::newRow("0 counts as 1") << 0 << 7 << all << "1 2 3 4 5 6 >";
        QTest::newRow("-1 counts as 1") << -1 << 7 << all << "1 2 3 4 5 6 >";
        QTest::newRow("last page of 7") << 5 << 7 << all << "< 5 6 7";
        QTest::newRow("5 items") << 1 << 5 << all << "1 2 3 4 5";
        QTest::newRow("6 items") << 1 << 6 << all << "1 2 3 4 5 6 >";
        QTest::newRow("past the end of 6") << 7 << 6 << all << "<";
        QTest::newRow("no items") << 1 << 0 << all << "";
        // Pages under a filter run by item numbers: Previous from item 10 starts at 4.
        QTest::newRow("filtered") << 1 << 15 << cheap << "1 2 3 7 8 9 >";
        QTest::newRow("filtered, from 4") << 4 << 15 << cheap << "< 7 8 9 10 11 12 >";
        QTest::newRow("coin type")
            << 1 << 15 << "ONLY " + store::coinTypeList().at(0) << "1 3 5 7 9 11 >";
    }
    void firstItemAndLinks() {
        QFETCH(int, first);
        QFETCH(int, items);
        QFETCH(QString, filter);
        const Page page(coins(items));
        QTEST(shown(page.fill(first, filter)), "shown");
    }

    // One item; key "-" leaves the field out of it. "logged" counts log entries.
    void filtersOneItem_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("logged");
        const auto rows = [](const QString& f, const char* key,
                             std::initializer_list<std::pair<const char*, bool>> values,
                             int logged = 0) {
            for (const auto& [value, shown] : values) {
                QTest::addRow("%s: %s=%s", qPrintable(f), key, value)
                    << f << key << value << shown << logged;
            }
        };
        const QString lt100 = "Current Value < $100", lt1000 = "Current Value < $1,000";
        const QString with = "Show Coins With Images", without = "Show Coins Without Images";
        const QString only = "ONLY " + store::coinTypeList().at(2);
        const char *cv = "txtCurrentValue", *pic = "g_sListOfImagesForItem(1)";
        // 100.5 rounds half to even.
        rows(lt100, cv, {{"100", true}, {"100.49", true}, {"100.5", true}, {"100.51", false}});
        rows(lt100, cv, {{"", false}, {"lots", false}}, 1);
        rows(lt100, "TXTCURRENTVALUE", {{"150", false}});
        rows(lt1000, cv, {{"$1,000.00", true}, {"1,001", false}});
        rows(only, "cmbCoinType", {{"2", true}, {"3", false}});
        rows(with, pic, {{" ", false}, {"x.jpg", true}});
        rows(without, pic, {{"x.jpg", false}, {"", true}});
        for (const QString& f : {lt100, only, with}) {
            rows(f, "-", {{"", true}});
        }
    }
    void filtersOneItem() {
        QFETCH(QString, filter);
        QFETCH(QString, key);
        QFETCH(QString, value);
        TestItem item = {{"txtDescription", "Coin 1"}};
        if (key != "-") {
            item.push_back({key, value});
        }
        const Page page({item});
        QTEST(page.fill(1, filter).cards[0].visible, "shown");
        QTEST(int(page.folder.log().count('\n')), "logged");
    }

    void cardShowsWhatItsFieldsGive() {
        const Page page({{{"txtMiscNotes", "notes only"}},
                         {{"cmbGrade", "3"}},
                         {{"txtDescription", "Dime"}, {"txtCurrentValue", "12abc"}},
                         {{"txtDescription", "Cent"},
                          {"txtCurrentValue", "(1234.5)"},
                          {"g_sListOfImagesForItem(1)", "a.jpg"}}});
        const ui::HomePageContent content = page.fill(1);
        QVERIFY(content.cards[0].visible);
        // An item without shown fields keeps its card position, hidden.
        QVERIFY(!content.cards[1].visible);
        QCOMPARE(content.cards[2].tag, QStringLiteral("3"));
        QCOMPARE(content.cards[2].line2, QString());
        QCOMPARE(content.cards[3].line2, QStringLiteral("Current Value = ($1,234.50)"));
        QCOMPARE(content.cards[3].pictureTag, QStringLiteral("a.jpg"));
        QCOMPARE(content.cards[2].pictureTag, QStringLiteral("noImageAvailable.jpg"));
        QCOMPARE(page.folder.log().count("\"13\",\"Type mismatch\""), 1);
    }

    void pagesForwardAndBackByTheLinks() {
        Page page(coins(7));
        page.load();
        auto* next = page.find<LinkLabel>("lblNextPage");
        auto* previous = page.find<LinkLabel>("lblPreviousPage");
        QVERIFY(!previous->isVisible());
        // Hover look, and a release outside the link does nothing.
        emit next->pointerEntered();
        QCOMPARE(next->palette().color(QPalette::WindowText), ui::kLinkHover);
        QVERIFY(next->font().underline());
        emit next->pointerLeft();
        QCOMPARE(next->palette().color(QPalette::WindowText), ui::kNavy);
        QTest::mouseRelease(next, Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(page.home.cardTag(1), QStringLiteral("1"));
        QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(page.home.cardLine1(1), QStringLiteral("Coin 7"));
        QVERIFY(!page.home.cardVisible(2) && !next->isVisible());
        QTest::mouseClick(previous, Qt::LeftButton);
        QCOMPARE(page.home.cardLine2(6), QStringLiteral("Current Value = $500.00"));
        QVERIFY(page.home.cardVisible(6) && !previous->isVisible());
    }

    // "own" copies a program picture in as the item's; "gone" first shows a
    // missing picture, then deletes the program's no-image picture.
    void loadsTheCardPicture_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // a program picture
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QByteArray>("logged");
        const QString name = "_data\\_userImages\\20240315143005.jpg";
        const QString bad = "invalidPictureFormat.jpg", none = "noImageAvailable.jpg";
        QTest::newRow("own") << name << QByteArray("own") << "corvantheil5.jpg" << name
                             << QByteArray();
        QTest::newRow("missing") << name << QByteArray() << bad << name << QByteArray();
        QTest::newRow("not a picture") << name << QByteArray("text") << bad << name << QByteArray();
        QTest::newRow("blank name") << "   " << QByteArray() << none << none << QByteArray();
        QTest::newRow("no-image picture missing keeps the last")
            << "   " << QByteArray("gone") << bad << none
            << QByteArray("\"53\",\"File not found\"");
    }
    void loadsTheCardPicture() {
        QFETCH(QString, stored);
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QFETCH(QByteArray, logged);
        Page page;
        if (file == "own") {
            page.folder.write(stored, page.folder.read("_images\\corvantheil5.jpg"));
        } else if (file == "gone") {
            page.setItems(
                {{{"txtDescription", "Coin 0"}, {"g_sListOfImagesForItem(1)", "gone.jpg"}}});
            page.load();
            QVERIFY(QFile::remove(page.folder.path("_images\\noImageAvailable.jpg")));
        } else if (!file.isEmpty()) {
            page.folder.write(stored, file);
        }
        page.setItems({{{"txtDescription", "Coin 1"}, {"g_sListOfImagesForItem(1)", stored}}});
        page.load();
        QTEST(page.home.cardPictureTag(1), "tag");
        const QLabel* picture = page.find("picSelectProperty", 1);
        const QString path = app::nativePath(ui::programImagePath(expected));
        QCOMPARE(picture->pixmap().toImage(),
                 ui::loadPictureScaled(path, picture->contentsRect().size(), 1).pixmap.toImage());
        QCOMPARE(page.folder.log().count('\n'), logged.isEmpty() ? 0 : 1);
        QVERIFY(page.folder.log().contains(logged));
    }
    void mouseAndKeysSelectAndOpenCards() {
        Page page(coins(8));
        page.load();
        QSignalSpy opened(&page.home, &HomePage::openCardRequested);
        QTest::mouseClick(page.find("picSelectProperty", 2), Qt::LeftButton);
        QCOMPARE(page.home.highlightedCard(), 2);
        QTest::mouseClick(page.find("lblSelectPropertyLine1", 3), Qt::LeftButton);
        QTest::mouseClick(page.find("lblSelectPropertyLine2", 5), Qt::RightButton);
        QCOMPARE(page.home.highlightedCard(), 3);
        QVERIFY(!page.home.cardHasBorder(2));
        QTest::keyClick(page.home.filterBox(), Qt::Key_Enter);
        QTest::mouseClick(page.home.frame(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(page.home.highlightedCard(), 0);
        QTest::keyClick(page.home.filterBox(), Qt::Key_Return);
        QTest::mouseDClick(page.find("picSelectProperty", 4), Qt::LeftButton);
        QTest::mouseDClick(page.find("lblSelectPropertyLine2", 6), Qt::LeftButton);
        QCOMPARE(QList<QVariantList>(opened), (QList<QVariantList>{{3}, {4}, {6}}));
    }

    void choosingAFilterReloadsAndClearsTheHighlight() {
        Page page(coins(8));
        QCOMPARE(page.home.filterBox()->count(), 121);
        page.load(3);
        page.home.selectCard(1);
        // Down chooses the next row, "ONLY " + coin type 0, as a user does.
        QTest::keyClick(page.home.filterBox(), Qt::Key_Down);
        QCOMPARE(page.home.cardLine1(1), QStringLiteral("Coin 1"));
        QCOMPARE(page.home.cardLine1(4), QStringLiteral("Coin 7"));
        QVERIFY(!page.home.cardVisible(5));
        QCOMPARE(page.home.highlightedCard(), 0);
    }

    void layoutBarsCentringAndScrolling() {
        const auto layout = [](float width, float height, float content, bool vBar = false,
                               int hPosition = 0, int vPosition = 0) {
            ui::LayoutInput in{width, height, width - 130, height - 765};
            in.scrollableHeight = content;
            in.vScrollVisible = vBar;
            in.hScrollPosition = hPosition;
            in.vScrollPosition = vPosition;
            return ui::computeLayout(in);
        };
        QVERIFY(layout(11394, 9555, 7830).hScrollVisible);
        QVERIFY(!layout(11395, 9555, 7830).hScrollVisible);
        QVERIFY(layout(11649, 9555, 7830, true).hScrollVisible);
        QVERIFY(!layout(11650, 9555, 7830, true).hScrollVisible);
        // 8600 + 700 = 9300: the vertical bar only when the horizontal adds its 255.
        QVERIFY(layout(11000, 9400, 8600).vScrollVisible);
        QVERIFY(!layout(12000, 9400, 8600).vScrollVisible);
        QCOMPARE(layout(11440, 9555, 7830).scrollableLeft, 0.0f);
        QCOMPARE(layout(11441, 9555, 7830).scrollableLeft, 73.0f);
        // The horizontal position never survives a resize; a hidden bar goes back to 0.
        QCOMPARE(layout(9000, 9555, 7830, false, 2).scrollableLeft, 0.0f);
        QCOMPARE(layout(11650, 9555, 7000, false, 0, 3).vScrollPosition, 0);
        QCOMPARE(layout(11650, 9555, 7000, false, 0, 3).scrollableTop, 0.0f);
        // Content 9330 high in a window 9555 high: overflow 9555 - 920 - 9330 = -695.
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 0), 0.0f);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 1), -695.0f / 3);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 2), -695.0f / 2);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 3) + 9330, 9555.0f - 920);
        QCOMPARE(ui::scrolledTop(9555, 9330, false, 3), 0.0f);
        QCOMPARE(ui::scrolledLeft(9000, 11295, true, 3), 9000.0f - 11295);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
