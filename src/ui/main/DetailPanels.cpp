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
enum class Kind { Text, ReadOnlyText };

struct Field {
    QString name;
    QString caption;
    Column column;
    Kind kind = Kind::Text;
};

// Returns the group's boxes in tab order: down the left column, then down the
// right one. Groups side by side get the same bandRows so their frames end alike.
std::vector<QWidget*> buildGroup(const ItemEditor& editor, QWidget* panel, const QString& title,
                                 double top, double left, double width, int bandRows,
                                 const std::vector<Field>& fields) {
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
        for (const Field& f : fields) {
            if (f.column != column) {
                continue;
            }
            const double y = kFirstRowTop + row * kRowPitch;
            const QString& name = f.name;
            QWidget* box = editor.box(name);
            box->setParent(group);
            box->show();
            if (f.kind == Kind::ReadOnlyText) {
                auto* edit = static_cast<QLineEdit*>(box);
                edit->setReadOnly(true);
                // A tinted background tells the user the program fills it.
                QPalette p = edit->palette();
                p.setColor(QPalette::Base, QColor(0xF2, 0xF2, 0xF2));
                edit->setPalette(p);
            }
            box->setFont(plain);
            placeTwips(box, fieldLeft - left, y, fieldRight - fieldLeft, kRowHeight);

            auto* label = new QLabel(f.caption, group);
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
    append(buildGroup(editor, panel, QStringLiteral("Coin"), top, kContentLeft, kLeftGroupWidth, 7,
                      {{"txtDescription", "Description", Column::Left},
                       {"txtYear", "Year", Column::Left},
                       {"txtCountry", "Country", Column::Left},
                       {"cmbCoinType", "Coin Type", Column::Left},
                       {"cmbMintMark", "Mint Mark", Column::Left},
                       {"cmbGrade", "Grade", Column::Left},
                       {"txtItemNumber", "Item #", Column::Left}}));
    append(buildGroup(
        editor, panel, QStringLiteral("Financial Information"), top, kRightGroupLeft, rightWidth, 7,
        {{"txtCurrentValue", "Current Value", Column::Right},
         {"txtPurchasePrice", "Purchase Price", Column::Right},
         {"txtFinancialChangeInValue", "Change in Value", Column::Right, Kind::ReadOnlyText},
         {"txtLastAppraisal", "Last Appraisal", Column::Right},
         {"txtDateAcquired", "Date Acquired", Column::Right},
         {"txtValuationSource", "Valuation Source", Column::Right}}));

    top += groupHeight(7) + kGroupGap;
    std::vector<Field> details;
    for (const auto& [prefix, caption, column] :
         {std::tuple{"txtDetail", "Detail ", Column::Left},
          std::tuple{"txtMiscDetail", "Misc Detail ", Column::Right}}) {
        for (int n = 1; n <= 5; ++n) {
            details.push_back({QLatin1StringView(prefix) + QString::number(n),
                               QLatin1StringView(caption) + QString::number(n), column});
        }
    }
    append(buildGroup(editor, panel, QStringLiteral("Coin Details"), top, kContentLeft, fullWidth,
                      5, details));

    top += groupHeight(5) + kGroupGap;
    append(buildGroup(
        editor, panel, QStringLiteral("Other"), top, kContentLeft, fullWidth, 4,
        {{"txtCategory", "Category", Column::Left},
         {"txtCatalogNumber", "Catalog #", Column::Left},
         {"txtRelatedItems", "Related Items", Column::Left},
         {"txtPackagingType", "Packaging Type", Column::Right},
         {"txtPackagingCondition", "Package Condition", Column::Right},
         {"txtBoxNumber", "Box #", Column::Right},
         {"txtRecordLastUpdated", "Record Last Updated", Column::Right, Kind::ReadOnlyText}}));

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
    const struct {
        const char* name;
        const char* caption;
    } boxes[] = {{"txtMiscNotes", "Notes"},
                 {"txtMiscNotes2", "More Notes"},
                 {"txtMiscNotes3", "Further Notes"}};

    double top = kBandTop;
    QWidget* previous = nullptr;
    for (const auto& b : boxes) {
        QWidget* notes = editor.box(QString::fromLatin1(b.name));
        notes->setParent(panel);
        notes->show();
        placeTwips(notes, kContentLeft, top + kLabelHeight, kContentRight - kContentLeft,
                   kBoxHeight);

        auto* label = new QLabel(QString::fromLatin1(b.caption), panel);
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
