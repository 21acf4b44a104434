#include "online/OnlineFeatures.h"
#include "store/AttributeLists.h"
#include "store/ItemRecord.h"
#include "ui/main/Controls.h"
#include "ui/main/DetailPanels.h"
#include "ui/main/Twips.h"

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
    QFrame* detail = BuildDetailedInfoPanel(scrollable);
    QFrame* comments = BuildCommentsPanel(scrollable);
    QFrame* online = BuildOnlineFeaturesPanel(scrollable, &window);
    PanelHost() {
        window.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
        scrollable->resize(ui::Px(10692), ui::Px(9330));
    }
};

QLabel* CaptionOf(QWidget* panel, QWidget* box) {
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
    void everyFieldBoxIsOnItsPanelWithItsCaption_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const QStringList captions = {"Further Notes",
                                      "More Notes",
                                      "Notes",
                                      "Grade",
                                      "Mint Mark",
                                      "Coin Type",
                                      "Country",
                                      "Item #",
                                      "Year",
                                      "Description",
                                      "Change in Value",
                                      "Last Appraisal",
                                      "Date Acquired",
                                      "Valuation Source",
                                      "Current Value",
                                      "Purchase Price",
                                      "Detail 4",
                                      "Detail 5",
                                      "Misc Detail 4",
                                      "Misc Detail 5",
                                      "Detail 1",
                                      "Detail 2",
                                      "Detail 3",
                                      "Misc Detail 1",
                                      "Misc Detail 2",
                                      "Misc Detail 3",
                                      "Category",
                                      "Packaging Type",
                                      "Box #",
                                      "Catalog #",
                                      "Record Last Updated",
                                      "Package Condition",
                                      "Related Items"};
        QCOMPARE(captions.size(), store::ItemRecordKeys().size());
        for (int i = 0; i < captions.size(); ++i) {
            const QString& key = store::ItemRecordKeys()[i];
            QTest::newRow(qPrintable(key)) << key << captions[i];
        }
    }
    void everyFieldBoxIsOnItsPanelWithItsCaption() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        PanelHost host;
        const bool notes = name.startsWith("txtMiscNotes");
        QFrame* panel = notes ? host.comments : host.detail;
        const QList<QWidget*> found = host.window.findChildren<QWidget*>(name);
        QCOMPARE(found.size(), 1);
        QWidget* box = found.front();
        QVERIFY(panel->isAncestorOf(box));
        if (notes) {
            QVERIFY(qobject_cast<QPlainTextEdit*>(box));
        } else if (store::IsAttributeChoice(name)) {
            QVERIFY(!qobject_cast<QComboBox*>(box)->isEditable());
        } else {
            const bool computed =
                name == "txtFinancialChangeInValue" || name == "txtRecordLastUpdated";
            QCOMPARE(qobject_cast<QLineEdit*>(box)->isReadOnly(), computed);
        }
        QLabel* label = CaptionOf(panel, box);
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
    }

    void attributeBoxesHoldTheirListsWithNothingChosen() {
        PanelHost host;
        host.window.show();
        host.detail->show();
        const std::pair<const char*, const QStringList*> lists[] = {
            {"cmbCoinType", &store::CoinTypeList()},
            {"cmbMintMark", &store::MintMarkList()},
            {"cmbGrade", &store::GradeList()}};
        for (const auto& [name, rows] : lists) {
            auto* combo = host.window.findChild<QComboBox*>(name);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i) {
                shown << combo->itemText(i);
            }
            QCOMPARE(shown, *rows);
            QCOMPARE(combo->currentIndex(), -1);
            QCOMPARE(combo->currentText(), QString());
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
        QStringList expected = store::ItemRecordKeys();
        expected.removeIf([](const QString& k) { return k.startsWith("txtMiscNotes"); });
        auto tabThrough = [](QWidget* first, qsizetype count) {
            first->setFocus();
            QList<QWidget*> visited{QApplication::focusWidget()};
            while (visited.size() < count) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited << QApplication::focusWidget();
            }
            return visited;
        };
        const QList<QWidget*> chain =
            tabThrough(host.window.findChild<QWidget*>("txtDescription"), expected.size());
        QStringList names;
        for (QWidget* w : chain) {
            names << w->objectName();
        }
        QCOMPARE(QSet<QString>(names.begin(), names.end()),
                 QSet<QString>(expected.begin(), expected.end()));
        for (int i = 1; i < chain.size(); ++i) {
            const QRect a(chain[i - 1]->mapTo(host.detail, QPoint()), chain[i - 1]->size());
            const QRect b(chain[i]->mapTo(host.detail, QPoint()), chain[i]->size());
            // Down the same column, or on to the top of the next column or band.
            const bool down = b.left() == a.left() && b.top() > a.bottom();
            const bool nextColumn = b.left() > a.right() && b.top() < a.top();
            const bool nextBand = b.top() > a.bottom() && b.left() < a.left();
            QVERIFY2(down || nextColumn || nextBand, qPrintable(names[i - 1] + " -> " + names[i]));
        }

        host.detail->hide();
        host.comments->show();
        const QList<QWidget*> notes =
            tabThrough(host.window.findChild<QWidget*>("txtMiscNotes"), 3);
        QCOMPARE(notes[1]->objectName(), QString("txtMiscNotes2"));
        QCOMPARE(notes[2]->objectName(), QString("txtMiscNotes3"));
    }

    void everyControlFitsItsPanelAndItsCaption() {
        PanelHost host;
        const std::pair<QFrame*, QSize> panels[] = {{host.detail, QSize(10692, 9330)},
                                                    {host.comments, QSize(10692, 8850)},
                                                    {host.online, QSize(10692, 8640)}};
        for (const auto& [panel, design] : panels) {
            QCOMPARE(panel->geometry(), ui::TwipsRect(0, 0, design.width(), design.height()));
            QVERIFY(panel->isHidden());
            QCOMPARE(panel->palette().color(QPalette::Window), ui::kWhite);
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

    void titleLabelsCarryTheirElementNumbers() {
        PanelHost host;
        const std::tuple<QFrame*, int, QString, QColor> titles[] = {
            {host.detail, 0, "Detailed Information", ui::kTitleTeal},
            {host.comments, 2, "Comments & Notes", ui::kWhite},
            {host.online, 3, "Online Features", ui::kTitleTeal}};
        for (const auto& [panel, element, caption, background] : titles) {
            const QList<QLabel*> labels = panel->findChildren<QLabel*>("lblBigDescription");
            QCOMPARE(labels.size(), 1);
            QLabel* title = labels.front();
            QCOMPARE(title->property("index").toInt(), element);
            QCOMPARE(title->text(), caption);
            QCOMPARE(title->geometry(), ui::TwipsRect(2040, 780, 8385, 495));
            QCOMPARE(title->palette().color(QPalette::Window), background);
            QCOMPARE(ui::TextColour(title), ui::kNavy);
        }
    }
};

QTEST_MAIN(DetailPanelsTest)
#include "detail_panels_test.moc"
