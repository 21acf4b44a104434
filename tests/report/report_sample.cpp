// Helper of report_in_browser.sh.
//   report_sample write FOLDER   makes a program folder with four coloured
//                                pictures, writes the report of an item holding
//                                them and prints the report's file path
//   report_sample check PNG      checks a screenshot of that report: every
//                                picture shows at its size, and so does the logo
#include "FakePlatform.h"
#include "app/ProgramFolder.h"
#include "app/Startup.h"
#include "report/SummaryReport.h"

#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

namespace {

struct Swatch {
    const char* name;
    QColor colour;
    int minimumPixels; // 90% of what the page shows of it
};

// The first picture stands as the main picture (414 square) and in the grid
// (207 square); the others only in the grid.
const Swatch kSwatches[] = {
    {"1", QColor(200, 30, 30), (414 * 414 + 207 * 207) * 9 / 10},
    {"2", QColor(30, 150, 50), 207 * 207 * 9 / 10},
    {"3", QColor(30, 60, 200), 207 * 207 * 9 / 10},
    {"4", QColor(230, 140, 0), 207 * 207 * 9 / 10},
};

void copyShippedFiles(const QString& to) {
    const QString from = QStringLiteral(CORVANTHEIL_DATA_DIR);
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(source, target);
    }
}

int write(const QString& folder) {
    FakePlatform fakes;
    QDir().mkpath(folder);
    copyShippedFiles(folder);
    app::setProgramFolder(folder);
    app::prepareProgramFolder();

    report::ReportItem item;
    item.texts = {{"txtDescription", "1921 Morgan Dollar & <Peace>"},
                  {"txtYear", "1921"},
                  {"txtCountry", QString::fromUtf8("Österreich")},
                  {"txtCurrentValue", "$45.00"},
                  {"txtMiscNotes", "Bought at the spring fair.\nKept in a flip."}};
    for (const Swatch& s : kSwatches) {
        const QString name = QStringLiteral("_data\\_userImages\\2024031514300%1.jpg").arg(s.name);
        QImage picture(300, 300, QImage::Format_RGB32);
        picture.fill(s.colour);
        if (!picture.save(app::nativePath(app::programPath(name)), "JPG")) {
            QTextStream(stderr) << "cannot write " << name << '\n';
            return 2;
        }
        item.pictures.append(name);
    }
    report::printReportOnThisItem(item);
    if (fakes.shell.opened.size() != 1) {
        return 2;
    }
    QTextStream(stdout) << app::nativePath(fakes.shell.opened.first()) << '\n';
    return 0;
}

bool near(QRgb pixel, const QColor& colour) {
    return qAbs(qRed(pixel) - colour.red()) < 40 && qAbs(qGreen(pixel) - colour.green()) < 40 &&
           qAbs(qBlue(pixel) - colour.blue()) < 40;
}

int check(const QString& png) {
    const QImage shot = QImage(png).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull()) {
        QTextStream(stderr) << "no screenshot at " << png << '\n';
        return 1;
    }
    // The logo's gold appears twice, at 305 by 172.
    const Swatch logo = {"logo", QColor(214, 170, 80), 0};
    int failures = 0;
    for (const Swatch& s : {kSwatches[0], kSwatches[1], kSwatches[2], kSwatches[3], logo}) {
        int count = 0;
        for (int y = 0; y < shot.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(shot.constScanLine(y));
            for (int x = 0; x < shot.width(); ++x) {
                count += near(line[x], s.colour) ? 1 : 0;
            }
        }
        const bool shown = s.minimumPixels > 0 ? count >= s.minimumPixels : count > 5000;
        QTextStream(stdout) << "picture " << s.name << ": " << count << " pixels"
                            << (shown ? "" : "  NOT SHOWN") << '\n';
        failures += shown ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() == 3 && args[1] == "write") {
        return write(args[2]);
    }
    if (args.size() == 3 && args[1] == "check") {
        return check(args[2]);
    }
    QTextStream(stderr) << "usage: report_sample write FOLDER | check PNG\n";
    return 2;
}
