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
#include <QPushButton>
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
    std::unique_ptr<MainWindow> m_window;

    QAction* action(const QString& name) { return m_window->menus().action(name); }
    QMenu* helpMenu() { return m_window->findChild<QMenu*>("mnuHelp"); }
    FakeModalDialogs& dialogs() { return m_fixture->fakes.modalDialogs; }

private slots:
    void init() {
        m_fixture = std::make_unique<ProgramFolderFixture>();
        m_window = app::main();
    }
    void cleanup() {
        m_window.reset();
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

    // One window serves both boxes; whichever comes second shows nothing of the first.
    void boxesInEitherOrder_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QList<QStringList>>("boxes");
        QTest::newRow("newsletter, about")
            << QStringList{kNewsletter, kAbout} << QList<QStringList>{kNewsletterBox, aboutBox()};
        QTest::newRow("about, newsletter, about")
            << QStringList{kAbout, kNewsletter, kAbout}
            << QList<QStringList>{aboutBox(), kNewsletterBox, aboutBox()};
    }
    void boxesInEitherOrder() {
        QFETCH(QStringList, entries);
        QFETCH(QList<QStringList>, boxes);
        QList<QStringList> shown;
        QList<QPointer<QDialog>> made;
        dialogs().handler = [&](QDialog& box) {
            QCOMPARE(box.objectName(), QStringLiteral("frmAbout"));
            QCOMPARE(box.parentWidget(), m_window.get());
            QVERIFY(!box.findChild<QLabel*>("picIcon")->pixmap().isNull());
            QVERIFY(box.findChild<QPushButton*>("cmdOK")->isDefault());
            shown << contents(box);
            made << &box;
            box.show();
            QTest::mouseClick(box.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            QVERIFY(!box.isVisible());
        };
        for (const QString& entry : entries) {
            action(entry)->trigger();
        }
        QCOMPARE(shown, boxes);
        QCOMPARE(dialogs().titles.size(), entries.size());
        for (const QPointer<QDialog>& box : made) {
            QVERIFY(box.isNull());
        }
        QVERIFY(m_fixture->fakes.shell.opened.isEmpty());
        QVERIFY(!m_fixture->exists("\\corvantheil.Err"));
    }

    // Pure blue and underlined under the pointer, navy when it leaves; a release
    // over the link opens its address, a release elsewhere nothing.
    void linkBehavesLikeThePanelLinks() {
        QStringList opened;
        dialogs().handler = [&](QDialog& box) {
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            auto* link = box.findChild<LinkLabel*>("lblURL");
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
            emit link->pointerEntered();
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            QVERIFY(link->font().underline());
            emit link->pointerLeft();
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
            QVERIFY(!link->font().underline());
            QTest::mousePress(link, Qt::LeftButton);
            QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-10, -10));
            opened << m_fixture->fakes.shell.opened;
            emit link->pointerEntered();
            QTest::mouseClick(link, Qt::LeftButton);
            QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
            QVERIFY(!link->font().underline());
        };
        action(kNewsletter)->trigger();
        QVERIFY(opened.isEmpty());
        QCOMPARE(m_fixture->fakes.shell.opened,
                 QStringList{"http://www.corvantheil.example/subscribe.php"});
    }

    // The box still shows, with its texts, when the logo cannot be read.
    void missingLogoIsLoggedAndTheBoxStillShown() {
        QVERIFY(QFile::remove(m_fixture->path("\\_images\\corvantheil5.jpg")));
        QList<QStringList> shown;
        dialogs().handler = [&](QDialog& box) {
            QVERIFY(box.findChild<QLabel*>("picIcon")->pixmap().isNull());
            shown << contents(box);
        };
        action(kAbout)->trigger();
        QCOMPARE(shown, QList<QStringList>{aboutBox()});
        QVERIFY(m_fixture->read("\\corvantheil.Err").contains("\"53\",\"File not found\""));
    }
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
