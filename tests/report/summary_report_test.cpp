// The report file compared byte for byte with the whole expected document.
#include "TestSupport.h"
#include "app/Startup.h"
#include "report/SummaryReport.h"

#include <QtTest>

namespace {

// A row of two cells for two labels with their values, as the report writes
// each pair; `blankAfterLeft` is the left cell's opening that ends in a blank.
QByteArray pairRow(const char* a, const char* valueA, const char* b, const char* valueB,
                   bool blankAfterLeft) {
    return QByteArray("  <tr>\n"
                      "    <td width=\"50%\" height=\"22\">\n"
                      "       <div align=\"right\" class=\"style9\">\n"
                      "           <b>") +
           a + ": </b>" + valueA +
           "\n"
           "           &nbsp;&nbsp;&nbsp;\n"
           "       </div>\n"
           "    </td>\n"
           "    <td width=\"50%\" height=\"22\">\n"
           "       <div align=\"left\" class=\"style9\">" +
           (blankAfterLeft ? " " : "") +
           "\n"
           "           &nbsp;&nbsp;&nbsp;\n"
           "           <b>" +
           b + ": </b>" + valueB +
           "\n"
           "       </div>\n"
           "    </td>\n"
           "  </tr>\n";
}

// The report of baseItem(), which has no pictures, with LF line ends. Each
// box shows its own name, so that every label is seen next to its box.
const QByteArray kExpected =
    R"doc(<html xmlns="http://www.w3.org/1999/xhtml"> <head> 
<title>Corvantheil - Summary for Description </title>
<meta http-equiv="Content-Type" content="text/html; charset=iso-8859-1" />
<style type="text/css">
<!--
.style8 {font-family: Arial, Helvetica, sans-serif; font-size: x-small; }
.style9 {font-size: x-small}
.style10 {font-size: medium; font-weight: bold; }
-->
</style> </head> <body class="sub">
<div class="style10" align="center"> 
<table width= 127  border= 1 >  <tr>
<td width= 117 > <a href="http://www.corvantheil.example"><img src="file://@FOLDER@\_images\corvantheil5.jpg" width="305" height="172" /> </td>
</tr> </table>
</span>
<br>Summary Report for <br><strong>Description </strong></div>
<hr>
<p class="StoryTitle"></p>
<table width="127"  align="center"  border="1">  <tr>
</tr> </table>
<p align="center" class="style10"><br>Detailed Information</p> <table width="98%" border="0">
)doc" +
    pairRow("Year", "Year", "Coin Type", "CoinType", false) +
    pairRow("Item Number", "ItemNumber", "Mint Mark", "MintMark", false) +
    pairRow("Country", "Country", "Grade", "Grade", false) + R"doc(</table>
<div align="center"></div> <p align="center" class="style10"><br/>Pricing Information</p> <table width="98%" border="0">
)doc" +
    pairRow("Current Value", "CurrentValue", "Purchase Price", "PurchasePrice", true) +
    pairRow("Last Appraisal", "LastAppraisal", "Date Acquired", "DateAcquired", true) + R"doc(  <tr>
    <td colspan="2">
      <div align="center" class="style9">
          <b>Valuation Source: </b>ValuationSource
      </div>
    </td>
  </tr>
</table>
<div align="center"></div>
<p align="center" class="style10"><br/>Coin Details</p>
<table width="98%" border="0">
)doc" +
    pairRow("Detail 1", "Detail1", "Misc Detail 1", "MiscDetail1", true) +
    pairRow("Detail 2", "Detail2", "Misc Detail 2", "MiscDetail2", true) +
    pairRow("Detail 3", "Detail3", "Misc Detail 3", "MiscDetail3", true) +
    pairRow("Detail 4", "Detail4", "Misc Detail 4", "MiscDetail4", true) +
    pairRow("Detail 5", "Detail5", "Misc Detail 5", "MiscDetail5", true) + R"doc(</table>
