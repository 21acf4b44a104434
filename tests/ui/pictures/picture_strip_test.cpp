#include "TestSupport.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/pictures/PictureList.h"
#include "ui/pictures/PictureStrip.h"

#include <QBuffer>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>
#include <memory>

namespace {

const QDateTime kNow(QDate(2024, 3, 15), QTime(14, 30, 5));

QColor colourOf(int n) {
    return QColor(QColor::fromHsv(n * 47 % 360, 200, 220).rgb());
}

QColor centreColour(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QByteArray encoded(int width, int height, const QColor& colour, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A small PNG whose header claims 30000 x 30000 pixels, checksum and all.
QByteArray hugeClaimingPng() {
    QByteArray png = encoded(8, 8, Qt::red, "PNG");
    qToBigEndian(quint32(30000), png.data() + 16);
    qToBigEndian(quint32(30000), png.data() + 20);
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : png.mid(12, 17)) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    qToBigEndian(~crc, png.data() + 29);
    return png;
}

} // namespace

class PictureStripTest : public QObject {
    Q_OBJECT
    struct Strip {
        ProgramFolderFixture folder;
        QWidget area;
        ItemEditor editor{&area};
        PictureStrip strip{&area, editor};
    };
    std::unique_ptr<Strip> m_s; // fresh for each test

    // Pictures 1..count, each filled with its own colour, put in the strip.
    void listPictures(int count) {
        QStringList list;
        for (int n = 1; n <= count; ++n) {
            list << QStringLiteral("_data\\_userImages\\p%1.png").arg(n);
            m_s->folder.write(list.back(), encoded(40, 30, colourOf(n), "PNG"));
        }
        m_s->editor.setPictures(list);
        m_s->strip.fillPictureStrip();
    }

    template <class W = QLabel> W* element(int k, const char* name = "imgPropertyListItem") const {
        for (W* w : m_s->strip.frame()->findChildren<W*>(name)) {
            if (w->property("index").toInt() == k) {
                return w;
            }
        }
        return nullptr;
    }
    void click(int k) { QTest::mouseClick(element(k), Qt::LeftButton); }
    void addChosen(const QString& chosen) {
        m_s->folder.fakes.dialogs.answers = {chosen};
        QTest::mouseClick(m_s->strip.addButton(), Qt::LeftButton);
    }
    QImage invalidAt(QSize size) const {
        return ui::loadPictureScaled(
                   app::nativePath(ui::programImagePath("invalidPictureFormat.jpg")), size, 1.0)
            .pixmap.toImage();
    }

    QList<double> visibleFrameLefts() const {
        QList<double> lefts;
        for (QFrame* f : m_s->strip.frame()->findChildren<QFrame*>("frmSelectPropertyImage")) {
            if (!f->isHidden()) {
                lefts << ui::twips(f->x());
            }
        }
        std::sort(lefts.begin(), lefts.end());
        return lefts;
    }

private slots:
    void init() {
        m_s = std::make_unique<Strip>();
        m_s->strip.frame()->show();
        m_s->area.show();
        m_s->strip.setClock([] { return kNow; });
        QDir().mkpath(m_s->folder.path("_data\\_userImages"));
    }
    void cleanup() { m_s.reset(); }

    void centresByPictureCount() {
        const QList<QList<double>> lefts = {
            {}, {3000}, {2160, 4200}, {960, 3000, 5040}, {120, 2160, 4200, 6240}};
        for (int count = 0; count <= 4; ++count) {
            listPictures(count);
            QCOMPARE(visibleFrameLefts(), lefts[count]);
            QVERIFY(m_s->strip.scrollBar()->isHidden());
            QCOMPARE(m_s->strip.deleteButton()->isEnabled(), count > 0);
        }
    }

    void scrollsThroughTheList() {
        QSignalSpy scrolled(&m_s->strip, &PictureStrip::scrolled);
        listPictures(5);
        QVERIFY(!m_s->strip.scrollBar()->isHidden());
        QCOMPARE(m_s->strip.scrollBar()->maximum(), 1);

        listPictures(7);
        m_s->strip.scrollBar()->setValue(3);
        for (int k = 1; k <= 4; ++k) {
            QCOMPARE(m_s->strip.thumbnailTag(k), QString::number(k + 3));
            QCOMPARE(centreColour(m_s->strip.thumbnailPicture(k)), colourOf(k + 3));
        }
        scrolled.clear();

        // A shorter list pulls the offset to its new end without a scroll event;
        // a hidden bar's stale offset is ignored.
        listPictures(6);
        QCOMPARE(m_s->strip.scrollBar()->value(), 2);
        QCOMPARE(m_s->strip.thumbnailTag(1), QStringLiteral("3"));
        listPictures(4);
        QCOMPARE(m_s->strip.thumbnailTag(1), QStringLiteral("1"));
        QCOMPARE(centreColour(m_s->strip.thumbnailPicture(1)), colourOf(1));
        QCOMPARE(scrolled.count(), 0);
    }

