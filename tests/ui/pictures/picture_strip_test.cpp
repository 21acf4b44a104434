#include "TestSupport.h"
#include "app/ProgramFolder.h"
#include "store/ItemDatabase.h"
#include "ui/main/PictureLoading.h"
#include "ui/main/Twips.h"
#include "ui/pictures/PictureStrip.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

QColor ColourOf(int n) {
    return QColor(QColor::fromHsv(n * 47 % 360, 200, 220).rgb());
}

QColor CentreColour(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

} // namespace

class PictureStripTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramFolderFixture> m_folder;
    std::unique_ptr<QWidget> m_area;
    std::unique_ptr<PictureStrip> m_strip;

    // Pictures 1..count, each filled with its own colour.
    void ListPictures(int count) {
        store::g_sListOfImagesForItem = QStringList(QString());
        QDir().mkpath(m_folder->path(QStringLiteral("_data\\_userImages")));
        for (int n = 1; n <= count; ++n) {
            const QString relative = QStringLiteral("_data\\_userImages\\p%1.png").arg(n);
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(ColourOf(n));
            QVERIFY(image.save(m_folder->path(relative)));
            store::g_sListOfImagesForItem << relative;
        }
    }

    QList<double> VisibleFrameLefts() const {
        QList<double> lefts;
        for (QFrame* f :
             m_strip->frame()->findChildren<QFrame*>(QStringLiteral("frmSelectPropertyImage"))) {
            if (!f->isHidden()) {
                lefts << ui::Twips(f->x());
            }
        }
        std::sort(lefts.begin(), lefts.end());
        return lefts;
    }

private slots:
    void init() {
        m_folder = std::make_unique<ProgramFolderFixture>();
        m_area = std::make_unique<QWidget>();
        m_strip = std::make_unique<PictureStrip>(m_area.get());
    }
    void cleanup() {
        m_strip.reset();
        m_area.reset();
        m_folder.reset();
    }

    void centresByPictureCount() {
        const QList<QList<double>> lefts = {
            {}, {3000}, {2160, 4200}, {960, 3000, 5040}, {120, 2160, 4200, 6240}};
        for (int count = 0; count <= 4; ++count) {
            ListPictures(count);
            m_strip->FillPictureStrip();
            QCOMPARE(VisibleFrameLefts(), lefts[count]);
            QVERIFY(m_strip->scrollBar()->isHidden());
            QCOMPARE(m_strip->deleteButton()->isEnabled(), count > 0);
        }
    }

    void scrollsThroughTheList() {
        QSignalSpy scrolled(m_strip.get(), &PictureStrip::scrolled);
        ListPictures(5);
        m_strip->FillPictureStrip();
        QVERIFY(!m_strip->scrollBar()->isHidden());
        QCOMPARE(m_strip->scrollBar()->maximum(), 1);

        ListPictures(7);
        m_strip->FillPictureStrip();
        m_strip->scrollBar()->setValue(3);
        for (int k = 1; k <= 4; ++k) {
            QCOMPARE(m_strip->ThumbnailTag(k), QString::number(k + 3));
            QCOMPARE(CentreColour(m_strip->ThumbnailPicture(k)), ColourOf(k + 3));
        }
        scrolled.clear();

        // A shorter list pulls the offset to its new end without a scroll event;
        // a hidden bar's stale offset is ignored.
        ListPictures(6);
        m_strip->FillPictureStrip();
        QCOMPARE(m_strip->scrollBar()->value(), 2);
        QCOMPARE(m_strip->ThumbnailTag(1), QStringLiteral("3"));
        ListPictures(4);
        m_strip->FillPictureStrip();
        QCOMPARE(m_strip->ThumbnailTag(1), QStringLiteral("1"));
        QCOMPARE(CentreColour(m_strip->ThumbnailPicture(1)), ColourOf(1));
        QCOMPARE(scrolled.count(), 0);
    }

    void unreadablePicturesShowTheInvalidImage() {
        ListPictures(1);
        m_folder->write(QStringLiteral("_data\\_userImages\\notes.jpg"), "not a picture");
        store::g_sListOfImagesForItem << QStringLiteral("_data\\_userImages\\missing.jpg")
                                      << QStringLiteral("_data\\_userImages\\notes.jpg");
        m_strip->FillPictureStrip();

        const QString invalidPath =
            ui::ProgramImagePath(QStringLiteral("invalidPictureFormat.jpg"));
        const QImage invalid = ui::LoadPictureScaled(app::NativePath(invalidPath), QSize(116, 104),
                                                     m_strip->frame()->devicePixelRatioF())
                                   .pixmap.toImage();
        QVERIFY(!invalid.isNull());
        QVERIFY(m_strip->ThumbnailPicture(1).toImage() != invalid);
        QCOMPARE(m_strip->ThumbnailPicture(2).toImage(), invalid);
        QCOMPARE(m_strip->ThumbnailPicture(3).toImage(), invalid);
        QCOMPARE(VisibleFrameLefts().size(), 3);
    }

    void emptyElementsShowNoThumbnail() {
        ListPictures(3);
        m_strip->FillPictureStrip();
        store::g_sListOfImagesForItem[1].clear();
        m_strip->FillPictureStrip();
        QVERIFY(m_strip->ThumbnailPicture(1).isNull());
        QCOMPARE(VisibleFrameLefts(), (QList<double>{3000, 5040}));
        QCOMPARE(m_strip->ThumbnailTag(3), QStringLiteral("3"));

        // An item stored without pictures, and an empty list, after a long list.
        for (const QStringList& list : {QStringList{{}, {}}, QStringList{{}}}) {
            ListPictures(6);
            m_strip->FillPictureStrip();
            store::g_sListOfImagesForItem = list;
            m_strip->FillPictureStrip();
            QVERIFY(VisibleFrameLefts().isEmpty());
            QVERIFY(m_strip->scrollBar()->isHidden());
            QVERIFY(!m_strip->deleteButton()->isEnabled());
        }
    }

    void userScrollResetsTheSelection() {
        QSignalSpy scrolled(m_strip.get(), &PictureStrip::scrolled);
        ListPictures(7);
        m_strip->FillPictureStrip();
        // Selected the way a thumbnail click will select.
        QFrame* frame = nullptr;
        for (QFrame* f :
             m_strip->frame()->findChildren<QFrame*>(QStringLiteral("frmSelectPropertyImage"))) {
            frame = f->property("index").toInt() == 2 ? f : frame;
        }
        QVERIFY(frame);
        auto* image = frame->findChild<QLabel*>(QStringLiteral("imgPropertyListItem"));
        auto* panel = m_strip->frame()->findChild<QFrame*>(QStringLiteral("frameShowImage"));
        frame->setFrameShape(QFrame::Box);
        image->setFrameStyle(QFrame::NoFrame);
        panel->show();

        m_strip->FillPictureStrip();
        QVERIFY(frame->frameShape() == QFrame::Box);
        QCOMPARE(scrolled.count(), 0);

        m_strip->scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(scrolled.count(), 1);
        QCOMPARE(m_strip->ThumbnailTag(1), QStringLiteral("2"));
        QVERIFY(frame->frameShape() == QFrame::NoFrame);
        QCOMPARE(image->frameShadow(), QFrame::Raised);
        QVERIFY(!m_strip->deleteButton()->isEnabled());
        QVERIFY(panel->isHidden());
    }
};

QTEST_MAIN(PictureStripTest)
#include "picture_strip_test.moc"
