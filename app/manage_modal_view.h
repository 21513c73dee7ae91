#pragma once
// IManageModalView: how a modal screen tells the screen that presented it
// that it is done. The presenter, not the screen, dismisses it and then reads
// its result. Main thread only.

namespace uikit {
class ViewController;
}

namespace app {

class IManageModalView {
 public:
  virtual void modalViewControllerDidFinish(uikit::ViewController& screen) = 0;

 protected:
  ~IManageModalView() = default;
};

}  // namespace app
