#include "store/IniDocument.h"

#include "app/Win1252.h"

#include <QIODevice>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

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

// One byte per character, as app::Win1252Byte maps it; in a value a line
// break becomes a blank, as it would end the line early.
template <bool kValue> char byte(char16_t u) {
    if (u < 0x80) {
        return kValue && (u == u'\r' || u == u'\n') ? ' ' : static_cast<char>(u);
    }
    return static_cast<char>(app::win1252Byte(QChar(u)));
}

bool isPrintable(char16_t u) {
    return u >= 0x20 && u <= 0x7E;
}

#if defined(__SSE2__) || defined(_M_X64)
// Per lane: zero when the character is printable ASCII (blank to tilde).
__m128i outsidePrintable(const char16_t* eight) {
    const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(eight));
    return _mm_subs_epu16(_mm_sub_epi16(chars, _mm_set1_epi16(0x20)), _mm_set1_epi16(0x5E));
}

bool allZero(__m128i lanes) {
    return _mm_movemask_epi8(_mm_cmpeq_epi16(lanes, _mm_setzero_si128())) == 0xFFFF;
}
#endif

// Writes the text's bytes; printable ASCII goes out eight characters at a
// time, unmapped. A text not a multiple of eight long ends with a block that
// overlaps the one before, stored only when printable, so that the overlap
// gets the same bytes again. Returns whether all was printable ASCII.
template <bool kValue> bool put(char* dst, QStringView text) {
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
    bool printable = true;
#if defined(__SSE2__) || defined(_M_X64)
    if (n >= 8) {
        for (qsizetype i = 0;; i += 8) {
            const qsizetype at = std::min(i, n - 8);
            if (allZero(outsidePrintable(src + at))) {
                const __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(dst + at),
                                 _mm_packus_epi16(chars, chars));
            } else {
                printable = false;
                for (qsizetype j = i; j < at + 8; ++j) {
                    dst[j] = byte<kValue>(src[j]);
                }
            }
            if (at + 8 >= n) {
                return printable;
            }
        }
    }
#endif
    for (qsizetype j = 0; j < n; ++j) {
        printable = printable && isPrintable(src[j]);
        dst[j] = byte<kValue>(src[j]);
    }
    return printable;
}

char* putText(char* dst, QStringView text) {
    put<false>(dst, text);
    return dst + text.size();
}
char* putValue(char* dst, QStringView text) {
    put<true>(dst, text);
    return dst + text.size();
}

bool isPrintableAscii(QStringView text) {
    const char16_t* src = text.utf16();
    const qsizetype n = text.size();
#if defined(__SSE2__) || defined(_M_X64)
    if (n >= 8) {
        __m128i outside = outsidePrintable(src + n - 8);
        for (qsizetype i = 0; i < n - 8; i += 8) {
            outside = _mm_or_si128(outside, outsidePrintable(src + i));
        }
        return allZero(outside);
    }
#endif
    for (qsizetype j = 0; j < n; ++j) {
        if (!isPrintable(src[j])) {
            return false;
        }
    }
    return true;
}

// A section or key name that the reader gives back unchanged, and (for a key)
// that leaves its line a key line: the reader trims blanks, splits a key line
// at its first "=", and takes a line starting with "[" or ";" for a header or
// a comment.
bool readsBackUnchanged(QStringView name, bool isKey) {
    if (!isPrintableAscii(name)) {
        return false;
    }
    if (name.isEmpty()) {
        return true;
    }
    if (name.front() == u' ' || name.back() == u' ') {
        return false;
    }
    return !isKey || (name.front() != u'[' && name.front() != u';' && !name.contains(u'='));
}

// Whether the reader gives a value back as it is: the writer turns a line
// break into a blank and a character Windows-1252 lacks into "?", the reader
// drops NULs and trims blanks and tabs.
bool valueReadsBackUnchanged(QStringView value) {
    if (!isPrintableAscii(value)) {
        for (QChar c : value) {
            const char16_t u = c.unicode();
            if (u == u'\r' || u == u'\n' || u == 0 || (u >= 0x80 && app::win1252Byte(c) == '?')) {
                return false;
            }
        }
    }
    return value.isEmpty() || (value.front() != u' ' && value.front() != u'\t' &&
                               value.back() != u' ' && value.back() != u'\t');
}

