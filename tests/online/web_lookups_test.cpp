#include "TestSupport.h"
#include "app/Constants.h"
#include "online/OnlineFeatures.h"
#include "ui/edit/ItemEditor.h"
#include "ui/main/DetailPanels.h"

#include <QFrame>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kLinkStart = app::SiteAddress + "/clientlink.php?linktype=";

// A window holding the item panels, with the Online Features panel on show.
struct LookUpWindow {
    ProgramFolderFixture fixture;
    QWidget window;
    QWidget* scrollable = new QWidget(&window);
    ItemEditor editor{scrollable};
    QFrame* detail = buildDetailedInfoPanel(scrollable, editor);
    QFrame* online = buildOnlineFeaturesPanel(scrollable, editor);
    LookUpWindow() {
        scrollable->resize(800, 700);
        window.show();
        online->show();
    }
};
} // namespace

class WebLookupsTest : public QObject {
    Q_OBJECT
private slots:
    void buttonsSendTheirLinkTypeAndTheFields_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("address"); // after the link start; the row's tag is the type
        const QStringList worked = {"1909", "USA", "1 Cent (small) : Indian Head (1859-1909)",
                                    "S : San Francisco, CA (1854 to date)", "Good (G-4)"};
        for (const auto& [button, type] : {std::pair{"cmdWebGetCoinValue", "lookupvalue"},
                                           {"cmdWebSearchEbay", "ebaysearch"},
                                           {"cmdWebSearchGoogle", "googlesearch"},
                                           {"cmdWebSearchZentavio", "zentaviosearch"},
                                           {"cmdWebOtherHelpfulLinks", "helpfullinks"}}) {
            QTest::newRow(type) << QString(button) << worked << type + kWorkedLookUpFields;
        }
        const QString none = "&cointype=&mintmark=&grade=";
        QTest::newRow("empty") << "cmdWebGetCoinValue" << QStringList(5)
                               << "lookupvalue&year=&country=" + none;
        // Spaces are escaped but "&" and "=" pass as they are.
        QTest::newRow("raw") << "cmdWebGetCoinValue" << QStringList{" 1909 ", "A&B=C", "", "", ""}
                             << "lookupvalue&year=%201909%20&country=A&B=C" + none;
    }
    void buttonsSendTheirLinkTypeAndTheFields() {
        QFETCH(QString, button);
        QFETCH(QString, address);
        LookUpWindow w;
        // Values are read at the click, so an edit made after building counts. Year
        // and country are typed; coin type, mint mark and grade chosen from their lists.
        QFETCH(QStringList, values);
        const char* names[] = {"txtYear", "txtCountry", "cmbCoinType", "cmbMintMark", "cmbGrade"};
        for (int i = 0; i < 5; ++i) {
            w.window.findChild<QWidget*>(names[i])->setProperty(i < 2 ? "text" : "currentText",
                                                                values[i]);
        }
        QTest::mouseClick(w.window.findChild<QPushButton*>(button), Qt::LeftButton);
        QCOMPARE(w.fixture.fakes.shell.opened, QStringList{kLinkStart + address});
    }

    void linkTypePassesAsItIs() {
        QCOMPARE(webLinkAddress("a b", "", "", "", "", ""),
                 kLinkStart + "a b&year=&country=&cointype=&mintmark=&grade=");
    }

    void headingsShowOurOwnBadges() {
        LookUpWindow w;
        for (const auto& [name, size] :
             {std::pair{"imgEbayBadge", QSizeF(42, 20)}, {"imgGoogleBadge", QSizeF(70, 23)}}) {
            QCOMPARE(w.online->findChild<QLabel*>(name)->pixmap().deviceIndependentSize(), size);
        }
    }
};

QTEST_MAIN(WebLookupsTest)
#include "web_lookups_test.moc"