<p align="center" class="style10"><br/>Other</p> <table width="98%" border="0">
)doc" +
    pairRow("Box #", "BoxNumber", "Packaging Type", "PackagingType", false) +
    pairRow("Catalog #", "CatalogNumber", "Packaging Condition", "PackagingCondition", false) +
    pairRow("Related Items", "RelatedItems", "Category", "Category", false) + R"doc(  <tr>
    <td colspan="2">
      <div align="center" class="style9">
          <b>Record Last Updated: </b>RecordLastUpdated
      </div>
    </td>
  </tr>
</table>
<p align="center" class="style10"><br/>Images </p>
<table width="100" border="0" align="center" > 
  <tr>
  </tr>
  <tr>
</table>
<div align="center"></div> <p align="center" class="style10"><br/>Miscellaneous Notes</p> <table width="98%" border="0">
  <tr>
    <td>
      <div align="center" class="style9">
          <b></b>MiscNotes
      </div>
    </td>
  </tr>
  <tr>
    <td>
      <div align="center" class="style9">
          <b></b>MiscNotes2
      </div>
    </td>
  </tr>
  <tr>
    <td>
      <div align="center" class="style9">
          <b></b>
      </div>
    </td>
  </tr>
</table>
<p align="center" class="style10"></p>
<p class="StoryTitle"></p>
<p class="StoryTitle"></p>
<p class="StoryTitle"></p>
<p class="StoryTitle">&nbsp;</p>
<hr>  
<table width="100%" border="0" cellspacing="0" cellpadding="2">
  <tr>
 <td class="FooterColor" align="center" >        
<table width= 127  border= 1 >  <tr>
<td width= 117 > <a href="http://www.corvantheil.example"><img src="file://@FOLDER@\_images\corvantheil5.jpg" width="305" height="172" /> </td>
</tr> </table>
</span>  </td>
  </tr>
  <tr>
    <td class="FooterColor" align="center" ><span class="style8">Copyright &copy; @YEAR@ corvantheil.example</span></td>
  </tr>
</table>
 <script type="text/javascript"> javascript:window.print() </script>
</body>
</html>
)doc";

// Every box shows its name without the prefix; the third notes box is left out.
report::ReportItem baseItem() {
    report::ReportItem item;
    const QString names =
        "txtDescription txtYear cmbCoinType txtItemNumber cmbMintMark txtCountry cmbGrade "
        "txtCurrentValue txtPurchasePrice txtLastAppraisal txtDateAcquired txtValuationSource "
        "txtBoxNumber txtPackagingType txtCatalogNumber txtPackagingCondition txtRelatedItems "
        "txtCategory txtRecordLastUpdated txtMiscNotes txtMiscNotes2 txtDetail1 txtDetail2 "
        "txtDetail3 txtDetail4 txtDetail5 txtMiscDetail1 txtMiscDetail2 txtMiscDetail3 "
        "txtMiscDetail4 txtMiscDetail5";
    for (const QString& name : names.split(u' ')) {
        item.texts[*store::fieldOfKey(name)] = name.mid(3);
    }
    return item;
}

// Pieces of the expected document and the text that takes their place.
using Edits = QMap<QByteArray, QByteArray>;

const QByteArray kMainAt = "border=\"1\">  <tr>\n";
const QByteArray kCellsAt = "align=\"center\" > \n  <tr>\n";

Edits withPictures(const QByteArray& main, const QByteArray& cells) {
    return {{kMainAt, kMainAt +
                          "<td width=\"117\" align=\"center\" > <a href=\"http://"
                          "www.corvantheil.example/\"><img src=\"file://@FOLDER@\\" +
                          main + "\" alt= 111  width=\"414\" height=\"414\" /> </td>\n"},
            {kCellsAt, kCellsAt + cells}};
}

QByteArray cell(const QByteArray& name) {
    return "    <td><span class=\"StoryTitle\"><img src=\"file://@FOLDER@\\" + name +
           "\" alt= 111  width=\"207\" height=\"207\" /></span></td>\n";
}

QByteArray picture(int n) {
    return "_data\\_userImages\\2024031514300" + QByteArray::number(n) + ".jpg";
}

// How many pixels of the image are close to the colour.
int pixelsNear(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::max({qAbs(c.red() - colour.red()), qAbs(c.green() - colour.green()),
                               qAbs(c.blue() - colour.blue())}) < 40;
        }
    }
    return count;
}

