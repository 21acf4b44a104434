#include "online/OnlineFeatures.h"
#include "store/AttributeLists.h"
#include "store/CoinRecord.h"
#include "ui/common/Controls.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"
#include "ui/main/DetailPanels.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {
// The window's font, so that fitting is judged on the real look.
struct PanelHost {
    QWidget window;
    QWidget* scrollable = new QWidget(&window);
    ItemEditor editor{scrollable};
    QFrame* detail = buildDetailedInfoPanel(scrollable, editor);
    QFrame* comments = buildCommentsPanel(scrollable, editor);
    QFrame* online = buildOnlineFeaturesPanel(scrollable, editor);
    PanelHost() {
        window.setFont(ui::windowFont());
        scrollable->resize(ui::px(10692), ui::px(9330));
    }
};

QLabel* captionOf(QWidget* panel, QWidget* box) {
    for (QLabel* label : panel->findChildren<QLabel*>()) {
        if (label->buddy() == box) {
            return label;
        }
    }
    return nullptr;
}
} // namespace

class DetailPanelsTest : public QObject {
    Q_OBJECT
private slots:
    void everyFieldBoxIsOnItsPanelWithACaption() {
        PanelHost host;
        for (const QString& name : store::fieldKeys()) {
            const bool notes = name.startsWith("txtMiscNotes");
            QFrame* panel = notes ? host.comments : host.detail;
            QCOMPARE(host.window.findChildren<QWidget*>(name).size(), 1);
            QWidget* box = host.window.findChild<QWidget*>(name);
            QVERIFY2(panel->isAncestorOf(box), qPrintable(name));
            if (notes) {
                QVERIFY(qobject_cast<QPlainTextEdit*>(box));
            } else if (store::isAttributeChoice(name)) {
                QVERIFY(!qobject_cast<QComboBox*>(box)->isEditable());
            } else {
                const bool computed =
                    name == "txtFinancialChangeInValue" || name == "txtRecordLastUpdated";
                QCOMPARE(qobject_cast<QLineEdit*>(box)->isReadOnly(), computed);
            }
            QVERIFY2(captionOf(panel, box), qPrintable(name));
        }
    }

    void attributeBoxesHoldTheirListsWithNothingChosen() {
        PanelHost host;
        host.window.show();
        host.detail->show();
        const std::pair<const char*, const QStringList*> lists[] = {
            {"cmbCoinType", &store::coinTypeList()},
            {"cmbMintMark", &store::mintMarkList()},
            {"cmbGrade", &store::gradeList()}};
        for (const auto& [name, rows] : lists) {
            auto* combo = host.window.findChild<QComboBox*>(name);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) {
                shown << combo->itemText(i);
            }
            QCOMPARE(shown, *rows);
            QCOMPARE(combo->currentIndex(), -1);
            // The open list shows the longest entry whole.
            combo->showPopup();
            QVERIFY(combo->view()->viewport()->width() >= combo->view()->sizeHintForColumn(0));
            combo->hidePopup();
        }
    }

    void tabRunsTopToBottomThroughEachPanel() {
        PanelHost host;
        host.window.show();
        host.detail->show();
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QStringList expected = store::fieldKeys();
        expected.removeIf([](const QString& k) { return k.startsWith("txtMiscNotes"); });
        // The boxes visited from the first one on, by name.
        auto tabThrough = [&](const char* first, qsizetype count) {
            host.window.findChild<QWidget*>(first)->setFocus();
            QStringList visited{QApplication::focusWidget()->objectName()};
            while (visited.size() < count) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited << QApplication::focusWidget()->objectName();
            }
            return visited;
        };
        auto rectOf = [&](const QString& name) {
            auto* box = host.window.findChild<QWidget*>(name);
            return QRect(box->mapTo(host.detail, QPoint()), box->size());
        };
        const QStringList names = tabThrough("txtDescription", expected.size());
        QCOMPARE(QSet<QString>(names.begin(), names.end()),
                 QSet<QString>(expected.begin(), expected.end()));
        for (int i = 1; i < names.size(); ++i) {
            const QRect a = rectOf(names[i - 1]), b = rectOf(names[i]);
            // Down the same column, or on to the top of the next column or band.
            const bool down = b.left() == a.left() && b.top() > a.bottom();
            const bool nextColumn = b.left() > a.right() && b.top() < a.top();
            const bool nextBand = b.top() > a.bottom() && b.left() < a.left();
            QVERIFY2(down || nextColumn || nextBand, qPrintable(names[i - 1] + " -> " + names[i]));
        }

        host.detail->hide();
        host.comments->show();
        QCOMPARE(tabThrough("txtMiscNotes", 3),
                 (QStringList{"txtMiscNotes", "txtMiscNotes2", "txtMiscNotes3"}));
    }

    // Each panel fills its design size, holds every control whole, and its title label
    // carries the panel's element number.
    void everyControlFitsItsPanelAndItsCaption() {
        PanelHost host;
        const std::tuple<QFrame*, int, int> panels[] = {
            {host.detail, 9330, 0}, {host.comments, 8850, 2}, {host.online, 8640, 3}};
        for (const auto& [panel, height, element] : panels) {
            QCOMPARE(panel->size(), ui::twipsRect(0, 0, 10692, height).size());
            QVERIFY(panel->isHidden());
            const QList<QLabel*> titles = panel->findChildren<QLabel*>("lblBigDescription");
            QCOMPARE(titles.size(), 1);
            QCOMPARE(titles.front()->property("index").toInt(), element);
            host.window.show();
            panel->show();
            QCoreApplication::sendPostedEvents();
            for (QWidget* w : panel->findChildren<QWidget*>()) {
                if (w->window() != &host.window) {
                    continue; // a drop-down list opens in a window of its own
                }
                const QRect r(w->mapTo(panel, QPoint()), w->size());
                QVERIFY2(panel->rect().contains(r),
                         qPrintable(w->objectName() + " " + w->metaObject()->className()));
                auto* label = qobject_cast<QLabel*>(w);
                if (label && !label->wordWrap() && label->pixmap().isNull()) {
                    QVERIFY2(label->sizeHint().width() <= label->width(),
                             qPrintable(label->text()));
                }
                if (auto* button = qobject_cast<QPushButton*>(w)) {
                    QVERIFY2(button->sizeHint().width() <= button->width(),
                             qPrintable(button->text()));
                }
            }
        }
    }
};

QTEST_MAIN(DetailPanelsTest)
#include "detail_panels_test.moc"
