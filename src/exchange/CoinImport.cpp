#include "exchange/CoinImport.h"

#include "app/TextUtil.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace exchange {
namespace {

constexpr int kLastMaskBit = 63;

quint64 maskBit(qsizetype column) {
    return quint64{1} << std::min<qsizetype>(column, kLastMaskBit);
}

bool isAmount(const ColumnTarget& t) {
    return t.kind == ColumnTarget::Kind::Field &&
           store::fieldInfo(t.field).kind == store::FieldKind::Amount;
}

} // namespace

QString remarkText(const RowRemark& remark, qsizetype headerValues) {
    QString line = QStringLiteral("Line %1: ").arg(remark.line);
    switch (remark.kind) {
    case RowRemark::Kind::UnclosedQuote:
        return line + QStringLiteral("a value opens a quote that is never closed; the row is "
                                     "skipped.");
    case RowRemark::Kind::TooManyValues:
        return line + QStringLiteral("%1 values where the first row names %2 columns, so they "
                                     "cannot be told apart; the row is skipped.")
                          .arg(remark.values)
                          .arg(headerValues);
    case RowRemark::Kind::NothingToStore:
        return line + QStringLiteral("its values are all in skipped columns; the row is "
                                     "skipped.");
    case RowRemark::Kind::TooFewValues:
        return line + QStringLiteral("%1 values where the first row names %2 columns; the "
                                     "missing ones stay empty.")
                          .arg(remark.values)
                          .arg(headerValues);
    case RowRemark::Kind::Unread:
        return line + QStringLiteral("too many quotes are left open; the rest of the file is "
                                     "not read.");
    }
    return line;
}

ImportPlan::ImportPlan(CsvSheet sheet, QString sheetFolder)
    : m_sheet(std::move(sheet)), m_sheetFolder(std::move(sheetFolder)) {
    m_targets.resize(static_cast<std::size_t>(m_sheet.header().size()));
    for (qsizetype c = 0; c < columnCount(); ++c) {
        const ColumnTarget t = targetOfHeader(m_sheet.header()[c]);
        // The first column that names a field gives it; a later one is skipped.
        const bool taken = t.kind == ColumnTarget::Kind::Field &&
                           std::find(m_targets.begin(), m_targets.end(), t) != m_targets.end();
        m_targets[static_cast<std::size_t>(c)] = taken ? ColumnTarget{} : t;
    }
}

QString ImportPlan::columnName(qsizetype column) const {
    const QString header = app::trimBlanks(m_sheet.header().value(column));
    return header.isEmpty() ? QStringLiteral("Column %1").arg(column + 1) : header;
}

const ColumnTarget& ImportPlan::target(qsizetype column) const {
    return m_targets[static_cast<std::size_t>(column)];
}

void ImportPlan::setTarget(qsizetype column, ColumnTarget target) {
    if (target.kind == ColumnTarget::Kind::Field) {
        for (ColumnTarget& other : m_targets) {
            if (other == target) {
                other = {};
            }
        }
    }
    m_targets[static_cast<std::size_t>(column)] = target;
}

bool ImportPlan::hasTargets() const {
    return std::any_of(m_targets.begin(), m_targets.end(),
                       [](const ColumnTarget& t) { return t.kind != ColumnTarget::Kind::Skip; });
}

DecimalMark ImportPlan::foundDecimalMark() const {
    MarkVotes votes;
    for (qsizetype c = 0; c < columnCount(); ++c) {
        if (isAmount(target(c))) {
            votes += m_sheet.votes(c);
        }
    }
    return decimalMarkOf(votes);
}

bool ImportPlan::comesIn(const SheetRow& row) const {
    if (row.filledBeyondHeader) {
        return false;
    }
    quint64 taken = 0;
    for (qsizetype c = 0; c < columnCount(); ++c) {
        if (target(c).kind != ColumnTarget::Kind::Skip) {
            taken |= maskBit(c);
        }
    }
    return (row.filled & taken) != 0;
}

std::vector<qsizetype> ImportPlan::rowsToImport() const {
    std::vector<qsizetype> rows;
    const std::vector<SheetRow>& all = m_sheet.rows();
    rows.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (comesIn(all[i])) {
            rows.push_back(static_cast<qsizetype>(i));
        }
    }
    return rows;
}

std::vector<RowRemark> ImportPlan::remarks() const {
    std::vector<RowRemark> remarks;
    const qsizetype headerValues = columnCount();
    auto unclosed = m_sheet.unclosedQuoteLines().begin();
    const auto unclosedEnd = m_sheet.unclosedQuoteLines().end();
    for (const SheetRow& row : m_sheet.rows()) {
        for (; unclosed != unclosedEnd && *unclosed < row.line; ++unclosed) {
            remarks.push_back({*unclosed, RowRemark::Kind::UnclosedQuote, 0});
        }
        if (row.filledBeyondHeader) {
            remarks.push_back({row.line, RowRemark::Kind::TooManyValues, row.values});
        } else if (!comesIn(row)) {
            remarks.push_back({row.line, RowRemark::Kind::NothingToStore, row.values});
        } else if (row.values < headerValues) {
            remarks.push_back({row.line, RowRemark::Kind::TooFewValues, row.values});
        }
    }
    for (; unclosed != unclosedEnd; ++unclosed) {
        remarks.push_back({*unclosed, RowRemark::Kind::UnclosedQuote, 0});
    }
    if (m_sheet.unreadFromLine() > 0) {
        remarks.push_back({m_sheet.unreadFromLine(), RowRemark::Kind::Unread, 0});
    }
    return remarks;
}

