#include <QtTest>
class Placeholder : public QObject { Q_OBJECT private slots: void ok() { QVERIFY(true); } };
QTEST_GUILESS_MAIN(Placeholder)
#include "placeholder_test.moc"
