#include "IniDocument.h"

#include "app/Win1252.h"

namespace store {
namespace {

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
            QByteArray value;
            appendValueBytes(value, e.value);
            appendValueLine(out, value);
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
