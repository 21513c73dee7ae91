#pragma once
// OverlayCycleHud: the screen's progress overlay as the protection cycle's
// reporter, each report passed on as it is. Main thread only.

#include "app/cycle_hud.h"

namespace ui {
class OVHud;
}  // namespace ui

namespace app {

class OverlayCycleHud final : public CycleHud {
 public:
  explicit OverlayCycleHud(ui::OVHud& hud) : m_hud(hud) {}
  void setCaption(const QString& caption) override;
  void setBlockTouches(bool block) override;
  void setActivity(bool show) override;
  void setProgress(double progress) override;
  void show() override;
  void update() override;
  void hideAfter(double seconds) override;
  void hide() override;

 private:
  ui::OVHud& m_hud;
};

}  // namespace app
