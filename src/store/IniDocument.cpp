#include "store/IniDocument.h"

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

size_t foldedHash(QStringView s) {
    size_t h = 1469598103934665603ull;
    for (QChar c : s) {
        h = (h ^ c.toCaseFolded().unicode()) * 1099511628211ull;
    }
    return h;
}

bool sameName(QStringView a, QStringView b) {
    if (a.size() != b.size()) {
        return false;
    }
    // A writer passes the same section name for every key it writes.
    if (a.data() == b.data()) {
        return true;
    }
    // Names are nearly always ASCII: settle those without Unicode case folding.
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode();
        const char16_t y = b[i].unicode();
        if (x == y) {
            continue;
        }
        if ((x | y) >= 0x80) {
            return a.compare(b, Qt::CaseInsensitive) == 0;
        }
        const char16_t lower = x | 0x20;
        if (lower != (y | 0x20) || lower < u'a' || lower > u'z') {
            return false;
        }
    }
    return true;
}

// The entries of a section are sized from the one before and trimmed when the
// section ends, so that no section keeps room it does not use.
void finishSection(IniSection* section) {
    if (section && section->entries.capacity() > section->entries.size()) {
        section->entries.shrink_to_fit();
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

// The buffer stays small enough for the processor's cache.
std::vector<SectionSpan> indexSections(QIODevice& file, bool withNames, qsizetype chunk) {
    const qsizetype kChunk = std::max<qsizetype>(chunk, 1);
    std::vector<SectionSpan> spans;
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

QStringList valuesOfKey(const char* p, const char* end, QLatin1StringView key) {
    QStringList values;
    forEachKeyLine(p, end, [&](const char* kb, const char* ke, const char* vb, const char* ve) {
        if (QLatin1StringView(kb, ke - kb).compare(key, Qt::CaseInsensitive) == 0) {
            values << app::fromWin1252WithReferences(vb, ve - vb);
        }
    });
    return values;
}

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument doc;
    KeyNames keyNames;
    std::size_t expected = 0;
    for (const SectionSpan& span : indexSections(bytes)) {
        doc.m_sections.push_back({span.name, std::vector<IniEntry>()});
        IniSection& section = doc.m_sections.back();
        section.entries.reserve(expected);
        readSectionBody(bytes.constData() + span.begin, bytes.constData() + span.end, keyNames,
                        [&section](const KeyNames::Name& key, QByteArrayView value) {
                            section.entries.push_back({key.text, app::fromWin1252WithReferences(
                                                                     value.data(), value.size())});
                        });
        finishSection(&section);
        expected = section.entries.size() + 4;
    }
    return doc;
}

QByteArray IniDocument::serialize() const {
    QByteArray out;
    for (const IniSection& section : m_sections) {
        out += out.isEmpty() ? "[" : "\r\n[";
        app::appendWin1252(out, section.name);
        out += "]\r\n";
        for (const IniEntry& e : section.entries) {
            app::appendWin1252(out, e.key);
            out += '=';
            appendValueBytes(out, e.value);
            out += "\r\n";
        }
    }
    return out;
}

std::vector<IniSection> IniDocument::takeSections() {
    std::vector<IniSection> taken = std::move(m_sections);
    clear();
    return taken;
}

int IniDocument::indexOf(const QString& name) const {
    if (!m_indexed) {
        m_index.clear();
        m_index.reserve(static_cast<qsizetype>(m_sections.size()));
        for (int i = static_cast<int>(m_sections.size()) - 1; i >= 0; --i) {
            m_index.insert(foldedHash(m_sections[i].name), i);
        }
        m_indexed = true;
    }
    int found = -1;
    const size_t h = foldedHash(name);
    for (auto it = m_index.constFind(h); it != m_index.cend() && it.key() == h; ++it) {
        if (sameName(m_sections[it.value()].name, name) && (found < 0 || it.value() < found)) {
            found = it.value();
        }
    }
    return found;
}

const IniSection* IniDocument::findSection(const QString& name) const {
    const int i = indexOf(name);
    return i < 0 ? nullptr : &m_sections[i];
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    const IniSection* s = findSection(section);
    if (!s) {
        return std::nullopt;
    }
    for (const IniEntry& e : s->entries) {
        if (sameName(e.key, key)) {
            return e.value;
        }
    }
    return std::nullopt;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& text) {
    QString value = text;
    value.remove(QChar(u'\0'));
    int i = m_lastWritten;
    if (i < 0 || i >= static_cast<int>(m_sections.size()) ||
        !sameName(m_sections[i].name, section)) {
        i = indexOf(section);
    }
    if (i < 0) {
        m_sections.push_back({section, {}});
        i = static_cast<int>(m_sections.size()) - 1;
        m_index.insert(foldedHash(section), i);
    }
    m_lastWritten = i;
    for (IniEntry& e : m_sections[i].entries) {
        if (sameName(e.key, key)) {
            e.value = std::move(value);
            return;
        }
    }
    m_sections[i].entries.push_back({key, std::move(value)});
}

void IniDocument::writeSection(const IniSection& section) {
    for (const IniEntry& e : section.entries) {
        setValue(section.name, e.key, e.value);
    }
}

void IniDocument::clear() {
    m_sections.clear();
    m_index.clear();
    m_indexed = false;
    m_lastWritten = -1;
}

} // namespace store
