/*
 * accessibility.cpp: the accessible faces of the window, the gauge, the
 * creature display and the message area.
 */
#include "ui/accessibility.h"

#include "game/texts.h"
#include "ui/clickablelabel.h"
#include "ui/gauge.h"

#include <QAccessibleWidget>
#include <QWidget>

namespace {

// The window, with only the controls the player can see.
class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QWidget *window)
        : QAccessibleWidget(window, QAccessible::Window)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? widget()->windowTitle() : QAccessibleWidget::text(t);
    }

    int childCount() const override { return int(shown().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QWidgetList children = shown();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(shown().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

private:
    QWidgetList shown() const
    {
        QWidgetList children;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->isHidden())
                children.append(child);
        }
        return children;
    }
};

// The gauge: a progress bar of the water level.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit GaugeAccessible(Gauge *gauge)
        : QAccessibleWidget(gauge, QAccessible::ProgressBar)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return QStringLiteral("水の量");
        case QAccessible::Description:
            return bandMeaning(gauge()->bar().BackColor);
        case QAccessible::Value:
            return QString::number(gauge()->bar().Width);
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QVariant currentValue() const override { return double(gauge()->bar().Width); }
    void setCurrentValue(const QVariant &) override {} // the player waters with the button
    QVariant maximumValue() const override { return double(Gauge::kScaleWidth); }
    QVariant minimumValue() const override { return 0.0; }
    QVariant minimumStepSize() const override { return 0.0; }

private:
    const Gauge *gauge() const { return static_cast<const Gauge *>(widget()); }
};

// The message area: its message as its name, its click as its press.
class MessageAccessible : public QAccessibleWidget
{
public:
    explicit MessageAccessible(ClickableLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        // Every message starts with an empty line, which is not read out.
        return t == QAccessible::Name ? label()->text().trimmed() : QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {pressAction()}; }

    QString localizedActionDescription(const QString &name) const override
    {
        return name == pressAction() ? QStringLiteral("このゲームについて") : QString();
    }

    void doAction(const QString &name) override
    {
        // Later, from the event loop: the about box waits for the player,
        // and the reader that asked must have its answer first.
        if (name == pressAction())
            QMetaObject::invokeMethod(label(), &ClickableLabel::click, Qt::QueuedConnection);
    }

private:
    ClickableLabel *label() const { return static_cast<ClickableLabel *>(widget()); }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return nullptr;
    if (className == QLatin1String("GameWindow"))
        return new WindowAccessible(widget);
    if (className == QLatin1String("Gauge"))
        return new GaugeAccessible(static_cast<Gauge *>(widget));
    if (className == QLatin1String("CreatureView"))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String("ClickableLabel"))
        return new MessageAccessible(static_cast<ClickableLabel *>(widget));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    [[maybe_unused]] static const bool installed = (QAccessible::installFactory(factory), true);
}

QString creatureDescription(const QString &picture)
{
    if (picture == texts::kLove)
        return QStringLiteral("大人になった　むにまる");
    if (picture == texts::kWither)
        return QStringLiteral("枯れてしまった　むにまる");
    if (picture == texts::kRot)
        return QStringLiteral("腐ってしまった　むにまる");
    bool isStage = false;
    const int stage = picture.toInt(&isStage);
    if (isStage)
        return QStringLiteral("むにまる（段階 %1）").arg(stage);
    return QStringLiteral("むにまる");
}