// A value as the reader gives it back from the line the writer makes of it.
void readBackValue(QString& value) {
    if (valueReadsBackUnchanged(value)) {
        return;
    }
    QByteArray bytes(value.size(), Qt::Uninitialized);
    const char* b = bytes.constData();
    const char* e = std::remove(bytes.data(), putValue(bytes.data(), value), '\0');
    trim(b, e);
    value = app::fromWin1252(b, e - b);
}

// Key names repeat from section to section and mostly share one text. Each
// name gets a number once, the same for names alike (letter case ignored),
// and whether it reads back as written; later look-ups are found by the
// address of the text, nearly always at the first try. A remembered text is
// held, so that its address cannot come back with other content.
class KeyNumbers {
public:
    // -1 for a name outside ASCII.
    int numberOf(const QString& key) {
        const std::size_t home = static_cast<std::size_t>(
            (reinterpret_cast<std::uintptr_t>(key.constData()) * 0x9E3779B97F4A7C15ull) >>
            (64 - kBits));
        std::size_t free = kSlots;
        for (std::size_t probe = 0; probe < kProbes; ++probe) {
            const Slot& slot = m_slots[(home + probe) % kSlots];
            if (slot.text.constData() == key.constData() && slot.text.size() == key.size() &&
                slot.number >= 0) {
                return slot.number;
            }
            if (slot.number < 0 && free == kSlots) {
                free = (home + probe) % kSlots;
            }
        }
        const int number = numberByName(key);
        if (number >= 0) {
            m_slots[free == kSlots ? home : free] = {key, number};
        }
        return number;
    }
    bool readsBack(int number) const { return m_readsBack[static_cast<std::size_t>(number)] != 0; }

private:
    static constexpr int kBits = 10;
    static constexpr std::size_t kSlots = std::size_t{1} << kBits;
    static constexpr std::size_t kProbes = 8;
    struct Slot {
        QString text;
        int number = -1;
    };

    int numberByName(const QString& key) {
        std::string folded;
        folded.reserve(static_cast<std::size_t>(key.size()));
        for (QChar c : key) {
            const char16_t u = c.unicode();
            if (u >= 0x80) {
                return -1;
            }
            folded += static_cast<char>(u >= u'A' && u <= u'Z' ? u | 0x20 : u);
        }
        const auto [it, added] =
            m_numbers.try_emplace(std::move(folded), static_cast<int>(m_numbers.size()));
        if (added) {
            m_readsBack.push_back(readsBackUnchanged(key, true) ? 1 : 0);
        }
        return it->second;
    }

    std::vector<Slot> m_slots = std::vector<Slot>(kSlots);
    std::unordered_map<std::string, int> m_numbers;
    std::vector<char> m_readsBack;
};

void removeNuls(QString& text) {
    if (!isPrintableAscii(text) && text.contains(QChar(u'\0'))) {
        text.remove(QChar(u'\0'));
    }
}

// As setValue does it: a key written again keeps its place, with the later value.
void mergeRepeatedKeys(std::vector<IniEntry>& entries) {
    std::vector<IniEntry> merged;
    merged.reserve(entries.size());
    for (IniEntry& e : entries) {
        const auto same = std::find_if(merged.begin(), merged.end(),
                                       [&](const IniEntry& m) { return sameName(m.key, e.key); });
        if (same != merged.end()) {
            same->value = std::move(e.value);
        } else {
            merged.push_back(std::move(e));
        }
    }
    entries = std::move(merged);
}

// Every character becomes one byte, so a section's size is known before it
// is written; sections after the first start with a blank line.
qsizetype sectionTextSize(const IniSection& s, bool first) {
    qsizetype size = (first ? 0 : 2) + s.name.size() + 4;
    for (const IniEntry& e : s.entries) {
        size += e.key.size() + e.value.size() + 3;
    }
    return size;
}

char* putHeader(char* dst, const QString& name, bool first) {
    if (!first) {
        *dst++ = '\r';
        *dst++ = '\n';
    }
    *dst++ = '[';
    dst = putText(dst, name);
    *dst++ = ']';
    *dst++ = '\r';
    *dst++ = '\n';
    return dst;
}

