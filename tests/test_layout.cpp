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
        const QRect creature = layout::place(inner, layout::kCreature);
        const QRect button = layout::place(inner, layout::kButton);
        const QRect gauge = layout::place(inner, layout::kGauge);
        const QRect messages = layout::place(inner, layout::kMessages);

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
};

QTEST_GUILESS_MAIN(TestLayout)
#include "test_layout.moc"
