#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <vector>

// Searching a coin's stored bytes without regard to letter case or accents:
// "lodz" finds "Łódź". The values stay as the file's Windows-1252 bytes; a
// table folds each byte, and only a value holding a character reference
// ("&#322;") is decoded first.
namespace ui {

// A character without case and accents ("Ł" and "ł" give "l", "É" gives "e").
QChar foldChar(QChar c);
QString foldText(QStringView text);

// One word of a search, folded: as Windows-1252 bytes when every letter fits,
// and as text for values that hold character references.
struct SearchWord {
    QString text;
    QByteArray bytes; // empty when a letter does not fit Windows-1252
};

// The words of what the user typed, folded; blanks separate them.
std::vector<SearchWord> searchWords(const QString& typed);

// The folded word occurs in the stored value.
bool valueContains(QByteArrayView stored, const SearchWord& word);
// The same for a text that is already folded.
bool foldedContains(QByteArrayView folded, const SearchWord& word);

// The Windows-1252 bytes of a text, folded (for the lists' entries).
QByteArray foldedBytes(QStringView text);

// Whether the words extend `before`: every earlier word lies within one of them,
// so that what they find is a part of what it found.
bool narrows(const std::vector<SearchWord>& words, const std::vector<SearchWord>& before);

} // namespace ui
