#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>

namespace app {

// Removes leading and trailing blanks (spaces only; line breaks and tabs stay).
inline QString trimBlanks(QStringView s) {
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ') {
        ++b;
    }
    while (e > b && s[e - 1] == u' ') {
        --e;
    }
    return s.mid(b, e - b).toString();
}

inline bool isBlankText(QStringView s) {
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c == u' '; });
}

} // namespace app
