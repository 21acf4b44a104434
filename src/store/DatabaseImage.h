#pragma once

#include "store/CoinRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// The bytes of a new item database, built before anything touches the disk:
// a pure function of what each section is to hold.
namespace store {

// What one section of the new file holds: the old section's lines byte for
// byte (an item nobody edited), or a record written anew.
struct SectionSource {
    QByteArrayView kept;
    const CoinRecord* written = nullptr;
    // Lines of the written record's old section that the window does not
    // edit (keys of other programs): they follow the fields, before the pictures.
    QByteArrayView keptLines;
    qsizetype number = 0; // "[ITEMNUMB000001]"
    // A stored item keeps its first picture key even when it is empty.
    bool stored = true;
};

// Where a section's lines lie in the new file; begin < 0 for a written
// record that had nothing to store and wrote no section.
struct SectionPlace {
    qsizetype begin = -1;
    qsizetype end = -1;
};

// The new file as pieces in order: the bytes written anew, and views of the
// kept sections where they lie (in the old file), so that a save copies no
// kept byte in memory.
struct DatabaseImage {
    QByteArray written; // headers, line ends and records written anew
    std::vector<QByteArrayView> pieces;
    qsizetype size = 0;
    qsizetype preambleEnd = 0;
    std::vector<SectionPlace> places; // one per source

    // The bytes between two offsets of the new file.
    QByteArray slice(qsizetype begin, qsizetype end) const;
};

// `preamble` (what stood before the first section) comes first, as it was;
// each section after a blank line, its lines ending in CR LF. The image
// views `preamble` and the kept sections: they must outlive it.
DatabaseImage buildDatabaseImage(QByteArrayView preamble,
                                 const std::vector<SectionSource>& sections);

// A section's lines without the blank lines that end it (they part it from
// the next section, and the writer puts one there itself).
QByteArrayView withoutTrailingBlankLines(QByteArrayView lines);

// The lines of an old section that a save of `record` in its place must
// keep: every non-blank line whose key is no field of the window, no picture
// key, and not in the record.
QByteArray linesTheWindowDoesNotEdit(QByteArrayView lines, const CoinRecord& record);

} // namespace store
