#pragma once
// Ends the application once `window` has been painted for the first time, by
// the normal quit: start-up measurements time a whole run from process start.
// Main thread only.

class QWidget;

namespace app {

void quitAfterFirstPaint(QWidget& window);

}  // namespace app