char* putSection(char* dst, const IniSection& s, bool first) {
    dst = putHeader(dst, s.name, first);
    for (const IniEntry& e : s.entries) {
        dst = putText(dst, e.key);
        *dst++ = '=';
        dst = putValue(dst, e.value);
        *dst++ = '\r';
        *dst++ = '\n';
    }
    return dst;
}

} // namespace

struct IniDocument::Appended {
    QByteArray text;
    // Values a reader of the text gets otherwise, as (section, entry).
    std::vector<std::pair<std::size_t, std::size_t>> changedValues;
    // A name would not come back as written: only reading the text tells.
    bool reread = false;
    KeyNumbers keys;
    // Per key number: the last section that wrote it.
    std::vector<std::size_t> lastSection;
};

IniDocument::IniDocument() = default;
IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;
IniDocument::~IniDocument() = default;

QString KeyNames::get(std::size_t position, const char* b, const char* e) {
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
            return name;
        }
        it = m_names.emplace(std::string(raw), std::move(name)).first;
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

} // namespace

void indexSections(const char* start, const char* end, qsizetype base, bool withNames,
                   std::vector<SectionSpan>& spans) {
    QByteArray scratch;
    const char* p = start;
    // Only a line whose first character that is not blank is "[" heads a
    // section: look for "[" and test what stands before it, not every line.
    while (const char* bracket = static_cast<const char*>(std::memchr(p, '[', end - p))) {
        const char* lineBegin = bracket;
        while (lineBegin > start && isBlank(lineBegin[-1])) {
            --lineBegin;
        }
        const char* nl = static_cast<const char*>(std::memchr(bracket, '\n', end - bracket));
        const char* lineEnd = nl ? nl : end;
        p = nl ? nl + 1 : end;
        if (lineBegin > start && lineBegin[-1] != '\n') {
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
                         base + (p - start), -1, nameEnd > nameBegin});
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
        // Whole lines only; the rest waits for the next chunk.
        const qsizetype lastNl = atEnd ? buffer.size() - 1 : buffer.lastIndexOf('\n');
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
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
        auto [b, e] = withoutNuls(p, nl ? nl : end, scratch);
        p = nl ? nl + 1 : end;
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
        line(b, keyEnd, valueBegin, valueEnd);
    }
}

} // namespace

void parseSectionBody(const char* p, const char* end, KeyNames& keyNames,
                      std::vector<IniEntry>& entries) {
    forEachKeyLine(p, end, [&](const char* kb, const char* ke, const char* vb, const char* ve) {
        entries.push_back({keyNames.get(entries.size(), kb, ke), app::fromWin1252(vb, ve - vb)});
    });
}

void readSectionBody(const char* p, const char* end, KeyNames& keyNames,
                     const std::function<void(const QString&, QByteArrayView)>& add) {
    std::size_t position = 0;
    forEachKeyLine(p, end, [&](const char* kb, const char* ke, const char* vb, const char* ve) {
        add(keyNames.get(position++, kb, ke), QByteArrayView(vb, ve - vb));
    });
}

