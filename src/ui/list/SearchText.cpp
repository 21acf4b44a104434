#include "ui/list/SearchText.h"

#include "app/Win1252.h"

#include <array>
#include <bit>
#include <cstring>

namespace ui {
namespace {

// Each Windows-1252 byte to the byte of its folded character.
const std::array<unsigned char, 256>& foldTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString c = app::fromWin1252(&byte, 1);
            const QChar folded = foldChar(c.front());
            const unsigned char out = app::win1252Byte(folded);
            // A character the set cannot hold after folding stays itself.
            t[static_cast<std::size_t>(b)] =
                out == '?' && folded != u'?' ? static_cast<unsigned char>(b) : out;
        }
        return t;
    }();
    return table;
}

bool matchesAt(const unsigned char* p, const unsigned char* word, qsizetype n,
               const std::array<unsigned char, 256>& fold) {
    for (qsizetype k = 1; k < n; ++k) {
        if (fold[p[k]] != word[k]) {
            return false;
        }
    }
    return true;
}

} // namespace

QChar foldChar(QChar c) {
    switch (c.unicode()) {
    case u'ł':
    case u'Ł':
        return u'l';
    case u'đ':
    case u'Đ':
    case u'ð':
    case u'Ð':
        return u'd';
    case u'ø':
    case u'Ø':
        return u'o';
    case u'ı':
        return u'i';
    default:
        break;
    }
    if (c.unicode() < 0x80) {
        return c.toLower();
    }
    const QString decomposed = QString(c).normalized(QString::NormalizationForm_D);
    return decomposed.isEmpty() ? c : decomposed.front().toLower();
}

QString foldText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Mark_NonSpacing) {
            out.append(foldChar(c));
        }
    }
    return out;
}

QByteArray foldedBytes(QStringView text) {
    const QByteArray raw = app::toWin1252(text);
    QByteArray out(raw.size(), Qt::Uninitialized);
    const auto& fold = foldTable();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        out[i] = static_cast<char>(fold[static_cast<unsigned char>(raw[i])]);
    }
    return out;
}

std::vector<SearchWord> searchWords(const QString& typed) {
    std::vector<SearchWord> words;
    for (const QString& part : typed.split(u' ', Qt::SkipEmptyParts)) {
        SearchWord w;
        w.text = foldText(part.trimmed());
        if (w.text.isEmpty()) {
            continue;
        }
        const bool fits = std::all_of(w.text.begin(), w.text.end(), [](QChar c) {
            return c == u'?' || app::win1252Byte(c) != '?';
        });
        if (fits) {
            w.bytes = foldedBytes(w.text);
        }
        words.push_back(std::move(w));
    }
    return words;
}

bool foldedContains(QByteArrayView folded, const SearchWord& word) {
    if (word.bytes.isEmpty()) {
        return false;
    }
    return folded.indexOf(QByteArrayView(word.bytes)) >= 0;
}

bool valueContains(QByteArrayView stored, const SearchWord& word) {
    const qsizetype n = word.bytes.size();
    if (n > 0 && n <= stored.size()) {
        const auto& fold = foldTable();
        const auto* w = reinterpret_cast<const unsigned char*>(word.bytes.constData());
        const auto* p = reinterpret_cast<const unsigned char*>(stored.data());
        const auto* last = p + (stored.size() - n);
        const unsigned char first = w[0];
        // Eight plain ASCII bytes at a time: their folding is lower case.
        constexpr quint64 kOnes = 0x0101010101010101ULL;
        constexpr quint64 kHigh = kOnes * 0x80;
        for (; p + 8 <= last + 1; p += 8) {
            quint64 x = 0;
            std::memcpy(&x, p, 8);
            if ((x & kHigh) != 0) {
                for (int k = 0; k < 8; ++k) {
                    if (fold[p[k]] == first && matchesAt(p + k, w, n, fold)) {
                        return true;
                    }
                }
                continue;
            }
            const quint64 upper =
                ((x + kOnes * (128 - 'A')) ^ (x + kOnes * (128 - 'Z' - 1))) & kHigh;
            const quint64 y = (x | (upper >> 2)) ^ (kOnes * first);
            for (quint64 hits = (y - kOnes) & ~y & kHigh; hits != 0; hits &= hits - 1) {
                const int k = std::countr_zero(hits) / 8;
                if (matchesAt(p + k, w, n, fold)) {
                    return true;
                }
            }
        }
        for (; p <= last; ++p) {
            if (fold[*p] == first && matchesAt(p, w, n, fold)) {
                return true;
            }
        }
    }
    // A letter written as a reference is only found in the decoded text.
    if (std::memchr(stored.data(), '&', static_cast<std::size_t>(stored.size())) != nullptr &&
        stored.contains("&#")) {
        const QString decoded = app::fromWin1252WithReferences(stored.data(), stored.size());
        return foldText(decoded).contains(word.text);
    }
    return false;
}

bool narrows(const std::vector<SearchWord>& words, const std::vector<SearchWord>& before) {
    return std::all_of(before.begin(), before.end(), [&words](const SearchWord& old) {
        return std::any_of(words.begin(), words.end(),
                           [&old](const SearchWord& w) { return w.text.contains(old.text); });
    });
}

} // namespace ui
