#pragma once
// OVHudDelegate: what an overlay tells the screen that owns it. Every message
// is optional (the default does nothing); all arrive on the main thread.

namespace ui {

class OVHud;

class OVHudDelegate {
 public:
  virtual void userDidTapHud(OVHud&) {}
  virtual void hudWillAppear(OVHud&) {}
  virtual void hudDidAppear(OVHud&) {}
  virtual void hudWillUpdate(OVHud&) {}
  virtual void hudDidUpdate(OVHud&) {}
  virtual void hudWillDisappear(OVHud&) {}
  virtual void hudDidDisappear(OVHud&) {}

 protected:
  ~OVHudDelegate() = default;
};

}  // namespace ui
