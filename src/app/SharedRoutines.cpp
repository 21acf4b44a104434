#include "app/SharedRoutines.h"

#include "app/Constants.h"
#include "app/ErrorLog.h"
#include "app/ProgramFolder.h"
#include "app/Win1252.h"
#include "platform/Platform.h"

namespace app {
namespace {
bool isKept(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
           u == u'&' || u == u'=';
}

// Without it a Help entry or the report seems to do nothing; the address lets
// the user open the page by hand.
void tellNoBrowserStarted(const QString& address) {
    const bool web = address.startsWith(QStringLiteral("http"), Qt::CaseInsensitive);
    const QString text =
        web ? QStringLiteral("Corvantheil could not start a web browser to show this address. "
                             "You can open it in a web browser by hand:\n\n%1")
                  .arg(address)
            : QStringLiteral("Corvantheil could not start a web browser to show this page. "
                             "You can open it by hand:\n\n%1")
                  .arg(nativePath(address));
    platform::messageBoxes().show(
        {text, kTitle, platform::Buttons::Ok, platform::Icon::Warning, 1});
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
    guard.step([&] {
        accepted = platform::shell().open(address, [address] { tellNoBrowserStarted(address); });
    });
    if (!accepted) {
        guard.step([&] { tellNoBrowserStarted(address); });
    }
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
