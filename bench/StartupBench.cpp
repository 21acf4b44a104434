// Start-up with a large collection against a bare Qt main window of the same
// size, each measured in a fresh process from launch to an idle event loop.
#include "Benchmarks.h"
#include "Timing.h"

#include "Program.h"
#include "app/ProgramFolder.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kItems = 20000;

// Runs `mode` in a fresh copy of this program; the child prints its peak
// resident memory in megabytes.
double launchMs(const QString& mode, const QString& folder, double* peakMb) {
    QProcess child;
    child.setProcessEnvironment(bench::childEnvironment());
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), {mode, folder});
    child.waitForFinished(-1);
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    if (peakMb) {
        *peakMb = child.readAllStandardOutput().trimmed().toDouble();
    }
    return ms;
}

// Quits as soon as the event loop has nothing left to do.
int runUntilIdle(QApplication& application) {
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    const int rc = QApplication::exec();
    std::printf("%.1f\n", bench::peakRssMb());
    return rc;
}

} // namespace

int runStartupChild(int argc, char* argv[]) {
    if (argc != 3) {
        return -1;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    if (mode == u"--startup-child") {
        QApplication application(argc, argv);
        app::setProgramFolder(QString::fromLocal8Bit(argv[2]));
        const app::Program program = app::main();
        return runUntilIdle(application);
    }
    if (mode == u"--bare-child") {
        QApplication application(argc, argv);
        QMainWindow window;
        window.menuBar()->addMenu(QStringLiteral("&File"));
        window.setCentralWidget(new QWidget(&window));
        window.resize(768, 586 + window.menuBar()->sizeHint().height());
        window.show();
        return runUntilIdle(application);
    }
    return -1;
}

void runStartupBenchmarks() {
    QTemporaryDir dir;
    const QString folder = dir.path();
    bench::makeProgramFolder(folder, kItems);

    std::vector<double> startup;
    std::vector<double> bare;
    std::vector<double> peaks;
    for (int run = 0; run < 5; ++run) {
        double peak = 0;
        startup.push_back(launchMs(QStringLiteral("--startup-child"), folder, &peak));
        peaks.push_back(peak);
        bare.push_back(launchMs(QStringLiteral("--bare-child"), folder, nullptr));
    }
    std::printf("startup_20000 %.1f\n", bench::median(startup));
    std::printf("bare_window %.1f\n", bench::median(bare));
    std::printf("startup_peak_rss_mb_20000 %.1f\n", bench::median(peaks));
    std::fflush(stdout);
}
