#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// Amounts between the collection, which keeps them as typed and reads them
// in US English, and sheets written in other forms.
namespace exchange {

// Which of "." and "," parts the cents in a sheet's amounts; the other
// groups the thousands.
enum class DecimalMark { Point, Comma };

// Cells that tell which mark a sheet uses: "1.250,00" and "12,5" vote for
// the comma, "1,250.00" and "12.5" for the point; "1,250" tells nothing.
struct MarkVotes {
    qint64 point = 0;
    qint64 comma = 0;
    MarkVotes& operator+=(const MarkVotes& other) {
        point += other.point;
        comma += other.comma;
        return *this;
    }
};
void voteOnCell(QByteArrayView cell, MarkVotes& votes);
// The point unless the comma has more votes.
DecimalMark decimalMarkOf(const MarkVotes& votes);

// A stored amount as a number a spreadsheet sums: "$1,250.00" gives
// "1250.00", at least two decimals, none of the stored ones dropped. A text
// the program does not read as a number is given back as it is.
QString amountForSheet(const QString& stored);
// The same for the usual stored forms ("$1,250.00", "1250", "($5.00)") read
// straight from the file's bytes; false for any other form.
bool appendPlainAmount(QByteArray& out, QByteArrayView stored);

// A sheet's amount in the program's currency form: "$1,250.00", "($5.00)";
// every decimal kept, at least two. Reads "$1,250.00", "1250", "1.250,00 €",
// "EUR 1 250,00", "(5.00)", "-5"; nothing when the text is no amount.
std::optional<QString> amountForStore(QStringView text, DecimalMark mark);

} // namespace exchange