ImportedCoin ImportPlan::coin(qsizetype row) const {
    const SheetRow& sheetRow = m_sheet.rows()[static_cast<std::size_t>(row)];
    const QStringList cells = m_sheet.values(sheetRow);
    ImportedCoin coin;
    coin.line = sheetRow.line;
    QStringList notes;
    std::vector<std::pair<store::Field, QString>> keyedFields;
    const auto value = [&coin](store::Field f) -> QString& {
        return coin.values[static_cast<std::size_t>(f)];
    };
    for (qsizetype c = 0; c < columnCount() && c < cells.size(); ++c) {
        const QString cell = app::trimBlanks(cells[c]);
        // Blanks and tabs are nothing; a line break alone is a value as the window keeps it.
        if (std::all_of(cell.begin(), cell.end(),
                        [](QChar ch) { return ch == u'\t' || ch == u' '; })) {
            continue;
        }
        const ColumnTarget& t = target(c);
        switch (t.kind) {
        case ColumnTarget::Kind::Skip:
            break;
        case ColumnTarget::Kind::Field:
            if (store::fieldInfo(t.field).kind == store::FieldKind::List) {
                // A text no entry has is kept in the notes, never lost.
                const std::optional<int> entry = listRowOfText(t.field, cell);
                if (entry) {
                    value(t.field) = QString::number(*entry);
                } else {
                    notes << QString(store::fieldInfo(t.field).caption) + QStringLiteral(": ") +
                                 cell;
                }
            } else if (isAmount(t)) {
                value(t.field) = amountForStore(cell, decimalMark()).value_or(cell);
            } else {
                value(t.field) = cell;
            }
            break;
        case ColumnTarget::Kind::Pictures:
            static const QRegularExpression between(QStringLiteral("[;\n]"));
            for (const QString& part : cell.split(between)) {
                const QString named = part.trimmed();
                if (named.isEmpty()) {
                    continue;
                }
                QString path = named.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)
                                   ? QUrl(named).toLocalFile()
                                   : named;
                QFileInfo file(QDir(m_sheetFolder), path);
                if (!file.isFile() && path.contains(u'\\')) {
                    file = QFileInfo(QDir(m_sheetFolder),
                                     QDir::fromNativeSeparators(path.replace(u'\\', u'/')));
                }
                if (file.isFile()) {
                    coin.pictures << file.absoluteFilePath();
                } else {
                    notes << QStringLiteral("Picture not found: ") + named;
                    ++coin.missingPictures;
                }
            }
            break;
        case ColumnTarget::Kind::OtherFields:
            for (const QString& line : cell.split(u'\n', Qt::SkipEmptyParts)) {
                const qsizetype eq = line.indexOf(u'=');
                const QString key = line.left(eq).trimmed();
                // A key the file could not hold as a key line stays in the notes.
                if (eq <= 0 || key.isEmpty() || key.startsWith(u'[') || key.startsWith(u';') ||
                    store::isPictureKey(key)) {
                    notes << columnName(c) + QStringLiteral(": ") + line;
                } else if (const std::optional<store::Field> f = store::fieldOfKey(key)) {
                    keyedFields.emplace_back(*f, app::trimBlanks(line.mid(eq + 1)));
                } else {
                    coin.otherKeys.push_back({key, app::trimBlanks(line.mid(eq + 1))});
                }
            }
            break;
        case ColumnTarget::Kind::NoteLine:
            notes << columnName(c) + QStringLiteral(": ") + cell;
            break;
        }
    }
    // A field named among the other keys fills it as stored, unless its own column did.
    for (const auto& [field, stored] : keyedFields) {
        if (value(field).isEmpty()) {
            value(field) = stored;
        } else {
            notes << QString(store::fieldInfo(field).key) + u'=' + stored;
        }
    }
    coin.notedValues = notes.size() - coin.missingPictures;
    if (!notes.isEmpty()) {
        QString& text = value(store::Field::MiscNotes);
        if (!text.isEmpty()) {
            notes.prepend(text);
        }
        text = notes.join(u'\n');
    }
    return coin;
}

QString shownValue(store::Field field, const QString& value) {
    if (store::fieldInfo(field).kind != store::FieldKind::List) {
        return value;
    }
    bool number = false;
    const int row = value.toInt(&number);
    const QStringList& entries = store::listEntries(field);
    return number && row >= 0 && row < entries.size() ? entries[row] : value;
}

store::CoinRecord recordOf(const ImportedCoin& coin, const QStringList& pictureNames) {
    store::CoinRecord record;
    const QStringList& keys = store::fieldKeys();
    for (qsizetype i = 0; i < store::kFieldCount; ++i) {
        const QString stored = store::encodeText(coin.values[static_cast<std::size_t>(i)]);
        if (!stored.isEmpty()) {
            record.append(keys[i], stored);
        }
    }
    for (const store::IniEntry& other : coin.otherKeys) {
        record.append(other.key, other.value);
    }
    for (qsizetype i = 0; i < pictureNames.size(); ++i) {
        record.append(store::pictureKey(i + 1), pictureNames[i]);
    }
    return record;
}

} // namespace exchange