QStringList valuesOfKey(const char* p, const char* end, QLatin1StringView key) {
    QStringList values;
    forEachKeyLine(p, end, [&](const char* kb, const char* ke, const char* vb, const char* ve) {
        if (QLatin1StringView(kb, ke - kb).compare(key, Qt::CaseInsensitive) == 0) {
            values << app::fromWin1252(vb, ve - vb);
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
        parseSectionBody(bytes.constData() + span.begin, bytes.constData() + span.end, keyNames,
                         section.entries);
        finishSection(&section);
        expected = section.entries.size() + 4;
    }
    return doc;
}

QByteArray IniDocument::serialize() const {
    if (m_appended) {
        return m_appended->text;
    }
    qsizetype size = 0;
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        size += sectionTextSize(m_sections[i], i == 0);
    }
    QByteArray out(size, Qt::Uninitialized);
    char* dst = out.data();
    for (std::size_t i = 0; i < m_sections.size(); ++i) {
        dst = putSection(dst, m_sections[i], i == 0);
    }
    Q_ASSERT(dst == out.data() + out.size());
    return out;
}

std::vector<IniSection> IniDocument::takeSections() {
    std::vector<IniSection> taken = std::move(m_sections);
    clear();
    return taken;
}

std::vector<IniSection> IniDocument::takeSectionsAsReadBack() {
    bool reread = false;
    if (m_appended) {
        reread = m_appended->reread;
        if (!reread) {
            for (const auto& [section, entry] : m_appended->changedValues) {
                readBackValue(m_sections[section].entries[entry].value);
            }
        }
    } else {
        KeyNumbers keys;
        for (auto s = m_sections.begin(); !reread && s != m_sections.end(); ++s) {
            reread = !readsBackUnchanged(s->name, false);
            for (auto e = s->entries.begin(); !reread && e != s->entries.end(); ++e) {
                const int number = keys.numberOf(e->key);
                reread = number < 0 || !keys.readsBack(number);
            }
        }
        if (!reread) {
            for (IniSection& s : m_sections) {
                for (IniEntry& e : s.entries) {
                    readBackValue(e.value);
                }
            }
        }
    }
    if (reread) {
        std::vector<IniSection> read = parse(serialize()).takeSections();
        clear();
        return read;
    }
    return takeSections();
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
    m_appended.reset();
    QString value = text;
    removeNuls(value);
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

void IniDocument::writeSection(IniSection&& section) {
    if (section.entries.empty()) {
        return;
    }
    if (m_sections.empty()) {
        m_appended = std::make_unique<Appended>();
    }
    // A name that rises above the last one is new, so the section goes last,
    // whole; any other takes the slow way, key by key.
    if (!m_appended || (!m_sections.empty() &&
                        m_sections.back().name.compare(section.name, Qt::CaseInsensitive) >= 0)) {
        for (const IniEntry& e : section.entries) {
            setValue(section.name, e.key, e.value);
        }
        return;
    }
    Appended& a = *m_appended;
    const std::size_t index = m_sections.size();
    // A name outside ASCII reads back otherwise, and may match another only
    // by the full comparison.
    bool mayRepeat = false;
    for (const IniEntry& e : section.entries) {
        const int number = a.keys.numberOf(e.key);
        if (number < 0) {
            a.reread = mayRepeat = true;
            continue;
        }
        a.reread = a.reread || !a.keys.readsBack(number);
        const auto n = static_cast<std::size_t>(number);
        if (n >= a.lastSection.size()) {
            a.lastSection.resize(n + 1, std::numeric_limits<std::size_t>::max());
        }
        mayRepeat = mayRepeat || a.lastSection[n] == index;
        a.lastSection[n] = index;
    }
    if (mayRepeat) {
        mergeRepeatedKeys(section.entries);
    }
    a.reread = a.reread || !readsBackUnchanged(section.name, false);

    // One pass writes each value and tells whether it reads back as it is;
    // a NUL, found only then, shortens the text that was sized with it.
    const qsizetype start = a.text.size();
    a.text.resize(start + sectionTextSize(section, index == 0));
    char* dst = putHeader(a.text.data() + start, section.name, index == 0);
    for (std::size_t k = 0; k < section.entries.size(); ++k) {
        IniEntry& e = section.entries[k];
        dst = putText(dst, e.key);
        *dst++ = '=';
        bool readsBack = put<true>(dst, e.value);
        if (readsBack) {
            const QStringView v = e.value;
            readsBack = v.isEmpty() || (v.front() != u' ' && v.back() != u' ');
        } else {
            if (e.value.contains(QChar(u'\0'))) {
                e.value.remove(QChar(u'\0'));
                put<true>(dst, e.value);
            }
            readsBack = valueReadsBackUnchanged(e.value);
        }
        if (!readsBack) {
            a.changedValues.emplace_back(index, k);
        }
        dst += e.value.size();
        *dst++ = '\r';
        *dst++ = '\n';
    }
    if (dst != a.text.constData() + a.text.size()) {
        a.text.resize(dst - a.text.constData());
    }
    m_sections.push_back(std::move(section));
    m_indexed = false;
}

void IniDocument::clear() {
    m_appended.reset();
    m_sections.clear();
    m_index.clear();
    m_indexed = false;
    m_lastWritten = -1;
}

} // namespace store
