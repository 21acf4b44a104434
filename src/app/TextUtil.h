#pragma once

#include <QString>
#include <QStringView>

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
    for (QChar c : s) {
        if (c != u' ') {
            return false;
        }
    }
    return true;
}

} // namespace app
