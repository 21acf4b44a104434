#include "exchange/CollectionSheet.h"

#include "app/ProgramFolder.h"
#include "app/RegionalFormats.h"
#include "app/Win1252.h"
#include "exchange/Amounts.h"
#include "exchange/CsvWriter.h"
#include "exchange/SheetColumns.h"
#include "store/AtomicFile.h"
#include "store/Collection.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <numeric>

namespace exchange {
namespace {

// What a key of a stored coin is, known once per distinct key: a collection
// shares one copy of each key name among its coins.
constexpr int kPicture = -1;
constexpr int kOther = -2;

class KeyKinds {
public:
    // Most coins list their keys in the order of the coin before: the key
    // at the same place is tried first.
    int of(const QString& key, qsizetype place) {
        const auto at = static_cast<std::size_t>(place);
        if (at < m_byPlace.size() && m_byPlace[at].first == key.constData()) {
            return m_byPlace[at].second;
        }
        const auto it = m_known.constFind(key.constData());
        int kind = 0;
        if (it != m_known.cend()) {
            kind = *it;
        } else {
            const std::optional<store::Field> f = store::fieldOfKey(key);
            kind = store::isPictureKey(key) ? kPicture : f ? static_cast<int>(*f) : kOther;
            if (m_known.size() < 4096) {
                m_known.insert(key.constData(), kind);
            }
        }
        if (at < 256) {
            m_byPlace.resize(std::max(m_byPlace.size(), at + 1));
            m_byPlace[at] = {key.constData(), kind};
        }
        return kind;
    }

private:
    QHash<const QChar*, int> m_known;
    std::vector<std::pair<const QChar*, int>> m_byPlace;
};

// A stored list value that names no row of its list goes with the other
// keys, so that it comes back as it was.
std::optional<int> listRow(store::Field field, QByteArrayView stored) {
    std::optional<qint32> row;
    if (!stored.isEmpty() && stored.size() < 6 &&
        std::all_of(stored.begin(), stored.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        row = static_cast<qint32>(stored.toInt());
    } else {
        row = app::toLong(app::fromWin1252(stored.data(), stored.size()));
    }
    return row && *row >= 0 && *row < store::listEntries(field).size() ? row : std::nullopt;
}

// One coin's cells. Most stored values are plain ASCII and are copied as
// they are; anything else goes through the text.
class RowWriter {
public:
    explicit RowWriter(QByteArray& out) : m_out(out) {}

    void separator() { m_out += ','; }
    void end() { m_out += "\r\n"; }

    // A text field: "~|" is a line break.
    void text(QByteArrayView stored) {
        bool quoted = false;
        for (qsizetype i = 0; i < stored.size(); ++i) {
            const char c = stored[i];
            if (static_cast<unsigned char>(c) >= 0x80 || c == '&') {
                value(store::decodeText(
                    app::fromWin1252WithReferences(stored.data(), stored.size())));
                return;
            }
            quoted = quoted || c == ',' || c == '"' ||
                     (c == '~' && i + 1 < stored.size() && stored[i + 1] == '|');
        }
        if (!quoted) {
            m_out += stored;
            return;
        }
        m_out += '"';
        for (qsizetype i = 0; i < stored.size(); ++i) {
            if (stored[i] == '~' && i + 1 < stored.size() && stored[i + 1] == '|') {
                m_out += '\n';
                ++i;
                continue;
            }
            if (stored[i] == '"') {
                m_out += '"';
            }
            m_out += stored[i];
        }
        m_out += '"';
    }
    // Pictures as full paths; plain names are joined to the folder as bytes.
    void pictures(const store::CoinRecord& record, const std::vector<qsizetype>& keys,
                  const QByteArray& folder) {
        const char separator = QDir::separator().toLatin1();
        bool first = true;
        const qsizetype start = m_out.size();
        bool quoted = false;
        for (const qsizetype k : keys) {
            const QByteArrayView name = record.valueBytes(k);
            const bool plain =
                !name.isEmpty() && name.front() != '\\' && name.front() != '/' &&
                std::all_of(name.begin(), name.end(), [](char c) {
                    return static_cast<unsigned char>(c) < 0x80 && c != '&' && c != '"';
                });
            if (!plain) {
                m_out.truncate(start);
                QStringList paths;
                for (const qsizetype j : keys) {
                    paths << app::nativePath(app::programPath(record.value(j)));
                }
                value(paths.join(QStringLiteral("; ")));
                return;
            }
            if (!first) {
                m_out += "; ";
            }
            first = false;
            m_out += folder;
            for (const char c : name) {
                m_out += c == '\\' ? separator : c;
                quoted = quoted || c == ',';
            }
        }
        if (quoted) {
            m_out.insert(start, '"');
            m_out += '"';
        }
    }
    void amount(const store::CoinRecord& record, qsizetype k) {
        if (!appendPlainAmount(m_out, record.valueBytes(k))) {
            value(amountForSheet(record.value(k)));
        }
    }
    void value(const QString& text) {
        m_cell.clear();
        appendCsvValue(m_cell, text);
        m_out += m_cell.toUtf8();
    }

private:
    QByteArray& m_out;
    QString m_cell;
};

} // namespace

QByteArray collectionSheet(const store::Collection& collection,
                           const std::vector<qsizetype>& positions) {
    // The lists' entries as cells, made once.
    std::array<QList<QByteArray>, store::kFieldCount> entries;
    for (const store::FieldInfo& f : store::fields()) {
        for (const QString& entry : store::listEntries(f.field)) {
            QString cell;
            appendCsvValue(cell, entry);
            entries[static_cast<std::size_t>(f.field)] << cell.toUtf8();
        }
    }
    QByteArray out;
    RowWriter row(out);
    KeyKinds kinds;
    std::array<qsizetype, store::kFieldCount> at{};
    std::vector<qsizetype> pictures;
    QStringList others;
    // Keys no field owns get a column only when a coin has one: their cells
    // wait beside the rows until the end shows whether it is needed.
    std::vector<std::pair<qsizetype, QByteArray>> otherCells;
    // The program folder with its separator, as a path below it begins.
    QString folder = app::nativePath(app::programPath(QStringLiteral("x")));
    folder.chop(1);
    const QByteArray folderBytes = folder.toUtf8();
    qsizetype done = 0;
    for (const qsizetype position : positions) {
        const store::CoinRecord& record = collection.record(position);
        // The first hundred rows tell the whole sheet's size; growing by
        // small steps instead copied it over and over.
        constexpr qsizetype kSample = 100;
        if (++done == kSample && std::ssize(positions) > kSample) {
            out.reserve(out.size() / kSample * std::ssize(positions) * 21 / 20);
        }
        at.fill(-1);
        pictures.clear();
        others.clear();
        for (qsizetype k = 0; k < record.size(); ++k) {
            const int kind = kinds.of(record.key(k), k);
            if (kind == kPicture) {
                if (!record.valueBytes(k).isEmpty()) {
                    pictures.push_back(k);
                }
            } else if (kind == kOther) {
                others << record.key(k) + u'=' + record.value(k);
            } else if (at[static_cast<std::size_t>(kind)] < 0) {
                at[static_cast<std::size_t>(kind)] = k;
            }
        }
        bool first = true;
        for (store::Field f : fieldsInWindowOrder()) {
            if (!first) {
                row.separator();
            }
            first = false;
            const qsizetype k = at[static_cast<std::size_t>(f)];
            if (k < 0) {
                continue;
            }
            const QByteArrayView stored = record.valueBytes(k);
            switch (store::fieldInfo(f).kind) {
            case store::FieldKind::Amount:
                row.amount(record, k);
                break;
            case store::FieldKind::List:
                if (const std::optional<int> r = listRow(f, stored)) {
                    out += entries[static_cast<std::size_t>(f)][*r];
                } else if (!stored.isEmpty()) {
                    others << QString(store::fieldInfo(f).key) + u'=' + record.value(k);
                }
                break;
            default:
                row.text(stored);
            }
        }
        row.separator();
        row.pictures(record, pictures, folderBytes);
        if (!others.isEmpty()) {
            QString cell;
            appendCsvValue(cell, others.join(u'\n'));
            otherCells.emplace_back(out.size(), cell.toUtf8());
        }
        row.end();
    }

    CsvWriter header;
    QStringList captions;
    for (store::Field f : fieldsInWindowOrder()) {
        captions << QString(store::fieldInfo(f).caption);
    }
    captions << picturesCaption();
    if (!otherCells.empty()) {
        captions << otherFieldsCaption();
    }
    header.addRow(captions);
    QByteArray sheet = header.take();
    if (otherCells.empty()) {
        return sheet + out;
    }
    // Every row gains the cell, empty for most.
    sheet.reserve(sheet.size() + out.size() + static_cast<qsizetype>(positions.size()) +
                  std::accumulate(otherCells.begin(), otherCells.end(), qsizetype{0},
                                  [](qsizetype n, const auto& c) { return n + c.second.size(); }));
    auto next = otherCells.begin();
    qsizetype from = 0;
    while (from < out.size()) {
        const qsizetype rowEnd = out.indexOf("\r\n", from);
        sheet.append(QByteArrayView(out).sliced(from, rowEnd - from));
        sheet += ',';
        if (next != otherCells.end() && next->first == rowEnd) {
            sheet += next->second;
            ++next;
        }
        sheet += "\r\n";
        from = rowEnd + 2;
    }
    return sheet;
}

void writeSheetFile(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) {
        app::raise(app::kPathNotFound);
    }
    if (info.isDir()) {
        app::raise(app::kPathFileAccessError);
    }
    store::writeFileAtomically(info.absoluteFilePath(), bytes);
}

} // namespace exchange
