#include "exchange/Amounts.h"

#include "app/RegionalFormats.h"

#include <algorithm>

namespace exchange {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Digits between two marks of one kind, as grouping leaves them: three each.
bool groupsOfThree(QByteArrayView span, char mark) {
    int digits = -1; // before the first mark any number will do
    for (const char c : span) {
        if (c == mark) {
            if (digits >= 0 && digits != 3) {
                return false;
            }
            digits = 0;
        } else if (isDigit(c) && digits >= 0) {
            ++digits;
        }
    }
    return digits == 3;
}

struct Digits {
    bool negative = false;
    QString whole;
    QString cents; // every decimal
};

QString currencyText(const Digits& d) {
    qsizetype lead = 0;
    while (lead + 1 < d.whole.size() && d.whole[lead] == u'0') {
        ++lead;
    }
    QString whole = d.whole.isEmpty() ? QStringLiteral("0") : d.whole.mid(lead);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3) {
        whole.insert(i, u',');
    }
    QString cents = d.cents;
    while (cents.size() < 2) {
        cents += u'0';
    }
    const bool zero =
        std::all_of(d.whole.begin(), d.whole.end(), [](QChar c) { return c == u'0'; }) &&
        std::all_of(d.cents.begin(), d.cents.end(), [](QChar c) { return c == u'0'; });
    const QString text = u'$' + whole + u'.' + cents;
    return d.negative && !zero ? u'(' + text + u')' : text;
}

bool isGroupingBlank(QChar c) {
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F) || c == u'\'' ||
           c == QChar(0x2019);
}

// "EUR", "USD", "kr", "Fr": letters that stand for a currency. Other words
// ("about 50", "ca. 50") make a text no amount.
bool isCurrencyCode(QStringView letters) {
    if (letters.size() == 3 &&
        std::all_of(letters.begin(), letters.end(), [](QChar c) { return c.isUpper(); })) {
        return true;
    }
    static const QStringList codes = {QStringLiteral("us"),      QStringLiteral("kr"),
                                      QStringLiteral("fr"),      QStringLiteral("sfr"),
                                      QStringLiteral("z\u0142"), QStringLiteral("k\u010d"),
                                      QStringLiteral("ft"),      QStringLiteral("rs"),
                                      QStringLiteral("dm"),      QStringLiteral("lei")};
    return codes.contains(letters.toString().toLower());
}

bool isSignOrBlank(QChar c) {
    return c.isSpace() || c.category() == QChar::Symbol_Currency;
}

// Strips currency signs, codes and blanks before and after the number; false
// when letters are no currency code or touch the digits ("12abc").
bool stripEdges(QStringView& s) {
    qsizetype b = 0;
    while (b < s.size()) {
        if (isSignOrBlank(s[b])) {
            ++b;
        } else if (s[b].isLetter()) {
            qsizetype e = b;
            while (e < s.size() && s[e].isLetter()) {
                ++e;
            }
            if (!isCurrencyCode(s.sliced(b, e - b))) {
                return false;
            }
            b = e < s.size() && s[e] == u'.' ? e + 1 : e; // "Fr. 5"
            if (b < s.size() && isDigit(s[b])) {
                return false;
            }
        } else {
            break;
        }
    }
    qsizetype e = s.size();
    while (e > b) {
        if (isSignOrBlank(s[e - 1])) {
            --e;
        } else if (s[e - 1].isLetter() || (s[e - 1] == u'.' && e - 2 >= b && s[e - 2].isLetter())) {
            qsizetype r = s[e - 1] == u'.' ? e - 1 : e; // "5 kr."
            const qsizetype runEnd = r;
            while (r > b && s[r - 1].isLetter()) {
                --r;
            }
            if (!isCurrencyCode(s.sliced(r, runEnd - r)) || (r > b && isDigit(s[r - 1]))) {
                return false;
            }
            e = r;
        } else {
            break;
        }
    }
    s = s.sliced(b, e - b);
    return true;
}

std::optional<Digits> readDigits(QStringView body, DecimalMark mark) {
    const QChar decimal = mark == DecimalMark::Point ? u'.' : u',';
    const QChar grouping = mark == DecimalMark::Point ? u',' : u'.';
    Digits d;
    bool inCents = false;
    bool grouped = false;
    int run = 0; // digits since the last grouping mark
    for (const QChar c : body) {
        if (isDigit(c)) {
            (inCents ? d.cents : d.whole) += c;
            ++run;
        } else if (c == decimal && !inCents) {
            if (grouped && run != 3) {
                return std::nullopt;
            }
            inCents = true;
        } else if ((c == grouping || isGroupingBlank(c)) && !inCents) {
            if (run == 0 || (grouped ? run != 3 : run > 3)) {
                return std::nullopt;
            }
            grouped = true;
            run = 0;
        } else {
            return std::nullopt;
        }
    }
    if ((!inCents && grouped && run != 3) || (d.whole.isEmpty() && d.cents.isEmpty())) {
        return std::nullopt;
    }
    return d;
}

} // namespace

