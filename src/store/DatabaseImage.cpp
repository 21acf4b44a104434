#include "store/DatabaseImage.h"

#include "app/Win1252.h"
#include "store/Fields.h"

#include <cstdio>

namespace store {
namespace {

bool isBlankByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

bool isBlank(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
}

bool isFirstPictureKey(QStringView key) {
    return key.trimmed() == kFirstPictureKey;
}

void endLine(QByteArray& out) {
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r')) {
        out += "\r\n";
    }
}

void writeField(QByteArray& out, const CoinRecord& record, qsizetype k) {
    app::appendWin1252(out, record.key(k));
    out += '=';
    appendValueLine(out, record.valueBytes(k));
    out += "\r\n";
}

// Returns false when the record has nothing to store.
bool writeRecord(QByteArray& out, const SectionSource& source) {
    const CoinRecord& record = *source.written;
    std::vector<qsizetype> kept;
    qsizetype firstPicture = -1;
    for (qsizetype k = 0; k < record.size(); ++k) {
        if (!isBlank(record.valueBytes(k)) || (source.stored && isFirstPictureKey(record.key(k)))) {
            if (firstPicture < 0 && isPictureKey(record.key(k))) {
                firstPicture = static_cast<qsizetype>(kept.size());
            }
            kept.push_back(k);
        }
    }
    if (kept.empty() && source.keptLines.isEmpty()) {
        return false;
    }
    if (firstPicture < 0) {
        firstPicture = static_cast<qsizetype>(kept.size());
    }
    for (qsizetype i = 0; i < firstPicture; ++i) {
        writeField(out, record, kept[static_cast<std::size_t>(i)]);
    }
    out += source.keptLines;
    endLine(out);
    for (auto i = static_cast<std::size_t>(firstPicture); i < kept.size(); ++i) {
        writeField(out, record, kept[i]);
    }
    return true;
}

} // namespace

QByteArrayView withoutTrailingBlankLines(QByteArrayView lines) {
    qsizetype e = lines.size();
    while (e > 0 && isBlankByte(lines[e - 1])) {
        --e;
    }
    // Keep the line break of the last line that holds something.
    if (e < lines.size() && lines[e] == '\r') {
        ++e;
    }
    if (e < lines.size() && lines[e] == '\n') {
        ++e;
    }
    return lines.first(e);
}

QByteArray linesTheWindowDoesNotEdit(QByteArrayView lines, const CoinRecord& record) {
    QByteArray out;
    const char* p = lines.data();
    const char* end = p + lines.size();
    while (p < end) {
        const char* lineEnd = p;
        while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n') {
            ++lineEnd;
        }
        const QByteArrayView line(p, lineEnd - p);
        p = lineEnd;
        if (p < end && *p == '\r') {
            ++p;
        }
        if (p < end && *p == '\n' && (p == lineEnd || p[-1] == '\r')) {
            ++p;
        }
        const QByteArrayView trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            continue;
        }
        const qsizetype eq = trimmed.indexOf('=');
        const QString key =
            app::fromWin1252(trimmed.first(eq < 0 ? trimmed.size() : eq).trimmed().toByteArray());
        if (fieldOfKey(key) || isPictureKey(key) || record.value(key)) {
            continue;
        }
        out += line;
        out += "\r\n";
    }
    return out;
}

namespace {

// Pieces are collected as offsets into `written` until it stops growing.
class ImageBuilder {
public:
    explicit ImageBuilder(DatabaseImage& image) : m_image(image) {}

    qsizetype size() const { return m_size; }
    bool endsWithLineBreak() const { return m_lastByte == '\n' || m_lastByte == '\r'; }

    void write(QByteArrayView bytes) {
        if (bytes.isEmpty()) {
            return;
        }
        const qsizetype at = m_image.written.size();
        m_image.written.append(bytes);
        add({nullptr, at, bytes.size()});
    }
    void keep(QByteArrayView bytes) {
        if (!bytes.isEmpty()) {
            add({bytes.data(), 0, bytes.size()});
        }
    }
    // Everything after `size` is taken back.
    void truncate(qsizetype size, qsizetype writtenSize) {
        while (!m_pieces.empty() && m_size > size) {
            m_size -= m_pieces.back().size;
            m_pieces.pop_back();
        }
        m_image.written.truncate(writtenSize);
        m_lastByte = m_pieces.empty() ? '\n' : lastByteOf(m_pieces.back());
    }
    void finish() {
        m_image.size = m_size;
        m_image.pieces.reserve(m_pieces.size());
        for (const Piece& p : m_pieces) {
            m_image.pieces.emplace_back(p.kept ? p.kept : m_image.written.constData() + p.at,
                                        p.size);
        }
    }

private:
    struct Piece {
        const char* kept; // null: in `written` at `at`
        qsizetype at;
        qsizetype size;
    };
    char lastByteOf(const Piece& p) const {
        return p.kept ? p.kept[p.size - 1] : m_image.written[p.at + p.size - 1];
    }
    void add(const Piece& piece) {
        // Neighbours in `written` become one piece.
        if (!piece.kept && !m_pieces.empty() && !m_pieces.back().kept &&
            m_pieces.back().at + m_pieces.back().size == piece.at) {
            m_pieces.back().size += piece.size;
        } else {
            m_pieces.push_back(piece);
        }
        m_size += piece.size;
        m_lastByte = lastByteOf(m_pieces.back());
    }

    DatabaseImage& m_image;
    std::vector<Piece> m_pieces;
    qsizetype m_size = 0;
    char m_lastByte = '\n';
};

} // namespace

QByteArray DatabaseImage::slice(qsizetype begin, qsizetype end) const {
    QByteArray out;
    qsizetype at = 0;
    for (const QByteArrayView& piece : pieces) {
        const qsizetype from = std::max(begin, at);
        const qsizetype to = std::min(end, at + piece.size());
        if (from < to) {
            out.append(piece.sliced(from - at, to - from));
        }
        at += piece.size();
        if (at >= end) {
            break;
        }
    }
    return out;
}

DatabaseImage buildDatabaseImage(QByteArrayView preamble,
                                 const std::vector<SectionSource>& sections) {
    DatabaseImage image;
    ImageBuilder out(image);
    const auto endLine = [&out] {
        if (out.size() > 0 && !out.endsWithLineBreak()) {
            out.write("\r\n");
        }
    };
    out.keep(preamble);
    endLine();
    image.preambleEnd = out.size();
    image.places.reserve(sections.size());
    bool first = true;
    QByteArray record;
    for (const SectionSource& source : sections) {
        // The header goes in first; it is taken back when the record writes nothing.
        const qsizetype headerAt = out.size();
        const qsizetype writtenAt = image.written.size();
        char header[40];
        const int headerSize =
            std::snprintf(header, sizeof header, "%s[ITEMNUMB%06lld]\r\n", first ? "" : "\r\n",
                          static_cast<long long>(source.number));
        out.write(QByteArrayView(header, headerSize));
        const qsizetype begin = out.size();
        if (source.written != nullptr) {
            record.clear();
            if (!writeRecord(record, source)) {
                out.truncate(headerAt, writtenAt);
                image.places.push_back({});
                continue;
            }
            out.write(record);
        } else {
            out.keep(source.kept);
            endLine();
        }
        image.places.push_back({begin, out.size()});
        first = false;
    }
    out.finish();
    return image;
}

} // namespace store
