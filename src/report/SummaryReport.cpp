#include "report/SummaryReport.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/SharedRoutines.h"
#include "app/Win1252.h"
#include "ui/common/Twips.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QThread>

namespace report {
namespace {

constexpr double kLogoBoxWidth = 2280;
constexpr double kLogoBoxHeight = 1455;

const QString kReportName = QStringLiteral("SummaryDetail.html");
const QString kLogoBitmapName = QStringLiteral("tempImageLOGO.bmp");

using store::Field;

// Label and field of one cell.
struct Cell {
    const char* label;
    Field field;
};

class DocumentWriter {
public:
    DocumentWriter(const ReportItem& item, const QString& folder, const QString& logo)
        : m_item(item), m_folder(folder), m_logo(logo) {}

    void line(const QString& text) { m_lines.append(text); }

    // A text as the window shows it; the file keeps its line breaks as CR LF.
    QString value(Field field) const {
        QString v = m_item.texts[field];
        v.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        v.replace(u'\n', QStringLiteral("\r\n"));
        return v;
    }

    QString label(const char* text) const { return QString::fromLatin1(text); }

    void logoBlock() {
        line(QStringLiteral("<table width= 127  border= 1 >  <tr>"));
        line(QStringLiteral("<td width= 117 > <a href=\"") + app::SiteAddress +
             QStringLiteral("\"><img src=\"file://") + m_logo +
             QStringLiteral("\" width=\"305\" height=\"172\" /> </td>"));
        line(QStringLiteral("</tr> </table>"));
    }

    QString pictureSource(const QString& picture) const {
        return QStringLiteral("file://") + m_folder + u'\\' + picture;
    }

    // The second cell's opening differs by section: variant L2 ends in a blank.
    void pairRow(Cell a, Cell b, bool trailingBlank) {
        line(QStringLiteral("  <tr>"));
        line(QStringLiteral("    <td width=\"50%\" height=\"22\">"));
        line(QStringLiteral("       <div align=\"right\" class=\"style9\">"));
        line(label(a.label) + value(a.field));
        line(QStringLiteral("           &nbsp;&nbsp;&nbsp;"));
        line(QStringLiteral("       </div>"));
        line(QStringLiteral("    </td>"));
        line(QStringLiteral("    <td width=\"50%\" height=\"22\">"));
        line(QStringLiteral("       <div align=\"left\" class=\"style9\">") +
             (trailingBlank ? QStringLiteral(" ") : QString()));
        line(QStringLiteral("           &nbsp;&nbsp;&nbsp;"));
        line(label(b.label) + value(b.field));
        line(QStringLiteral("       </div>"));
        line(QStringLiteral("    </td>"));
        line(QStringLiteral("  </tr>"));
    }

    void centredRow(Cell c) {
        line(QStringLiteral("  <tr>"));
        line(QStringLiteral("    <td colspan=\"2\">"));
        line(QStringLiteral("      <div align=\"center\" class=\"style9\">"));
        line(label(c.label) + value(c.field));
        line(QStringLiteral("      </div>"));
        line(QStringLiteral("    </td>"));
        line(QStringLiteral("  </tr>"));
    }

    void notesRow(Field field) {
        line(QStringLiteral("  <tr>"));
        line(QStringLiteral("    <td>"));
        line(QStringLiteral("      <div align=\"center\" class=\"style9\">"));
        line(QStringLiteral("          <b></b>") + value(field));
        line(QStringLiteral("      </div>"));
        line(QStringLiteral("    </td>"));
        line(QStringLiteral("  </tr>"));
    }

    void head();
    void sections();
    void images();
    void notes();
    void footer(int year);

