#include "ui/main/DetailPanels.h"

#include "ui/common/Controls.h"
#include "ui/common/Twips.h"
#include "ui/edit/ItemEditor.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <vector>

namespace {

using ui::placeTwips;

// Horizontal grid shared by every group, so that the fields of all groups
// line up in two columns.
constexpr double kContentLeft = 270;
constexpr double kContentRight = 10425; // the title label's right edge
constexpr double kGroupGap = 120;
constexpr double kLeftGroupWidth = 5685;
constexpr double kRightGroupLeft = kContentLeft + kLeftGroupWidth + kGroupGap;
constexpr double kPadding = 150;
constexpr double kLeftLabelLeft = kContentLeft + kPadding;
constexpr double kLeftLabelWidth = 1200;
constexpr double kRightLabelLeft = kRightGroupLeft + kPadding;
constexpr double kRightLabelWidth = 1740;
constexpr double kLabelGap = 90;

// Vertical grid inside a group.
constexpr double kFirstRowTop = 315; // below the group's title
constexpr double kRowHeight = 330;
constexpr double kRowPitch = 390;
constexpr double kGroupBottomPadding = 150;
constexpr double kBandTop = 1440;

constexpr double groupHeight(int rows) {
    return kFirstRowTop + rows * kRowPitch - (kRowPitch - kRowHeight) + kGroupBottomPadding;
}

enum class Column { Left, Right };

using store::Field;

// A field's place in its group; its caption and kind come from the field table.
struct Place {
    Field field;
    Column column;
};

// Returns the group's boxes in tab order: down the left column, then down the
// right one. Groups side by side get the same bandRows so their frames end alike.
std::vector<QWidget*> buildGroup(const ItemEditor& editor, QWidget* panel, const QString& title,
                                 double top, double left, double width, int bandRows,
                                 const std::vector<Place>& fields) {
    auto* group = new QGroupBox(title, panel);
    placeTwips(group, left, top, width, groupHeight(bandRows));
    QFont titleFont;
    titleFont.setBold(true);
    group->setFont(titleFont);
    QPalette titleColour = group->palette();
    titleColour.setColor(QPalette::WindowText, ui::kNavy);
    group->setPalette(titleColour);

    // Only the group's title is bold and navy; its boxes keep the window's look.
    QFont plain;
    plain.setBold(false);
    std::vector<QWidget*> order;
    for (Column column : {Column::Left, Column::Right}) {
        const double labelLeft = column == Column::Left ? kLeftLabelLeft : kRightLabelLeft;
        const double labelWidth = column == Column::Left ? kLeftLabelWidth : kRightLabelWidth;
        const double fieldLeft = labelLeft + labelWidth + kLabelGap;
        const double fieldRight = column == Column::Left ? kRightGroupLeft - kGroupGap - kPadding
                                                         : kContentRight - kPadding;
        int row = 0;
        for (const Place& f : fields) {
            if (f.column != column) {
                continue;
            }
            const double y = kFirstRowTop + row * kRowPitch;
            const store::FieldInfo& info = store::fieldInfo(f.field);
            QWidget* box = editor.box(f.field);
            box->setParent(group);
            box->show();
            if (info.kind == store::FieldKind::Computed) {
                auto* edit = static_cast<QLineEdit*>(box);
                edit->setReadOnly(true);
                // A tinted background tells the user the program fills it.
                QPalette p = edit->palette();
                p.setColor(QPalette::Base, QColor(0xF2, 0xF2, 0xF2));
                edit->setPalette(p);
            }
            box->setFont(plain);
            placeTwips(box, fieldLeft - left, y, fieldRight - fieldLeft, kRowHeight);

            auto* label = new QLabel(QString(info.caption), group);
            label->setBuddy(box);
            label->setFont(plain);
            ui::setTextColour(label, Qt::black);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            placeTwips(label, labelLeft - left, y, labelWidth, kRowHeight);

            order.push_back(box);
            ++row;
        }
    }
    return order;
}

QFrame* newPanel(QWidget* picScrollable, const QString& name, double height) {
    auto* frame = ui::named(new QFrame(picScrollable), name);
    frame->setFrameShape(QFrame::NoFrame);
    placeTwips(frame, 0, 0, 10692, height);
    ui::setBackground(frame, ui::kWhite);
    frame->hide();
    return frame;
}

} // namespace

