#include "TestSupport.h"

#include "app/ErrorLog.h"
#include "app/Win1252.h"
#include "store/IniFile.h"
#include "store/cInifile.h"

#include <QFile>
#include <QtTest>

namespace {

using Writes = QList<QStringList>; // section, key, value

QString Joined(const QStringList& names) {
    QString text;
    for (const QString& n : names) {
        text += n + QChar(u'\0');
    }
    return text;
}

QStringList Numbered(int count) {
    QStringList names;
    for (int i = 1; i <= count; ++i) {
        names << QStringLiteral("ITEMNUMB%1").arg(i, 6, 10, QChar(u'0'));
    }
    return names;
}

QByteArray Noise(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return bytes + '\n';
}

// Writes drawn from names and characters that the writer or the reader treat
// specially: with rising section names and keys that read back as written
// (so that only the values differ), or with any names in any order.
Writes RandomWrites(bool risingNames) {
    QStringList keys{"k", "K", "key", "KEY", "x"};
    if (!risingNames) {
        keys << "k\u00e9" << "K\u00c9" << " b" << "a=b" << "[x" << ";c" << "";
    }
    const QString chars =
        QStringLiteral("ab =[;\t\r\n\u00e9\u20ac\u0080\u0081\u2192\xd83d") + QChar(u'\0');
    quint32 x = risingNames ? 7 : 11;
    const auto next = [&](quint32 n) {
        x = x * 1103515245u + 12345u;
        return (x >> 16) % n;
    };
    Writes writes;
    for (int i = 0; i < 400; ++i) {
        const QString section = risingNames ? QStringLiteral("s%1").arg(i / 8, 3, 10, QChar(u'0'))
                                            : QStringList{"a", "B", "b", "c "}[next(4)];
        QString value;
        for (quint32 n = next(6); n > 0; --n) {
            value += chars[next(static_cast<quint32>(chars.size()))];
        }
        writes << QStringList{section, keys[next(static_cast<quint32>(keys.size()))], value};
    }
    return writes;
}

// Names, keys and values in order, one list per section.
QList<QStringList> Flat(const std::vector<store::IniSection>& sections) {
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

using Enumeration = void (cInifile::*)(QStringList&, qint32&);

// The names, or a marker when the count disagrees with them.
QStringList Listed(cInifile& ini, Enumeration enumerate = &cInifile::EnumerateAllSections) {
    QStringList names;
    qint32 count = -1;
    (ini.*enumerate)(names, count);
    return count == names.size() ? names : QStringList{QStringLiteral("count mismatch")};
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
    cInifile at(const QString& section, const QString& key = {},
                int valueCapacity = cInifile::kDefaultValueCapacity,
                int listCapacity = cInifile::kDefaultListCapacity) const {
        cInifile ini(valueCapacity, listCapacity);
        ini.setPath(m_path);
        ini.setSection(section);
        ini.setKey(key);
        return ini;
    }

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
        const auto row = [](const char* name, const QByteArray& content, const char* section,
                            const char* key, const char* value, const QStringList& allNames,
                            const QStringList& keys) {
            QTest::newRow(name) << content << QString::fromUtf8(section) << QString::fromUtf8(key)
                                << QString::fromUtf8(value) << allNames << keys;
        };
        row("plain", "[s]\r\nk=v\r\n", "s", "k", "v", {"s"}, {"k"});
        row("section in other case", "[Coins]\nk=v\n", "cOINS", "k", "v", {"Coins"}, {"k"});
        row("key in other case", "[s]\nKey=v\n", "s", "kEY", "v", {"s"}, {"Key"});
        row("after the first =", "[s]\nk=a=b\n", "s", "k", "a=b", {"s"}, {"k"});
        row("blanks around", "[s]\n k \t=  v w \t\r\n", "s", "k", "v w", {"s"}, {"k"});
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
        row("Windows-1252", "[s]\nk=\x80\xe9\n", "s", "k", "\u20ac\u00e9", {"s"}, {"k"});
        row("header without ]", "[open\nk=v", "open", "k", "v", {"open"}, {"k"});
    }
    void reading() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QStringList, allNames);
        QFETCH(QStringList, keys);
        writeFile(content);
        cInifile ini = at(section, key);
        QCOMPARE(ini.Value(), value);
        QCOMPARE(ini.Sections(), Joined(allNames));
        QCOMPARE(ini.INISection(), Joined(keys));
        allNames.removeAll(QString());
        QCOMPARE(Listed(ini), allNames);
        QCOMPARE(Listed(ini, &cInifile::EnumerateCurrentSection), keys);
    }

    void write_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Writes>("writes");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("creates the file")
            << QByteArray() << Writes{{"s", "k", "v"}} << QByteArray("[s]\r\nk=v\r\n");
        QTest::newRow("section after the last")
            << QByteArray("[a]\r\nx=1\r\n") << Writes{{"b", "y", "2"}}
            << QByteArray("[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
        QTest::newRow("key after its section's last")
            << QByteArray("[a]\nx=1\n[b]\ny=2\n") << Writes{{"A", "z", "3"}}
            << QByteArray("[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n");
        QTest::newRow("replaced in place")
            << QByteArray("[a]\r\nx=1\r\ny=2\r\n") << Writes{{"a", "X", "9"}}
            << QByteArray("[a]\r\nx=9\r\ny=2\r\n");
        QTest::newRow("several") << QByteArray()
                                 << Writes{{"s", "a", "1"},
                                           {"t", "b", "2"},
                                           {"s", "c", "3"},
                                           {"S", "A", "4"}}
                                 << QByteArray("[s]\r\na=4\r\nc=3\r\n\r\n[t]\r\nb=2\r\n");
        QTest::newRow("NUL removed") << QByteArray() << Writes{{"s", "k", QStringLiteral("a\0b")}}
                                     << QByteArray("[s]\r\nk=ab\r\n");
        QTest::newRow("line break in value")
            << QByteArray() << Writes{{"s", "k", "a\r\nb"}} << QByteArray("[s]\r\nk=a  b\r\n");
        QTest::newRow("outside Windows-1252")
            << QByteArray() << Writes{{"s", "k", "\u20ac\u00df\u2192"}}
            << QByteArray("[s]\r\nk=\x80\xdf?\r\n");
    }
    void write() {
        QFETCH(QByteArray, content);
        QFETCH(Writes, writes);
        QFETCH(QByteArray, expected);
        writeFile(content);
        cInifile ini = at({});
        for (const QStringList& w : writes) {
            ini.setSection(w[0]);
            ini.setKey(w[1]);
            ini.setValue(w[2]);
        }
        ini.Commit();
        QCOMPARE(fileBytes(), expected);
    }

    // Writing whole sections (rows in a row with the same section) gives the
    // file that writing their keys one by one gives, and TakeWrittenSections
    // gives what a reader of that file finds.
    void writeSection_data() {
        QTest::addColumn<Writes>("writes");
        const QString nul(QChar(u'\0'));
        QTest::newRow("rising names")
            << Writes{{"s1", "a", "1"}, {"s1", "b", "2"}, {"s2", "a", "3"}};
        QTest::newRow("key again in other case")
            << Writes{{"s", "Key", "1"}, {"s", "b", "2"}, {"s", "KEY", "3"}};
        QTest::newRow("key outside ASCII again")
            << Writes{{"s", "K\u00e9y", "1"}, {"s", "x", "2"}, {"s", "K\u00c9Y", "3"}};
        QTest::newRow("section again") << Writes{{"b", "k", "1"}, {"a", "k", "2"}, {"B", "x", "3"}};
        QTest::newRow("values the reader changes") << Writes{
            {"s", "a", " padded\t"},     {"s", "b", "a\r\nb\n"}, {"s", "c", "\u2192\u20ac\u0081"},
            {"s", "d", "a" + nul + "b"}, {"s", "e", ""},         {"s", "f", "\t"}};
        QTest::newRow("random, rising names") << RandomWrites(true);
        QTest::newRow("random, any order") << RandomWrites(false);
        // Names the reader reads otherwise, each alone among plain ones.
        QTest::newRow("key with =") << Writes{{"s", "k", "1"}, {"s", "a=b", "c"}};
        QTest::newRow("key opening a header")
            << Writes{{"s", "k", "1"}, {"s", "[t", "v"}, {"t", "k", "2"}};
        QTest::newRow("key opening a comment") << Writes{{"s", "k", "1"}, {"s", ";c", "v"}};
        QTest::newRow("blanks around a key") << Writes{{"s", "k", "1"}, {"s", " k ", "v"}};
        QTest::newRow("blank after a section name") << Writes{{"s", "k", "1"}, {"u ", "k", "v"}};
    }
    void writeSection() {
        QFETCH(Writes, writes);
        cInifile byKey = at({});
        for (const QStringList& w : writes) {
            byKey.setSection(w[0]);
            byKey.setKey(w[1]);
            byKey.setValue(w[2]);
        }
        byKey.Commit();

        cInifile bySection(cInifile::kUnlimited, cInifile::kUnlimited);
        bySection.setPath(m_folder->path(QStringLiteral("bulk.ini")));
        bySection.StartEmpty();
        bySection.WriteSection({QStringLiteral("no keys"), {}});
        for (qsizetype i = 0; i < writes.size();) {
            store::IniSection section{writes[i][0], {}};
            for (; i < writes.size() && writes[i][0] == section.name; ++i) {
                section.entries.push_back({writes[i][1], writes[i][2]});
            }
            bySection.WriteSection(std::move(section));
        }
        bySection.Commit();
        QCOMPARE(m_folder->read(QStringLiteral("bulk.ini")), fileBytes());

        cInifile reader = at({}, {}, cInifile::kUnlimited, cInifile::kUnlimited);
        QCOMPARE(Flat(bySection.TakeWrittenSections()), Flat(reader.TakeAllSections()));
    }

    // A staged file takes the file's place only when told to.
    void stage() {
        writeFile("[s]\r\nk=old\r\n");
        const QString temp = m_path + QStringLiteral(".tmp");
        {
            cInifile ini = at(QStringLiteral("s"), QStringLiteral("k"));
            ini.setValue(QStringLiteral("new"));
            const store::StagedFile staged = ini.Stage();
            QVERIFY(QFile::exists(temp));
        }
        QCOMPARE(fileBytes(), QByteArray("[s]\r\nk=old\r\n"));
        QVERIFY(!QFile::exists(temp));

        cInifile ini = at(QStringLiteral("s"), QStringLiteral("k"));
        ini.setValue(QStringLiteral("new"));
        ini.Stage().Replace();
        QCOMPARE(fileBytes(), QByteArray("[s]\r\nk=new\r\n"));
        QVERIFY(!QFile::exists(temp));
    }

    void valueCapacity_data() {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expected");
        QTest::newRow("254 whole") << cInifile::kDefaultValueCapacity << 254 << 254;
        QTest::newRow("255 cut") << cInifile::kDefaultValueCapacity << 255 << 254;
        QTest::newRow("300 cut") << cInifile::kDefaultValueCapacity << 300 << 254;
        QTest::newRow("unlimited 100000") << cInifile::kUnlimited << 100000 << 100000;
    }
    void valueCapacity() {
        QFETCH(int, capacity);
        QFETCH(int, length);
        QFETCH(int, expected);
        QString value;
        for (int i = 0; i < length; ++i) {
            value += QChar(u'a' + i % 26);
        }
        writeFile("[s]\r\nk=" + value.toLatin1() + "\r\n");
        QCOMPARE(at(QStringLiteral("s"), QStringLiteral("k"), capacity).Value(),
                 value.left(expected));
    }

    // The same names listed once as sections and once as keys of one section.
    void listCapacity_data() {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("text"); // null: the expected names joined
        QTest::newRow("cut between names")
            << 10 << QStringList{"abc", "def", "ghi"} << QStringList{"abc", "def"} << QString();
        QTest::newRow("part of a name") << 10 << QStringList{"abcd", "efgh"} << QStringList{"abcd"}
                                        << QStringLiteral("abcd\0efg");
        QTest::newRow("NUL past the cut") << 10 << QStringList{"abcd", "efg", "h"}
                                          << QStringList{"abcd"} << QStringLiteral("abcd\0efg");
        QTest::newRow("fits with final NUL")
            << 10 << QStringList{"abcd", "efg"} << QStringList{"abcd", "efg"} << QString();
        QTest::newRow("546 items")
            << cInifile::kDefaultListCapacity << Numbered(546) << Numbered(546) << QString();
        QTest::newRow("547 items")
            << cInifile::kDefaultListCapacity << Numbered(547) << Numbered(546) << QString();
        QTest::newRow("unlimited")
            << cInifile::kUnlimited << Numbered(2000) << Numbered(2000) << QString();
    }
    void listCapacity() {
        QFETCH(int, capacity);
        QFETCH(QStringList, names);
        QFETCH(QStringList, expected);
        QFETCH(QString, text);
        if (text.isNull()) {
            text = Joined(expected);
        }
        QByteArray sections;
        QByteArray keys("[s]\r\n");
        for (const QString& n : names) {
            sections += "[" + n.toLatin1() + "]\r\nk=1\r\n";
            keys += n.toLatin1() + "=1\r\n";
        }
        writeFile(sections);
        cInifile bySection = at({}, {}, cInifile::kDefaultValueCapacity, capacity);
        QCOMPARE(bySection.Sections(), text);
        QCOMPARE(Listed(bySection), expected);

        writeFile(keys);
        cInifile byKey = at(QStringLiteral("s"), {}, cInifile::kDefaultValueCapacity, capacity);
        QCOMPARE(byKey.INISection(), text);
        QCOMPARE(Listed(byKey, &cInifile::EnumerateCurrentSection), expected);
    }

    // Reading everything at once cuts exactly as the single reads do.
    void takeAllSections() {
        QByteArray content("[]\r\nk=unnamed\r\n");
        for (const QString& n : Numbered(600)) {
            content += "[" + n.toLatin1() + "]\r\nlong=" + QByteArray(300, 'x') + n.toLatin1() +
                       "\r\nkey" + n.toLatin1() + "=1\r\n";
        }
        writeFile(content);
        for (const auto& [valueCapacity, listCapacity] : {std::pair{255, 8192}, {12, 40}, {0, 0}}) {
            cInifile ini = at({}, {}, valueCapacity, listCapacity);
            QStringList names;
            for (const store::IniSection& section : ini.TakeAllSections()) {
                names << section.name;
                ini.setSection(section.name);
                QStringList keys;
                for (const store::IniEntry& e : section.entries) {
                    keys << e.key;
                    ini.setKey(e.key);
                    QCOMPARE(e.value, ini.Value());
                }
                QCOMPARE(keys, Listed(ini, &cInifile::EnumerateCurrentSection));
            }
            QCOMPARE(names, Listed(ini));
        }
    }

    void commitRoundTrip() {
        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b) {
            high += static_cast<char>(b);
        }
        const QString text = app::FromWin1252(high);
        cInifile writer = at(u's' + text, u'k' + text);
        writer.setValue(text);
        writer.Commit();
        const QByteArray written = fileBytes();
        QCOMPARE(written, "[s" + high + "]\r\nk" + high + "=" + high + "\r\n");

        cInifile reader = at(u'S' + text, u'K' + text);
        QCOMPARE(Listed(reader), QStringList{u's' + text});
        QCOMPARE(reader.Value(), text);
        reader.Commit();
        QCOMPARE(fileBytes(), written);
    }

    // Whatever surrounds it, a well-formed section stays readable and survives
    // a rewrite of the file. Unlimited, as a 1 MB name would fill a fixed list.
    void badInput_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("keep");
        QTest::addColumn<QByteArray>("after");
        const QByteArray keep("[keep]\r\nk=v\r\n");
        QTest::newRow("garbage lines") << QByteArray("\x01\x02\n=\n==\n]]]\n\xff\xfe[\n") << keep
                                       << QByteArray("\x7f\n;\n]x[\n");
        QTest::newRow("NUL bytes") << QByteArrayLiteral("\0\0[a\0]\0\nx\0=\0 1\n\0") << keep
                                   << QByteArrayLiteral("\0\0\0");
        QTest::newRow("header without ]")
            << QByteArray("[broken\nx=1\n") << keep << QByteArray("[also");
        QTest::newRow("1 MB line") << QByteArray(1 << 20, 'x') + '\n'
                                   << keep << '\n' + QByteArray(1 << 20, '=');
        QTest::newRow("1 MB header") << '[' + QByteArray(1 << 20, 'h') + '\n'
                                     << keep << QByteArray();
        QTest::newRow("lines before any section")
            << QByteArray("a=1\nb\n;c\n") << keep << QByteArray();
        QTest::newRow("LF only") << QByteArray("[x]\ny=1\n") << QByteArray("[keep]\nk=v\n")
                                 << QByteArray();
        QTest::newRow("no final line end")
            << QByteArray() << QByteArray("[keep]\nk=v") << QByteArray();
        QTest::newRow("CR CR LF") << QByteArray() << QByteArray("[keep]\r\r\nk=v\r\r\n")
                                  << QByteArray();
        QTest::newRow("noise") << Noise(1 << 16) << keep << Noise(1 << 16);
    }
    void badInput() {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, keep);
        QFETCH(QByteArray, after);
        writeFile(before + keep + after);
        const QString section = QStringLiteral("keep");
        cInifile ini = at(section, QStringLiteral("k"), cInifile::kUnlimited, cInifile::kUnlimited);
        QCOMPARE(ini.Value(), QStringLiteral("v"));
        const QStringList sections = Listed(ini);
        QVERIFY(sections.contains(section));

        ini.setKey(QStringLiteral("added"));
        ini.setValue(QStringLiteral("w"));
        ini.Commit();
        cInifile reread =
            at(section, QStringLiteral("k"), cInifile::kUnlimited, cInifile::kUnlimited);
        QCOMPARE(Listed(reread).size(), sections.size());
        QCOMPARE(reread.Value(), QStringLiteral("v"));
        reread.setKey(QStringLiteral("added"));
        QCOMPARE(reread.Value(), QStringLiteral("w"));
    }

    void unreadableFile() {
        const QByteArray content("[keep]\r\nk=v\r\n");
        writeFile(content);
        const auto permissions = QFile::permissions(m_path);
        QFile::setPermissions(m_path, QFileDevice::Permissions());
        QFile probe(m_path);
        if (probe.open(QIODevice::ReadOnly)) {
            QFile::setPermissions(m_path, permissions);
            QSKIP("file permissions are not enforced for this user");
        }
        cInifile ini = at(QStringLiteral("keep"), QStringLiteral("k"));
        QCOMPARE(ini.Value(), QString());
        QCOMPARE(Listed(ini), QStringList());
        ini.setValue(QStringLiteral("new"));
        QVERIFY_THROWS_EXCEPTION(app::RuntimeError, ini.Commit());
        QFile::setPermissions(m_path, permissions);
        QCOMPARE(fileBytes(), content);
    }
};

QTEST_GUILESS_MAIN(IniTest)
#include "ini_test.moc"
