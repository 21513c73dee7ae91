#pragma once
// The phone screen the application draws on: its size in points and the
// pixels per point. Main thread only, like the screens that read it.

#include <QSizeF>

namespace device {

// 320 x 480 points, the application's portrait window.
QSizeF mainScreenSize();
double mainScreenScale();

// Lets the application (or a test) describe another screen.
void setMainScreen(QSizeF size, double scale);

}  // namespace device
