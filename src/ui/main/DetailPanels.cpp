#include "ui/main/DetailPanels.h"

#include "store/AttributeLists.h"
#include "ui/common/Controls.h"
#include "ui/common/Twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>

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
enum class Kind { Text, ReadOnlyText, Choice };

struct Field {
    const char* name;
    const char* caption;
    Column column;
    Kind kind = Kind::Text;
};

// Long coin types do not fit the box: the chosen entry is shown with an
// ellipsis instead of cut mid-letter, and the open list is as wide as its
// longest entry whatever the style would make of it.
class AttributeComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override {
        const int scroll = view()->verticalScrollBar()->sizeHint().width();
        view()->setMinimumWidth(view()->sizeHintForColumn(0) + scroll + 2 * view()->frameWidth());
        QComboBox::showPopup();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        p.setPen(palette().color(QPalette::Text));
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        const QRect field =
            style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        opt.currentText =
            fontMetrics().elidedText(opt.currentText, Qt::ElideRight, field.width() - 2);
        p.drawControl(QStyle::CE_ComboBoxLabel, opt);
    }
};

QComboBox* newChoiceBox(const QStringList& rows, QWidget* parent) {
    auto* box = new AttributeComboBox(parent);
    box->addItems(rows);
    box->setCurrentIndex(-1);
    // The box may be narrower than its longest entry; the tip shows it whole.
    QObject::connect(box, &QComboBox::currentTextChanged, box,
                     [box](const QString& text) { box->setToolTip(text); });
    return box;
}

const QStringList& choiceRows(const QString& name) {
    if (name == QLatin1String("cmbCoinType")) {
        return store::coinTypeList();
    }
    if (name == QLatin1String("cmbMintMark")) {
        return store::mintMarkList();
    }
    return store::gradeList();
}

// Returns the group's boxes in tab order: down the left column, then down the
// right one. Groups side by side get the same bandRows so their frames end alike.
std::vector<QWidget*> buildGroup(QWidget* panel, const QString& title, double top, double left,
                                 double width, int bandRows, const std::vector<Field>& fields) {
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
            const QString name = QString::fromLatin1(f.name);
            QWidget* box = nullptr;
            if (f.kind == Kind::Choice) {
                box = newChoiceBox(choiceRows(name), group);
            } else {
                auto* edit = new QLineEdit(group);
                if (f.kind == Kind::ReadOnlyText) {
                    edit->setReadOnly(true);
                    // A tinted background tells the user the program fills it.
                    QPalette p = edit->palette();
                    p.setColor(QPalette::Base, QColor(0xF2, 0xF2, 0xF2));
                    edit->setPalette(p);
                }
                box = edit;
            }
            ui::named(box, name);
            box->setFont(plain);
            placeTwips(box, fieldLeft - left, y, fieldRight - fieldLeft, kRowHeight);

            auto* label = new QLabel(QString::fromLatin1(f.caption), group);
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

QFrame* buildDetailedInfoPanel(QWidget* picScrollable) {
    QFrame* panel = newPanel(picScrollable, QStringLiteral("frameDetailedInfo"), 9330);
    ui::makePanelTitle(panel, 0, QStringLiteral("Detailed Information"), ui::kTitleTeal);

    const double rightWidth = kContentRight - kRightGroupLeft;
    const double fullWidth = kContentRight - kContentLeft;
    std::vector<QWidget*> order;
    auto append = [&order](std::vector<QWidget*> boxes) {
        order.insert(order.end(), boxes.begin(), boxes.end());
    };

    double top = kBandTop;
    append(buildGroup(panel, QStringLiteral("Coin"), top, kContentLeft, kLeftGroupWidth, 7,
                      {{"txtDescription", "Description", Column::Left},
                       {"txtYear", "Year", Column::Left},
                       {"txtCountry", "Country", Column::Left},
                       {"cmbCoinType", "Coin Type", Column::Left, Kind::Choice},
                       {"cmbMintMark", "Mint Mark", Column::Left, Kind::Choice},
                       {"cmbGrade", "Grade", Column::Left, Kind::Choice},
                       {"txtItemNumber", "Item #", Column::Left}}));
    append(buildGroup(
        panel, QStringLiteral("Financial Information"), top, kRightGroupLeft, rightWidth, 7,
        {{"txtCurrentValue", "Current Value", Column::Right},
         {"txtPurchasePrice", "Purchase Price", Column::Right},
         {"txtFinancialChangeInValue", "Change in Value", Column::Right, Kind::ReadOnlyText},
         {"txtLastAppraisal", "Last Appraisal", Column::Right},
         {"txtDateAcquired", "Date Acquired", Column::Right},
         {"txtValuationSource", "Valuation Source", Column::Right}}));

    top += groupHeight(7) + kGroupGap;
    std::vector<Field> details;
    for (int n = 1; n <= 5; ++n) {
        static const char* const names[] = {"txtDetail1", "txtDetail2", "txtDetail3", "txtDetail4",
                                            "txtDetail5"};
        static const char* const captions[] = {"Detail 1", "Detail 2", "Detail 3", "Detail 4",
                                               "Detail 5"};
        details.push_back({names[n - 1], captions[n - 1], Column::Left});
    }
    for (int n = 1; n <= 5; ++n) {
        static const char* const names[] = {"txtMiscDetail1", "txtMiscDetail2", "txtMiscDetail3",
                                            "txtMiscDetail4", "txtMiscDetail5"};
        static const char* const captions[] = {"Misc Detail 1", "Misc Detail 2", "Misc Detail 3",
                                               "Misc Detail 4", "Misc Detail 5"};
        details.push_back({names[n - 1], captions[n - 1], Column::Right});
    }
    append(buildGroup(panel, QStringLiteral("Coin Details"), top, kContentLeft, fullWidth, 5,
                      details));

    top += groupHeight(5) + kGroupGap;
    append(buildGroup(
        panel, QStringLiteral("Other"), top, kContentLeft, fullWidth, 4,
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

QFrame* buildCommentsPanel(QWidget* picScrollable) {
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
        auto* notes = ui::named(new QPlainTextEdit(panel), QString::fromLatin1(b.name));
        // Tab moves to the next box, as everywhere else in the window.
        notes->setTabChangesFocus(true);
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