const QString kReport = QStringLiteral("\\_reports\\SummaryDetail.html");

struct Run {
    ProgramFolderFixture fixture;
    Run() { app::prepareProgramFolder(); }
    ~Run() { QFile::setPermissions(fixture.path("\\_reports"), QFile::Permissions(0x7777)); }
    QString reportPath() const { return fixture.folder() + kReport; }
    QByteArray report() const { return fixture.read(kReport); }
    QByteArray expected(const Edits& edits) const {
        QByteArray doc = kExpected;
        for (const auto& [from, to] : edits.asKeyValueRange()) {
            doc.replace(from, to);
        }
        doc.replace("@YEAR@", QByteArray::number(QDate::currentDate().year()));
        return doc.replace("@FOLDER@", fixture.folder().toLocal8Bit()).replace("\n", "\r\n");
    }
};

} // namespace

class SummaryReportTest : public QObject {
    Q_OBJECT

private slots:
    void wholeDocument_data() {
        QTest::addColumn<report::ReportItem>("item");
        QTest::addColumn<Edits>("edits");
        report::ReportItem item = baseItem();
        QTest::newRow("no pictures") << item << Edits{};
        // An item stored without pictures comes back with one empty name.
        item.pictures = QStringList{""};
        QTest::newRow("empty first name") << item << withPictures("", cell(""));
        item.pictures = QStringList{picture(1), picture(2), picture(3)};
        const QByteArray three = cell(picture(1)) + cell(picture(2)) + cell(picture(3));
        QTest::newRow("three pictures") << item << withPictures(picture(1), three);
        item.pictures << picture(4);
        QTest::newRow("four pictures")
            << item << withPictures(picture(1), three + "  </tr>\n  <tr>\n" + cell(picture(4)));

        item = baseItem();
        item.texts[store::Field::MiscNotes] = " first line\n\nthird <i>line</i>\n ";
        QTest::newRow("notes with line breaks")
            << item << Edits{{"</b>MiscNotes\n", "</b> first line\n\nthird <i>line</i>\n \n"}};
        item = baseItem();
        item.texts[store::Field::Description] = "1921 <S> Dollar & Co &amp;";
        QTest::newRow("markup left as typed")
            << item << Edits{{"Description", "1921 <S> Dollar & Co &amp;"}};
        item.texts[store::Field::Description] = QString::fromUtf8("Ōsaka ☃ – €5 café");
        // A browser shows the references as the letters themselves.
        QTest::newRow("outside Windows-1252")
            << item
            << Edits{{"Description", "&#332;saka &#9731; \x96 \x80"
                                     "5 caf\xE9"}};
    }
    // Run twice over an old report: the old one is deleted first, so the file
    // holds one document.
    void wholeDocument() {
        QFETCH(report::ReportItem, item);
        QFETCH(Edits, edits);
        Run run;
        run.fixture.write(kReport, "left from before\r\n");
        report::printReportOnThisItem(item);
        report::printReportOnThisItem(item);
        QCOMPARE(run.report(), run.expected(edits));
        QCOMPARE(run.fixture.fakes.shell.opened, QStringList(2, run.reportPath()));
        QVERIFY(run.fixture.fakes.boxes.shown.isEmpty());
        QVERIFY(run.fixture.log().isEmpty());
        // The logo bitmap is the off-screen box, 2280 by 1455 twips.
        QCOMPARE(QImage(run.fixture.path("\\_reports\\tempImageLOGO.bmp"), "BMP").size(),
                 QSize(152, 97));
    }

    // With no browser, one message names the report's path, so that the user can
    // open and print it by hand; the report is whole and nothing is logged.
    void noBrowser() {
        Run run;
        run.fixture.fakes.shell.result = false;
        report::printReportOnThisItem(baseItem());
        QCOMPARE(run.fixture.fakes.boxes.shown.size(), 1);
        QVERIFY(run.fixture.fakes.boxes.shown[0].text.endsWith(":\n\n" +
                                                               app::nativePath(run.reportPath())));
        QCOMPARE(run.report(), run.expected({}));
        QVERIFY(run.fixture.log().isEmpty());
    }

