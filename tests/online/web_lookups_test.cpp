#include "TestSupport.h"
#include "app/Constants.h"
#include "online/OnlineFeatures.h"
#include "ui/main/DetailPanels.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kLinkStart = app::SiteAddress + "/clientlink.php?linktype=";

// A window holding the item panels, with the Online Features panel on show.
struct LookUpWindow {
    QWidget window;
    QWidget* scrollable = new QWidget(&window);
    QFrame* detail = BuildDetailedInfoPanel(scrollable);
    QFrame* online = BuildOnlineFeaturesPanel(scrollable, &window);
    LookUpWindow() {
        scrollable->resize(800, 700);
        window.show();
        online->show();
    }
    void fill(const QString& year, const QString& country, const QString& coinType, const QString& mintMark,
              const QString& grade) {
        window.findChild<QLineEdit*>("txtYear")->setText(year);
        window.findChild<QLineEdit*>("txtCountry")->setText(country);
        for (const auto& [name, text] : {std::pair{"cmbCoinType", coinType}, {"cmbMintMark", mintMark}, {"cmbGrade", grade}}) {
            auto* combo = window.findChild<QComboBox*>(name);
            combo->setCurrentIndex(combo->findText(text));
            QCOMPARE(combo->currentText(), text);
        }
    }
    void click(const QString& button) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }
};
} // namespace

class WebLookupsTest : public QObject {
    Q_OBJECT
private slots:
    void workedExampleGivesTheExactAddress() {
        ProgramFolderFixture fixture;
        LookUpWindow w;
        w.fill("1909", "USA", "1 Cent (small) : Indian Head (1859-1909)", "S : San Francisco, CA (1854 to date)",
               "Good (G-4)");
        w.click("cmdWebSearchEbay");
        QCOMPARE(fixture.fakes.shell.opened,
                 QStringList{kLinkStart + "ebaysearch&year=1909&country=USA&cointype=1%20Cent%20%28small%29%20%3A%20"
                                          "Indian%20Head%20%281859%2D1909%29&mintmark=S%20%3A%20San%20Francisco%2C%20"
                                          "CA%20%281854%20to%20date%29&grade=Good%20%28G%2D4%29"});
    }

    void eachButtonSendsItsLinkType_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("linkType");
        QTest::newRow("value") << "cmdWebGetCoinValue" << "Get this Coin's Value Now!" << "lookupvalue";
        QTest::newRow("marketplace") << "cmdWebSearchEbay" << "Search ebay Now!" << "ebaysearch";
        QTest::newRow("search engine") << "cmdWebSearchGoogle" << "Search Google Now!" << "googlesearch";
        QTest::newRow("partner") << "cmdWebSearchZentavio" << "Search zentavio.example Now!" << "zentaviosearch";
        QTest::newRow("links") << "cmdWebOtherHelpfulLinks" << "Show Links in Browser Now!" << "helpfullinks";
    }
    void eachButtonSendsItsLinkType() {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        QFETCH(QString, linkType);
        ProgramFolderFixture fixture;
        LookUpWindow w;
        QCOMPARE(w.window.findChild<QPushButton*>(button)->text(), caption);
        // Values are read at the click, so an edit made after building counts.
        w.fill("1921", "USA", "1 Dollar : Peace Dollar (1921-1935)", "D : Denver, CO (1906 to date)", "Fine (F-12)");
        w.click(button);
        QCOMPARE(fixture.fakes.shell.opened,
                 QStringList{kLinkStart + linkType + "&year=1921&country=USA&cointype=1%20Dollar%20%3A%20Peace%20"
                                                     "Dollar%20%281921%2D1935%29&mintmark=D%20%3A%20Denver%2C%20CO"
                                                     "%20%281906%20to%20date%29&grade=Fine%20%28F%2D12%29"});
    }

    void emptyAndRawValuesPassAsTheyAre() {
        ProgramFolderFixture fixture;
        LookUpWindow w;
        w.click("cmdWebGetCoinValue");
        w.fill(" 1909 ", "A&B=C", "", "", "");
        w.click("cmdWebGetCoinValue");
        QCOMPARE(fixture.fakes.shell.opened,
                 (QStringList{kLinkStart + "lookupvalue&year=&country=&cointype=&mintmark=&grade=",
                              kLinkStart + "lookupvalue&year=%201909%20&country=A&B=C&cointype=&mintmark=&grade="}));
        QCOMPARE(WebLinkAddress("a b", "", "", "", "", ""), kLinkStart + "a b&year=&country=&cointype=&mintmark=&grade=");
    }

    void headingsNameTheSitesWithOurOwnBadges() {
        LookUpWindow w;
        QCOMPARE(w.online->findChild<QLabel*>("imgEbayBadge")->pixmap().deviceIndependentSize(), QSizeF(42, 20));
        QCOMPARE(w.online->findChild<QLabel*>("imgGoogleBadge")->pixmap().deviceIndependentSize(), QSizeF(70, 23));
        QCOMPARE(w.online->findChild<QLabel*>("lblZentavio")->text(), QString("Zentavio"));
        bool invitation = false;
        for (QLabel* label : w.online->findChildren<QLabel*>()) {
            invitation |= label->text().contains("inventories on " + app::kPartnerDomain);
        }
        QVERIFY(invitation);
    }
};

QTEST_MAIN(WebLookupsTest)
#include "web_lookups_test.moc"
