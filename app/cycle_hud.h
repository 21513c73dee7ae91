#pragma once
// CycleHud: what the protection cycle tells the person while it works: a
// caption, an activity indicator, a progress fraction, whether touches are
// blocked, and when the message shows, changes and goes. The screen hands
// its progress overlay; a terminal can print the same reports. Main thread only.

#include <QString>

class OVHud;

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

// The screen's progress overlay as the cycle's reporter.
class OverlayCycleHud final : public CycleHud {
 public:
  explicit OverlayCycleHud(OVHud& hud) : m_hud(hud) {}
  void setCaption(const QString& caption) override;
  void setBlockTouches(bool block) override;
  void setActivity(bool show) override;
  void setProgress(double progress) override;
  void show() override;
  void update() override;
  void hideAfter(double seconds) override;
  void hide() override;

 private:
  OVHud& m_hud;
};
