#pragma once

#include "store/IniReader.h"

#include <QHash>
#include <optional>

// A whole INI file in memory, read through the store's reader and written key
// by key as the Windows INI functions write: the reference the tests hold
// the store's files to, and the writer of their fixtures.
namespace store {

struct IniSection {
    QString name;
    std::vector<IniEntry> entries;
};

class IniDocument {
public:
    // Windows-1252 text, CR LF or LF line ends. Never fails: lines that are
    // neither a section header nor inside a section are passed over, NUL bytes
    // are dropped, a header without "]" runs to the end of its line.
    static IniDocument parse(const QByteArray& bytes);
    // Windows-1252, CR LF, a blank line between sections.
    QByteArray serialize() const;

    const std::vector<IniSection>& sections() const { return m_sections; }
    std::vector<IniSection> takeSections();
    // The first section of that name, or null.
    const IniSection* findSection(const QString& name) const;
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Values never hold a NUL: reading drops them, writing removes them.
    void setValue(const QString& section, const QString& key, const QString& text);
    // The same as setValue for every entry of the section in order.
    void writeSection(const IniSection& section);
    void clear();

private:
    int indexOf(const QString& name) const;

    std::vector<IniSection> m_sections;
    // Folded-name hash to section positions; built on first look-up.
    mutable QMultiHash<size_t, int> m_index;
    mutable bool m_indexed = false;
    int m_lastWritten = -1;
};

} // namespace store
