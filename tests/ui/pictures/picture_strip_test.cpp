#include "TestSupport.h"
#include "app/ProgramFolder.h"
#include "ui/common/PictureLoading.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
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

QColor colourOf(int n) {
    return QColor(QColor::fromHsv(n * 47 % 360, 200, 220).rgb());
}

QColor centreColour(const QPixmap& pixmap) {
    const QImage image = pixmap.toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
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
        QDir().mkpath(m_s->folder.path(QStringLiteral("_data\\_userImages")));
        for (int n = 1; n <= count; ++n) {
            const QString relative = QStringLiteral("_data\\_userImages\\p%1.png").arg(n);
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(colourOf(n));
            QVERIFY(image.save(m_s->folder.path(relative)));
            list << relative;
        }
        m_s->editor.setPictures(list);
        m_s->strip.fillPictureStrip();
    }

    QList<QFrame*> frames() const {
        return m_s->strip.frame()->findChildren<QFrame*>(QStringLiteral("frmSelectPropertyImage"));
    }

    QList<double> visibleFrameLefts() const {
        QList<double> lefts;
        for (QFrame* f : frames()) {
            if (!f->isHidden()) {
                lefts << ui::twips(f->x());
            }
        }
        std::sort(lefts.begin(), lefts.end());
        return lefts;
    }

private slots:
    void init() { m_s = std::make_unique<Strip>(); }
    void cleanup() { m_s.reset(); }

    void centresByPictureCount() {
        const QList<QList<double>> lefts = {
            {}, {3000}, {2160, 4200}, {960, 3000, 5040}, {120, 2160, 4200, 6240}};
        for (int count = 0; count <= 4; ++count) {
            listPictures(count);
            m_s->strip.fillPictureStrip();
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

    // An emptied element shows nothing in its place; a missing or unreadable file shows
    // the program's invalid-picture image.
    void emptyAndUnreadableElements() {
        listPictures(1);
        m_s->folder.write(QStringLiteral("_data\\_userImages\\notes.jpg"), "not a picture");
        m_s->editor.setPictures({QString(), QStringLiteral("_data\\_userImages\\missing.jpg"),
                                 QStringLiteral("_data\\_userImages\\notes.jpg")});
        m_s->strip.fillPictureStrip();
        const QImage invalid =
            ui::loadPictureScaled(app::nativePath(ui::programImagePath("invalidPictureFormat.jpg")),
                                  QSize(116, 104), m_s->strip.frame()->devicePixelRatioF())
                .pixmap.toImage();
        QVERIFY(!invalid.isNull());
        QVERIFY(m_s->strip.thumbnailPicture(1).isNull());
        QCOMPARE(m_s->strip.thumbnailPicture(2).toImage(), invalid);
        QCOMPARE(m_s->strip.thumbnailPicture(3).toImage(), invalid);
        QCOMPARE(visibleFrameLefts(), (QList<double>{3000, 5040}));
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

    void userScrollResetsTheSelection() {
        QSignalSpy scrolled(&m_s->strip, &PictureStrip::scrolled);
        listPictures(7);
        // Selected the way a thumbnail click will select.
        QFrame* frame = nullptr;
        for (QFrame* f : frames()) {
            frame = f->property("index").toInt() == 2 ? f : frame;
        }
        QVERIFY(frame);
        auto* image = frame->findChild<QLabel*>(QStringLiteral("imgPropertyListItem"));
        auto* panel = m_s->strip.frame()->findChild<QFrame*>(QStringLiteral("frameShowImage"));
        frame->setFrameShape(QFrame::Box);
        image->setFrameStyle(QFrame::NoFrame);
        panel->show();

        m_s->strip.fillPictureStrip();
        QVERIFY(frame->frameShape() == QFrame::Box);
        QCOMPARE(scrolled.count(), 0);

        m_s->strip.scrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(scrolled.count(), 1);
        QCOMPARE(m_s->strip.thumbnailTag(1), QStringLiteral("2"));
        QVERIFY(frame->frameShape() == QFrame::NoFrame);
        QCOMPARE(image->frameShadow(), QFrame::Raised);
        QVERIFY(!m_s->strip.deleteButton()->isEnabled());
        QVERIFY(panel->isHidden());
    }
};

QTEST_MAIN(PictureStripTest)
#include "picture_strip_test.moc"
