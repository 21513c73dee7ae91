#pragma once
// CycleHud: what the protection cycle tells the person while it works: a
// caption, an activity indicator, a progress fraction, whether touches are
// blocked, and when the message shows, changes and goes. The screen shows
// them in its progress overlay, the command line on the terminal. Main thread only.

#include <QString>

namespace app {

class CycleHud {
 public:
  virtual ~CycleHud() = default;
  virtual void setCaption(const QString& caption) = 0;
  virtual void setBlockTouches(bool block) = 0;
  virtual void setActivity(bool show) = 0;
  virtual void setProgress(double progress) = 0;
  virtual void show() = 0;
  virtual void update() = 0;
  virtual void hideAfter(double seconds) = 0;
  virtual void hide() = 0;
};

}  // namespace app
