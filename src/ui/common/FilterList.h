#pragma once

#include <QStringList>

namespace ui {

// The home page filter box's rows: "Show All Coins", an "ONLY " row per coin
// type, the value ceilings, then the rows for items with and without pictures.
// The collection list offers the same rows.
const QStringList& homeFilterList();

} // namespace ui
