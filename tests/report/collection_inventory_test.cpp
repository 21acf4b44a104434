// File > Print Collection Inventory: the page beside the coin report, handed
// to the browser.
#include "TestSupport.h"
#include "report/CollectionInventory.h"

#include <QImage>
#include <QtTest>

class CollectionInventoryTest : public QObject {
    Q_OBJECT
private slots:
    void thePageListsEveryCoinWithTotals() {
        RunningProgram p({{{"txtDescription", "<b>Morgan</b> & \"Peace\""},
                           {"txtYear", "1921"},
                           {"txtCountry", "Polska \u0141\u00f3d\u017a"},
                           {"cmbGrade", "8"},
                           {"txtItemNumber", "7"},
                           {"txtPurchasePrice", "900"},
                           {"txtCurrentValue", "$1,250.50"},
                           {"g_sListOfImagesForItem(1)", "_data\\_userImages\\a b.png"}},
                          {{"txtDescription", "Buffalo"},
                           {"cmbGrade", "99"},
                           {"txtCurrentValue", "about 50"},
                           {"g_sListOfImagesForItem(1)", "_data\\_userImages\\gone.png"}}});
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(p.folder.path("_data\\_userImages\\a b.png")));
        p.trigger("mnuFilePrintInventory");

        const QString path = report::inventoryPath();
        QCOMPARE(p.folder.fakes.shell.opened, QStringList{path});
        QVERIFY(path.endsWith("\\_reports\\CollectionInventory.html"));
        const QByteArray page = p.folder.read("_reports\\CollectionInventory.html");
        QVERIFY(page.startsWith("<!DOCTYPE html>\r\n"));
        QVERIFY(page.contains("<meta charset=\"windows-1252\">"));
        QVERIFY(page.contains("thead { display: table-header-group; }"));
        QVERIFY(page.contains("<p>All 2 coins, listed on "));
        QVERIFY(page.contains("<p class=\"total\">Total current value: <b>$1,250.50</b></p>"));
        const QByteArray folderUrl =
            QUrl::fromLocalFile(p.folder.folder()).toString(QUrl::FullyEncoded).toUtf8();
        QVERIFY(page.contains(
            "<tr><td class=\"n\">1</td><td class=\"pic\"><img src=\"" + folderUrl +
            "/_data/_userImages/a%20b.png\" width=\"48\" height=\"48\" loading=\"lazy\" "
            "alt=\"\"></td><td>&lt;b&gt;Morgan&lt;/b&gt; &amp; &quot;Peace&quot;</td>"
            "<td>1921</td><td>Polska &#321;\xF3"
            "d&#378;</td><td>Gem Uncirculated (MS-65)</td>"
            "<td>7</td><td class=\"n\">$900.00</td><td class=\"n\">$1,250.50</td></tr>\r\n"));
        // A picture that is not there and a grade no list has show nothing.
        QVERIFY(page.contains("<tr><td class=\"n\">2</td><td class=\"pic\"></td><td>Buffalo</td>"
                              "<td></td><td></td><td></td><td></td><td class=\"n\"></td>"
                              "<td class=\"n\">about 50</td></tr>\r\n"));
        QVERIFY(page.contains("<tfoot><tr><td colspan=\"7\">Totals: 2 coins</td>"
                              "<td class=\"n\">$900.00</td><td class=\"n\">$1,250.50</td>"));
        QVERIFY(page.contains("1 amount is no number and is left out of the totals."));
        QVERIFY(page.endsWith("</html>\r\n"));
    }
};

QTEST_MAIN(CollectionInventoryTest)
#include "collection_inventory_test.moc"
