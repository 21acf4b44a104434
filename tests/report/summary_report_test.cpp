// The report file compared byte for byte with the whole expected document.
#include "TestSupport.h"
#include "app/ProgramFolder.h"
#include "app/Startup.h"
#include "report/SummaryReport.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <unistd.h>

namespace {

// The report of baseItem() with LF line ends; the markers stand for what the
// rows vary: @MAIN@ and @CELLS@ are whole lines, possibly none.
const QByteArray kExpected = R"doc(<html xmlns="http://www.w3.org/1999/xhtml"> <head> 
<title>Corvantheil - Summary for @DESC@ </title>
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
<br>Summary Report for <br><strong>@DESC@ </strong></div>
<hr>
<p class="StoryTitle"></p>
<table width="127"  align="center"  border="1">  <tr>
@MAIN@</tr> </table>
<p align="center" class="style10"><br>Detailed Information</p> <table width="98%" border="0">
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Year: </b>1921
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9">
           &nbsp;&nbsp;&nbsp;
           <b>Coin Type: </b>Dollar : Morgan (1878-1921)
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Item Number: </b>A-17
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9">
           &nbsp;&nbsp;&nbsp;
           <b>Mint Mark: </b>S : San Francisco, CA (1854 to date)
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Country: </b>USA
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9">
           &nbsp;&nbsp;&nbsp;
           <b>Grade: </b>Very Fine (VF-20)
       </div>
    </td>
  </tr>
</table>
<div align="center"></div> <p align="center" class="style10"><br/>Pricing Information</p> <table width="98%" border="0">
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Current Value: </b>$45.00
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9"> 
           &nbsp;&nbsp;&nbsp;
           <b>Purchase Price: </b> $30.00 
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Last Appraisal: </b>$44.00
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9"> 
           &nbsp;&nbsp;&nbsp;
           <b>Date Acquired: </b>3/15/2024
       </div>
    </td>
  </tr>
  <tr>
    <td colspan="2">
      <div align="center" class="style9">
          <b>Valuation Source: </b>dealer list
      </div>
    </td>
  </tr>
</table>
<div align="center"></div>
<p align="center" class="style10"><br/>Coin Details</p>
<table width="98%" border="0">
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Detail 1: </b>d1
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9"> 
           &nbsp;&nbsp;&nbsp;
           <b>Misc Detail 1: </b>m1
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Detail 2: </b>d2
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9"> 
           &nbsp;&nbsp;&nbsp;
           <b>Misc Detail 2: </b>m2
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Detail 3: </b>d3
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9"> 
           &nbsp;&nbsp;&nbsp;
           <b>Misc Detail 3: </b>m3
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Detail 4: </b>d4
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9"> 
           &nbsp;&nbsp;&nbsp;
           <b>Misc Detail 4: </b>m4
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Detail 5: </b>d5
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9"> 
           &nbsp;&nbsp;&nbsp;
           <b>Misc Detail 5: </b>m5
       </div>
    </td>
  </tr>
</table>
<p align="center" class="style10"><br/>Other</p> <table width="98%" border="0">
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Box #: </b>B2
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9">
           &nbsp;&nbsp;&nbsp;
           <b>Packaging Type: </b>flip
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Catalog #: </b>KM 110
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9">
           &nbsp;&nbsp;&nbsp;
           <b>Packaging Condition: </b>good
       </div>
    </td>
  </tr>
  <tr>
    <td width="50%" height="22">
       <div align="right" class="style9">
           <b>Related Items: </b>none
           &nbsp;&nbsp;&nbsp;
       </div>
    </td>
    <td width="50%" height="22">
       <div align="left" class="style9">
           &nbsp;&nbsp;&nbsp;
           <b>Category: </b>silver
       </div>
    </td>
  </tr>
  <tr>
    <td colspan="2">
      <div align="center" class="style9">
          <b>Record Last Updated: </b>3/16/2024 2:30:05 PM
      </div>
    </td>
  </tr>
</table>
<p align="center" class="style10"><br/>Images </p>
<table width="100" border="0" align="center" > 
  <tr>
@CELLS@  </tr>
  <tr>
</table>
<div align="center"></div> <p align="center" class="style10"><br/>Miscellaneous Notes</p> <table width="98%" border="0">
  <tr>
    <td>
      <div align="center" class="style9">
          <b></b>@NOTES@
      </div>
    </td>
  </tr>
  <tr>
    <td>
      <div align="center" class="style9">
          <b></b>n2
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

report::ReportItem baseItem() {
    report::ReportItem item;
    item.texts = {{"txtDescription", "Morgan Dollar"},
                  {"txtYear", "1921"},
                  {"cmbCoinType", "Dollar : Morgan (1878-1921)"},
                  {"txtItemNumber", "A-17"},
                  {"cmbMintMark", "S : San Francisco, CA (1854 to date)"},
                  {"txtCountry", "USA"},
                  {"cmbGrade", "Very Fine (VF-20)"},
                  {"txtCurrentValue", "$45.00"},
                  {"txtPurchasePrice", " $30.00 "},
                  {"txtLastAppraisal", "$44.00"},
                  {"txtDateAcquired", "3/15/2024"},
                  {"txtValuationSource", "dealer list"},
                  {"txtBoxNumber", "B2"},
                  {"txtPackagingType", "flip"},
                  {"txtCatalogNumber", "KM 110"},
                  {"txtPackagingCondition", "good"},
                  {"txtRelatedItems", "none"},
                  {"txtCategory", "silver"},
                  {"txtRecordLastUpdated", "3/16/2024 2:30:05 PM"},
                  {"txtMiscNotes", "plain"},
                  {"txtMiscNotes2", "n2"}};
    for (int i = 1; i <= 5; ++i) {
        item.texts.insert(QStringLiteral("txtDetail%1").arg(i), QStringLiteral("d%1").arg(i));
        item.texts.insert(QStringLiteral("txtMiscDetail%1").arg(i), QStringLiteral("m%1").arg(i));
    }
    return item;
}

// Values in their file bytes; the main line and the cells with their line ends.
struct Expected {
    QByteArray description = "Morgan Dollar";
    QByteArray main;
    QByteArray cells;
    QByteArray notes = "plain";
};

QByteArray expectedDocument(const QString& folder, const Expected& e) {
    QByteArray doc = kExpected;
    doc.replace("\n", "\r\n");
    return doc.replace("@MAIN@", e.main)
        .replace("@CELLS@", e.cells)
        .replace("@NOTES@", e.notes)
        .replace("@DESC@", e.description)
        .replace("@YEAR@", QByteArray::number(QDate::currentDate().year()))
        .replace("@FOLDER@", folder.toLocal8Bit());
}

QByteArray mainLine(const QByteArray& name) {
    return "<td width=\"117\" align=\"center\" > <a href=\"http://www.corvantheil.example/\">"
           "<img src=\"file://@FOLDER@\\" +
           name + "\" alt= 111  width=\"414\" height=\"414\" /> </td>\r\n";
}

QByteArray cell(const QByteArray& name) {
    return "    <td><span class=\"StoryTitle\"><img src=\"file://@FOLDER@\\" + name +
           "\" alt= 111  width=\"207\" height=\"207\" /></span></td>\r\n";
}

const QByteArray kRowBreak = "  </tr>\r\n  <tr>\r\n";

QByteArray picture(char c) {
    return QByteArray("_data\\_userImages\\2024031514300") + c + ".jpg";
}

const QString kReport = QStringLiteral("\\_reports\\SummaryDetail.html");

} // namespace

