#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// Fixed US English regional formats, used by everyone.
namespace app {

// "$1,234.50"; negative "($1,234.50)".
QString formatCurrency(double value);
// Two decimals: "20.00%", "-25.00%".
QString formatPercent(double value);
// "3/15/2024 2:30:05 PM", or "3/15/2024" at midnight.
QString formatGeneralDate(const QDateTime& when);
// The general number format: shortest round-trip text, no grouping ("0.2", "-0.25").
QString formatGeneralNumber(double value);

// Reads a number as the regional format does: blanks around it, a leading "$",
// "," digit grouping, a negative amount in parentheses.
std::optional<double> parseNumber(const QString& text);

// Converts to a whole number, a half going to the even neighbour; no value
// when the text is not a number or the result does not fit.
std::optional<qint32> toLong(const QString& text);
std::optional<qint32> roundToLong(double value);

// ToLong, raising type mismatch (13) or overflow (6) as the runtime would.
qint32 cLng(const QString& text);

} // namespace app
