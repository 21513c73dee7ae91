#pragma once
// RootViewController: the main screen. The protection switch, the
// information text, the number search and the button that adds a number by
// hand; it presents the settings, new-number and help screens and drives the
// protection cycle, whose every step shows in its progress overlay. Main
// thread only.

#include <QString>
#include <memory>

#include "app/manage_modal_view.h"
#include "app/overlay_cycle_hud.h"
#include "app/protection_cycle.h"
#include "platform/foundation/notification_center.h"
#include "platform/uikit/text_field.h"
#include "platform/uikit/view_controller.h"
#include "ui/ov_hud.h"

namespace Ui {
class RootViewController;
}
namespace uikit {
class BarButtonItem;
class NavigationItem;
}  // namespace uikit

namespace app {

class RootViewController final : public uikit::ViewController,
                                 public IManageModalView,
                                 private ProtectionCycleView,
                                 private uikit::TextFieldDelegate,
                                 private ui::OVHudDelegate {
  Q_OBJECT
 public:
  // The search text is turned over to show a result for this long.
  static constexpr double kFlipSeconds = 0.25;

  explicit RootViewController(QWidget* parent = nullptr);
  ~RootViewController() override;

  ProtectionCycle& protectionCycle() { return *m_cycle; }
  ui::OVHud& overlay() { return m_hud; }
  uikit::NavigationItem& navigationBarTitle() { return *m_navigationBarTitle; }
  uikit::BarButtonItem& refreshButton() { return *m_refreshButton; }

  // Actions of the screen's controls.
  void switchChangedState();
  void refreshContact();
  void showSettings();
  void showNewContactView();
  void showNotPossibleToImportContactsError() override;
  void modalViewControllerDidFinish(uikit::ViewController& screen) override;
  // On every return to the foreground: the refresh rule, then the clipboard search.
  void applicationWillEnterForeground();

  // The number search.
  void searchWithPasteboard();
  void doTextFieldSearch();
  void searchForContactWithPhoneNumber(const QString& text);
  void addSearchButton();
  void removeSearchButton();

 protected:
  void loadView() override;
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // ProtectionCycleView
  CycleHud& hud() override { return m_cycleHud; }
  bool isProtectionSwitchOn() const override;
  void setProtectionSwitchOn(bool on) override;
  void setInformationText(const QString& text) override;
  // TextFieldDelegate
  bool textFieldShouldBeginEditing(uikit::TextField& field) override;
  bool textFieldShouldChangeCharactersInRange(uikit::TextField& field, int location, int length,
                                              const QString& replacement) override;
  bool textFieldShouldReturn(uikit::TextField& field) override;
  // OVHudDelegate
  void userDidTapHud(ui::OVHud& hud) override;

  void askBeforeProtecting();
  // A press anywhere on the screen outside the search field ends the typing.
  void touchesBegan(QObject* touched);

  std::unique_ptr<Ui::RootViewController> m_ui;
  ui::OVHud m_hud;
  OverlayCycleHud m_cycleHud{m_hud};
  std::unique_ptr<ProtectionCycle> m_cycle;
  uikit::NavigationItem* m_navigationBarTitle = nullptr;
  uikit::BarButtonItem* m_refreshButton = nullptr;
  uikit::BarButtonItem* m_settingsButton = nullptr;
  fnd::ScopedObserver m_foregroundObserver;
};

}  // namespace app
