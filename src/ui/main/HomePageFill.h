#pragma once

#include "ui/common/FilterList.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace store {
class Collection;
}

// The home page's scan as a function of the collection: which items fill
// the six cards from a first item number on, through the filter, in the
// order of the collection. Items are numbered from 1 as the cards' tags
// and the paging links count them.
namespace ui {

constexpr int kHomeCards = 6;

// What a card shows. A card the scan does not reach is hidden but keeps its texts.
struct CardContent {
    bool visible = false;
    QString tag;                       // number of the item it shows, counted from 1
    std::optional<qsizetype> position; // the item it shows, counted from 0
    QString line1;
    QString line2;
    QString pictureTag; // "noImageAvailable.jpg" or the item's first picture
    // The scan reached the card: its picture became "noImageAvailable.jpg",
    // then each of `pictures` in turn, a failing one leaving the one before.
    bool pictureReset = false;
    QStringList pictures;
};

struct HomePageContent {
    std::array<CardContent, kHomeCards> cards;
    bool previousPage = false;
    bool nextPage = false;
};

// `filterRow` is the row of homeFilterList() the cards go through, -1 for
// none. A value that is not a number is logged where the scan meets it.
// `noImageError` is the error number of loading "noImageAvailable.jpg", 0
// when it loads: a reached card then keeps its picture and the failure is logged.
HomePageContent loadPropertiesOnMainPage(const store::Collection& collection, qsizetype first,
                                         int filterRow,
                                         const std::array<CardContent, kHomeCards>& shown,
                                         int noImageError);

} // namespace ui
