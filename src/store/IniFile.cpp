#include "store/IniFile.h"

#include "app/Win1252.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace store {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; }

void Trim(const char*& b, const char*& e) {
    while (b < e && IsBlank(*b)) {
        ++b;
    }
    while (e > b && IsBlank(e[-1])) {
        --e;
    }
}

size_t FoldedHash(QStringView s) {
    size_t h = 1469598103934665603ull;
    for (QChar c : s) {
        h = (h ^ c.toCaseFolded().unicode()) * 1099511628211ull;
    }
    return h;
}

bool SameName(QStringView a, QStringView b) {
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

// Key names repeat from section to section: every section shares one copy of
// each name. Most sections list their keys in the same order as the one
// before, so the name at the same position is tried before the table.
class KeyNames {
public:
    QString get(std::size_t position, const char* b, const char* e) {
        const std::string_view raw(b, static_cast<std::size_t>(e - b));
        if (position < m_byPosition.size() && m_byPosition[position] &&
            m_byPosition[position]->first == raw) {
            return m_byPosition[position]->second;
        }
        auto it = m_names.find(raw);
        if (it == m_names.end()) {
            QString name = app::FromWin1252(b, e - b);
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

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    static constexpr std::size_t kMaxNames = 4096;
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_names;
    std::vector<const std::pair<const std::string, QString>*> m_byPosition;
};

// The entries of a section are sized from the one before and trimmed when the
// section ends, so that no section keeps room it does not use.
void FinishSection(IniSection* section) {
    if (section && section->entries.capacity() > section->entries.size()) {
        section->entries.shrink_to_fit();
    }
}

// One byte per character, as app::Win1252Byte maps it, without a call for the
// common ASCII case.
char* PutText(char* dst, QStringView text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        *dst++ = u < 0x80 ? static_cast<char>(u) : static_cast<char>(app::Win1252Byte(c));
    }
    return dst;
}

// The same for a value: a line break inside it would end the line early.
char* PutValue(char* dst, QStringView text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        *dst++ = u == u'\r' || u == u'\n' ? ' '
                 : u < 0x80               ? static_cast<char>(u)
                                          : static_cast<char>(app::Win1252Byte(c));
    }
    return dst;
}

char* PutLiteral(char* dst, const char* text) {
    while (*text) {
        *dst++ = *text++;
    }
    return dst;
}

} // namespace

IniDocument IniDocument::Parse(const QByteArray& bytes) {
    IniDocument doc;
    KeyNames keyNames;
    IniSection* current = nullptr;
    QByteArray scratch;

    const char* p = bytes.constData();
    const char* end = p + bytes.size();
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* lineEnd = nl ? nl : end;
        const char* b = p;
        const char* e = lineEnd;
        p = nl ? nl + 1 : end;

        if (std::memchr(b, '\0', e - b)) {
            scratch = QByteArray(b, e - b);
            scratch.replace('\0', QByteArray());
            b = scratch.constData();
            e = b + scratch.size();
        }
        Trim(b, e);
        if (b == e || *b == ';') {
            continue;
        }
        if (*b == '[') {
            const char* nameBegin = b + 1;
            const char* nameEnd = e;
            for (const char* q = e; q > nameBegin; --q) {
                if (q[-1] == ']') {
                    nameEnd = q - 1;
                    break;
                }
            }
            Trim(nameBegin, nameEnd);
            FinishSection(current);
            const std::size_t expected = current ? current->entries.size() + 4 : 0;
            doc.m_sections.push_back(
                {app::FromWin1252(nameBegin, nameEnd - nameBegin), std::vector<IniEntry>()});
            current = &doc.m_sections.back();
            current->entries.reserve(expected);
            continue;
        }
        if (!current) {
            continue;
        }
        const char* eq = static_cast<const char*>(std::memchr(b, '=', e - b));
        const char* keyEnd = eq ? eq : e;
        const char* valueBegin = eq ? eq + 1 : e;
        const char* valueEnd = e;
        Trim(b, keyEnd);
        Trim(valueBegin, valueEnd);
        current->entries.push_back({keyNames.get(current->entries.size(), b, keyEnd),
                                    app::FromWin1252(valueBegin, valueEnd - valueBegin)});
    }
    FinishSection(current);
    return doc;
}

QByteArray IniDocument::Serialize() const {
    // Every character becomes one byte, so the size is known before writing.
    qsizetype size = 0;
    for (const IniSection& s : m_sections) {
        size += (&s == &m_sections.front() ? 0 : 2) + s.name.size() + 4;
        for (const IniEntry& e : s.entries) {
            size += e.key.size() + e.value.size() + 3;
        }
    }
    QByteArray out(size, Qt::Uninitialized);
    char* dst = out.data();
    bool first = true;
    for (const IniSection& s : m_sections) {
        if (!first) {
            dst = PutLiteral(dst, "\r\n");
        }
        first = false;
        *dst++ = '[';
        dst = PutText(dst, s.name);
        dst = PutLiteral(dst, "]\r\n");
        for (const IniEntry& e : s.entries) {
            dst = PutText(dst, e.key);
            *dst++ = '=';
            dst = PutValue(dst, e.value);
            dst = PutLiteral(dst, "\r\n");
        }
    }
    Q_ASSERT(dst == out.data() + out.size());
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
            m_index.insert(FoldedHash(m_sections[i].name), i);
        }
        m_indexed = true;
    }
    int found = -1;
    const size_t h = FoldedHash(name);
    for (auto it = m_index.constFind(h); it != m_index.cend() && it.key() == h; ++it) {
        if (SameName(m_sections[it.value()].name, name) && (found < 0 || it.value() < found)) {
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
        if (SameName(e.key, key)) {
            return e.value;
        }
    }
    return std::nullopt;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    int i = m_lastWritten;
    if (i < 0 || i >= static_cast<int>(m_sections.size()) ||
        !SameName(m_sections[i].name, section)) {
        i = indexOf(section);
    }
    if (i < 0) {
        m_sections.push_back({section, {}});
        i = static_cast<int>(m_sections.size()) - 1;
        m_index.insert(FoldedHash(section), i);
    }
    m_lastWritten = i;
    for (IniEntry& e : m_sections[i].entries) {
        if (SameName(e.key, key)) {
            e.value = value;
            return;
        }
    }
    m_sections[i].entries.push_back({key, value});
}

void IniDocument::clear() {
    m_sections.clear();
    m_index.clear();
    m_indexed = false;
    m_lastWritten = -1;
}

qsizetype NamesThatFit(const std::vector<qsizetype>& nameLengths, int capacity) {
    if (capacity <= 0) {
        return static_cast<qsizetype>(nameLengths.size());
    }
    qsizetype total = 0;
    for (qsizetype len : nameLengths) {
        total += len + 1;
    }
    // The whole list and its closing NUL fit: nothing is cut.
    if (total + 1 <= capacity) {
        return static_cast<qsizetype>(nameLengths.size());
    }
    // Otherwise the list is cut to capacity - 2 characters, and a name whose
    // NUL falls beyond that is lost with all after it.
    qsizetype used = 0;
    qsizetype kept = 0;
    for (qsizetype len : nameLengths) {
        if (used + len + 1 > capacity - 2) {
            break;
        }
        used += len + 1;
        ++kept;
    }
    return kept;
}

QString CutValue(const QString& value, int capacity) {
    if (capacity <= 0 || value.size() <= capacity - 1) {
        return value;
    }
    return value.left(capacity - 1);
}

} // namespace store
