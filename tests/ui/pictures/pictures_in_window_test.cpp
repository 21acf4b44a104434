// The pictures of an open item in the whole program: the full-size window from
// a double click and from the Tools menu, and the corner picture.
#include "TestSupport.h"
#include "app/Main.h"
#include "app/ProgramFolder.h"
#include "ui/common/LinkLabel.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/edit/MainMenus.h"
#include "ui/main/HomePage.h"
#include "ui/main/MainWindow.h"
#include "ui/pictures/PictureStrip.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {

QImage filled(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QColor centreColour(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QImage programImage(const QString& name, QSize size) {
    return ui::loadPictureScaled(app::nativePath(ui::programImagePath(name)), size, 1.0)
        .pixmap.toImage();
}

// What the full-size window showed: stretched or not, and the picture.
struct Shown {
    bool scaled = false;
    QImage picture;
};

} // namespace

class PicturesInWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolderFixture> m_fixture;
    app::Program m_program;
    MainWindow* m_window = nullptr;
    QList<Shown> m_shown;

    template <class W = QWidget> W* element(const QString& name, int index) const {
        for (W* w : m_window->findChildren<W*>(name)) {
            if (w->property("index").toInt() == index) {
                return w;
            }
        }
        return nullptr;
    }
    QLabel* thumbnail(int k) const { return element<QLabel>("imgPropertyListItem", k); }
    QLabel* corner() const { return m_window->findChild<QLabel*>("imgUpperLeftCorner"); }
    QAction* action(const char* name) const { return m_window->menus().action(name); }

    // Item 1 has a small and a wide picture, item 2 none.
    void start() {
        m_fixture = std::make_unique<ProgramFolderFixture>();
        QDir().mkpath(m_fixture->path("_data\\_userImages"));
        filled(200, 100, Qt::red).save(m_fixture->path("_data\\_userImages\\small.png"));
        filled(800, 400, Qt::blue).save(m_fixture->path("_data\\_userImages\\wide.png"));
        m_fixture->write(
            "\\_data\\991106EB51",
            databaseText({{{"txtDescription", "Two pictures"},
                           {"g_sListOfImagesForItem(1)", "_data\\_userImages\\small.png"},
                           {"g_sListOfImagesForItem(2)", "_data\\_userImages\\wide.png"}},
                          {{"txtDescription", "No pictures"}, {"g_sListOfImagesForItem(1)", ""}}}));
        m_fixture->fakes.modalDialogs.handler = [this](QDialog& dialog) { look(dialog); };
        m_program = app::main();
        m_window = m_program.window.get();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    // Reads the full-size window as the user would see it, then clicks the picture.
    void look(QDialog& dialog) {
        QCOMPARE(dialog.objectName(), QStringLiteral("frmShowImage"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("  To close this view, click on the image"));
        auto* natural = dialog.findChild<QLabel*>("picShowImage");
        auto* scaled = dialog.findChild<QLabel*>("imgShowImage");
        QCOMPARE(natural->isHidden(), !scaled->isHidden());
        QLabel* shown = natural->isHidden() ? scaled : natural;
        QCOMPARE(shown->pixmap().size(), dialog.size());
        m_shown << Shown{shown == scaled, shown->pixmap().toImage()};
        QSignalSpy finished(&dialog, &QDialog::finished);
        QTest::mouseClick(shown, Qt::LeftButton);
        QCOMPARE(finished.count(), 1);
    }

    void openCoinImages(int card) {
        QTest::mouseDClick(element<QLabel>("picSelectProperty", card), Qt::LeftButton);
        QTest::mouseClick(m_window->findChild<LinkLabel*>("lblCoinImages"), Qt::LeftButton);
        QVERIFY(m_window->isCoinImagesShown());
    }

    bool toolsEntryEnabled() {
        m_window->menus().toolsEnablingRule();
        return action("mnuToolsViewImageDetails")->isEnabled();
    }

private slots:
    void cleanup() {
        m_program = {};
        m_window = nullptr;
        m_fixture.reset();
        m_shown.clear();
    }

    void fromADoubleClickAndFromTheToolsMenu() {
        start();
        openCoinImages(1);
        QVERIFY(!toolsEntryEnabled());
        // Press, release, press, double click, release, as a mouse sends them.
        QTest::mouseClick(thumbnail(1), Qt::LeftButton);
        QTest::mousePress(thumbnail(1), Qt::LeftButton);
        QTest::mouseDClick(thumbnail(1), Qt::LeftButton);
        QTest::mouseRelease(thumbnail(1), Qt::LeftButton);
        QCOMPARE(m_shown.size(), 1);
        QVERIFY(!m_shown[0].scaled);
        QCOMPARE(m_shown[0].picture, filled(200, 100, Qt::red));
        QCOMPARE(m_window->pictureStrip().selectedThumbnail(), 1);

        // Wider than three quarters of the main window's 11650 twips: that
        // width, less the window's border, with the picture's proportions.
        QTest::mouseClick(thumbnail(2), Qt::LeftButton);
        QVERIFY(toolsEntryEnabled());
        action("mnuToolsViewImageDetails")->trigger();
        QCOMPARE(m_shown.size(), 2);
        const QSize border = m_window->frameGeometry().size() - m_window->size();
        QVERIFY(m_shown[1].scaled);
        QCOMPARE(m_shown[1].picture.size(), QSize(ui::px(8737.5 - ui::twips(border.width())),
                                                  ui::px(4368.75 - ui::twips(border.height()))));
        QCOMPARE(centreColour(QPixmap::fromImage(m_shown[1].picture)), QColor(Qt::blue));
    }

    // A card without a picture names "noImageAvailable.jpg", which is no file
    // below the program folder: the view shows the invalid-picture image.
    void toolsEntryOnTheHomePage() {
        start();
        QVERIFY(!toolsEntryEnabled());
        QTest::mouseClick(element<QLabel>("lblSelectPropertyLine1", 2), Qt::LeftButton);
        QVERIFY(toolsEntryEnabled());
        action("mnuToolsViewImageDetails")->trigger();
        QCOMPARE(m_shown.size(), 1);
        QVERIFY(!m_shown[0].scaled);
        QCOMPARE(m_shown[0].picture, programImage("invalidPictureFormat.jpg", QSize(300, 285)));
    }

    void cornerFollowsAddingAndRemoving() {
        start();
        openCoinImages(2);
        filled(64, 64, Qt::darkGreen).save(m_fixture->path("coin.png"));
        m_fixture->fakes.dialogs.answers = {m_fixture->path("coin.png")};
        QTest::mouseClick(m_window->findChild<QWidget*>("cmdAddPicture"), Qt::LeftButton);
        QCOMPARE(m_window->editor().pictures().size(), 2); // the stored empty name stays behind
        QCOMPARE(centreColour(corner()->pixmap()), QColor(Qt::darkGreen));
        QCOMPARE(thumbnail(1)->parentWidget()->x(), ui::px(3000)); // alone, centred

        // Removing both pictures of the other item, the second from the frame
        // that stays marked, leaves the default picture in the corner.
        m_fixture->fakes.boxes.answers = {platform::Answer::No};
        action("mnuFileClose")->trigger();
        QCOMPARE(m_fixture->fakes.boxes.shown.size(), 1); // the added picture is a change
        openCoinImages(1);
        QTest::mouseClick(thumbnail(1), Qt::LeftButton);
        action("mnuEditDelete")->trigger();
        QCOMPARE(centreColour(corner()->pixmap()), QColor(Qt::blue));
        action("mnuEditDelete")->trigger();
        QCOMPARE(m_window->editor().pictures(), QStringList());
        QCOMPARE(corner()->pixmap().toImage(), programImage("corvantheil5.jpg", corner()->size()));
        QVERIFY(m_window->editor().hasUnsavedChanges());
    }
};

QTEST_MAIN(PicturesInWindowTest)
#include "pictures_in_window_test.moc"
