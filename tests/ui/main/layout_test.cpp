#include "ui/main/Layout.h"

#include <QtTest>

namespace {
ui::LayoutInput window(float W, float H, float contentHeight = 7830) {
    ui::LayoutInput in;
    in.W = W;
    in.H = H;
    in.SW = W - 130;
    in.SH = H - 765;
    in.scrollableHeight = contentHeight;
    return in;
}
} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void horizontalBarAtItsExactBoundary_data() {
        QTest::addColumn<float>("W");
        QTest::addColumn<bool>("vBarWasVisible");
        QTest::addColumn<bool>("hBarVisible");
        QTest::newRow("11394, no vertical bar") << 11394.0f << false << true;
        QTest::newRow("11395, no vertical bar") << 11395.0f << false << false;
        QTest::newRow("11649, vertical bar") << 11649.0f << true << true;
        QTest::newRow("11650, vertical bar") << 11650.0f << true << false;
    }
    void horizontalBarAtItsExactBoundary() {
        QFETCH(float, W);
        QFETCH(bool, vBarWasVisible);
        QFETCH(bool, hBarVisible);
        ui::LayoutInput in = window(W, 9555);
        in.vScrollVisible = vBarWasVisible;
        QCOMPARE(ui::computeLayout(in).hScrollVisible, hBarVisible);
    }

    void verticalBarUsesTheHorizontalBarJustDecided() {
        // 8600 + 700 = 9300: shown only when the horizontal bar adds its 255.
        ui::LayoutInput in = window(11000, 9400, 8600);
        ui::LayoutResult r = ui::computeLayout(in);
        QVERIFY(r.hScrollVisible);
        QVERIFY(r.vScrollVisible);
        QCOMPARE(r.vScrollHeight, in.SH - 610 - 255);
        QCOMPARE(r.hScrollWidth, in.SW - 255);

        in = window(12000, 9400, 8600);
        r = ui::computeLayout(in);
        QVERIFY(!r.hScrollVisible);
        QVERIFY(!r.vScrollVisible); // 9300 > 9400 is false
        QCOMPARE(r.vScrollHeight, in.SH - 610);
        QCOMPARE(r.hScrollWidth, in.SW);
    }

    void contentCentresOnlyAboveTheThreshold() {
        QCOMPARE(ui::computeLayout(window(11440, 9555)).scrollableLeft, 0.0f);
        QCOMPARE(ui::computeLayout(window(11441, 9555)).scrollableLeft, 73.0f);
        // The horizontal position never survives a resize.
        ui::LayoutInput narrow = window(9000, 9555);
        narrow.hScrollPosition = 2;
        QCOMPARE(ui::computeLayout(narrow).scrollableLeft, 0.0f);
    }

    void barsSitAtTheirDesignedPlaces() {
        const ui::LayoutResult r = ui::computeLayout(window(11650, 9555, 9330));
        QCOMPARE(r.frameHomeHeight, 9555.0f - 520);
        QCOMPARE(r.navigationWidth, 11650.0f - 100 - 2285);
        QCOMPARE(r.vScrollLeft, 11650.0f - 255 - 100);
        QCOMPARE(r.vScrollTop, 610.0f);
        QCOMPARE(r.hScrollTop, 9555.0f - 1025);
    }

    void scrollingMovesTheContentInCoarseSteps() {
        // Content 9330 high in a window 9555 high: overflow 9555 - 920 - 9330 = -695.
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 0), 0.0f);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 1), -695.0f / 3);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 2), -695.0f / 2);
        QCOMPARE(ui::scrolledTop(9555, 9330, true, 3) + 9330, 9555.0f - 920);
        QCOMPARE(ui::scrolledLeft(9000, 11295, true, 3), 9000.0f - 11295);
        // A hidden bar counts as position 0.
        QCOMPARE(ui::scrolledTop(9555, 9330, false, 3), 0.0f);
        ui::LayoutInput in = window(11650, 9555, 7000);
        in.vScrollPosition = 3;
        const ui::LayoutResult r = ui::computeLayout(in);
        QVERIFY(!r.vScrollVisible);
        QCOMPARE(r.vScrollPosition, 0);
        QCOMPARE(r.scrollableTop, 0.0f);
    }
};

QTEST_GUILESS_MAIN(LayoutTest)
#include "layout_test.moc"