    // An emptied element shows nothing in its place and the others close up.
    void emptyElements() {
        listPictures(3);
        m_s->editor.setPictures(
            {QString(), "_data\\_userImages\\p2.png", "_data\\_userImages\\p3.png"});
        m_s->strip.fillPictureStrip();
        QVERIFY(m_s->strip.thumbnailPicture(1).isNull());
        QCOMPARE(visibleFrameLefts(), (QList<double>{2160, 4200}));
        QCOMPARE(m_s->strip.thumbnailTag(3), QStringLiteral("3"));

        // An item stored without pictures, and an empty list, after a long list.
        for (const QStringList& list : {QStringList{{}}, QStringList{}}) {
            listPictures(6);
            m_s->editor.setPictures(list);
            m_s->strip.fillPictureStrip();
            QVERIFY(visibleFrameLefts().isEmpty());
            QVERIFY(m_s->strip.scrollBar()->isHidden());
            QVERIFY(!m_s->strip.deleteButton()->isEnabled());
        }
    }

    void scrollingAndAddingClearTheSelection() {
        QSignalSpy scrolled(&m_s->strip, &PictureStrip::scrolled);
        listPictures(7);
        click(2);
        QCOMPARE(m_s->strip.selectedThumbnail(), 2);
        m_s->strip.fillPictureStrip();
        QCOMPARE(m_s->strip.selectedThumbnail(), 2);
        m_s->strip.scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(scrolled.count(), 1);
        QCOMPARE(m_s->strip.thumbnailTag(1), QStringLiteral("2"));
        QCOMPARE(m_s->strip.selectedThumbnail(), 0);
        QCOMPARE(element(2)->frameShadow(), QFrame::Raised);
        QVERIFY(!m_s->strip.deleteButton()->isEnabled());
        QVERIFY(m_s->strip.pictureFrame()->isHidden());

        click(3);
        m_s->folder.write("new.png", encoded(40, 30, Qt::black, "PNG"));
        addChosen(m_s->folder.path("new.png"));
        QCOMPARE(m_s->strip.scrollBar()->value(), 0);
        QCOMPARE(m_s->strip.selectedThumbnail(), 0);
        QVERIFY(m_s->strip.pictureFrame()->isHidden());
    }

    void addingAPicture() {
        QSignalSpy changed(&m_s->strip, &PictureStrip::pictureListChanged);
        m_s->editor.setPictures({""}); // an item stored without pictures
        m_s->editor.takeCleanSnapshot();

        // Cancelled: nothing copied, listed or marked.
        QTest::mouseClick(m_s->strip.addButton(), Qt::LeftButton);
        QCOMPARE(m_s->folder.fakes.dialogs.titles, QStringList{"Add File"});
        QCOMPARE(m_s->folder.fakes.dialogs.filterLists.value(0),
                 (QStringList{
                     "All Picture Files|*.JPG;*.JPEG;*.JPE;*.JFIF;*.GIF;*.TIF;*.TIFF;*.BMP;*.PNG",
                     "JPEG (*.JPG;*.JPEG;*.JPE;*.JFIF)|*.JPG;*.JPEG;*.JPE;*.JFIF",
                     "GIF (*.GIF)|*.GIF", "TIFF (*.TIF;*.TIFF)|*.TIF;*.TIFF", "BMP (*.BMP)|*.BMP",
                     "PNG (*.PNG)|*.PNG", "All Files (*.*)|*.*"}));
        QCOMPARE(m_s->editor.pictures(), QStringList{""});
        QVERIFY(!m_s->editor.hasUnsavedChanges());
        QVERIFY(QDir(m_s->folder.path("_data\\_userImages")).isEmpty());

        // A name in accents and CJK is copied and shown. A second file with the
        // same ending in the same second takes the same name: both show it.
        const QString name = "_data\\_userImages\\20240315143005.jpg";
        const std::pair<const char*, QColor> files[] = {{"Münze 硬币.jpg", Qt::red},
                                                        {"other.jpg", Qt::blue}};
        for (const auto& [chosen, colour] : files) {
            m_s->folder.write(chosen, encoded(64, 48, colour, "PNG"));
            addChosen(m_s->folder.path(chosen));
            QCOMPARE(centreColour(m_s->strip.thumbnailPicture(1)), colour);
        }
        QCOMPARE(m_s->editor.pictures(), (QStringList{name, name, ""}));
        QCOMPARE(centreColour(m_s->strip.thumbnailPicture(2)), QColor(Qt::blue));
        QCOMPARE(visibleFrameLefts(), (QList<double>{2160, 4200}));
        QVERIFY(m_s->editor.hasUnsavedChanges());
        QCOMPARE(changed.count(), 2);
    }

