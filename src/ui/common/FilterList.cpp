#include "ui/common/FilterList.h"

#include "store/AttributeLists.h"

namespace ui {

const QStringList& homeFilterList() {
    static const QStringList rows = [] {
        QStringList list{QStringLiteral("Show All Coins")};
        for (const QString& type : store::coinTypeList()) {
            list << QStringLiteral("ONLY ") + type;
        }
        for (const char* ceiling :
             {"1",     "5",     "10",    "25",    "50",    "100",    "200",
              "300",   "400",   "500",   "750",   "1,000", "1,250",  "1,500",
              "2,000", "2,500", "3,000", "4,000", "5,000", "10,000", "20,000"}) {
            list << QStringLiteral("Current Value < $") + QLatin1StringView(ceiling);
        }
        list << QStringLiteral("Show Coins With Images")
             << QStringLiteral("Show Coins Without Images");
        return list;
    }();
    return rows;
}

} // namespace ui
