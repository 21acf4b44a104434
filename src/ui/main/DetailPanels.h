#pragma once

class ItemEditor;
class QFrame;
class QWidget;

// The Detailed Information panel (frameDetailedInfo, with lblBigDescription
// element 0 and every detail, Financial Information, Coin Details and Other
// field box) and the Comments & Notes panel (frameComments, with
// lblBigDescription element 2 and the three notes boxes). The boxes are the
// editor's; the panels place them.
QFrame* buildDetailedInfoPanel(QWidget* picScrollable, const ItemEditor& editor);
QFrame* buildCommentsPanel(QWidget* picScrollable, const ItemEditor& editor);