QFrame* buildDetailedInfoPanel(QWidget* picScrollable, const ItemEditor& editor) {
    QFrame* panel = newPanel(picScrollable, QStringLiteral("frameDetailedInfo"), 9330);
    ui::makePanelTitle(panel, 0, QStringLiteral("Detailed Information"), ui::kTitleTeal);

    const double rightWidth = kContentRight - kRightGroupLeft;
    const double fullWidth = kContentRight - kContentLeft;
    std::vector<QWidget*> order;
    auto append = [&order](std::vector<QWidget*> boxes) {
        order.insert(order.end(), boxes.begin(), boxes.end());
    };

    double top = kBandTop;
    const Column left = Column::Left;
    const Column right = Column::Right;
    append(buildGroup(editor, panel, QStringLiteral("Coin"), top, kContentLeft, kLeftGroupWidth, 7,
                      {{Field::Description, left},
                       {Field::Year, left},
                       {Field::Country, left},
                       {Field::CoinType, left},
                       {Field::MintMark, left},
                       {Field::Grade, left},
                       {Field::ItemNumber, left}}));
    append(buildGroup(editor, panel, QStringLiteral("Financial Information"), top, kRightGroupLeft,
                      rightWidth, 7,
                      {{Field::CurrentValue, right},
                       {Field::PurchasePrice, right},
                       {Field::ChangeInValue, right},
                       {Field::LastAppraisal, right},
                       {Field::DateAcquired, right},
                       {Field::ValuationSource, right}}));

    top += groupHeight(7) + kGroupGap;
    append(buildGroup(editor, panel, QStringLiteral("Coin Details"), top, kContentLeft, fullWidth,
                      5,
                      {{Field::Detail1, left},
                       {Field::Detail2, left},
                       {Field::Detail3, left},
                       {Field::Detail4, left},
                       {Field::Detail5, left},
                       {Field::MiscDetail1, right},
                       {Field::MiscDetail2, right},
                       {Field::MiscDetail3, right},
                       {Field::MiscDetail4, right},
                       {Field::MiscDetail5, right}}));

    top += groupHeight(5) + kGroupGap;
    append(buildGroup(editor, panel, QStringLiteral("Other"), top, kContentLeft, fullWidth, 4,
                      {{Field::Category, left},
                       {Field::CatalogNumber, left},
                       {Field::RelatedItems, left},
                       {Field::PackagingType, right},
                       {Field::PackagingCondition, right},
                       {Field::BoxNumber, right},
                       {Field::RecordLastUpdated, right}}));

    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
    return panel;
}

QFrame* buildCommentsPanel(QWidget* picScrollable, const ItemEditor& editor) {
    QFrame* panel = newPanel(picScrollable, QStringLiteral("frameComments"), 8850);
    ui::makePanelTitle(panel, 2, QStringLiteral("Comments & Notes"), ui::kWhite);

    constexpr double kLabelHeight = 270;
    constexpr double kBoxHeight = 2010;
    constexpr double kSectionGap = 180;
    double top = kBandTop;
    QWidget* previous = nullptr;
    for (const Field field : {Field::MiscNotes, Field::MiscNotes2, Field::MiscNotes3}) {
        QWidget* notes = editor.box(field);
        notes->setParent(panel);
        notes->show();
        placeTwips(notes, kContentLeft, top + kLabelHeight, kContentRight - kContentLeft,
                   kBoxHeight);

        auto* label = new QLabel(QString(store::fieldInfo(field).caption), panel);
        label->setBuddy(notes);
        QFont f;
        f.setBold(true);
        label->setFont(f);
        ui::setTextColour(label, ui::kNavy);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        placeTwips(label, kContentLeft, top, kContentRight - kContentLeft, kLabelHeight);

        if (previous != nullptr) {
            QWidget::setTabOrder(previous, notes);
        }
        previous = notes;
        top += kLabelHeight + kBoxHeight + kSectionGap;
    }
    return panel;
}
