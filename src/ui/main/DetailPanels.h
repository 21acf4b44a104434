#pragma once

class QFrame;
class QWidget;

// The Detailed Information panel (frameDetailedInfo, with lblBigDescription
// element 0 and every detail, Financial Information, Coin Details and Other
// field box) and the Comments & Notes panel (frameComments, with
// lblBigDescription element 2 and the three notes boxes).
QFrame* buildDetailedInfoPanel(QWidget* picScrollable);
QFrame* buildCommentsPanel(QWidget* picScrollable);
