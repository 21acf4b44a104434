#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// The INI file layer: a file is read once into memory and written whole in one
// pass. Section and key names match without regard to letter case; names keep
// their file order; a new section goes after the last one, a new key after the
// last key of its section, and an existing key is replaced in place.
namespace store {

struct IniEntry {
    QString key;
    QString value;
};

struct IniSection {
    QString name;
    std::vector<IniEntry> entries;
};

class IniDocument {
public:
    IniDocument();
    IniDocument(IniDocument&&) noexcept;
    IniDocument& operator=(IniDocument&&) noexcept;
    ~IniDocument();

    // Windows-1252 text, CR LF or LF line ends. Never fails: lines that are
    // neither a section header nor inside a section are passed over, NUL bytes
    // are dropped, a header without "]" runs to the end of its line.
    static IniDocument Parse(const QByteArray& bytes);
    // Windows-1252, CR LF, a blank line between sections.
    QByteArray Serialize() const;

    const std::vector<IniSection>& sections() const { return m_sections; }
    std::vector<IniSection> takeSections();
    // What Parse(Serialize()) gives, taken out of the document; the text is
    // read only when a name would not come back as written.
    std::vector<IniSection> takeSectionsAsReadBack();

    // The first section of that name, or null.
    const IniSection* findSection(const QString& name) const;
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Values never hold a NUL: reading drops them, writing removes them.
    void setValue(const QString& section, const QString& key, const QString& value);
    // The same as setValue for every entry of the section in order: no entries
    // add nothing, a section of a name already there takes the keys, and a key
    // written again keeps its place and takes the later value. Quick while an
    // emptied document takes sections in rising order of name.
    void writeSection(IniSection&& section);
    void clear();

private:
    int indexOf(const QString& name) const;

    std::vector<IniSection> m_sections;
    // Folded-name hash to section positions; built on first look-up.
    mutable QMultiHash<size_t, int> m_index;
    mutable bool m_indexed = false;
    int m_lastWritten = -1;
    // Kept while the document has grown by writeSection alone since it was
    // empty: its text, made as the sections came.
    struct Appended;
    std::unique_ptr<Appended> m_appended;
};

// How a text of NUL-terminated names or a single value is cut by a reader with
// a fixed capacity in characters (0 = no limit).
qsizetype NamesThatFit(const std::vector<qsizetype>& nameLengths, int capacity);
QString CutValue(const QString& value, int capacity);

} // namespace store
