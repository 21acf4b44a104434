#pragma once

#include <QString>

namespace app {

// Hands an address or a local document to the shell's "open" action. A target
// that neither begins with "http" nor contains "_re" (the program's own
// "_reports" and "_reference" documents) gets "http://" in front. When no browser
// starts, now or soon after, one message box names the address or the page's path.
bool launchBrowser(const QString& target);

// Keeps A-Z, a-z, 0-9, "&" and "="; every other character becomes "%" and the
// two upper-case hex digits of its Windows-1252 byte.
QString urlEncode(const QString& text);

} // namespace app