Q_DECLARE_METATYPE(Expected)

class SummaryReportTest : public QObject {
    Q_OBJECT

    struct Run {
        ProgramFolderFixture fixture;
        Run() { app::prepareProgramFolder(); }
        QString reportPath() const { return fixture.folder() + kReport; }
        QByteArray report() const { return fixture.read(kReport); }
        QByteArray log() const { return fixture.read(QStringLiteral("\\corvantheil.Err")); }
        QByteArray expected(const Expected& e) const {
            return expectedDocument(fixture.folder(), e);
        }
    };

private slots:
    void wholeDocument_data() {
        QTest::addColumn<report::ReportItem>("item");
        QTest::addColumn<int>("runs");
        QTest::addColumn<Expected>("expected");
        report::ReportItem item = baseItem();
        QTest::newRow("no pictures") << item << 1 << Expected{};
        // The old report is deleted first: one document, however many runs.
        QTest::newRow("twice over an old report") << item << 2 << Expected{};

        // An item stored without pictures comes back with one empty name.
        item.pictures = QStringList{""};
        QTest::newRow("empty first name")
            << item << 1 << Expected{.main = mainLine(""), .cells = cell("")};
        item.pictures = QStringList{picture('1'), picture('2'), picture('3')};
        const QByteArray three = cell(picture('1')) + cell(picture('2')) + cell(picture('3'));
        QTest::newRow("three pictures")
            << item << 1 << Expected{.main = mainLine(picture('1')), .cells = three};
        item.pictures.append(picture('4'));
        QTest::newRow("four pictures") << item << 1
                                       << Expected{.main = mainLine(picture('1')),
                                                   .cells = three + kRowBreak + cell(picture('4'))};

        item = baseItem();
        item.texts["txtMiscNotes"] = "first line\n\nthird <i>line</i>\n";
        QTest::newRow("notes with line breaks")
            << item << 1 << Expected{.notes = "first line\r\n\r\nthird <i>line</i>\r\n"};
        item = baseItem();
        item.texts["txtDescription"] = "1921 <S> Dollar & Co &amp;";
        QTest::newRow("markup left as typed")
            << item << 1 << Expected{.description = "1921 <S> Dollar & Co &amp;"};
        item.texts["txtDescription"] = QString::fromUtf8("Ōsaka ☃ – €5 café");
        QTest::newRow("outside Windows-1252") << item << 1
                                              << Expected{.description = "?saka ? \x96 \x80"
                                                                         "5 caf\xE9"};
    }
    void wholeDocument() {
        QFETCH(report::ReportItem, item);
        QFETCH(int, runs);
        QFETCH(Expected, expected);
        Run run;
        run.fixture.write(kReport, "left from before\r\n");
        for (int i = 0; i < runs; ++i) {
            report::printReportOnThisItem(item);
        }
        QCOMPARE(run.report(), run.expected(expected));
        QCOMPARE(run.fixture.fakes.shell.opened, QStringList(runs, run.reportPath()));
        QVERIFY(run.log().isEmpty());
        // The logo bitmap is the off-screen box, 2280 by 1455 twips.
        QImageReader bitmap(run.fixture.path(QStringLiteral("\\_reports\\tempImageLOGO.bmp")));
        QCOMPARE(bitmap.format(), QByteArray("bmp"));
        QCOMPARE(bitmap.size(), QSize(152, 97));
    }

