#pragma once

#include "store/Fields.h"

#include <QHash>
#include <QString>
#include <QStringList>

// The printable HTML summary of the open item, written to
// "_reports\SummaryDetail.html" and handed to the browser, which prints it.
namespace report {

// What the window shows of the open item at the moment of the command.
struct ReportItem {
    // Each field's text as shown; a notes box's line breaks are "\n".
    store::FieldTexts texts;
    // Relative picture names, first picture first; may hold empty names.
    QStringList pictures;
};

// The document, one entry per line of the file, line ends not included.
// Values go in unescaped; a line break inside a value is already "\r\n".
// folder: the trimmed program folder; logo: the logo picture's path text.
QStringList summaryReportLines(const ReportItem& item, const QString& folder, const QString& logo,
                               int year);

// Deletes the old report, renders the logo bitmap "tempImageLOGO.bmp", writes
// the report, lets pending events run around a 100 ms pause and hands the
// report's path to the browser. A failing step is logged and the next runs.
void printReportOnThisItem(const ReportItem& item);

} // namespace report
