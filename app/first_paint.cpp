#include "app/first_paint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace app {

namespace {

class FirstPaintWatcher : public QObject {
 public:
  explicit FirstPaintWatcher(QWidget& window) : QObject(&window) { window.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !m_painted) {
      m_painted = true;
      // After this paint has been handled and shown.
      QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool m_painted = false;
};

}  // namespace

void quitAfterFirstPaint(QWidget& window) { new FirstPaintWatcher(window); }

}  // namespace app
