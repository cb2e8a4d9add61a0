/*
 * floor.cpp: pokotama-floor <picture>, the least Qt Widgets needs for the
 * game's job, for the benchmark to measure the game against: a window as
 * large as the game's, a button whose click changes a label's text, as a
 * watering does, and an area as large as the creature display that paints
 * the picture, stretched, every 100 ms. With POKOTAMA_BENCH_LOG set it writes
 * "pokotama-bench frame <ns>" on stderr once its first paint is done, as
 * the game does.
 */
#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <utility>

namespace {

class Area : public QWidget
{
public:
    using QWidget::QWidget;
    QPixmap picture;
    bool painted = !qEnvironmentVariableIsSet("POKOTAMA_BENCH_LOG"); // or nothing to write

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).drawPixmap(rect(), picture);
        // The line once the whole window is painted and shown, its text
        // (and so its font) included, as the game's probe writes it.
        if (!std::exchange(painted, true))
            QTimer::singleShot(0, [] {
                std::fprintf(stderr, "pokotama-bench frame %lld\n", QDeadlineTimer::current().deadlineNSecs());
            });
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    auto *area = new Area(&window);
    if (argc != 2 || !area->picture.load(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: pokotama-floor <picture>, a picture file that Qt reads\n");
        return 2;
    }
    area->setAttribute(Qt::WA_OpaquePaintEvent);

    const QSize full = QGuiApplication::primaryScreen()->geometry().size();
    const int side = qRound(qMin(full.width(), full.height()) * 0.9);
    window.setWindowTitle(QStringLiteral("pokotama-floor"));
    window.setFixedSize(side, side);
    window.move(QGuiApplication::primaryScreen()->availableGeometry().center() - QPoint(side / 2, side / 2));
    // A place on a 10 × 10 grid of the window.
    const auto cell = [unit = side / 10.0](double left, double top, double width, double height) {
        return QRect(qRound(left * unit), qRound(top * unit), qRound(width * unit), qRound(height * unit));
    };

    QFont font(QStringLiteral("IPAPGothic"));
    font.setPointSize(22);
    auto *button = new QPushButton(QStringLiteral("はじめぃ"), &window);
    button->setFont(font);
    button->setGeometry(cell(0.5, 6, 3, 1));

    font.setPointSize(15);
    font.setBold(true);
    font.setItalic(true);
    const QStringList texts{QStringLiteral("むにまるを そだてよう。\n「はじめぃ」をおして、「水をやる」で水をあげてね。"),
                            QStringLiteral("だんかい0 の ことば 1")};
    auto *label = new QLabel(texts[0], &window);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(cell(0, 7, 10, 3));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, label, [&] { label->setText(texts[++clicks % 2]); });

    area->setGeometry(cell(4, 0, 6, 6));
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, area, qOverload<>(&QWidget::update));
    repaint.start(100);

    window.show();
    return app.exec();
}
