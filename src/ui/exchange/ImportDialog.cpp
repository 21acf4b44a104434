#include "ui/exchange/ImportDialog.h"

#include "exchange/CoinImport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

using exchange::ColumnTarget;

constexpr int kPreviewRows = 20;
constexpr qsizetype kShownRemarks = 1000;

QString count(qsizetype n, const char* one, const char* many) {
    static const QLocale us(QLocale::English, QLocale::UnitedStates);
    return us.toString(static_cast<qlonglong>(n)) + u' ' + QString::fromLatin1(n == 1 ? one : many);
}

QString targetCaption(const ColumnTarget& t) {
    switch (t.kind) {
    case ColumnTarget::Kind::Skip:
        return QStringLiteral("(skip this column)");
    case ColumnTarget::Kind::NoteLine:
        return QStringLiteral("(a line of the Notes)");
    case ColumnTarget::Kind::Pictures:
        return exchange::picturesCaption();
    case ColumnTarget::Kind::OtherFields:
        return exchange::otherFieldsCaption();
    case ColumnTarget::Kind::Field:
        break;
    }
    return {store::fieldInfo(t.field).caption};
}

QString encodingText(const exchange::CsvSheet& sheet) {
    switch (sheet.encoding()) {
    case exchange::SheetEncoding::Utf16:
        return QStringLiteral("UTF-16");
    case exchange::SheetEncoding::Windows1252:
        return QStringLiteral("Windows-1252 (Western European)");
    case exchange::SheetEncoding::Utf8:
        break;
    }
    return QStringLiteral("UTF-8");
}

QString separatorText(char separator) {
    switch (separator) {
    case ';':
        return QStringLiteral("semicolons");
    case '\t':
        return QStringLiteral("tabs");
    case ',':
        return QStringLiteral("commas");
    default:
        return QStringLiteral("\"%1\"").arg(QChar::fromLatin1(separator));
    }
}

// A value on one line, cut where a table cell could not show more anyway.
QString oneLine(QString text) {
    constexpr qsizetype kLongest = 300;
    if (text.size() > kLongest) {
        text = text.left(kLongest) + QStringLiteral("...");
    }
    return text.replace(u'\n', QStringLiteral(" / "));
}

} // namespace

const std::vector<ColumnTarget>& ImportDialog::targetChoices() {
    static const std::vector<ColumnTarget> choices = [] {
        std::vector<ColumnTarget> all = {{ColumnTarget::Kind::Skip},
                                         {ColumnTarget::Kind::NoteLine}};
        for (store::Field f : exchange::fieldsInWindowOrder()) {
            all.push_back(ColumnTarget::of(f));
        }
        all.push_back({ColumnTarget::Kind::Pictures});
        all.push_back({ColumnTarget::Kind::OtherFields});
        return all;
    }();
    return choices;
}

