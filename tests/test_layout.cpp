/*
 * test_layout.cpp: the window's size, grid and fonts from the screen.
 */
#include "ui/layout.h"

#include <QTest>

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void fromTheScreen_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("outerSide");
        QTest::addColumn<int>("fontPoints");
        QTest::newRow("1366 × 768 at 96 dpi") << QSize(1366, 768) << 96.0 << 691 << 15;
        QTest::newRow("1920 × 1080 at 96 dpi") << QSize(1920, 1080) << 96.0 << 972 << 24;
        QTest::newRow("just under 6 × 2000 twips") << QSize(1280, 799) << 96.0 << 719 << 15;
        QTest::newRow("exactly 6 × 2000 twips") << QSize(1280, 800) << 96.0 << 720 << 18;
        QTest::newRow("1920 × 1080 at 144 dpi") << QSize(1920, 1080) << 144.0 << 972 << 15;
        QTest::newRow("3840 × 2160 at 96 dpi") << QSize(3840, 2160) << 96.0 << 1944 << 48;
        // A portrait screen: its width is the shorter side, so the whole
        // window fits across it, with the font of the same landscape screen.
        QTest::newRow("portrait 1080 × 1920") << QSize(1080, 1920) << 96.0 << 972 << 24;
        QTest::newRow("portrait 768 × 1366") << QSize(768, 1366) << 96.0 << 691 << 15;
        QTest::newRow("square 1024 × 1024") << QSize(1024, 1024) << 96.0 << 922 << 21;
    }

    // Nine tenths of the screen's shorter side, square; three points of
    // font for every whole 2000 twips of that side.
    void fromTheScreen()
    {
        QFETCH(QSize, pixels);
        QFETCH(double, dpi);
        QFETCH(int, outerSide);
        QFETCH(int, fontPoints);
        const layout::Screen screen = layout::screenOf(pixels, dpi);
        QCOMPARE(layout::outerSide(screen), outerSide);
        QCOMPARE(layout::baseFontPoints(screen), fontPoints);
        QVERIFY(outerSide <= qMin(pixels.width(), pixels.height()));
    }

    // Grid places at two inner sizes: a square one, and one with a title
    // bar's height taken off, whose cells are wider than high.
    void grid_data()
    {
        QTest::addColumn<QSize>("inner");
        QTest::newRow("691 square") << QSize(691, 691);
        QTest::newRow("under a title bar") << QSize(963, 940);
    }

    void grid()
    {
        QFETCH(QSize, inner);
        const QRect creature = layout::place(QRect(QPoint(0, 0), inner), layout::kCreature);
        const QRect button = layout::place(QRect(QPoint(0, 0), inner), layout::kButton);
        const QRect gauge = layout::place(QRect(QPoint(0, 0), inner), layout::kGauge);
        const QRect messages = layout::place(QRect(QPoint(0, 0), inner), layout::kMessages);

        QCOMPARE(creature.topRight() + QPoint(1, 0), QPoint(inner.width(), 0));
        QCOMPARE(creature.left(), qRound(inner.width() * 0.4));
        QCOMPARE(creature.height(), qRound(inner.height() * 0.6));
        QVERIFY(qAbs(creature.width() - inner.width() * 0.6) <= 1);

        QCOMPARE(messages, QRect(0, qRound(inner.height() * 0.7), inner.width(), inner.height() - qRound(inner.height() * 0.7)));

        // The button's top meets the creature's bottom; the gauge sits in the
        // lower half of the button's row, right of it, up to the right edge.
        QCOMPARE(button.top(), creature.bottom() + 1);
        QCOMPARE(button.bottom() + 1, messages.top());
        QVERIFY(button.right() < gauge.left());
        QCOMPARE(gauge.left(), creature.left());
        QCOMPARE(gauge.right(), creature.right());
        QCOMPARE(gauge.bottom() + 1, messages.top());
        QVERIFY(qAbs(gauge.height() - inner.height() * 0.05) <= 1);
    }

    // In a window of another size than it asked for, the grid keeps the
    // proportions asked for, as large as fits, centred; its fonts scale
    // with it. The size asked for is filled as it is.
    void letterboxed_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<double>("scale");
        QTest::newRow("as asked") << QSize(972, 972) << QSize(972, 972) << QRect(0, 0, 972, 972) << 1.0;
        QTest::newRow("as asked, under a title bar") << QSize(970, 951) << QSize(970, 951) << QRect(0, 0, 970, 951) << 1.0;
        QTest::newRow("a wide tile") << QSize(1916, 1053) << QSize(972, 972) << QRect(431, 0, 1053, 1053) << 1053 / 972.0;
        QTest::newRow("maximised, short") << QSize(960, 508) << QSize(972, 972) << QRect(226, 0, 508, 508) << 508 / 972.0;
        QTest::newRow("a tall tile") << QSize(600, 1000) << QSize(972, 972) << QRect(0, 200, 600, 600) << 600 / 972.0;
        QTest::newRow("wide, under a title bar") << QSize(1920, 1040) << QSize(970, 951) << QRect(429, 0, 1061, 1040) << 1040 / 951.0;
        QTest::newRow("smaller every way") << QSize(400, 300) << QSize(970, 951) << QRect(47, 0, 306, 300) << 300 / 951.0;
    }

    void letterboxed()
    {
        QFETCH(QSize, window);
        QFETCH(QSize, asked);
        QFETCH(QRect, area);
        QFETCH(double, scale);
        const layout::GameArea placed = layout::gameArea(window, asked);
        QCOMPARE(placed.rect, area);
        QCOMPARE(placed.scale, scale);
        // The creature's cell keeps its shape: as wide against high as in
        // the area asked for.
        const QRect creature = layout::place(placed.rect, layout::kCreature);
        const QRect askedCreature = layout::place(QRect(QPoint(0, 0), asked), layout::kCreature);
        QVERIFY(qAbs(double(creature.width()) / creature.height()
                     - double(askedCreature.width()) / askedCreature.height()) < 0.02);
    }
};

QTEST_GUILESS_MAIN(TestLayout)
#include "test_layout.moc"
