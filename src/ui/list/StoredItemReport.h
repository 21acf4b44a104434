#pragma once

#include "report/SummaryReport.h"

namespace store {
class CoinRecord;
}

namespace ui {

// A coin as stored, in the form the report reads the item window's boxes:
// each field's text as its box would show it, and the pictures.
report::ReportItem storedItemReport(const store::CoinRecord& record);

} // namespace ui
