#include "app/SharedRoutines.h"

#include "app/ErrorLog.h"
#include "app/Win1252.h"
#include "platform/Platform.h"

namespace app {
namespace {
bool isKept(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
           u == u'&' || u == u'=';
}
} // namespace

bool launchBrowser(const QString& target) {
    Guard guard;
    QString address = target;
    bool accepted = false;
    guard.step([&] {
        if (!address.startsWith(QStringLiteral("http"), Qt::CaseInsensitive) &&
            !address.contains(QStringLiteral("_re"), Qt::CaseInsensitive)) {
            address.prepend(QStringLiteral("http://"));
        }
    });
    guard.step([&] { accepted = platform::shell().open(address); });
    return accepted;
}

QString urlEncode(const QString& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size() * 3);
    for (QChar c : text) {
        if (isKept(c)) {
            out += c;
        } else {
            const unsigned char b = win1252Byte(c);
            out += u'%';
            out += QChar(kHex[b >> 4]);
            out += QChar(kHex[b & 0xF]);
        }
    }
    return out;
}

} // namespace app
