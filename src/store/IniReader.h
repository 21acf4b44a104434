#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Reading the item database's INI text: the sections in file order, each
// section's key lines read when asked for. Names match without regard to
// letter case; CR LF, LF and a lone CR each end a line.
class QIODevice;

namespace store {

struct IniEntry {
    QString key;
    QString value;
};

// Key names repeat from section to section: every section shares one copy of
// each name. Most sections list their keys in the same order as the one
// before, so the name at the same position is tried before the table. Names
// alike without regard to letter case share an id, so that a section's
// repeated keys are found without comparing texts.
class KeyNames {
public:
    struct Name {
        QString text;
        int id = -1; // -1: one name too many to remember; compare its text
    };
    const Name& get(std::size_t position, const char* b, const char* e);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const {
            return std::hash<std::string_view>{}(s);
        }
    };
    static constexpr std::size_t kMaxNames = 4096;
    std::unordered_map<std::string, Name, Hash, std::equal_to<>> m_names;
    QHash<QString, int> m_ids; // by folded name
    std::vector<const std::pair<const std::string, Name>*> m_byPosition;
    Name m_unremembered;
};

// A section found in a file's bytes, its key lines not yet read: they lie
// between byte offsets begin and end.
struct SectionSpan {
    QString name;              // left null when the caller asked only whether it has one
    qsizetype headerBegin = 0; // where the header's line starts
    qsizetype begin = 0;       // after the header's line
    qsizetype end = 0;         // where the next header's line starts
    bool named = false;
};

// The sections the reader finds, in file order, without reading their keys:
// in bytes held in memory, or read through a small buffer from a file.
std::vector<SectionSpan> indexSections(const QByteArray& bytes);
// How many sections with a name (one per coin) the text holds.
qsizetype namedSectionCount(const QByteArray& bytes);
std::vector<SectionSpan> indexSections(QIODevice& file, bool withNames,
                                       qsizetype chunk = qsizetype{128} * 1024);
// Hands over the key lines between p and end, as the reader reads them: each
// key with its value's bytes (trimmed, no NUL).
void readSectionBody(const char* p, const char* end, KeyNames& keyNames,
                     const std::function<void(const KeyNames::Name&, QByteArrayView)>& add);
// A value as a line of the file holds it, appended: Windows-1252, a line
// break as a blank, no NUL.
void appendValueBytes(QByteArray& out, QStringView value);
// A value's bytes after a key's "=": in quotes when the reader would change
// it otherwise (blanks at its ends, or a pair of matching quotes it drops),
// so that it reads back as it was.
void appendValueLine(QByteArray& out, QByteArrayView valueBytes);

} // namespace store
