/*
 * readerlistening.h: Qt's accessibility switched on in a test, as a screen
 * reader's arrival switches it on, with no reader there. The tests that use
 * it link Qt's private Gui module.
 */
#pragma once

#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// Switches accessibility on and hands every event the widgets send to
// handler. False when the platform has no accessibility or it stays off.
inline bool listenAsReader(QAccessible::UpdateHandler handler)
{
    QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    if (!platform)
        return false;
    platform->setActive(true);
    QAccessible::installUpdateHandler(handler);
    return QAccessible::isActive();
}
