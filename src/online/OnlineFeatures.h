#pragma once

#include <QString>

class ItemEditor;
class QFrame;
class QWidget;

// The Online Features panel (frameOnlineStuff, with lblBigDescription element
// 3) and its five web look-ups. The buttons read the editor's boxes at the
// moment of the click, so unsaved edits are included.
QFrame* buildOnlineFeaturesPanel(QWidget* picScrollable, const ItemEditor& editor);

// SiteAddress + "/clientlink.php?linktype=" + link type + the encoded tail of
// year, country, coin type, mint mark and grade.
QString webLinkAddress(const QString& linkType, const QString& year, const QString& country,
                       const QString& coinType, const QString& mintMark, const QString& grade);

// Reads txtYear, txtCountry, cmbCoinType, cmbMintMark and cmbGrade as shown
// and hands the address to the browser.
void openWebLinkForThisItem(const ItemEditor& editor, const QString& linkType);