    // Each failing step is logged and the next still runs: the browser is
    // always asked to open the report's path.
    void failuresAreLoggedAndTheBrowserStillAsked_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QByteArray>("report"); // the file left, "@DOC@" for the document
        QTest::addColumn<QByteArray>("logged");
        QTest::newRow("reports folder removed") << "removed" << QByteArray() << QByteArray("76");
        // The blank box is still saved as the bitmap.
        QTest::newRow("logo missing") << "no logo" << QByteArray("@DOC@") << QByteArray("53");
        QTest::newRow("read-only") << "read-only" << QByteArray() << QByteArray("70");
        // The old report cannot be deleted, and the new one is appended to it.
        QTest::newRow("read-only with old report")
            << "read-only old" << QByteArray("OLD\r\n@DOC@") << QByteArray("75");
    }
    void failuresAreLoggedAndTheBrowserStillAsked() {
        QFETCH(QString, failure);
        QFETCH(QByteArray, report);
        QFETCH(QByteArray, logged);
        if (failure.startsWith("read-only") && ::geteuid() == 0) {
            return rerunAsOrdinaryUser();
        }
        Run run;
        const QString reports = run.fixture.path("\\_reports");
        if (failure == "removed") {
            QVERIFY(QDir(reports).removeRecursively());
        } else if (failure == "no logo") {
            QVERIFY(QFile::remove(run.fixture.path("\\_images\\corvantheil5.jpg")));
        } else if (failure == "read-only old") {
            run.fixture.write(kReport, "OLD\r\n");
            QFile::setPermissions(run.fixture.path(kReport), QFile::Permissions(0x6666));
        }
        if (failure.startsWith("read-only")) {
            QFile::setPermissions(reports, QFile::Permissions(0x5555));
        }
        report::printReportOnThisItem(baseItem());
        QCOMPARE(run.fixture.fakes.shell.opened, QStringList{run.reportPath()});
        QCOMPARE(run.report(), report.replace("@DOC@", run.expected({})));
        QCOMPARE(run.fixture.exists("\\_reports\\tempImageLOGO.bmp"), failure == "no logo");
        QVERIFY2(run.fixture.log().contains("\"" + logged + "\","), run.fixture.log().constData());
    }

    // Where Chromium is installed: the report of four coloured pictures as the
    // browser shows it, every picture at its size, and the logo.
    void picturesShowInTheBrowser() {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (chromium.isEmpty()) {
            QSKIP("Chromium is not installed");
        }
        Run run;
        report::ReportItem item = baseItem();
        const QColor colours[] = {{200, 30, 30}, {30, 150, 50}, {30, 60, 200}, {230, 140, 0}};
        for (int n = 1; n <= 4; ++n) {
            QImage swatch(300, 300, QImage::Format_RGB32);
            swatch.fill(colours[n - 1]);
            item.pictures << picture(n);
            QVERIFY(swatch.save(run.fixture.path(item.pictures.last()), "JPG"));
        }
        report::printReportOnThisItem(item);
        const QString shot = run.fixture.path("shot.png");
        QProcess browser;
        browser.start(chromium,
                      {"--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                       "--user-data-dir=" + run.fixture.path("profile"), "--window-size=1000,2600",
                       "--screenshot=" + shot, "file://" + run.fixture.path(kReport)});
        QVERIFY2(browser.waitForFinished(120000) && browser.exitCode() == 0,
                 browser.readAllStandardError().constData());
        const QImage page(shot);
        // The first picture is the main one (414 square) and in the grid (207 square).
        QCOMPARE_GE(pixelsNear(page, colours[0]), (414 * 414 + 207 * 207) * 9 / 10);
        for (int n = 1; n < 4; ++n) {
            QCOMPARE_GE(pixelsNear(page, colours[n]), 207 * 207 * 9 / 10);
        }
        QCOMPARE_GT(pixelsNear(page, QColor(214, 170, 80)), 5000); // the logo's gold
    }
};

QTEST_MAIN(SummaryReportTest)

#include "summary_report_test.moc"
