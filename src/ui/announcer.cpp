/*
 * announcer.cpp: the news of each event, and how it reaches the reader.
 */
#include "ui/announcer.h"

#include "ui/gauge.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QStringList>
#include <QWidget>

#include <utility>

// Before Qt 6.8: the notices, a widget each.
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
namespace {

// Enough notices that a reader falling seconds behind a player who
// waters as fast as the keys repeat still finds each one's own text.
constexpr int kNotices = 32;

const QString kNoticeName = QStringLiteral("Notice");

QAccessibleInterface *noticeFactory(const QString &className, QObject *object)
{
    if (className != QLatin1String("QWidget") || object->objectName() != kNoticeName)
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
}

} // namespace
#endif

Moment momentOf(const Fom &fom)
{
    return {fom.Com.Caption, fom.LBl.Caption, fom.Stage, fom.ShpStr.BackColor};
}

namespace {

const QString kGauge = QStringLiteral("水の量");

QString gaugeNews(std::uint32_t colour, const reading::Readings &readings)
{
    return readings.of(kGauge) + QLatin1Char(' ') + readings.of(bandMeaning(colour));
}

} // namespace

QStringList gameWords()
{
    QStringList words{texts::kStart, texts::kWater, texts::kStartOver, kGauge};
    for (std::size_t stage = 1; stage < texts::kStageTitles.size(); ++stage) {
        words << texts::kGrowthBefore + texts::kStageTitles[stage] + texts::kGrowthAfter << texts::kSpeeches[stage];
    }
    for (const std::uint32_t colour : {colour::kBlue, colour::kRed, colour::kYellow})
        words << bandMeaning(colour);
    return words;
}

QString spokenMessage(const QString &message, const reading::Readings &readings)
{
    QStringList lines;
    for (const QString &line : message.split(texts::kNewLine)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            lines.append(readings.of(trimmed));
    }
    return lines.join(QLatin1Char(' '));
}

QString news(const Moment &before, const Moment &after, bool clicked, const reading::Readings &readings,
             bool captions)
{
    QStringList parts;
    const auto caption = [&](const QString &text) {
        if (captions)
            parts.append(readings.of(text));
    };
    if (after.caption != before.caption) {
        if (after.caption == texts::kStart) {
            parts.append(spokenMessage(after.message, readings));
            caption(texts::kStart);
        } else if (after.caption == texts::kWater) {
            caption(texts::kWater);
        } else if (after.caption == texts::kStartOver) {
            // The button's new caption is news only once it takes presses.
            parts.append(spokenMessage(after.message, readings));
        }
    } else if (after.caption == texts::kWater) {
        // A stage-up's message, or the line of a watering.
        if (after.stage != before.stage || clicked)
            parts.append(spokenMessage(after.message, readings));
        if (after.colour != before.colour)
            parts.append(gaugeNews(after.colour, readings));
    }
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
}

QString levelNews(const ShapeState &bar, const reading::Readings &readings)
{
    const int percent = qRound(bar.Width / Gauge::kScaleWidth * 100);
    return QStringLiteral("%1 %2% %3").arg(readings.of(kGauge)).arg(percent).arg(readings.of(bandMeaning(bar.BackColor)));
}

bool startsRound(const Moment &before, const Moment &after)
{
    return after.caption == texts::kStart && before.caption != texts::kStart;
}

Announcer::Announcer(QWidget *home, reading::Readings &readings)
    : QObject(home)
    , m_home(home)
{
    readings.learn(gameWords());
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    static const bool installed = [] {
        QAccessible::installFactory(noticeFactory);
        return true;
    }();
    (void)installed;
#endif
}

void Announcer::say(const QString &text, bool roundStart)
{
    say(News([text] { return text; }), roundStart);
}

void Announcer::say(const News &news, bool roundStart)
{
    if (!m_activated) {
        if (roundStart)
            m_held.clear();
        m_held.append(news);
        return;
    }
    // No reader listening: nothing to work out and tell.
    if (QAccessible::isActive())
        tell(news());
}

void Announcer::windowActivated()
{
    if (m_activated)
        return;
    m_activated = true;
    QStringList held;
    for (const News &news : std::exchange(m_held, {}))
        held << news();
    held.removeAll(QString());
    tell(held.join(QLatin1Char(' ')));
}

void Announcer::tell(const QString &text)
{
    // No reader listening: nothing to tell, and no notice to show and repaint.
    if (text.isEmpty() || !QAccessible::isActive())
        return;
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Orca drops an announcement while an identical one waits behind it in
    // its queue, taking the two for one: むにまる saying the same line at two
    // quick waterings would be heard once. Trailing spaces, which no voice
    // speaks, keep a repeat apart from the recent ones.
    constexpr qsizetype kRecent = 32;
    const QString told = text + QString(m_recent.count(text), QLatin1Char(' '));
    m_recent.append(text);
    if (m_recent.size() > kRecent)
        m_recent.removeFirst();
    // Sent on the window: Orca drops a second announcement that follows
    // soon after the first from a control without the focus.
    QAccessibleAnnouncementEvent event(m_home->window(), told);
    QAccessible::updateAccessibility(&event);
#else
    if (m_notices.size() < kNotices) {
        auto *notice = new QWidget(m_home);
        notice->setObjectName(kNoticeName);
        notice->setAttribute(Qt::WA_TransparentForMouseEvents);
        notice->setGeometry(0, 0, 1, 1);
        notice->hide();
        m_notices.append(notice);
    }
    // A notice is read when it shows; a new name on a shown one is not.
    QWidget *notice = m_notices[m_next];
    m_next = (m_next + 1) % kNotices;
    notice->hide();
    notice->setAccessibleName(text);
    notice->show();
#endif
}
