#pragma once

#include <QString>

// The amounts of an item are free text ("$1,250.00", "20 %"); these read them.

// The text without "$", ",", blanks and "%"; "0" when nothing else is left.
QString cleanAmountText(const QString& text);

// What the Change in Value box shows after an amount changed: (current value -
// purchase price) / current value as a percentage. When the amounts give no
// such number (the current value is 0 or empty, or an amount is no number)
// the box keeps `shown`; a loss is a text that reads as a negative number.
struct ChangeInValue {
    QString text;
    bool loss = false;
};
ChangeInValue updateChangeInValue(const QString& currentValue, const QString& purchasePrice,
                                  const QString& shown);
