#include "app/RegionalFormats.h"

#include "app/ErrorLog.h"

#include <QLocale>
#include <QVarLengthArray>
#include <charconv>
#include <cmath>
#include <limits>

namespace app {
namespace {

const QLocale& us() {
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

QString grouped2(double magnitude) {
    return us().toString(magnitude, 'f', 2);
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The digits, point and exponent of a plain decimal number, "," grouping allowed
// between digits of the integer part. Read without a heap string: the home page
// converts one amount per item it scans.
std::optional<double> parseUnsigned(QStringView s) {
    QVarLengthArray<char, 64> plain;
    bool seenDigit = false;
    bool inFraction = false;
    bool inExponent = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (isDigit(c)) {
            seenDigit = true;
            plain.append(static_cast<char>(c.unicode()));
        } else if (c == u',' && !inFraction && !inExponent && seenDigit && i + 1 < s.size() &&
                   isDigit(s[i + 1])) {
            continue;
        } else if (c == u'.' && !inFraction && !inExponent) {
            inFraction = true;
            plain.append(static_cast<char>(c.unicode()));
        } else if ((c == u'e' || c == u'E') && seenDigit && !inExponent) {
            inExponent = true;
            plain.append(static_cast<char>(c.unicode()));
            if (i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-')) {
                plain.append(static_cast<char>(s[++i].unicode()));
            }
            if (i + 1 >= s.size() || !isDigit(s[i + 1])) {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit) {
        return std::nullopt;
    }
    double v = 0;
    const char* end = plain.data() + plain.size();
    const std::from_chars_result r = std::from_chars(plain.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

} // namespace

QString formatCurrency(double value) {
    const double rounded = std::round(value * 100.0) / 100.0;
    if (rounded < 0) {
        return QStringLiteral("($") + grouped2(-rounded) + u')';
    }
    return u'$' + grouped2(rounded);
}

QString formatPercent(double value) {
    double scaled = std::round(value * 10000.0) / 100.0;
    if (scaled == 0) {
        scaled = 0; // no "-0.00%"
    }
    return grouped2(scaled) + u'%';
}

QString formatGeneralDate(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    QString text = QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0) {
        return text;
    }
    const int hour12 = t.hour() % 12 == 0 ? 12 : t.hour() % 12;
    return text + QStringLiteral(" %1:%2:%3 %4")
                      .arg(hour12)
                      .arg(t.minute(), 2, 10, QLatin1Char('0'))
                      .arg(t.second(), 2, 10, QLatin1Char('0'))
                      .arg(t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}

QString formatGeneralNumber(double value) {
    if (value == 0) {
        return QStringLiteral("0");
    }
    return QString::number(value, 'g', 15);
}

std::optional<double> parseNumber(const QString& text) {
    QStringView s = QStringView(text).trimmed();
    bool negative = false;
    if (s.startsWith(u'(') && s.endsWith(u')')) {
        negative = true;
        s = s.mid(1, s.size() - 2).trimmed();
    }
    if (!negative && (s.startsWith(u'-') || s.startsWith(u'+'))) {
        negative = s.startsWith(u'-');
        s = s.mid(1).trimmed();
    }
    if (s.startsWith(u'$')) {
        s = s.mid(1).trimmed();
    }
    if (!negative && (s.startsWith(u'-') || s.startsWith(u'+'))) {
        negative = s.startsWith(u'-');
        s = s.mid(1);
    }
    const std::optional<double> magnitude = parseUnsigned(s);
    if (!magnitude) {
        return std::nullopt;
    }
    return negative ? -*magnitude : *magnitude;
}

std::optional<qint32> roundToLong(double value) {
    const double r = std::nearbyint(value); // the default rounding mode: half to even
    if (!std::isfinite(r) || r < std::numeric_limits<qint32>::min() ||
        r > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return static_cast<qint32>(r);
}

std::optional<qint32> toLong(const QString& text) {
    const std::optional<double> v = parseNumber(text);
    return v ? roundToLong(*v) : std::nullopt;
}

qint32 cLng(const QString& text) {
    const std::optional<double> v = parseNumber(text);
    if (!v) {
        raise(kTypeMismatch);
    }
    const std::optional<qint32> r = roundToLong(*v);
    if (!r) {
        raise(kOverflow);
    }
    return *r;
}

} // namespace app
