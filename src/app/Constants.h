#pragma once

#include <QString>

// Build-time constants of the program. The ".example" names point at no real party.
namespace app {

inline const QString kTitle = QStringLiteral("Corvantheil");
inline const QString kExecutableName = QStringLiteral("corvantheil");
constexpr int kVersionMajor = CORVANTHEIL_VERSION_MAJOR;
constexpr int kVersionMinor = CORVANTHEIL_VERSION_MINOR;
constexpr int kVersionRevision = CORVANTHEIL_VERSION_PATCH;

inline const QString SiteAddress = QStringLiteral("http://www.corvantheil.example");
inline const QString SiteDomain = QStringLiteral("corvantheil.example");
inline const QString kPartnerDomain = QStringLiteral("zentavio.example");
inline const QString kNewsletterAddress = QStringLiteral("newsletter@corvantheil.example");

// "2.29.8": each number plain decimal, no leading zeros.
inline QString versionText() {
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

// "Corvantheil v2.29.8"
inline QString captionText() {
    return kTitle + QStringLiteral(" v") + versionText();
}

} // namespace app
