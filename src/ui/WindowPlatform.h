#pragma once

#include <QGuiApplication>
#include <QString>

// Whether the windowing system says where a top-level window is on the
// screen. A Wayland compositor places every top-level window itself and
// reports each one at 0, 0, so a place read there must not replace a stored
// one; the windows inside the main window are ours and keep their places.
inline bool platformReportsWindowPositions()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
