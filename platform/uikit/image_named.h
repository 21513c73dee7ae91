#pragma once
// The application's images by name, from its resources. Main thread only.

#include <QPixmap>
#include <QString>

namespace uikit {

// The image ":/images/<name>" or ":/images/<name>.png" (with the "@2x" file on
// a high-density screen), cached. A missing image gives a null pixmap and one
// line in the system log naming it.
QPixmap imageNamed(const QString& name);

}  // namespace uikit
