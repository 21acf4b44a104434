#include "ui/list/StoredItemReport.h"

#include "store/CoinRecord.h"
#include "ui/list/ListIndex.h"

namespace ui {

report::ReportItem storedItemReport(const store::CoinRecord& record) {
    report::ReportItem item;
    for (const store::FieldInfo& f : store::fields()) {
        item.texts[f.field] = shownText(record, f.field);
    }
    item.pictures = record.pictures();
    return item;
}

} // namespace ui
