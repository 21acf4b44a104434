#pragma once

#include "store/AtomicFile.h"
#include "store/IniFile.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

// The one class through which the program reads and writes INI files. The
// caller sets Path, Section and Key, then reads or assigns Value or asks for a
// list of names. The file is read once, on first use; writes collect in memory
// and reach the file, whole and in one pass, with Commit.
class cInifile {
public:
    static constexpr int kDefaultValueCapacity = 255;
    static constexpr int kDefaultListCapacity = 8192;
    static constexpr int kUnlimited = 0;

    explicit cInifile(int valueCapacity = kDefaultValueCapacity,
                      int listCapacity = kDefaultListCapacity);

    // 1-3: the addressed file, key and section; setting them touches no file.
    QString path() const { return m_path; }
    void setPath(const QString& path);
    QString key() const { return m_key; }
    void setKey(const QString& key) { m_key = key; }
    QString section() const { return m_section; }
    void setSection(const QString& section) { m_section = section; }

    // 4, 5: the value of Key in Section; a missing one reads as "".
    QString value();
    void setValue(const QString& value);

    // 6, 7: NUL-terminated name lists in file order.
    QString iniSection();
    QString sections();

    // 8, 9: the same lists as arrays (first name at index 0).
    void enumerateCurrentSection(QStringList& names, qint32& count);
    void enumerateAllSections(QStringList& names, qint32& count);

    // Every named section in file order with its keys and values, cut by the
    // capacities as the single reads would cut them. Leaves the file unread.
    std::vector<store::IniSection> takeAllSections();

    // The open file and its named sections, their keys left unread, for an
    // instance that cuts nothing (kUnlimited capacities). Reads the file anew.
    struct UnreadSections {
        std::unique_ptr<QFile> file; // null when missing or unreadable
        std::vector<store::SectionSpan> sections;
    };
    UnreadSections takeAllSectionsUnread();

    // The same as TakeAllSections after the file has been written and read
    // again: names and values as the reader gives them back.
    std::vector<store::IniSection> takeWrittenSections();

    // Forgets the file's content, as if the file had been deleted.
    void startEmpty();
    // The same as setting Section to the section's name and writing each of
    // its keys in order through Key and Value, except that Section and Key
    // keep what they held. After StartEmpty, sections given in rising order
    // of name are written as they come, in one pass.
    void writeSection(store::IniSection&& section);
    // Writes the whole file through a temporary file, flushed and renamed into
    // place. Raises a runtime error when it cannot, or when the file exists but
    // could not be read (writing would replace what it holds).
    void commit();
    // Commit without the rename: the caller puts the file in place with
    // Replace, after whatever must happen first.
    store::StagedFile stage();

private:
    store::IniDocument& document();
    QString listText(const QStringList& names) const;
    std::vector<store::IniSection> cut(std::vector<store::IniSection> all) const;

    int m_valueCapacity;
    int m_listCapacity;
    QString m_path;
    QString m_section;
    QString m_key;
    store::IniDocument m_doc;
    bool m_loaded = false;
    bool m_unreadable = false;
};