void voteOnCell(QByteArrayView cell, MarkVotes& votes) {
    qsizetype first = 0;
    while (first < cell.size() && !isDigit(cell[first])) {
        ++first;
    }
    qsizetype last = cell.size() - 1;
    while (last > first && !isDigit(cell[last])) {
        --last;
    }
    if (first >= cell.size()) {
        return;
    }
    const QByteArrayView span = cell.sliced(first, last - first + 1);
    int points = 0;
    int commas = 0;
    qsizetype lastPoint = -1;
    qsizetype lastComma = -1;
    for (qsizetype i = 0; i < span.size(); ++i) {
        const char c = span[i];
        if (c == '.') {
            ++points;
            lastPoint = i;
        } else if (c == ',') {
            ++commas;
            lastComma = i;
        } else if (!isDigit(c) && c != ' ' && c != '\'' && static_cast<unsigned char>(c) < 0x80) {
            return; // a date, a time, a range: no amount
        }
    }
    if (points > 0 && commas > 0) {
        (lastPoint > lastComma ? votes.point : votes.comma) += 1;
        return;
    }
    if (points + commas == 0) {
        return;
    }
    const char mark = points > 0 ? '.' : ',';
    if (points + commas > 1) {
        // Repeated, it groups thousands, so the other one parts the cents.
        if (groupsOfThree(span, mark)) {
            (mark == '.' ? votes.comma : votes.point) += 1;
        }
        return;
    }
    const qsizetype at = mark == '.' ? lastPoint : lastComma;
    if (span.size() - at - 1 != 3) {
        (mark == '.' ? votes.point : votes.comma) += 1;
    }
}

DecimalMark decimalMarkOf(const MarkVotes& votes) {
    return votes.comma > votes.point ? DecimalMark::Comma : DecimalMark::Point;
}

QString amountForSheet(const QString& stored) {
    const std::optional<double> value = app::parseNumber(stored);
    if (!value) {
        return stored;
    }
    if (stored.contains(u'e', Qt::CaseInsensitive)) {
        // As few decimals as give the same number back, at least two.
        QString plain;
        for (int decimals = 2; decimals <= 17; ++decimals) {
            plain = QString::number(*value, 'f', decimals);
            if (plain.toDouble() == *value) {
                break;
            }
        }
        return plain;
    }
    // The digits as typed: a double would change a long number's last ones.
    Digits d;
    d.negative = *value < 0;
    bool inCents = false;
    for (const QChar c : stored) {
        if (isDigit(c)) {
            (inCents ? d.cents : d.whole) += c;
        } else if (c == u'.') {
            inCents = true;
        }
    }
    QString text = currencyText(d);
    // "$1,250.00" becomes "1250.00", "($5.00)" "-5.00".
    text.remove(u'$').remove(u',');
    if (text.startsWith(u'(')) {
        text = u'-' + text.mid(1, text.size() - 2);
    }
    return text;
}

bool appendPlainAmount(QByteArray& out, QByteArrayView stored) {
    QByteArrayView s = stored.trimmed();
    bool negative = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        negative = true;
        s = s.sliced(1, s.size() - 2);
    } else if (!s.isEmpty() && s.front() == '-') {
        negative = true;
        s = s.sliced(1);
    }
    if (!s.isEmpty() && s.front() == '$') {
        s = s.sliced(1);
    }
    const qsizetype point = s.indexOf('.');
    const QByteArrayView whole = point < 0 ? s : s.first(point);
    const QByteArrayView cents = point < 0 ? QByteArrayView() : s.sliced(point + 1);
    if (whole.isEmpty() || (point >= 0 && cents.isEmpty())) {
        return false;
    }
    for (qsizetype i = 0; i < whole.size(); ++i) {
        const bool grouping = whole[i] == ',' && i > 0 && i + 1 < whole.size() &&
                              isDigit(whole[i - 1]) && isDigit(whole[i + 1]);
        if (!isDigit(whole[i]) && !grouping) {
            return false;
        }
    }
    if (!std::all_of(cents.begin(), cents.end(), [](char c) { return isDigit(c); })) {
        return false;
    }
    const qsizetype start = out.size();
    for (const char c : whole) {
        if (c != ',' && (c != '0' || out.size() > start)) {
            out += c;
        }
    }
    const bool zero = out.size() == start &&
                      std::all_of(cents.begin(), cents.end(), [](char c) { return c == '0'; });
    if (out.size() == start) {
        out += '0';
    }
    out += '.';
    out += cents;
    for (qsizetype n = cents.size(); n < 2; ++n) {
        out += '0';
    }
    if (negative && !zero) {
        out.insert(start, '-');
    }
    return true;
}

std::optional<QString> amountForStore(QStringView text, DecimalMark mark) {
    QStringView s = text.trimmed();
    bool negative = false;
    if (s.size() >= 2 && s.startsWith(u'(') && s.endsWith(u')')) {
        negative = true;
        s = s.sliced(1, s.size() - 2).trimmed();
    }
    for (int pass = 0; pass < 2; ++pass) {
        if (!stripEdges(s)) {
            return std::nullopt;
        }
        // The sign may stand before or after the currency sign: "-$5", "$-5", "5-".
        if (!s.isEmpty() &&
            (s.front() == u'-' || s.front() == u'+' || s.front() == QChar(0x2212))) {
            negative = negative || s.front() != u'+';
            s = s.sliced(1).trimmed();
        } else if (!s.isEmpty() && s.back() == u'-') {
            negative = true;
            s = s.chopped(1).trimmed();
        }
    }
    std::optional<Digits> d = readDigits(s, mark);
    if (!d) {
        return std::nullopt;
    }
    d->negative = negative;
    return currencyText(*d);
}

} // namespace exchange
