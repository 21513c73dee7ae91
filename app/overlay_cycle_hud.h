#pragma once
// OverlayCycleHud: the screen's progress overlay as the protection cycle's
// reporter, each report passed on as it is. Main thread only.

#include "app/cycle_hud.h"

class OVHud;

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
