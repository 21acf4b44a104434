#include "IniDocument.h"

#include <QtTest>
#include <numeric>

namespace {

using Writes = QList<QStringList>; // section, key, value

// Every byte from 0x80 up, and the text Windows-1252 makes of it.
QByteArray high() {
    QByteArray high(128, '\0');
    std::iota(high.begin(), high.end(), '\x80');
    return high;
}
QString highText() {
    return QString::fromUtf16(u"\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160"
                              u"\u2039\u0152\u008d\u017d\u008f\u0090\u2018\u2019\u201c\u201d\u2022"
                              u"\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178") +
           QString::fromLatin1(high().mid(32));
}

QByteArray noise(int size) {
    QList<quint32> words(size / 4);
    QRandomGenerator(12345).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.constData()), size) + '\n';
}

// Each section as "name(key:value,key:value)", in file order.
QString layout(const std::vector<store::IniSection>& sections) {
    QStringList layout;
    for (const store::IniSection& s : sections) {
        QStringList entries;
        for (const store::IniEntry& e : s.entries) {
            entries << e.key + u':' + e.value;
        }
        layout << s.name + u'(' + entries.join(u',') + u')';
    }
    return layout.join(u' ');
}

} // namespace

class IniTest : public QObject {
    Q_OBJECT
private slots:
    void reading_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("layout");
        const auto row = [](const char* name, const QByteArray& content, const QString& section,
                            const QString& key, const QString& value, const QString& layout) {
            QTest::newRow(name) << content << section << key << value << layout;
        };
        row("names in other case", "[Coins]\nKey=v\n", "cOINS", "kEY", "v", "Coins(Key:v)");
        row("blanks, the first =", "[s]\r\n k \t=  a=b w \t\r\n", "s", "k", "a=b w", "s(k:a=b w)");
        row("file order", "[b]\n[s]\nb=1\na=2\nc=3\n[a]", "s", "a", "2", "b() s(b:1,a:2,c:3) a()");
        row("first of two keys", "[s]\nk=1\nk=2\n", "s", "k", "1", "s(k:1,k:2)");
        row("first of two sections", "[s]\nk=1\n[S]\nk=2\n", "S", "k", "1", "s(k:1) S(k:2)");
        row("missing section", "[s]\nk=v\n", "t", "k", "", "s(k:v)");
        row("empty names", "[x]\n[]\n=1\nk=2\n[y]\n", "", "", "1", "x() (:1,k:2) y()");
        row("stray and comment lines", "k=0\n;[no]\n[s]\n;k=1\nd=4\n", "s", "k", "", "s(d:4)");
        row("NUL inside", QByteArrayLiteral("[s]\nk=a\0b\n"), "s", "k", "ab", "s(k:ab)");
        row("header without ]", "[open\nk=v", "open", "k", "v", "open(k:v)");
        const QString text = highText();
        row("all of Windows-1252", "[s" + high() + "]\r\nk" + high() + "=" + high(),
            u'S' + text.toLower(), u'K' + text.toLower(), text,
            u's' + text + "(k" + text + u':' + text + u')');
        const QByteArray letters = QByteArray("abcdefghijklmnopqrstuvwxyz").repeated(4000);
        row("100000 characters", "[s]\nk=" + letters, "s", "k", letters, "s(k:" + letters + ")");
    }
    void reading() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, layout);
        const store::IniDocument doc = store::IniDocument::parse(content);
        QCOMPARE(doc.value(section, key).value_or(QString()), value);
        QCOMPARE(::layout(doc.sections()), layout);
    }

    // Writes key by key give the expected file.
    void write_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<Writes>("writes");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* name, const QByteArray& content, const Writes& writes,
                            const QByteArray& expected) {
            QTest::newRow(name) << content << writes << expected;
        };
        row("new section after the last, new key after its section's last, replaced in place",
            "[a]\nx=1\ny=2\n[b]\nv=3\n", {{"c", "w", "4"}, {"A", "z", "5"}, {"a", "X", "9"}},
            "[a]\r\nx=9\r\ny=2\r\nz=5\r\n\r\n[b]\r\nv=3\r\n\r\n[c]\r\nw=4\r\n");
        row("several", {}, {{"s", "a", "1"}, {"t", "b", "2"}, {"s", "c", "3"}, {"S", "A", "4"}},
            "[s]\r\na=4\r\nc=3\r\n\r\n[t]\r\nb=2\r\n");
        row("NUL removed", {}, {{"s", "k", QStringLiteral("a") + QChar(u'\0') + "b"}},
            "[s]\r\nk=ab\r\n");
        row("line break in value", {}, {{"s", "k", "a\r\nb"}}, "[s]\r\nk=a  b\r\n");
        row("outside Windows-1252", {}, {{"s", "k", "\u20ac\u00df\u2192"}},
            "[s]\r\nk=\x80\xdf&#8594;\r\n");
        const QString text = highText();
        row("all of Windows-1252", {}, {{u's' + text, u'k' + text, text}},
            "[s" + high() + "]\r\nk" + high() + "=" + high() + "\r\n");
    }
    void write() {
        QFETCH(QByteArray, content);
        QFETCH(Writes, writes);
        QFETCH(QByteArray, expected);
        store::IniDocument byKey = store::IniDocument::parse(content);
        for (const QStringList& w : writes) {
            byKey.setValue(w[0], w[1], w[2]);
        }
        QCOMPARE(byKey.serialize(), expected);
    }

    // Whatever surrounds it, a well-formed section stays readable and survives
    // a rewrite of the file. Unlimited, as a 1 MB name would fill a fixed list.
    void badInput_data() {
        QTest::addColumn<QByteArray>("content");
        const auto row = [](const char* name, const QByteArray& before, const QByteArray& after,
                            const QByteArray& keep = "[keep]\r\nk=v\r\n") {
            QTest::newRow(name) << before + keep + after;
        };
        row("garbage lines", "\x01\x02\n=\n==\n]]]\n\xff\xfe[\n", "\x7f\n;\n]x[\n");
        row("NUL bytes", QByteArrayLiteral("\0\0[a\0]\0\nx\0=\0 1\n\0"),
            QByteArrayLiteral("\0\0\0"));
        row("1 MB line", QByteArray(1 << 20, 'x') + '\n', '\n' + QByteArray(1 << 20, '='));
        row("1 MB header", '[' + QByteArray(1 << 20, 'h') + '\n', "");
        row("CR CR LF", "", "", "[keep]\r\r\nk=v\r\r\n");
        row("noise", noise(1 << 16), noise(1 << 16));
    }
    void badInput() {
        QFETCH(QByteArray, content);
        store::IniDocument doc = store::IniDocument::parse(content);
        QCOMPARE(doc.value("keep", "k"), "v");
        const qsizetype sections = doc.sections().size();
        doc.setValue("keep", "added", "w");
        const store::IniDocument reread = store::IniDocument::parse(doc.serialize());
        QCOMPARE(reread.sections().size(), sections);
        QCOMPARE(reread.value("keep", "k"), "v");
        QCOMPARE(reread.value("keep", "added"), "w");
    }
};

QTEST_GUILESS_MAIN(IniTest)
#include "ini_test.moc"
