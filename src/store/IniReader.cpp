#include "store/IniReader.h"

#include "app/Win1252.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace store {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\0';
}

void trim(const char*& b, const char*& e) {
    while (b < e && isBlank(*b)) {
        ++b;
    }
    while (e > b && isBlank(e[-1])) {
        --e;
    }
}

} // namespace

void appendValueBytes(QByteArray& out, QStringView value) {
    const qsizetype begin = out.size();
    app::appendWin1252(out, value);
    char* p = out.data() + begin;
    char* end = out.data() + out.size();
    std::replace_if(
        p, end, [](char c) { return c == '\r' || c == '\n'; }, ' ');
    out.truncate(std::remove(p, end, '\0') - out.constData());
}

void appendValueLine(QByteArray& out, QByteArrayView v) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted =
        !v.isEmpty() &&
        (blank(v.front()) || blank(v.back()) ||
         (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()));
    if (quoted) {
        out += '"';
    }
    out += v;
    if (quoted) {
        out += '"';
    }
}

const KeyNames::Name& KeyNames::get(std::size_t position, const char* b, const char* e) {
    const std::string_view raw(b, static_cast<std::size_t>(e - b));
    if (position < m_byPosition.size() && m_byPosition[position] &&
        m_byPosition[position]->first == raw) {
        return m_byPosition[position]->second;
    }
    auto it = m_names.find(raw);
    if (it == m_names.end()) {
        QString name = app::fromWin1252(b, e - b);
        // A file of ever new names is not worth remembering.
        if (m_names.size() >= kMaxNames) {
            m_unremembered = {std::move(name), -1};
            return m_unremembered;
        }
        const QString folded = name.toCaseFolded();
        int id = m_ids.value(folded, -1);
        if (id < 0) {
            id = int(m_ids.size());
            m_ids.insert(folded, id);
        }
        it = m_names.emplace(std::string(raw), Name{std::move(name), id}).first;
    }
    if (position >= m_byPosition.size()) {
        m_byPosition.resize(position + 1, nullptr);
    }
    m_byPosition[position] = &*it;
    return it->second;
}

namespace {

// The bytes of a line without its NULs, which the reader drops.
struct Line {
    const char* b;
    const char* e;
};
Line withoutNuls(const char* b, const char* e, QByteArray& scratch) {
    if (std::memchr(b, '\0', static_cast<std::size_t>(e - b))) {
        scratch = QByteArray(b, e - b);
        scratch.replace('\0', QByteArray());
        return {scratch.constData(), scratch.constData() + scratch.size()};
    }
    return {b, e};
}

// Where the line that starts at p ends: at a CR, a LF, or the end. CR LF,
// LF and a lone CR each end a line.
const char* lineBreak(const char* p, const char* end) {
    const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
    const char* lineEnd = nl ? nl : end;
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', lineEnd - p));
    return cr ? cr : lineEnd;
}

const char* afterLineBreak(const char* lineEnd, const char* end) {
    if (lineEnd < end && *lineEnd == '\r') {
        ++lineEnd;
        return lineEnd < end && *lineEnd == '\n' ? lineEnd + 1 : lineEnd;
    }
    return lineEnd < end ? lineEnd + 1 : end;
}

// The Windows INI functions drop one pair of matching quotes around a value.
void unquote(const char*& b, const char*& e) {
    if (e - b >= 2 && (*b == '"' || *b == '\'') && e[-1] == *b) {
        ++b;
        --e;
    }
}

} // namespace

void indexSections(const char* start, const char* end, qsizetype base, bool withNames,
                   std::vector<SectionSpan>& spans) {
    QByteArray scratch;
    const char* p = start;
    // Only a line whose first character that is not blank is "[" heads a
    // section: look for "[" and test what stands before it, not every line.
    while (const char* bracket = static_cast<const char*>(std::memchr(p, '[', end - p))) {
        const char* lineBegin = bracket;
        while (lineBegin > start && isBlank(lineBegin[-1]) && lineBegin[-1] != '\r') {
            --lineBegin;
        }
        const char* lineEnd = lineBreak(bracket, end);
        p = afterLineBreak(lineEnd, end);
        if (lineBegin > start && lineBegin[-1] != '\n' && lineBegin[-1] != '\r') {
            p = bracket + 1;
            continue;
        }
        auto [b, e] = withoutNuls(bracket, lineEnd, scratch);
        trim(b, e);
        const char* nameBegin = b + 1;
        const char* nameEnd = e;
        for (const char* q = e; q > nameBegin; --q) {
            if (q[-1] == ']') {
                nameEnd = q - 1;
                break;
            }
        }
        trim(nameBegin, nameEnd);
        if (!spans.empty()) {
            spans.back().end = base + (lineBegin - start);
        }
        spans.push_back({withNames ? app::fromWin1252(nameBegin, nameEnd - nameBegin) : QString(),
                         base + (lineBegin - start), base + (p - start), -1, nameEnd > nameBegin});
    }
}

