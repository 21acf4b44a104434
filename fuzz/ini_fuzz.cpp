#include "IniDocument.h"
#include "app/Win1252.h"
#include "store/DatabaseImage.h"
#include "store/DatabaseText.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using store::IniDocument;

namespace {

[[noreturn]] void Fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "property failed: %s %s\n", what, qPrintable(detail));
    std::abort();
}

// A value is one line: the writer turns a line break inside it into a blank.
// The reader trims the ends, so only inner CRs can be there to be turned.
QString AsWritten(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

void CheckSameContent(const IniDocument& read, const IniDocument& reread) {
    const auto& a = read.sections();
    const auto& b = reread.sections();
    if (a.size() != b.size()) {
        Fail("section count");
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name) {
            Fail("section name", a[i].name + QStringLiteral(" / ") + b[i].name);
        }
        if (a[i].entries.size() != b[i].entries.size()) {
            Fail("key count in", a[i].name);
        }
        for (std::size_t k = 0; k < a[i].entries.size(); ++k) {
            const auto& x = a[i].entries[k];
            const auto& y = b[i].entries[k];
            if (x.key != y.key) {
                Fail("key name", x.key + QStringLiteral(" / ") + y.key);
            }
            if (AsWritten(x.value) != y.value) {
                Fail("value of", x.key);
            }
        }
    }
}

// Look-up through the name hash agrees with a plain scan for the first
// section of that name in any letter case.
void CheckLookUp(const IniDocument& doc) {
    const auto& all = doc.sections();
    const std::size_t checked = std::min<std::size_t>(all.size(), 64);
    for (std::size_t i = 0; i < checked; ++i) {
        const store::IniSection* expected = nullptr;
        for (const auto& s : all) {
            if (s.name.compare(all[i].name, Qt::CaseInsensitive) == 0) {
                expected = &s;
                break;
            }
        }
        if (doc.findSection(all[i].name) != expected) {
            Fail("look-up of", all[i].name);
        }
        const QString upper = all[i].name.toUpper();
        if (upper.size() == all[i].name.size() && doc.findSection(upper) != expected) {
            Fail("upper-case look-up of", all[i].name);
        }
    }
}

// Indexing through a small buffer finds the sections the whole-file reader
// finds, and reading each section's lines gives the same keys and values.
void CheckIndexedReading(const QByteArray& bytes, const IniDocument& read, qsizetype chunk) {
    QByteArray copy = bytes;
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    const std::vector<store::SectionSpan> spans = store::indexSections(device, true, chunk);
    if (spans.size() != read.sections().size()) {
        Fail("indexed section count");
    }
    store::KeyNames names;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (spans[i].name != read.sections()[i].name || spans[i].named == spans[i].name.isEmpty()) {
            Fail("indexed section name", spans[i].name);
        }
        std::vector<store::IniEntry> entries;
        store::readSectionBody(
            bytes.constData() + spans[i].begin, bytes.constData() + spans[i].end, names,
            [&entries](const store::KeyNames::Name& key, QByteArrayView value) {
                entries.push_back(
                    {key.text, app::fromWin1252WithReferences(value.data(), value.size())});
            });
        const auto& expected = read.sections()[i].entries;
        if (entries.size() != expected.size()) {
            Fail("indexed key count in", spans[i].name);
        }
        for (std::size_t k = 0; k < entries.size(); ++k) {
            if (entries[k].key != expected[k].key || entries[k].value != expected[k].value) {
                Fail("indexed key", entries[k].key);
            }
        }
    }
}

// Every section written back byte for byte, as a save keeps the items nobody
// edited: the file reads as it did, and writing it again changes nothing.
void CheckKeptSections(const QByteArray& bytes) {
    const std::vector<store::SectionSpan> spans = store::indexSections(bytes);
    std::vector<store::SectionSource> kept;
    for (const store::SectionSpan& span : spans) {
        const QByteArrayView lines =
            QByteArrayView(bytes).sliced(span.begin, span.end - span.begin);
        kept.push_back({store::withoutTrailingBlankLines(lines),
                        nullptr,
                        {},
                        static_cast<qsizetype>(kept.size()) + 1,
                        true});
    }
    const QByteArray preamble = spans.empty() ? bytes : bytes.first(spans.front().headerBegin);
    const store::DatabaseImage image = store::buildDatabaseImage(preamble, kept);
    const QByteArray once = image.slice(0, image.size);
    const std::vector<store::SectionSpan> again = store::indexSections(once);
    if (again.size() != spans.size()) {
        Fail("kept section count");
    }
    store::KeyNames names;
    const auto keys = [&names](const QByteArray& text, const store::SectionSpan& span) {
        QStringList out;
        store::readSectionBody(text.constData() + span.begin, text.constData() + span.end, names,
                               [&out](const store::KeyNames::Name& key, QByteArrayView value) {
                                   out << key.text << QString::fromLatin1(value.toByteArray());
                               });
        return out;
    };
    for (std::size_t i = 0; i < spans.size(); ++i) {
        if (keys(bytes, spans[i]) != keys(once, again[i])) {
            Fail("kept section keys", spans[i].name);
        }
    }
}

// Files from other programs: any text form converts, and the check of a
// file's lines never fails on any bytes.
void CheckTextForms(const QByteArray& bytes) {
    const store::TextForm form = store::textFormOf(bytes);
    const QByteArray native = store::toNativeForm(bytes, form);
    if (form != store::TextForm::Native && native.contains('\r') &&
        native.count('\r') != native.count("\r\n")) {
        Fail("a converted file has a lone CR");
    }
    store::everyLinePlaced(native);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const IniDocument read = IniDocument::parse(bytes);
    const QByteArray written = read.serialize();
    const IniDocument reread = IniDocument::parse(written);
    CheckSameContent(read, reread);
    // What the writer writes, it writes again unchanged.
    if (reread.serialize() != written) {
        Fail("second write differs");
    }
    CheckLookUp(read);
    CheckIndexedReading(bytes, read, size > 0 ? 1 + data[0] % 97 : 1);
    CheckKeptSections(bytes);
    CheckTextForms(bytes);
    return 0;
}
