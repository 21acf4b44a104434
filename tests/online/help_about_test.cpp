// The Help menu of the real main window, and the About and newsletter boxes it shows.
#include "TestSupport.h"
#include "ui/common/LinkLabel.h"

#include <QtTest>

namespace {

// What a user sees of frmAbout: the caption and the five labels.
QStringList contents(QDialog& box) {
    QStringList seen = {box.windowTitle()};
    for (const char* name : {"lblTitle", "lblCopyright", "lblURL", "lblNote", "lblSmallPrint"}) {
        seen << box.findChild<QLabel*>(name)->text();
    }
    return seen;
}

} // namespace

class HelpAboutTest : public QObject {
    Q_OBJECT

private slots:
    // Choosing an entry opens the menu, which sets the About caption, not
    // appends to it. A missing help page is still handed over to the system.
    void helpEntriesOpenTheirPages() {
        RunningProgram p;
        QAction* about = p.window().menus().action("mnuHelpAbout");
        QCOMPARE(about->text(), QStringLiteral("&About "));
        QVERIFY(QFile::remove(p.folder.path("\\_reference\\help.html")));
        p.trigger("mnuHelpTopics");
        p.trigger("mnuHelpOnlineHelp");
        QCOMPARE(p.folder.fakes.shell.opened,
                 QStringList({p.folder.folder() + "\\_reference\\help.html",
                              "http://www.corvantheil.example/support.php"}));
        QCOMPARE(about->text(), QStringLiteral("About Corvantheil"));
        QVERIFY(p.folder.fakes.boxes.shown.isEmpty());

        // No browser: one message names the page, so the user can open it by hand.
        p.folder.fakes.shell.result = false;
        p.trigger("mnuHelpTopics");
        QCOMPARE(p.folder.fakes.boxes.shown.size(), 1);
        QVERIFY(p.folder.fakes.boxes.shown[0].text.endsWith(
            ":\n\n" + app::nativePath(p.folder.folder() + "/_reference/help.html")));
    }

    // The same form serves both boxes; whichever comes second shows nothing of
    // the first. The link is pure blue and underlined under the pointer, navy when it
    // leaves; a release over it opens its address, one elsewhere nothing.
    void boxesInEitherOrder() {
        RunningProgram p;
        QList<QStringList> shown;
        p.folder.fakes.modalDialogs.handler = [&](QDialog& box) {
            QCOMPARE(box.parentWidget(), &p.window());
            QVERIFY(!box.findChild<QLabel*>("picIcon")->pixmap().isNull());
            shown << contents(box);
            box.show();
            auto* link = box.findChild<LinkLabel*>("lblURL");
            const auto colour = [link] { return link->palette().color(QPalette::WindowText); };
            emit link->pointerEntered();
            QCOMPARE(colour(), QColor(0, 0, 255));
            QVERIFY(link->font().underline());
            emit link->pointerLeft();
            QCOMPARE(colour(), QColor(0, 0, 128));
            QVERIFY(!link->font().underline());
            QTest::mousePress(link, Qt::LeftButton);
            QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-10, -10));
            emit link->pointerEntered();
            QTest::mouseClick(link, Qt::LeftButton);
            QCOMPARE(colour(), QColor(0, 0, 128));
            QVERIFY(!link->font().underline());
            QTest::keyClick(&box, Qt::Key_Return); // cmdOK is the default button
            QVERIFY(!box.isVisible());
        };
        for (const char* entry : {"mnuHelpAbout", "mnuHelpNewsletter", "mnuHelpAbout"}) {
            p.trigger(entry);
        }
        const QStringList about = {
            "About Corvantheil",
            "Corvantheil v2.29.8",
            QString::fromUtf8("Copyright © %1 corvantheil.example")
                .arg(QDate::currentDate().year()),
            "www.corvantheil.example",
            "",
            "This tool is intended for analysis purposes only and in no way guarantees results of "
            "returns on your investments."};
        const QStringList newsletter = {
            "Newsletter",
            "Corvantheil Newsletter",
            "To subscribe, visit us online at:",
            "www.corvantheil.example",
            "or:  newsletter@corvantheil.example",
            "Subscribe now to get updates, new releases, and other great collecting tips and "
            "information!"};
        QCOMPARE(shown, QList({about, newsletter, about}));
        const QString site = "http://www.corvantheil.example";
        QCOMPARE(p.folder.fakes.shell.opened, QStringList({site, site + "/subscribe.php", site}));
    }
};

QTEST_MAIN(HelpAboutTest)
#include "help_about_test.moc"
