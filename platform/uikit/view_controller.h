#pragma once
// ViewController: one screen of the application, a widget whose content is set
// up on first need and which can present another screen over itself inside the
// same window, sliding up from the bottom. Main thread only.

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <memory>

namespace uikit {

class ViewController : public QWidget {
  Q_OBJECT
 public:
  enum class InterfaceOrientation { Portrait = 1, PortraitUpsideDown = 2, LandscapeLeft = 3, LandscapeRight = 4 };

  explicit ViewController(QWidget* parent = nullptr);
  ~ViewController() override;

  // The first call runs loadView() then viewDidLoad(); later calls do nothing.
  // Showing the screen calls it too.
  void loadViewIfNeeded();
  bool isViewLoaded() const { return m_viewLoaded; }

  // Presents `screen` over this one inside the same window: the screen, owned
  // by this controller from now on, covers the window and slides up from the
  // bottom (0.3 s when animated); this screen stays beneath, unchanged, and
  // gets no input until the screen is dismissed. A second present while a
  // screen is presented is refused (logged, nothing changes).
  void presentModalViewController(ViewController* screen, bool animated);
  // Slides the presented screen down and deletes it afterwards. Called on the
  // presented screen itself, it asks its presenter to do so.
  void dismissModalViewControllerAnimated(bool animated);
  ViewController* modalViewController() const { return m_modal; }
  ViewController* presentingViewController() const { return m_presenter; }
  bool isPresentationAnimating() const;

  // Default: the upright portrait orientation only.
  virtual bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const;

 protected:
  // Subclasses set up their content (their .ui form) here.
  virtual void loadView() {}
  virtual void viewDidLoad() {}
  // Around each appearance and disappearance: when the window shows or hides
  // a screen that nobody presented, when a screen is presented or dismissed
  // (for it, and for its presenter the other way round).
  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  class InputShield;
  enum class Slide { None, Up, Down };

  void slide(Slide direction, bool animated);
  void finishSlide();
  void endPresentation();

  bool m_viewLoaded = false;
  QPointer<ViewController> m_modal;
  QPointer<ViewController> m_presenter;
  QPointer<QWidget> m_focusBeforePresenting;
  std::unique_ptr<InputShield> m_inputShield;
  QVariantAnimation m_slideAnimation;
  Slide m_slide = Slide::None;
  bool m_slideAnimated = false;
};

}  // namespace uikit
