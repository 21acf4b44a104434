#include "TestSupport.h"

#include "app/ErrorLog.h"
#include "app/Win1252.h"
#include "store/IniDocument.h"
#include "store/IniFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <numeric>

namespace {

using Writes = QList<QStringList>; // section, key, value

QByteArray noise(int size) {
    QList<quint32> words(size / 4);
    QRandomGenerator(12345).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.constData()), size) + '\n';
}

// Every byte from 0x80 up, which Windows-1252 maps to text.
QByteArray high() {
    QByteArray high(128, '\0');
    std::iota(high.begin(), high.end(), '\x80');
    return high;
}

// Writes drawn from names and characters that the writer or the reader treat
// specially: with rising section names and keys that read back as written
// (so that only the values differ), or with any names in any order.
Writes randomWrites(bool risingNames) {
    QStringList keys{"k", "K", "key", "KEY", "x"};
    if (!risingNames) {
        keys += QStringList{"k\u00e9", "K\u00c9", " b", "a=b", "[x", ";c", ""};
    }
    const QString chars =
        QStringLiteral("ab =[;\t\r\n\u00e9\u20ac\u0080\u0081\u2192\xd83d") + QChar(u'\0');
    QRandomGenerator random(risingNames ? 7 : 11);
    Writes writes;
    for (int i = 0; i < 400; ++i) {
        const QString section = risingNames ? QStringLiteral("s%1").arg(i / 8, 3, 10, QChar(u'0'))
                                            : QStringList{"a", "B", "b", "c "}[random.bounded(4)];
        QString value;
        for (int n = random.bounded(6); n > 0; --n) {
            value += chars[random.bounded(chars.size())];
        }
        writes << QStringList{section, keys[random.bounded(keys.size())], value};
    }
    return writes;
}

// Names, keys and values in order, one list per section.
QList<QStringList> flat(const std::vector<store::IniSection>& sections) {
    QList<QStringList> flat;
    for (const store::IniSection& s : sections) {
        QStringList row{s.name};
        for (const store::IniEntry& e : s.entries) {
            row << e.key << e.value;
        }
        flat << row;
    }
    return flat;
}

// The section names in file order, empty ones too, and the keys of one section.
QStringList sectionNames(const store::IniDocument& doc) {
    QStringList names;
    for (const store::IniSection& s : doc.sections()) {
        names << s.name;
    }
    return names;
}

QStringList keysOf(const store::IniDocument& doc, const QString& section) {
    QStringList keys;
    if (const store::IniSection* s = doc.findSection(section)) {
        for (const store::IniEntry& e : s->entries) {
            keys << e.key;
        }
    }
    return keys;
}

} // namespace

class IniTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFolderFixture> m_folder;
    QString m_path;

    // A null content leaves the file missing.
    void writeFile(const QByteArray& content) {
        QFile::remove(m_path);
        if (!content.isNull()) {
            m_folder->write(QStringLiteral("test.ini"), content);
        }
    }
    QByteArray fileBytes() const { return m_folder->read(QStringLiteral("test.ini")); }