    QStringList take() { return std::move(m_lines); }

private:
    const ReportItem& m_item;
    const QString& m_folder;
    const QString& m_logo;
    QStringList m_lines;
};

void DocumentWriter::head() {
    const QString description = value(Field::Description);
    line(QStringLiteral("<html xmlns=\"http://www.w3.org/1999/xhtml\"> <head> "));
    line(QStringLiteral("<title>Corvantheil - Summary for ") + description +
         QStringLiteral(" </title>"));
    line(QStringLiteral(
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\" />"));
    line(QStringLiteral("<style type=\"text/css\">"));
    line(QStringLiteral("<!--"));
    line(QStringLiteral(
        ".style8 {font-family: Arial, Helvetica, sans-serif; font-size: x-small; }"));
    line(QStringLiteral(".style9 {font-size: x-small}"));
    line(QStringLiteral(".style10 {font-size: medium; font-weight: bold; }"));
    line(QStringLiteral("-->"));
    line(QStringLiteral("</style> </head> <body class=\"sub\">"));
    line(QStringLiteral("<div class=\"style10\" align=\"center\"> "));
    logoBlock();
    line(QStringLiteral("</span>"));
    line(QStringLiteral("<br>Summary Report for <br><strong>") + description +
         QStringLiteral(" </strong></div>"));
    line(QStringLiteral("<hr>"));
    line(QStringLiteral("<p class=\"StoryTitle\"></p>"));
    line(QStringLiteral("<table width=\"127\"  align=\"center\"  border=\"1\">  <tr>"));
    // The first entry, even an empty name, is the main picture.
    if (!m_item.pictures.isEmpty()) {
        line(QStringLiteral("<td width=\"117\" align=\"center\" > <a href=\"") + app::SiteAddress +
             QStringLiteral("/\"><img src=\"") + pictureSource(m_item.pictures.first()) +
             QStringLiteral("\" alt= 111  width=\"414\" height=\"414\" /> </td>"));
    }
    line(QStringLiteral("</tr> </table>"));
}

void DocumentWriter::sections() {
    line(QStringLiteral("<p align=\"center\" class=\"style10\"><br>Detailed Information</p> "
                        "<table width=\"98%\" border=\"0\">"));
    pairRow({"           <b>Year: </b>", Field::Year},
            {"           <b>Coin Type: </b>", Field::CoinType}, false);
    pairRow({"           <b>Item Number: </b>", Field::ItemNumber},
            {"           <b>Mint Mark: </b>", Field::MintMark}, false);
    pairRow({"           <b>Country: </b>", Field::Country},
            {"           <b>Grade: </b>", Field::Grade}, false);
    line(QStringLiteral("</table>"));

    line(QStringLiteral("<div align=\"center\"></div> <p align=\"center\" "
                        "class=\"style10\"><br/>Pricing Information</p> <table width=\"98%\" "
                        "border=\"0\">"));
    pairRow({"           <b>Current Value: </b>", Field::CurrentValue},
            {"           <b>Purchase Price: </b>", Field::PurchasePrice}, true);
    pairRow({"           <b>Last Appraisal: </b>", Field::LastAppraisal},
            {"           <b>Date Acquired: </b>", Field::DateAcquired}, true);
    centredRow({"          <b>Valuation Source: </b>", Field::ValuationSource});
    line(QStringLiteral("</table>"));

    line(QStringLiteral("<div align=\"center\"></div>"));
    line(QStringLiteral("<p align=\"center\" class=\"style10\"><br/>Coin Details</p>"));
    line(QStringLiteral("<table width=\"98%\" border=\"0\">"));
    static constexpr Cell kDetails[5][2] = {
        {{"           <b>Detail 1: </b>", Field::Detail1},
         {"           <b>Misc Detail 1: </b>", Field::MiscDetail1}},
        {{"           <b>Detail 2: </b>", Field::Detail2},
         {"           <b>Misc Detail 2: </b>", Field::MiscDetail2}},
        {{"           <b>Detail 3: </b>", Field::Detail3},
         {"           <b>Misc Detail 3: </b>", Field::MiscDetail3}},
        {{"           <b>Detail 4: </b>", Field::Detail4},
         {"           <b>Misc Detail 4: </b>", Field::MiscDetail4}},
        {{"           <b>Detail 5: </b>", Field::Detail5},
         {"           <b>Misc Detail 5: </b>", Field::MiscDetail5}},
    };
    for (const auto& row : kDetails) {
        pairRow(row[0], row[1], true);
    }
    line(QStringLiteral("</table>"));

    line(QStringLiteral("<p align=\"center\" class=\"style10\"><br/>Other</p> <table "
                        "width=\"98%\" border=\"0\">"));
    pairRow({"           <b>Box #: </b>", Field::BoxNumber},
            {"           <b>Packaging Type: </b>", Field::PackagingType}, false);
    pairRow({"           <b>Catalog #: </b>", Field::CatalogNumber},
            {"           <b>Packaging Condition: </b>", Field::PackagingCondition}, false);
    pairRow({"           <b>Related Items: </b>", Field::RelatedItems},
            {"           <b>Category: </b>", Field::Category}, false);
    centredRow({"          <b>Record Last Updated: </b>", Field::RecordLastUpdated});
    line(QStringLiteral("</table>"));
}

void DocumentWriter::images() {
    line(QStringLiteral("<p align=\"center\" class=\"style10\"><br/>Images </p>"));
    line(QStringLiteral("<table width=\"100\" border=\"0\" align=\"center\" > "));
    line(QStringLiteral("  <tr>"));
    const qsizetype count = m_item.pictures.size();
    for (qsizetype i = 1; i <= count; ++i) {
        line(QStringLiteral("    <td><span class=\"StoryTitle\"><img src=\"") +
             pictureSource(m_item.pictures[i - 1]) +
             QStringLiteral("\" alt= 111  width=\"207\" height=\"207\" /></span></td>"));
        if (i % 3 == 0 && i != count) {
            line(QStringLiteral("  </tr>"));
            line(QStringLiteral("  <tr>"));
        }
    }
    // The table ends with an opened, empty row.
    line(QStringLiteral("  </tr>"));
    line(QStringLiteral("  <tr>"));
    line(QStringLiteral("</table>"));
}

void DocumentWriter::notes() {
    line(QStringLiteral("<div align=\"center\"></div> <p align=\"center\" "
                        "class=\"style10\"><br/>Miscellaneous Notes</p> <table width=\"98%\" "
                        "border=\"0\">"));
    notesRow(Field::MiscNotes);
    notesRow(Field::MiscNotes2);
    notesRow(Field::MiscNotes3);
    line(QStringLiteral("</table>"));
}

void DocumentWriter::footer(int year) {
    line(QStringLiteral("<p align=\"center\" class=\"style10\"></p>"));
    for (int i = 0; i < 3; ++i) {
        line(QStringLiteral("<p class=\"StoryTitle\"></p>"));
    }
    line(QStringLiteral("<p class=\"StoryTitle\">&nbsp;</p>"));
    line(QStringLiteral("<hr>  "));
    line(QStringLiteral("<table width=\"100%\" border=\"0\" cellspacing=\"0\" cellpadding=\"2\">"));
    line(QStringLiteral("  <tr>"));
    line(QStringLiteral(" <td class=\"FooterColor\" align=\"center\" >        "));
    logoBlock();
    line(QStringLiteral("</span>  </td>"));
    line(QStringLiteral("  </tr>"));
    line(QStringLiteral("  <tr>"));
    line(QStringLiteral("    <td class=\"FooterColor\" align=\"center\" ><span "
                        "class=\"style8\">Copyright &copy; %1 %2</span></td>")
             .arg(year)
             .arg(app::SiteDomain));
    line(QStringLiteral("  </tr>"));
    line(QStringLiteral("</table>"));
    line(QStringLiteral(" <script type=\"text/javascript\"> javascript:window.print() </script>"));
    line(QStringLiteral("</body>"));
    line(QStringLiteral("</html>"));
}

QByteArray encodedLine(const QString& text) {
    QByteArray bytes = app::toWin1252(text);
    bytes.append("\r\n");
    return bytes;
}

QString reportsPath(const QString& folder, const QString& name) {
    return folder + QStringLiteral("\\_reports\\") + name;
}

// Why a file in the reports folder could not be written.
[[noreturn]] void raiseWriteFailure(const QString& nativeFile) {
    const QFileInfo info(nativeFile);
    if (!info.absoluteDir().exists()) {
        app::raise(app::kPathNotFound);
    }
    if (info.isDir()) {
        app::raise(app::kPathFileAccessError);
    }
    app::raise(app::kPermissionDenied);
}

// The off-screen picture box the logo is rendered into, blank until it is.
QImage emptyLogoBox() {
    QImage box(ui::px(kLogoBoxWidth), ui::px(kLogoBoxHeight), QImage::Format_RGB32);
    box.fill(Qt::white);
    return box;
}

// The logo stretched over the box; a logo that cannot be read leaves the box as it was.
void drawLogo(QImage& box, const QString& logo) {
    const QString file = app::nativePath(logo);
    const QImage picture = QImageReader(file).read();
    if (picture.isNull()) {
        app::raise(QFileInfo::exists(file) ? app::kInvalidPicture : app::kFileNotFound);
    }
    QPainter painter(&box);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(box.rect(), picture);
}

void saveLogoBitmap(const QImage& box, const QString& folder) {
    const QString target = app::nativePath(reportsPath(folder, kLogoBitmapName));
    if (!box.save(target, "BMP")) {
        raiseWriteFailure(target);
    }
}

void writeReport(const QString& path, const QStringList& lines) {
    const QString file = app::nativePath(path);
    QFile out(file);
    // Appending: an old report that could not be deleted keeps its text.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        raiseWriteFailure(file);
    }
    for (const QString& text : lines) {
        const QByteArray bytes = encodedLine(text);
        if (out.write(bytes) != bytes.size()) {
            app::raise(app::kPathFileAccessError);
        }
    }
    if (!out.flush()) {
        app::raise(app::kPathFileAccessError);
    }
}

} // namespace

QStringList summaryReportLines(const ReportItem& item, const QString& folder, const QString& logo,
                               int year) {
    DocumentWriter writer(item, folder, logo);
    writer.head();
    writer.sections();
    writer.images();
    writer.notes();
    writer.footer(year);
    return writer.take();
}

void printReportOnThisItem(const ReportItem& item) {
    app::Guard guard;
    const QString folder = app::programFolder().trimmed();
    const QString logo = app::defaultImagePath();
    const QString path = reportsPath(folder, kReportName);

    guard.step([&] {
        const QString file = app::nativePath(path);
        if (QFileInfo::exists(file) && !QFile::remove(file)) {
            app::raise(app::kPathFileAccessError);
        }
    });
    QImage logoBox = emptyLogoBox();
    guard.step([&] { drawLogo(logoBox, logo); });
    guard.step([&] { saveLogoBitmap(logoBox, folder); });
    guard.step([&] {
        writeReport(path, summaryReportLines(item, folder, logo, QDate::currentDate().year()));
    });
    guard.step([] {
        QCoreApplication::processEvents();
        QThread::msleep(100);
        QCoreApplication::processEvents();
    });
    guard.step([&] { app::launchBrowser(path); });
}

} // namespace report