    void selectingAndDeleting() {
        m_s->folder.write("_data\\_userImages\\p1.png", encoded(200, 100, colourOf(1), "PNG"));
        m_s->folder.write("_data\\_userImages\\p2.png", encoded(100, 200, colourOf(2), "PNG"));
        m_s->folder.write("_data\\_userImages\\p3.png", encoded(10, 10, colourOf(3), "PNG"));
        m_s->editor.setPictures({"_data\\_userImages\\p1.png", "_data\\_userImages\\p2.png",
                                 "_data\\_userImages\\p3.png"});
        m_s->strip.fillPictureStrip();
        QSignalSpy clicked(&m_s->strip, &PictureStrip::thumbnailClicked);
        const QLabel* panel = m_s->strip.pictureImage();
        click(1);
        QCOMPARE(panel->geometry(), QRect(0, 0, 265, 133));
        click(2);
        QCOMPARE(panel->geometry(), QRect(66, 0, 133, 265));
        QCOMPARE(centreColour(panel->pixmap()), colourOf(2));
        QCOMPARE(element<QFrame>(2, "frmSelectPropertyImage")->frameShape(), QFrame::Box);
        QCOMPARE(element(2)->frameShape(), QFrame::NoFrame);
        QCOMPARE(clicked.count(), 2);
        // Pressed on one thumbnail and released over another: no click.
        QTest::mousePress(element(1), Qt::LeftButton);
        QTest::mouseRelease(element(3), Qt::LeftButton);
        QCOMPARE(m_s->strip.selectedThumbnail(), 2);

        // The marked frame and the panel stay; a second Delete takes the
        // picture that moved into the frame, a third finds none there.
        m_s->editor.takeCleanSnapshot();
        for (int times = 1; times <= 3; ++times) {
            QTest::mouseClick(m_s->strip.deleteButton(), Qt::LeftButton);
        }
        QCOMPARE(m_s->editor.pictures(), QStringList{"_data\\_userImages\\p1.png"});
        QVERIFY(m_s->folder.exists("_data\\_userImages\\p2.png"));
        QVERIFY(m_s->editor.hasUnsavedChanges());
        QCOMPARE(m_s->strip.selectedThumbnail(), 2);
        QCOMPARE(centreColour(panel->pixmap()), colourOf(2));
        QCOMPARE(visibleFrameLefts(), QList<double>{3000});
    }

    void badFiles_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("logged");
        const QByteArray jpeg = encoded(640, 480, Qt::green, "JPEG");
        QTest::newRow("zero bytes") << "empty.jpg" << QByteArray("") << 0;
        QTest::newRow("text named .png") << "notes.png" << QByteArray("Seated Liberty\n") << 0;
        QTest::newRow("truncated JPEG") << "cut.jpg" << jpeg.left(300) << 0;
        QTest::newRow("PNG claiming 30000 x 30000") << "huge.png" << hugeClaimingPng() << 0;
        QTest::newRow("deleted after choosing") << "gone.jpg" << QByteArray() << 53;
        QTest::newRow("a folder where the copy goes") << "blocked.jpg" << jpeg << 75;
    }
    void badFiles() {
        QFETCH(QString, chosen);
        QFETCH(QByteArray, bytes);
        QFETCH(int, logged);
        if (!bytes.isNull()) {
            m_s->folder.write(chosen, bytes);
        }
        const QString name = ui::copiedPictureName(kNow, chosen);
        if (logged == app::kPathFileAccessError) {
            QDir().mkpath(m_s->folder.path(name));
        }
        addChosen(m_s->folder.path(chosen));
        QCOMPARE(m_s->editor.pictures(), QStringList{name});
        QCOMPARE(m_s->strip.thumbnailPicture(1).toImage(), invalidAt(QSize(116, 104)));
        click(1);
        // Fitted by the invalid-picture image's own proportions, 300 x 285.
        QCOMPARE(m_s->strip.pictureImage()->geometry(), QRect(0, 0, 265, 252));
        QCOMPARE(m_s->strip.pictureImage()->pixmap().toImage(), invalidAt(QSize(265, 252)));
        const QByteArray log = m_s->folder.read("\\corvantheil.Err");
        QCOMPARE(log.contains("\"" + QByteArray::number(logged) + "\""), logged != 0);
    }
};

QTEST_MAIN(PictureStripTest)
#include "picture_strip_test.moc"
