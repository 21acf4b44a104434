#include "store/IniFile.h"

#include "app/Win1252.h"

#include <cstring>

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
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// Key names repeat from section to section, mostly in the same order: reuse
// the text of the previous section's key at the same position so that every
// section shares one copy of each name.
class KeyNames {
public:
    QString get(std::size_t position, const char* b, const char* e) {
        const QLatin1StringView raw(b, e - b);
        if (position < m_names.size() && m_names[position] == raw && IsPlain(b, e)) {
            return m_names[position];
        }
        QString name = app::FromWin1252(b, e - b);
        if (position >= m_names.size()) {
            m_names.resize(position + 1);
        }
        m_names[position] = name;
        return name;
    }

private:
    // Latin-1 and Windows-1252 agree outside 0x80-0x9F.
    static bool IsPlain(const char* b, const char* e) {
        for (; b < e; ++b) {
            const auto c = static_cast<unsigned char>(*b);
            if (c >= 0x80 && c < 0xA0) {
                return false;
            }
        }
        return true;
    }
    std::vector<QString> m_names;
};

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
            doc.m_sections.push_back(
                {app::FromWin1252(nameBegin, nameEnd - nameBegin), std::vector<IniEntry>()});
            current = &doc.m_sections.back();
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
    return doc;
}

QByteArray IniDocument::Serialize() const {
    qsizetype estimate = 0;
    for (const IniSection& s : m_sections) {
        estimate += s.name.size() + 6;
        for (const IniEntry& e : s.entries) {
            estimate += e.key.size() + e.value.size() + 3;
        }
    }
    QByteArray out;
    out.reserve(estimate);
    bool first = true;
    for (const IniSection& s : m_sections) {
        if (!first) {
            out += "\r\n";
        }
        first = false;
        out += '[';
        app::AppendWin1252(out, s.name);
        out += "]\r\n";
        for (const IniEntry& e : s.entries) {
            app::AppendWin1252(out, e.key);
            out += '=';
            const qsizetype valueStart = out.size();
            app::AppendWin1252(out, e.value);
            // A line break inside a value would end the line early.
            for (qsizetype i = valueStart; i < out.size(); ++i) {
                if (out[i] == '\r' || out[i] == '\n') {
                    out[i] = ' ';
                }
            }
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
