/*
 * floor.cpp: the least Qt Widgets needs for the game's job, for the
 * benchmark to measure the game against.
 *
 * A fixed window as large as the game's (nine tenths of the screen's
 * shorter side, square), a button, a label and an area as large as the
 * creature display that paints one picture, stretched, every 100 ms.
 * A click on the button changes the label's text, as a watering does.
 * Nothing else: no data folder, no game rules, no growth clock.
 *
 *   pokotama-floor <picture>
 *
 * With POKOTAMA_BENCH_LOG set it writes "pokotama-bench frame <ns>" on
 * stderr when the picture is first painted, like the game.
 */
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

class Area : public QWidget
{
public:
    Area(const QPixmap &picture, QWidget *parent)
        : QWidget(parent)
        , m_picture(picture)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).drawPixmap(rect(), m_picture);
        if (!m_painted && std::getenv("POKOTAMA_BENCH_LOG")) {
            m_painted = true;
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                std::chrono::steady_clock::now().time_since_epoch())
                                .count();
            std::fprintf(stderr, "pokotama-bench frame %lld\n", static_cast<long long>(ns));
        }
    }

private:
    QPixmap m_picture;
    bool m_painted = false;
};

// A place on a 10 × 10 grid of a square of the given side.
QRect cell(int side, double left, double top, double width, double height)
{
    const double unit = side / 10.0;
    return QRect(qRound(left * unit), qRound(top * unit), qRound(width * unit), qRound(height * unit));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pokotama-floor <picture>\n");
        return 2;
    }
    const QPixmap picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull()) {
        std::fprintf(stderr, "pokotama-floor: cannot read %s\n", argv[1]);
        return 1;
    }

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize full = QGuiApplication::primaryScreen()->geometry().size();
    const int side = qRound(std::min(full.width(), full.height()) * 0.9);
    const int points = 15;

    QWidget window;
    window.setWindowTitle(QStringLiteral("pokotama-floor"));
    window.setFixedSize(side, side);
    window.move(screen.center() - QPoint(side / 2, side / 2));

    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSize(points * 3 / 2);
    auto *button = new QPushButton(QStringLiteral("はじめぃ"), &window);
    button->setFont(font);
    button->setGeometry(cell(side, 0.5, 6, 3, 1));

    font.setPointSize(points);
    font.setBold(true);
    font.setItalic(true);
    const QStringList texts{QStringLiteral("むにまるを そだてよう。\n「はじめぃ」をおして、「水をやる」で水をあげてね。"),
                            QStringLiteral("だんかい0 の ことば 1")};
    auto *label = new QLabel(texts[0], &window);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(cell(side, 0, 7, 10, 3));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, label, [&] { label->setText(texts[++clicks % 2]); });

    auto *area = new Area(picture, &window);
    area->setGeometry(cell(side, 4, 0, 6, 6));
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, area, [area] { area->update(); });
    repaint.start(100);

    window.show();
    return app.exec();
}
