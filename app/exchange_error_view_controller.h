#pragma once
// ExchangeErrorViewController: the modal help screen shown when the
// protection contact cannot be written into the address book. It shows the
// application's help document, read afresh each time the screen loads. Main
// thread only.

#include <memory>

#include "platform/uikit/view_controller.h"

namespace Ui {
class ExchangeErrorViewController;
}
namespace uikit {
class NavigationItem;
}

namespace app {

class IManageModalView;

class ExchangeErrorViewController final : public uikit::ViewController {
  Q_OBJECT
 public:
  // The help document among the application's resources, in Norwegian.
  static constexpr const char* kHelpDocument = ":/help/exchangeError.html";
  // The document in the language of the screen's texts, Norwegian when that has none.
  static QString helpDocumentPath();

  explicit ExchangeErrorViewController(QWidget* parent = nullptr);
  ~ExchangeErrorViewController() override;

  IManageModalView* delegate() const { return m_delegate; }
  void setDelegate(IManageModalView* delegate) { m_delegate = delegate; }

  void closeViewAction();

 protected:
  void loadView() override;
  void viewDidLoad() override;

 private:
  std::unique_ptr<Ui::ExchangeErrorViewController> m_ui;
  uikit::NavigationItem* m_viewTitle = nullptr;
  IManageModalView* m_delegate = nullptr;
};

}  // namespace app