ImportDialog::ImportDialog(QWidget* owner, exchange::ImportPlan& plan, const QString& fileName,
                           qsizetype coinsBefore)
    : QDialog(owner), m_plan(plan), m_fileName(fileName), m_coinsBefore(coinsBefore),
      m_summary(new QLabel(this)),
      m_columns(new QTableWidget(static_cast<int>(plan.columnCount()), 3, this)) {
    setObjectName(QStringLiteral("frmImportCoins"));
    setWindowTitle(QStringLiteral("Import Coins"));
    auto* layout = new QVBoxLayout(this);

    m_summary->setObjectName(QStringLiteral("lblImportSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_summary);

    layout->addWidget(
        new QLabel(QStringLiteral("<b>What each column of the file goes into</b>"), this));
    m_columns->setObjectName(QStringLiteral("tblImportColumns"));
    m_columns->setHorizontalHeaderLabels({QStringLiteral("Column in the file"),
                                          QStringLiteral("Goes into"),
                                          QStringLiteral("First value")});
    m_columns->verticalHeader()->hide();
    m_columns->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_columns->setSelectionMode(QAbstractItemView::NoSelection);
    const QStringList first =
        plan.sheet().rows().empty() ? QStringList() : plan.sheet().values(plan.sheet().rows()[0]);
    for (int c = 0; c < plan.columnCount(); ++c) {
        m_columns->setItem(c, 0, new QTableWidgetItem(plan.columnName(c)));
        auto* box = new QComboBox(m_columns);
        box->setObjectName(QStringLiteral("cmbImportTarget"));
        box->setProperty("index", c + 1);
        for (const ColumnTarget& t : targetChoices()) {
            box->addItem(targetCaption(t));
        }
        m_columns->setCellWidget(c, 1, box);
        m_targets.push_back(box);
        m_columns->setItem(c, 2, new QTableWidgetItem(oneLine(first.value(c))));
        connect(box, &QComboBox::activated, this, [this, c](int choice) {
            m_plan.setTarget(c, targetChoices()[static_cast<std::size_t>(choice)]);
            refresh();
        });
    }
    m_columns->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_columns->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_columns->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_columns, 2);

    auto* marks = new QHBoxLayout;
    auto* markLabel = new QLabel(QStringLiteral("&Amounts are written as"), this);
    m_decimalMark = new QComboBox(this);
    m_decimalMark->setObjectName(QStringLiteral("cmbDecimalMark"));
    m_decimalMark->addItems({QStringLiteral("1,250.00 (a decimal point)"),
                             QStringLiteral("1.250,00 (a decimal comma)")});
    markLabel->setBuddy(m_decimalMark);
    m_markNote = new QLabel(this);
    m_markNote->setObjectName(QStringLiteral("lblDecimalMark"));
    marks->addWidget(markLabel);
    marks->addWidget(m_decimalMark);
    marks->addWidget(m_markNote, 1);
    layout->addLayout(marks);
    connect(m_decimalMark, &QComboBox::activated, this, [this](int choice) {
        m_plan.setDecimalMark(choice == 0 ? exchange::DecimalMark::Point
                                          : exchange::DecimalMark::Comma);
        refresh();
    });

    layout->addWidget(
        new QLabel(QStringLiteral("<b>The first coins as they will be stored</b>"), this));
    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("tblImportPreview"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->verticalHeader()->hide();
    layout->addWidget(m_preview, 3);

    layout->addWidget(new QLabel(QStringLiteral("<b>What will be skipped</b>"), this));
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("txtImportRemarks"));
    m_remarks->setReadOnly(true);
    layout->addWidget(m_remarks, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(QStringLiteral("&Import"), QDialogButtonBox::AcceptRole);
    m_import->setObjectName(QStringLiteral("cmdImport"));
    buttons->addButton(QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_import->setDefault(true);

    resize(920, 680);
    refresh();
}

void ImportDialog::refresh() {
    for (std::size_t c = 0; c < m_targets.size(); ++c) {
        const auto& choices = targetChoices();
        const auto it =
            std::find(choices.begin(), choices.end(), m_plan.target(static_cast<qsizetype>(c)));
        m_targets[c]->setCurrentIndex(static_cast<int>(it - choices.begin()));
    }
    const bool comma = m_plan.decimalMark() == exchange::DecimalMark::Comma;
    m_decimalMark->setCurrentIndex(comma ? 1 : 0);
    m_markNote->setText(m_plan.decimalMark() == m_plan.foundDecimalMark()
                            ? QStringLiteral("as the file's amounts show")
                            : QStringLiteral("(the file's amounts look written the other way)"));

    const std::vector<qsizetype> rows = m_plan.rowsToImport();
    const auto remarks = m_plan.remarks();
    const auto skipped = std::count_if(remarks.begin(), remarks.end(),
                                       [](const exchange::RowRemark& r) { return r.skipped(); });
    QString summary = QFileInfo(m_fileName).fileName() + QStringLiteral(" is read as ") +
                      encodingText(m_plan.sheet()) + QStringLiteral(", its values parted by ") +
                      separatorText(m_plan.sheet().separator()) + QStringLiteral(". ");
    if (!m_plan.hasTargets()) {
        summary += QStringLiteral("No column of its first row names a field Corvantheil knows. "
                                  "Choose below what each column holds, or Cancel.");
    } else if (rows.empty()) {
        summary += QStringLiteral("None of its rows has a value to store.");
    } else {
        summary += count(static_cast<qsizetype>(rows.size()), "coin", "coins") +
                   (m_coinsBefore == 0
                        ? QStringLiteral(" will make up the collection.")
                        : QStringLiteral(" will be added after the ") +
                              count(m_coinsBefore, "coin", "coins") +
                              QStringLiteral(" in the collection; nothing in the collection "
                                             "changes."));
    }
    if (skipped > 0) {
        summary += u' ' + count(skipped, "row is", "rows are") + QStringLiteral(" skipped.");
    }
    m_summary->setText(summary);
    m_import->setEnabled(!rows.empty());
    fillPreview(rows);
    fillRemarks();
}

void ImportDialog::fillPreview(const std::vector<qsizetype>& rows) {
    std::vector<exchange::ImportedCoin> coins;
    for (std::size_t i = 0; i < rows.size() && i < kPreviewRows; ++i) {
        coins.push_back(m_plan.coin(rows[i]));
    }
    // A column for each field some coin fills, in the window's order.
    std::vector<store::Field> shown;
    for (store::Field f : exchange::fieldsInWindowOrder()) {
        const auto i = static_cast<std::size_t>(f);
        if (std::any_of(coins.begin(), coins.end(),
                        [i](const exchange::ImportedCoin& c) { return !c.values[i].isEmpty(); })) {
            shown.push_back(f);
        }
    }
    const bool pictures = std::any_of(coins.begin(), coins.end(),
                                      [](const auto& c) { return !c.pictures.isEmpty(); });
    const bool others =
        std::any_of(coins.begin(), coins.end(), [](const auto& c) { return !c.otherKeys.empty(); });
    QStringList headers{QStringLiteral("Line")};
    for (store::Field f : shown) {
        headers << QString(store::fieldInfo(f).caption);
    }
    if (pictures) {
        headers << exchange::picturesCaption();
    }
    if (others) {
        headers << exchange::otherFieldsCaption();
    }
    m_preview->clear();
    m_preview->setColumnCount(static_cast<int>(headers.size()));
    m_preview->setRowCount(static_cast<int>(coins.size()));
    m_preview->setHorizontalHeaderLabels(headers);
    for (int r = 0; r < static_cast<int>(coins.size()); ++r) {
        const exchange::ImportedCoin& coin = coins[static_cast<std::size_t>(r)];
        int column = 0;
        m_preview->setItem(r, column++, new QTableWidgetItem(QString::number(coin.line)));
        for (store::Field f : shown) {
            const QString& value = coin.values[static_cast<std::size_t>(f)];
            m_preview->setItem(r, column++,
                               new QTableWidgetItem(oneLine(exchange::shownValue(f, value))));
        }
        if (pictures) {
            QStringList names;
            for (const QString& p : coin.pictures) {
                names << QFileInfo(p).fileName();
            }
            m_preview->setItem(r, column++, new QTableWidgetItem(names.join(QStringLiteral("; "))));
        }
        if (others) {
            QStringList lines;
            for (const store::IniEntry& e : coin.otherKeys) {
                lines << e.key + u'=' + e.value;
            }
            m_preview->setItem(r, column++,
                               new QTableWidgetItem(lines.join(QStringLiteral(" / "))));
        }
    }
    m_preview->resizeColumnsToContents();
    for (int c = 0; c < m_preview->columnCount(); ++c) {
        m_preview->setColumnWidth(c, std::min(m_preview->columnWidth(c), 260));
    }
}

void ImportDialog::fillRemarks() {
    QStringList lines;
    for (qsizetype c = 0; c < m_plan.columnCount(); ++c) {
        if (m_plan.target(c).kind == ColumnTarget::Kind::Skip) {
            lines << QStringLiteral("Column \"%1\" is not imported; choose above what it holds "
                                    "to keep it.")
                         .arg(m_plan.columnName(c));
        }
    }
    const std::vector<exchange::RowRemark> remarks = m_plan.remarks();
    for (std::size_t i = 0; i < remarks.size() && i < kShownRemarks; ++i) {
        lines << exchange::remarkText(remarks[i], m_plan.columnCount());
    }
    if (static_cast<qsizetype>(remarks.size()) > kShownRemarks) {
        lines << QStringLiteral("... and %1 more.").arg(remarks.size() - kShownRemarks);
    }
    if (lines.isEmpty()) {
        lines << QStringLiteral("Nothing: every row comes in whole.");
    }
    m_remarks->setPlainText(lines.join(u'\n'));
}
