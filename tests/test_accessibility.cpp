/*
 * test_accessibility.cpp: the window as a screen reader meets it, through
 * Qt's accessibility interfaces and the events they send, on Qt's
 * offscreen platform: roles, names, values, actions, and an event for
 * every change a player would see.
 */
#include "testing/readerlistening.h"
#include "testing/windowgame.h"
#include "ui/announcer.h"
#include "ui/gauge.h"

#include <QAccessible>
// Only a screen reader makes Qt send accessibility events; a test must
// say it is one, as Qt's own tests do, through the platform's interface.

#include <vector>

namespace {

struct Heard
{
    QAccessible::Event type;
    QObject *object;
};

std::vector<Heard> g_heard;

void hear(QAccessibleEvent *event)
{
    g_heard.push_back({event->type(), event->object()});
}

bool heard(QAccessible::Event type, QObject *object)
{
    for (const Heard &event : g_heard)
        if (event.type == type && event.object == object)
            return true;
    return false;
}

QAccessibleInterface *face(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(listenAsReader(hear));
    }

    void init() { g_heard.clear(); }

    // A frame named ぽこたま; the picture, the gauge, the button and the
    // messages in the order of the screen; nothing the player never sees.
    void theTree()
    {
        Game game;
        QAccessibleInterface *window = face(&game.window);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("ぽこたま"));
        QCOMPARE(window->childCount(), 4);
        QCOMPARE(window->child(0)->object(), game.img());
        QCOMPARE(window->child(0)->role(), QAccessible::Graphic);
        QCOMPARE(window->child(0)->text(QAccessible::Name), QStringLiteral("むにまる（段階 0）"));
        QCOMPARE(window->child(1)->role(), QAccessible::ProgressBar);
        QCOMPARE(window->child(1)->text(QAccessible::Name), QStringLiteral("水の量"));
        QCOMPARE(window->child(2)->role(), QAccessible::Button);
        QCOMPARE(window->child(2)->text(QAccessible::Name), kStart);
        QCOMPARE(window->child(3)->role(), QAccessible::StaticText);
        QVERIFY(window->child(3)->text(QAccessible::Name).startsWith(QStringLiteral("ようこそ")));
        for (int i = 0; i < window->childCount(); ++i) {
            QCOMPARE(window->indexOfChild(window->child(i)), i);
            QCOMPARE(window->child(i)->parent()->object(), &game.window);
        }
        QCOMPARE(window->indexOfChild(face(game.control<QWidget>("E"))), -1);
        QCOMPARE(window->indexOfChild(face(game.control<QWidget>("TimLbl"))), -1);
    }

    // The gauge's value is the water level, from 0 to 800 (past 800 when
    // the bar is cut), and its description what its colour means.
    void theGauge()
    {
        Gauge gauge;
        ShapeState bar;
        bar.Width = 300;
        gauge.setBar(bar);
        QAccessibleValueInterface *value = face(&gauge)->valueInterface();
        QVERIFY(value);
        QCOMPARE(value->minimumValue().toDouble(), 0.0);
        QCOMPARE(value->maximumValue().toDouble(), 800.0);
        QCOMPARE(value->currentValue().toDouble(), 300.0);
        QCOMPARE(face(&gauge)->text(QAccessible::Description), QStringLiteral("ふつう（赤）"));
        QVERIFY(heard(QAccessible::ValueChanged, &gauge));

        g_heard.clear();
        bar.Width = 950;
        bar.BackColor = colour::kYellow;
        gauge.setBar(bar);
        QCOMPARE(value->currentValue().toDouble(), 950.0);
        QCOMPARE(face(&gauge)->text(QAccessible::Description), QStringLiteral("多すぎる（黄色）"));
        QVERIFY(heard(QAccessible::ValueChanged, &gauge));
        QVERIFY(heard(QAccessible::DescriptionChanged, &gauge));
        bar.BackColor = colour::kBlue;
        gauge.setBar(bar);
        QCOMPARE(face(&gauge)->text(QAccessible::Description), QStringLiteral("少ない（青）"));
    }

    // Watering, a stage-up and an ending each reach the reader as events:
    // the level, the message, the picture, the caption and the button's rest.
    void everyChangeIsTold()
    {
        Game game;
        QWidget *gauge = game.control<QWidget>("PicStr");
        game.click();
        QVERIFY(heard(QAccessible::NameChanged, game.com()));
        g_heard.clear();
        game.click(); // a watering
        QCOMPARE(face(gauge)->valueInterface()->currentValue().toDouble(), double(game.window.fom().ShpStr.Width));
        QVERIFY(heard(QAccessible::ValueChanged, gauge));
        QVERIFY(heard(QAccessible::NameChanged, game.lbl()));
        QCOMPARE(face(game.lbl())->text(QAccessible::Name), game.window.fom().LBl.Caption.trimmed());

        g_heard.clear();
        while (game.window.fom().Stage == 0)
            game.play(driver::Aim::Love);
        QVERIFY(heard(QAccessible::NameChanged, game.img()));
        QCOMPARE(face(game.img())->text(QAccessible::Name), QStringLiteral("むにまる（段階 1）"));

        g_heard.clear();
        while (game.caption() == kWater)
            game.play(driver::Aim::Rot);
        QCOMPARE(face(game.img())->text(QAccessible::Name), QStringLiteral("腐ってしまった　むにまる"));
        // A reader that speaks the button's new caption by itself hears
        // it only once the button takes presses again, and in kana.
        QCOMPARE(face(game.com())->text(QAccessible::Name),
                 kReaderSpeaksCaptions ? QStringLiteral("みずをやる") : kStartOver);
        QVERIFY(face(game.com())->state().disabled);
        QVERIFY(heard(QAccessible::StateChanged, game.com()));
        game.endRest();
        QVERIFY(!face(game.com())->state().disabled);
        QCOMPARE(face(game.com())->text(QAccessible::Name), kStartOver);
    }

    // The message area's press opens the about box, as its click does,
    // and holds the growth clock as the click does; so does F1.
    void theAboutBoxByActionAndKey()
    {
        Game game;
        game.click();
        QAccessibleActionInterface *actions = face(game.lbl())->actionInterface();
        QVERIFY(actions);
        QCOMPARE(actions->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
        bool held = false;
        whenModalOpens([&](QMessageBox *) { held = !game.tim()->isActive(); });
        actions->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(game.counted.abouts(), 1);
        QVERIFY(held);

        whenModalOpens([](QMessageBox *) {});
        QTest::keyClick(&game.window, Qt::Key_F1);
        QCOMPARE(game.counted.abouts(), 2);
        QVERIFY(game.tim()->isActive());
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
