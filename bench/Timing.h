#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <functional>
#include <vector>

namespace bench {

double median(std::vector<double> values);
// The median of `runs` timings of `run`, in milliseconds.
double medianMs(int runs, const std::function<void()>& run);
// One "name value" line, flushed at once.
void printFigure(const QString& name, double value);
// The bytes written, flushed and synced as a save writes its new file: the
// floor no save can beat.
void writeFloor(const QString& nativePath, const QByteArray& bytes);

// This process's environment, headless where no display is named.
QProcessEnvironment childEnvironment();

// A program folder with the shipped pictures and help page and a database of
// `items` synthetic items, set as the program folder.
void makeProgramFolder(const QString& folder, int items);

} // namespace bench
