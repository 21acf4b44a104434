// The Help menu of the real main window, and the About and newsletter boxes it shows.
#include "TestSupport.h"
#include "app/Constants.h"
#include "app/Main.h"
#include "ui/common/LinkLabel.h"
#include "ui/edit/MainMenus.h"
#include "ui/main/MainWindow.h"

#include <QAction>
#include <QDate>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QtTest>

namespace {

const QString kNewsletter = QStringLiteral("mnuHelpNewsletter");
const QString kAbout = QStringLiteral("mnuHelpAbout");

// What a user sees of frmAbout: caption, the five labels, the link's address.
QStringList contents(QDialog& box) {
    QStringList seen = {box.windowTitle()};
    for (const char* name : {"lblTitle", "lblCopyright", "lblURL", "lblNote", "lblSmallPrint"}) {
        seen << box.findChild<QLabel*>(name)->text();
    }
    seen << box.findChild<QLabel*>("lblURL")->property("tag").toString();
    return seen;
}

const QStringList kNewsletterBox = {
    "Newsletter",
    "Corvantheil Newsletter",
    "To subscribe, visit us online at:",
    "www.corvantheil.example",
    "or:  newsletter@corvantheil.example",
    "Subscribe now to get updates, new releases, and other great collecting tips and "
    "information!",
    "http://www.corvantheil.example/subscribe.php"};

QStringList aboutBox() {
    return {
        "About Corvantheil",
        "Corvantheil v2.29.8",
        QString::fromUtf8("Copyright © %1 corvantheil.example").arg(QDate::currentDate().year()),
        "www.corvantheil.example",
        "",
        "This tool is intended for analysis purposes only and in no way guarantees "
        "results of returns on your investments.",
        "http://www.corvantheil.example"};
}

} // namespace

class HelpAboutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolderFixture> m_fixture;
    app::Program m_program;
    MainWindow* m_window = nullptr;

    QAction* action(const QString& name) { return m_window->menus().action(name); }
    QMenu* helpMenu() { return m_window->findChild<QMenu*>("mnuHelp"); }
    FakeModalDialogs& dialogs() { return m_fixture->fakes.modalDialogs; }

private slots:
    void init() {
        m_fixture = std::make_unique<ProgramFolderFixture>();
        m_program = app::main();
        m_window = m_program.window.get();
    }
    void cleanup() {
        m_program = {};
        m_window = nullptr;
        m_fixture.reset();
    }

    void aboutCaptionIsSetEachTimeTheMenuOpens() {
        QCOMPARE(action(kAbout)->text(), QStringLiteral("&About "));
        for (int i = 0; i < 2; ++i) {
            helpMenu()->popup(QPoint(0, 0));
            helpMenu()->hide();
            QCOMPARE(action(kAbout)->text(), QStringLiteral("About Corvantheil"));
        }
    }

    // A missing help page is still handed over; what happens then is the system's.
    void helpEntriesOpenTheirPages_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("removePage");
        QTest::addColumn<QString>("target"); // after the program folder when relative
        QTest::newRow("general help") << "mnuHelpTopics" << false << "\\_reference\\help.html";
        QTest::newRow("help page missing") << "mnuHelpTopics" << true << "\\_reference\\help.html";
        QTest::newRow("online help")
            << "mnuHelpOnlineHelp" << false << "http://www.corvantheil.example/support.php";
    }
    void helpEntriesOpenTheirPages() {
        QFETCH(QString, entry);
        QFETCH(QString, target);
        QFETCH(bool, removePage);
        if (removePage) {
            QVERIFY(QFile::remove(m_fixture->path("\\_reference\\help.html")));
        }
        action(entry)->trigger();
        const QString expected = target.startsWith("http") ? target : m_fixture->folder() + target;
        QCOMPARE(m_fixture->fakes.shell.opened, QStringList{expected});
        QVERIFY(dialogs().titles.isEmpty());
    }

    // One window serves both boxes; whichever comes second shows nothing of the
    // first. A logo that cannot be read is logged and the box still shows.
    void boxesInEitherOrder_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("logo");
        QTest::addColumn<QList<QStringList>>("boxes");
        QTest::newRow("newsletter, about") << QStringList{kNewsletter, kAbout} << true
                                           << QList<QStringList>{kNewsletterBox, aboutBox()};
        QTest::newRow("about, newsletter, about")
            << QStringList{kAbout, kNewsletter, kAbout} << true
            << QList<QStringList>{aboutBox(), kNewsletterBox, aboutBox()};
        QTest::newRow("no logo") << QStringList{kAbout} << false << QList<QStringList>{aboutBox()};
    }
    void boxesInEitherOrder() {
        QFETCH(QStringList, entries);
        QFETCH(bool, logo);
        QFETCH(QList<QStringList>, boxes);
        if (!logo) {
            QVERIFY(QFile::remove(m_fixture->path("\\_images\\corvantheil5.jpg")));
        }
        QList<QStringList> shown;
        QList<QPointer<QDialog>> made;
        dialogs().handler = [&](QDialog& box) {
            QCOMPARE(box.objectName(), QStringLiteral("frmAbout"));
            QCOMPARE(box.parentWidget(), m_window);
            QCOMPARE(box.findChild<QLabel*>("picIcon")->pixmap().isNull(), !logo);
            shown << contents(box);
            made << &box;
            box.show();
            QTest::keyClick(&box, Qt::Key_Return); // cmdOK is the default button
            QVERIFY(!box.isVisible());
        };
        for (const QString& entry : entries) {
            action(entry)->trigger();
        }
        QCOMPARE(shown, boxes);
        for (const QPointer<QDialog>& box : made) {
            QVERIFY(box.isNull());
        }
        QVERIFY(m_fixture->fakes.shell.opened.isEmpty());
        QCOMPARE(m_fixture->read("\\corvantheil.Err").contains("\"53\",\"File not found\""), !logo);
    }

    // Pure blue and underlined under the pointer, navy when it leaves; a release
    // over the link opens its address, one elsewhere nothing.
    void linkBehavesLikeThePanelLinks() {
        const QStringList& opened = m_fixture->fakes.shell.opened;
        dialogs().handler = [&](QDialog& box) {
            box.show();
            auto* link = box.findChild<LinkLabel*>("lblURL");
            emit link->pointerEntered();
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QVERIFY(link->font().underline());
            emit link->pointerLeft();
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
            QVERIFY(!link->font().underline());
            QTest::mousePress(link, Qt::LeftButton);
            QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-10, -10));
            QVERIFY(opened.isEmpty());
            emit link->pointerEntered();
            QTest::mouseClick(link, Qt::LeftButton);
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
            QVERIFY(!link->font().underline());
        };
        action(kNewsletter)->trigger();
        QCOMPARE(opened, QStringList{"http://www.corvantheil.example/subscribe.php"});
    }
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