    // Each failing step is logged and the next still runs: the browser is
    // always asked to open the report's path.
    void failuresAreLoggedAndTheBrowserStillAsked_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QByteArray>("report"); // the file left, "@DOC@" for the document
        QTest::addColumn<QByteArrayList>("logged");
        QTest::newRow("reports folder removed")
            << "removed" << QByteArray() << QByteArrayList{"\"76\",\"Path not found\""};
        QTest::newRow("logo missing")
            << "no logo" << QByteArray("@DOC@") << QByteArrayList{"\"53\",\"File not found\""};
        QTest::newRow("logo not a picture")
            << "bad logo" << QByteArray("@DOC@") << QByteArrayList{"\"481\",\"Invalid picture\""};
        // The old report cannot be deleted, and the new one is appended to it.
        QTest::newRow("read-only with old report")
            << "read-only old" << QByteArray("OLD\r\n@DOC@")
            << QByteArrayList{"\"75\",\"Path/File access error\"", "\"70\",\"Permission denied\""};
        QTest::newRow("read-only")
            << "read-only" << QByteArray() << QByteArrayList{"\"70\",\"Permission denied\""};
    }
    void failuresAreLoggedAndTheBrowserStillAsked() {
        QFETCH(QString, failure);
        QFETCH(QByteArray, report);
        QFETCH(QByteArrayList, logged);
        Run run;
        const QString logo = QStringLiteral("\\_images\\corvantheil5.jpg");
        if (failure == "removed") {
            QVERIFY(QDir(run.fixture.path(QStringLiteral("\\_reports"))).removeRecursively());
        } else if (failure == "no logo") {
            QVERIFY(QFile::remove(run.fixture.path(logo)));
        } else if (failure == "bad logo") {
            run.fixture.write(logo, "not a picture");
        }
        QStringList opened;
        if (failure.startsWith("read-only")) {
            if (failure.endsWith("old")) {
                run.fixture.write(kReport, "OLD\r\n");
                QFile::setPermissions(run.fixture.path(kReport), QFile::Permissions(0x6666));
            }
            QFile::setPermissions(run.fixture.folder(), QFile::Permissions(0x7777));
            QFile::setPermissions(run.fixture.path(QStringLiteral("\\_reports")),
                                  QFile::Permissions(0x5555));
            // Root writes anywhere: as root the report is made by a child
            // running as nobody, which prints what it handed to the shell.
            if (geteuid() == 0) {
                if (QStandardPaths::findExecutable("setpriv").isEmpty()) {
                    QSKIP("needs setpriv to run a child as an ordinary user");
                }
                QProcess child;
                child.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups",
                                        QCoreApplication::applicationFilePath(), "--print-as-child",
                                        run.fixture.folder()});
                QVERIFY(child.waitForFinished(60000));
                opened = QString::fromLocal8Bit(child.readAllStandardOutput())
                             .split('\n', Qt::SkipEmptyParts);
            }
        }
        if (opened.isEmpty()) {
            report::printReportOnThisItem(baseItem());
            opened = run.fixture.fakes.shell.opened;
        }
        QCOMPARE(opened, QStringList{run.reportPath()});
        QCOMPARE(run.report(), report.replace("@DOC@", run.expected({})));
        // A logo that cannot be read still leaves the box's bitmap.
        QCOMPARE(run.fixture.exists(QStringLiteral("\\_reports\\tempImageLOGO.bmp")),
                 failure.contains("logo"));
        for (const QByteArray& entry : logged) {
            QVERIFY2(run.log().contains(entry), entry.constData());
        }
    }
};

// The child of the read-only case: the base item's report in the given folder.
int printAsChild(const QString& folder) {
    FakePlatform fakes;
    app::setProgramFolder(folder);
    app::prepareProgramFolder();
    report::printReportOnThisItem(baseItem());
    QTextStream(stdout) << fakes.shell.opened.join('\n') << '\n';
    return 0;
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--print-as-child") == 0) {
        return printAsChild(QString::fromLocal8Bit(argv[2]));
    }
    SummaryReportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "summary_report_test.moc"
