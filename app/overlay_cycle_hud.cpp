#include "app/overlay_cycle_hud.h"

#include "ui/ov_hud.h"

namespace app {

void OverlayCycleHud::setCaption(const QString& caption) { m_hud.setCaption(caption); }
void OverlayCycleHud::setBlockTouches(bool block) { m_hud.setBlockTouches(block); }
void OverlayCycleHud::setActivity(bool show) { m_hud.setActivity(show); }
void OverlayCycleHud::setProgress(double progress) { m_hud.setProgress(progress); }
void OverlayCycleHud::show() { m_hud.show(); }
void OverlayCycleHud::update() { m_hud.update(); }
void OverlayCycleHud::hideAfter(double seconds) { m_hud.hideAfter(seconds); }
void OverlayCycleHud::hide() { m_hud.hide(); }

}  // namespace app