std::vector<SectionSpan> indexSections(const QByteArray& bytes) {
    std::vector<SectionSpan> spans;
    indexSections(bytes.constData(), bytes.constData() + bytes.size(), 0, true, spans);
    if (!spans.empty()) {
        spans.back().end = bytes.size();
    }
    return spans;
}

qsizetype namedSectionCount(const QByteArray& bytes) {
    const auto spans = indexSections(bytes);
    return std::count_if(spans.begin(), spans.end(), [](const SectionSpan& s) { return s.named; });
}

// The buffer stays small enough for the processor's cache.
std::vector<SectionSpan> indexSections(QIODevice& file, bool withNames, qsizetype chunk) {
    const qsizetype kChunk = std::max<qsizetype>(chunk, 1);
    std::vector<SectionSpan> spans;
    // A coin takes about a kilobyte: room for most files without growing.
    spans.reserve(static_cast<std::size_t>(std::clamp<qint64>(file.size() / 512, 16, 1 << 20)));
    QByteArray buffer;
    qsizetype base = 0;
    bool atEnd = false;
    while (!atEnd) {
        const qsizetype kept = buffer.size();
        buffer.resize(kept + kChunk);
        const qint64 got = file.read(buffer.data() + kept, kChunk);
        buffer.resize(kept + std::max<qint64>(got, 0));
        atEnd = got <= 0;
        // Whole lines only; the rest waits for the next chunk. A CR at the
        // chunk's end may be the first half of a CR LF.
        qsizetype lastNl = atEnd ? buffer.size() - 1 : buffer.lastIndexOf('\n');
        if (!atEnd && lastNl < 0) {
            const qsizetype cr = buffer.lastIndexOf('\r');
            lastNl = cr >= 0 && cr + 1 < buffer.size() ? cr : -1;
        }
        if (lastNl < 0) {
            continue;
        }
        indexSections(buffer.constData(), buffer.constData() + lastNl + 1, base, withNames, spans);
        base += lastNl + 1;
        buffer.remove(0, lastNl + 1);
    }
    if (!spans.empty()) {
        spans.back().end = base;
    }
    return spans;
}

namespace {

// Calls `line(keyBegin, keyEnd, valueBegin, valueEnd)` for each key line
// between p and end, as the reader splits and trims it.
template <class Line> void forEachKeyLine(const char* p, const char* end, Line&& line) {
    QByteArray scratch;
    while (p < end) {
        const char* lineEnd = lineBreak(p, end);
        auto [b, e] = withoutNuls(p, lineEnd, scratch);
        p = afterLineBreak(lineEnd, end);
        trim(b, e);
        if (b == e || *b == ';') {
            continue;
        }
        const char* eq = static_cast<const char*>(std::memchr(b, '=', e - b));
        const char* keyEnd = eq ? eq : e;
        const char* valueBegin = eq ? eq + 1 : e;
        const char* valueEnd = e;
        trim(b, keyEnd);
        trim(valueBegin, valueEnd);
        unquote(valueBegin, valueEnd);
        line(b, keyEnd, valueBegin, valueEnd);
    }
}

} // namespace

void readSectionBody(const char* p, const char* end, KeyNames& keyNames,
                     const std::function<void(const KeyNames::Name&, QByteArrayView)>& add) {
    std::size_t position = 0;
    forEachKeyLine(p, end, [&](const char* kb, const char* ke, const char* vb, const char* ve) {
        add(keyNames.get(position++, kb, ke), QByteArrayView(vb, ve - vb));
    });
}

} // namespace store
