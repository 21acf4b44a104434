#include "report/CollectionInventory.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/SharedRoutines.h"
#include "app/Win1252.h"
#include "store/Collection.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QUrl>

namespace report {
namespace {

// Our own page: plain, readable on screen, and a table the browser breaks
// between rows, repeating its header on each printed page.
const char* const kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="windows-1252">
<title>Corvantheil - Collection Inventory</title>
<style>
body { font-family: Arial, Helvetica, sans-serif; font-size: 10pt; color: #000; margin: 20px; }
h1 { font-size: 18pt; color: #000080; margin: 0 0 4px 0; }
p { margin: 2px 0; }
.total { font-size: 12pt; margin: 6px 0 12px 0; }
table { border-collapse: collapse; width: 100%; table-layout: fixed; }
thead { display: table-header-group; }
tfoot { display: table-row-group; }
tr { break-inside: avoid; page-break-inside: avoid; }
th, td { border: 1px solid #a0a0a0; padding: 3px 5px; text-align: left; vertical-align: middle;
         overflow-wrap: break-word; }
th { background: #e6e6f0; }
.n { text-align: right; }
td.n { white-space: nowrap; }
td.pic { padding: 2px; text-align: center; }
td.pic img { object-fit: contain; display: block; margin: 0 auto; }
tfoot td { font-weight: bold; border-top: 2px solid #000; }
.note { font-size: 9pt; margin-top: 8px; }
.print { margin: 0 0 12px 0; font-size: 10pt; }
@page { size: landscape; margin: 10mm; }
@media print {
  body { margin: 0; font-size: 9pt; }
  .print { display: none; }
  th { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
}
</style>
</head>
<body>
)";

const char* const kTableHead = R"(<table>
<colgroup><col style="width:4%"><col style="width:7%"><col style="width:21%">
<col style="width:6%"><col style="width:10%"><col style="width:15%"><col style="width:11%">
<col style="width:13%"><col style="width:13%"></colgroup>
<thead><tr><th class="n">No.</th><th>Picture</th><th>Description</th><th>Year</th>
<th>Country</th><th>Grade</th><th>Item #</th><th class="n">Purchase Price</th>
<th class="n">Current Value</th></tr></thead>
<tbody>
)";

constexpr int kPictureSide = 48; // CSS pixels

void appendEscaped(QString& out, QStringView text) {
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1StringView("&amp;");
            break;
        case u'<':
            out += QLatin1StringView("&lt;");
            break;
        case u'>':
            out += QLatin1StringView("&gt;");
            break;
        case u'"':
            out += QLatin1StringView("&quot;");
            break;
        case u'\n':
            out += QLatin1StringView("<br>");
            break;
        case u'\r':
            break;
        default:
            out += c;
        }
    }
}

QString count(qsizetype n) {
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    return us.toString(static_cast<qlonglong>(n));
}

struct Sum {
    double total = 0;
    qsizetype unread = 0; // amounts that are no number
};

// An amount in the program's currency form, added to the sum; a text that
// is no number is shown as it stands and left out.
void appendAmount(QString& out, const QString& stored, Sum& sum) {
    if (stored.isEmpty()) {
        return;
    }
    if (const std::optional<double> v = app::parseNumber(stored)) {
        sum.total += *v;
        out += app::formatCurrency(*v);
    } else {
        ++sum.unread;
        appendEscaped(out, stored);
    }
}

void cell(QString& out, const QString& text) {
    out += QLatin1StringView("<td>");
    appendEscaped(out, text);
    out += QLatin1StringView("</td>");
}

[[noreturn]] void raiseWriteFailure(const QString& file, const QFileDevice& device) {
    const QFileInfo info(file);
    if (!info.absoluteDir().exists()) {
        app::raise(app::kPathNotFound);
    }
    app::raise(device.error() == QFileDevice::PermissionsError ? app::kPermissionDenied
                                                               : app::kPathFileAccessError);
}

} // namespace

std::vector<InventoryLine> inventoryLines(const store::Collection& collection,
                                          const std::vector<qsizetype>& positions) {
    std::vector<InventoryLine> lines;
    lines.reserve(positions.size());
    const QStringList& grades = store::listEntries(store::Field::Grade);
    for (const qsizetype position : positions) {
        const store::CoinRecord& record = collection.record(position);
        InventoryLine line;
        for (qsizetype k = 0; k < record.size(); ++k) {
            const QString& key = record.key(k);
            if (store::isPictureKey(key)) {
                if (line.picture.isEmpty()) {
                    line.picture = record.value(k);
                }
                continue;
            }
            const std::optional<store::Field> field = store::fieldOfKey(key);
            if (!field) {
                continue;
            }
            QString* target = nullptr;
            switch (*field) {
            case store::Field::Description:
                target = &line.description;
                break;
            case store::Field::Year:
                target = &line.year;
                break;
            case store::Field::Country:
                target = &line.country;
                break;
            case store::Field::ItemNumber:
                target = &line.itemNumber;
                break;
            case store::Field::PurchasePrice:
                target = &line.purchasePrice;
                break;
            case store::Field::CurrentValue:
                target = &line.currentValue;
                break;
            case store::Field::Grade:
                if (line.grade.isEmpty()) {
                    const std::optional<qint32> row = app::toLong(record.value(k));
                    line.grade =
                        row && *row >= 0 && *row < grades.size() ? grades[*row] : QString();
                }
                break;
            default:
                break;
            }
            if (target != nullptr && target->isEmpty()) {
                *target = store::decodeText(record.value(k));
            }
        }
        if (!line.picture.isEmpty()) {
            const QString file = app::nativePath(app::programPath(line.picture));
            line.picture = QFileInfo(file).isFile() ? file : QString();
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

QString inventoryPage(const std::vector<InventoryLine>& lines, const QString& scope,
                      const QDateTime& printed) {
    Sum purchase;
    Sum current;
    QString rows;
    rows.reserve(static_cast<qsizetype>(lines.size()) * 400);
    const QString side = QString::number(kPictureSide);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const InventoryLine& line = lines[i];
        rows += QLatin1StringView("<tr><td class=\"n\">");
        rows += QString::number(i + 1);
        rows += QLatin1StringView("</td><td class=\"pic\">");
        if (!line.picture.isEmpty()) {
            rows += QLatin1StringView("<img src=\"");
            appendEscaped(rows, QUrl::fromLocalFile(line.picture).toString(QUrl::FullyEncoded));
            rows += QLatin1StringView("\" width=\"") + side + QLatin1StringView("\" height=\"") +
                    side + QLatin1StringView(R"(" loading="lazy" alt="">)");
        }
        rows += QLatin1StringView("</td>");
        cell(rows, line.description);
        cell(rows, line.year);
        cell(rows, line.country);
        cell(rows, line.grade);
        cell(rows, line.itemNumber);
        rows += QLatin1StringView("<td class=\"n\">");
        appendAmount(rows, line.purchasePrice, purchase);
        rows += QLatin1StringView("</td><td class=\"n\">");
        appendAmount(rows, line.currentValue, current);
        rows += QLatin1StringView("</td></tr>\r\n");
    }

    QString page = QString::fromLatin1(kHead);
    page.replace(u'\n', QLatin1StringView("\r\n"));
    page += QLatin1StringView("<h1>Collection Inventory</h1>\r\n<p>");
    appendEscaped(page, scope);
    page += QLatin1StringView(", listed on ") + app::formatGeneralDate(printed) +
            QLatin1StringView(".</p>\r\n<p class=\"total\">Total current value: <b>") +
            app::formatCurrency(current.total) +
            QLatin1StringView("</b></p>\r\n<p class=\"print\"><button type=\"button\" "
                              "onclick=\"window.print()\">Print</button></p>\r\n");
    QString table = QString::fromLatin1(kTableHead);
    table.replace(u'\n', QLatin1StringView("\r\n"));
    page += table;
    page += rows;
    page += QLatin1StringView("</tbody>\r\n<tfoot><tr><td colspan=\"7\">Totals: ") +
            count(static_cast<qsizetype>(lines.size())) +
            (lines.size() == 1 ? QLatin1StringView(" coin") : QLatin1StringView(" coins")) +
            QLatin1StringView("</td><td class=\"n\">") + app::formatCurrency(purchase.total) +
            QLatin1StringView("</td><td class=\"n\">") + app::formatCurrency(current.total) +
            QLatin1StringView("</td></tr></tfoot>\r\n</table>\r\n");
    const qsizetype unread = purchase.unread + current.unread;
    if (unread > 0) {
        page += QLatin1StringView("<p class=\"note\">") + count(unread) +
                (unread == 1 ? QLatin1StringView(" amount is no number and is")
                             : QLatin1StringView(" amounts are no numbers and are")) +
                QLatin1StringView(" left out of the totals.</p>\r\n");
    }
    page += QLatin1StringView("<p class=\"note\">") + app::kTitle + u' ' + app::versionText() +
            QLatin1StringView(" &middot; ") + app::SiteDomain +
            QLatin1StringView("</p>\r\n</body>\r\n</html>\r\n");
    return page;
}

QString inventoryPath() {
    return app::programFolder().trimmed() + QStringLiteral("\\_reports\\CollectionInventory.html");
}

void printCollectionInventory(const QString& page) {
    const QString path = inventoryPath();
    const QString file = app::nativePath(path);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        raiseWriteFailure(file, out);
    }
    const QByteArray bytes = app::toWin1252(page);
    if (out.write(bytes) != bytes.size() || !out.commit()) {
        raiseWriteFailure(file, out);
    }
    app::launchBrowser(path);
}

} // namespace report