private slots:
    void init() {
        m_folder = std::make_unique<ProgramFolderFixture>(false);
        m_path = m_folder->path(QStringLiteral("test.ini"));
    }
    void cleanup() { m_folder.reset(); }

    void reading_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("allNames"); // with empty ones, in file order
        QTest::addColumn<QStringList>("keys");     // of the section
        const auto row = [](const char* name, const QByteArray& content, const QString& section,
                            const QString& key, const QString& value, const QStringList& allNames,
                            const QStringList& keys) {
            QTest::newRow(name) << content << section << key << value << allNames << keys;
        };
        row("plain", "[s]\r\nk=v\r\n", "s", "k", "v", {"s"}, {"k"});
        row("names in other case", "[Coins]\nKey=v\n", "cOINS", "kEY", "v", {"Coins"}, {"Key"});
        row("blanks around, after the first =", "[s]\n k \t=  a=b w \t\r\n", "s", "k", "a=b w",
            {"s"}, {"k"});
        row("file order", "[b]\n[s]\nb=1\na=2\nc=3\n[a]", "s", "a", "2", {"b", "s", "a"},
            {"b", "a", "c"});
        row("first of two keys", "[s]\nk=1\nk=2\n", "s", "k", "1", {"s"}, {"k", "k"});
        row("first of two sections", "[s]\nk=1\n[S]\nk=2\nx=3\n", "S", "k", "1", {"s", "S"}, {"k"});
        row("missing key", "[s]\nk=v\n", "s", "x", "", {"s"}, {"k"});
        row("missing section", "[s]\nk=v\n", "t", "k", "", {"s"}, {});
        row("missing file", QByteArray(), "s", "k", "", {}, {});
        row("empty file", "", "s", "k", "", {}, {});
        row("empty names", "[x]\n[]\n=1\nk=2\n[y]\n", "", "", "1", {"x", "", "y"}, {"", "k"});
        row("stray and comment lines", "k=0\n;[no]\n[s]\n;k=1\nd=4\n", "s", "k", "", {"s"}, {"d"});
        row("NUL inside", QByteArrayLiteral("[s]\nk=a\0b\n"), "s", "k", "ab", {"s"}, {"k"});
        row("header without ]", "[open\nk=v", "open", "k", "v", {"open"}, {"k"});
        const QString text = app::fromWin1252(high());
        row("all of Windows-1252", "[s" + high() + "]\r\nk" + high() + "=" + high(), u'S' + text,
            u'K' + text, text, {u's' + text}, {u'k' + text});
        const QByteArray letters = QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(4000);
        row("100000 characters", "[s]\nk=" + letters, "s", "k", letters, {"s"}, {"k"});
    }
    void reading() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QStringList, allNames);
        QFETCH(QStringList, keys);
        const store::IniDocument doc = store::IniDocument::parse(content);
        QCOMPARE(doc.value(section, key).value_or(QString()), value);
        QCOMPARE(sectionNames(doc), allNames);
        QCOMPARE(keysOf(doc, section), keys);
        // The reader that loads collections finds the named sections and their keys.
        writeFile(content);
        const store::IniFile::UnreadSections unread = store::IniFile(m_path).readSectionsLazily();
        QList<QStringList> named;
        for (const store::IniSection& s : doc.sections()) {
            if (!s.name.isEmpty()) {
                named << keysOf(doc, s.name);
            }
        }
        QList<QStringList> lazily;
        store::KeyNames keyNames;
        for (const store::SectionSpan& span : unread.sections) {
            std::vector<store::IniEntry> entries;
            store::parseSectionBody(content.constData() + span.begin,
                                    content.constData() + span.end, keyNames, entries);
            QStringList keys;
            for (const store::IniEntry& e : entries) {
                keys << e.key;
            }
            lazily << keys;
        }
        // A name repeated in other case is one section to a look-up, two to the reader.
        if (section != u"S") {
            QCOMPARE(lazily, named);
        }
    }

    // Writes key by key give the expected file. On a fresh file, writing whole
    // sections (rows in a row with the same section) gives the same file, and
    // TakeWrittenSections gives what a reader of that file finds.
    void write_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<Writes>("writes");
        QTest::addColumn<QByteArray>("expected"); // null: only compared with whole sections
        const auto row = [](const char* name, const QByteArray& content, const Writes& writes,
                            const QByteArray& expected = {}) {
            QTest::newRow(name) << content << writes << expected;
        };
        const QString nul(QChar(u'\0'));
        row("creates the file", {}, {{"s", "k", "v"}}, "[s]\r\nk=v\r\n");
        row("section after the last", "[a]\r\nx=1\r\n", {{"b", "y", "2"}},
            "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
        row("key after its section's last", "[a]\nx=1\n[b]\ny=2\n", {{"A", "z", "3"}},
            "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
        row("replaced in place", "[a]\r\nx=1\r\ny=2\r\n", {{"a", "X", "9"}},
            "[a]\r\nx=9\r\ny=2\r\n");
        row("several", {}, {{"s", "a", "1"}, {"t", "b", "2"}, {"s", "c", "3"}, {"S", "A", "4"}},
            "[s]\r\na=4\r\nc=3\r\n\r\n[t]\r\nb=2\r\n");
        row("NUL removed", {}, {{"s", "k", "a" + nul + "b"}}, "[s]\r\nk=ab\r\n");
        row("line break in value", {}, {{"s", "k", "a\r\nb"}}, "[s]\r\nk=a  b\r\n");
        row("outside Windows-1252", {}, {{"s", "k", "\u20ac\u00df\u2192"}},
            "[s]\r\nk=\x80\xdf?\r\n");
        const QString text = app::fromWin1252(high());
        row("all of Windows-1252", {}, {{u's' + text, u'k' + text, text}},
            "[s" + high() + "]\r\nk" + high() + "=" + high() + "\r\n");
        row("key again in other case", {}, {{"s", "Key", "1"}, {"s", "b", "2"}, {"s", "KEY", "3"}});
        row("key outside ASCII again", {},
            {{"s", "K\u00e9y", "1"}, {"s", "x", "2"}, {"s", "K\u00c9Y", "3"}});
        row("section again", {}, {{"b", "k", "1"}, {"a", "k", "2"}, {"B", "x", "3"}});
        row("values the reader changes", {},
            {{"s", "a", " padded\t"},
             {"s", "b", "a\r\nb\n"},
             {"s", "c", "\u2192\u20ac\u0081"},
             {"s", "e", ""},
             {"s", "f", "\t"}});
        row("random, rising names", {}, randomWrites(true));
        row("random, any order", {}, randomWrites(false));
        // Names the reader reads otherwise, each alone among plain ones.
        row("key with =", {}, {{"s", "k", "1"}, {"s", "a=b", "c"}});
        row("key opening a header", {}, {{"s", "k", "1"}, {"s", "[t", "v"}, {"t", "k", "2"}});
        row("key opening a comment", {}, {{"s", "k", "1"}, {"s", ";c", "v"}});
        row("blanks around a key", {}, {{"s", "k", "1"}, {"s", " k ", "v"}});
        row("blank after a section name", {}, {{"s", "k", "1"}, {"u ", "k", "v"}});
    }
    void write() {
        QFETCH(QByteArray, content);
        QFETCH(Writes, writes);
        QFETCH(QByteArray, expected);
        store::IniDocument byKey = store::IniDocument::parse(content);
        for (const QStringList& w : writes) {
            byKey.setValue(w[0], w[1], w[2]);
        }
        const QByteArray written = byKey.serialize();
        if (!expected.isNull()) {
            QCOMPARE(written, expected);
        }
        if (!content.isNull()) {
            return;
        }
        store::IniFile bySection(m_path);
        bySection.writeSection({QStringLiteral("no keys"), {}});
        for (qsizetype i = 0; i < writes.size();) {
            store::IniSection section{writes[i][0], {}};
            for (; i < writes.size() && writes[i][0] == section.name; ++i) {
                section.entries.push_back({writes[i][1], writes[i][2]});
            }
            bySection.writeSection(std::move(section));
        }
        bySection.commit();
        QCOMPARE(fileBytes(), written);
        std::vector<store::IniSection> reread = store::IniDocument::parse(written).takeSections();
        std::erase_if(reread, [](const store::IniSection& s) { return s.name.isEmpty(); });
        QCOMPARE(flat(bySection.takeWrittenSections()), flat(reread));
    }

    // A staged file takes the file's place only when told to.
    void stage() {
        const QString temp = m_path + QStringLiteral(".tmp");
        for (const bool replace : {false, true}) {
            writeFile("[s]\r\nk=old\r\n");
            {
                store::IniFile ini(m_path);
                ini.writeSection(
                    {QStringLiteral("s"), {{QStringLiteral("k"), QStringLiteral("new")}}});
                store::StagedFile staged = ini.stage();
                QVERIFY(QFile::exists(temp));
                if (replace) {
                    staged.replace();
                }
            }
            QCOMPARE(fileBytes(), replace ? "[s]\r\nk=new\r\n" : "[s]\r\nk=old\r\n");
            QVERIFY(!QFile::exists(temp));
        }
    }

    // Whatever surrounds it, a well-formed section stays readable and survives
    // a rewrite of the file. Unlimited, as a 1 MB name would fill a fixed list.
    void badInput_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("keep");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char* name, const QByteArray& before, const QByteArray& after,
                            const QByteArray& keep = "[keep]\r\nk=v\r\n") {
            QTest::newRow(name) << before << keep << after;
        };
        row("garbage lines", "\x01\x02\n=\n==\n]]]\n\xff\xfe[\n", "\x7f\n;\n]x[\n");
        row("NUL bytes", QByteArrayLiteral("\0\0[a\0]\0\nx\0=\0 1\n\0"),
            QByteArrayLiteral("\0\0\0"));
        row("header without ]", "[broken\nx=1\n", "[also");
        row("1 MB line", QByteArray(1 << 20, 'x') + '\n', '\n' + QByteArray(1 << 20, '='));
        row("1 MB header", '[' + QByteArray(1 << 20, 'h') + '\n', "");
        row("lines before any section", "a=1\nb\n;c\n", "");
        row("LF only", "[x]\ny=1\n", "", "[keep]\nk=v\n");
        row("no final line end", "", "", "[keep]\nk=v");
        row("CR CR LF", "", "", "[keep]\r\r\nk=v\r\r\n");
        row("noise", noise(1 << 16), noise(1 << 16));
    }
    void badInput() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, keep);
        QFETCH(QByteArray, after);
        store::IniDocument doc = store::IniDocument::parse(before + keep + after);
        const QString section = QStringLiteral("keep");
        QCOMPARE(doc.value(section, QStringLiteral("k")), QStringLiteral("v"));
        const QStringList sections = sectionNames(doc);

        doc.setValue(section, QStringLiteral("added"), QStringLiteral("w"));
        const store::IniDocument reread = store::IniDocument::parse(doc.serialize());
        QCOMPARE(sectionNames(reread).size(), sections.size());
        QCOMPARE(reread.value(section, QStringLiteral("k")), QStringLiteral("v"));
        QCOMPARE(reread.value(section, QStringLiteral("added")), QStringLiteral("w"));
    }
};

QTEST_GUILESS_MAIN(IniTest)
#include "ini_test.moc"
