#pragma once

#include <QString>

class QFrame;
class QWidget;

// The Online Features panel (frameOnlineStuff, with lblBigDescription element
// 3) and its five web look-ups. The buttons read the window's boxes at the
// moment of the click, so unsaved edits are included.
QFrame* buildOnlineFeaturesPanel(QWidget* picScrollable, QWidget* window);

// SiteAddress + "/clientlink.php?linktype=" + link type + the encoded tail of
// year, country, coin type, mint mark and grade.
QString webLinkAddress(const QString& sLinkType, const QString& year, const QString& country,
                       const QString& coinType, const QString& mintMark, const QString& grade);

// Reads txtYear, txtCountry, cmbCoinType, cmbMintMark and cmbGrade of the
// window and hands the address to the browser.
void openWebLinkForThisItem(QWidget* window, const QString& sLinkType);
