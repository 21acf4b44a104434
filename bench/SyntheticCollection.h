#pragma once

#include "store/IniReader.h"

#include <QRandomGenerator>
#include <QString>
#include <functional>
#include <vector>

namespace bench {

// About thirty realistic fields of item i, in the window's key order; about
// a quarter of the items carry up to three pictures.
std::vector<store::IniEntry> syntheticItem(QRandomGenerator& random, int i);

// A program folder holding a database of `items` synthetic items.
void writeSyntheticCollection(const QString& folder, int items);

// A database file of `items` items made by `item` (numbered from 1).
void writeDatabase(const QString& path, int items,
                   const std::function<std::vector<store::IniEntry>(QRandomGenerator&, int)>& item);

// Peak resident memory of this process, from the kernel's VmHWM.
double peakRssMb();

} // namespace bench
