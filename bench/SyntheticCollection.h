#pragma once

#include "store/IniFile.h"

#include <QRandomGenerator>
#include <QString>
#include <vector>

namespace bench {

// About thirty realistic fields of item i, in the window's key order; about
// a quarter of the items carry up to three pictures.
std::vector<store::IniEntry> syntheticItem(QRandomGenerator& random, int i);

// A program folder holding a database of `items` items; leaves the store empty.
void writeSyntheticCollection(const QString& folder, int items);

// Peak resident memory of this process, from the kernel's VmHWM.
double peakRssMb();

} // namespace bench
