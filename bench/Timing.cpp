#include "Timing.h"

#include "SyntheticCollection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace bench {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double medianMs(int runs, const std::function<void()>& run) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

void printFigure(const QString& name, double value) {
    std::printf("%s %.1f\n", qPrintable(name), value);
    std::fflush(stdout);
}

void writeFloor(const QString& nativePath, const QByteArray& bytes) {
    QFile f(nativePath);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(bytes);
        f.flush();
        ::fsync(f.handle());
    }
}

QProcessEnvironment childEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) &&
        !env.contains(QStringLiteral("DISPLAY"))) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    return env;
}

void makeProgramFolder(const QString& folder, int items) {
    const QDir shipped(QStringLiteral(CORVANTHEIL_DATA_DIR));
    for (const QString& sub : {QStringLiteral("_images"), QStringLiteral("_reference")}) {
        QDir().mkpath(folder + u'/' + sub);
        for (const QString& name : QDir(shipped.filePath(sub)).entryList(QDir::Files)) {
            QFile::copy(shipped.filePath(sub + u'/' + name), folder + u'/' + sub + u'/' + name);
        }
    }
    writeSyntheticCollection(folder, items);
}

} // namespace bench
