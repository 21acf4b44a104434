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
    out += record.valueBytes(k);
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

DatabaseImage buildDatabaseImage(QByteArrayView preamble,
                                 const std::vector<SectionSource>& sections) {
    DatabaseImage image;
    qsizetype size = preamble.size() + 2;
    for (const SectionSource& s : sections) {
        size += s.kept.size() + s.keptLines.size() + 24 + (s.written ? 64 * s.written->size() : 0);
    }
    image.bytes.reserve(size);
    image.places.reserve(sections.size());
    QByteArray& out = image.bytes;
    out += preamble;
    endLine(out);
    image.preambleEnd = out.size();
    bool first = true;
    for (const SectionSource& source : sections) {
        // The header goes in first; it is taken back when the record writes nothing.
        const qsizetype headerAt = out.size();
        char header[40];
        const int headerSize =
            std::snprintf(header, sizeof header, "%s[ITEMNUMB%06lld]\r\n", first ? "" : "\r\n",
                          static_cast<long long>(source.number));
        out.append(header, headerSize);
        const qsizetype begin = out.size();
        if (source.written != nullptr) {
            if (!writeRecord(out, source)) {
                out.truncate(headerAt);
                image.places.push_back({});
                continue;
            }
        } else {
            out += source.kept;
            endLine(out);
        }
        image.places.push_back({begin, out.size()});
        first = false;
    }
    return image;
}

} // namespace store
