#pragma once
// NewContactViewController: the modal screen where the person adds a number
// of their own. It stores the entry as a record added by hand and, while
// protection is on, has the protection contact manager append it to the
// protection contact, showing its overlay until the manager reports. The
// entries live only in the form's fields. Main thread only.

#include <QString>
#include <memory>

#include "addressbook/manage_address_book.h"
#include "platform/uikit/table_view.h"
#include "platform/uikit/text_field.h"
#include "platform/uikit/view_controller.h"
#include "ui/ov_hud.h"

namespace Ui {
class NewContactViewController;
}
namespace uikit {
class NavigationItem;
}

namespace app {

class IManageModalView;

class NewContactViewController final : public uikit::ViewController,
                                       public abm::ManageAddressBookDelegate<NewContactViewController>,
                                       private uikit::TableViewDataSource,
                                       private uikit::TextFieldDelegate,
                                       private ui::OVHudDelegate {
  Q_OBJECT
 public:
  enum Row { PhoneRow, FirmRow, HomepageRow, NameRow, CommentRow, RowCount };
  static constexpr double kRefusalSeconds = 5.0;

  explicit NewContactViewController(QWidget* parent = nullptr);
  ~NewContactViewController() override;

  QString number() const { return m_number; }
  void setNumber(const QString& number) { m_number = number; }
  IManageModalView* delegate() const { return m_delegate; }
  void setDelegate(IManageModalView* delegate) { m_delegate = delegate; }
  bool didImport() const { return m_didImport; }
  ui::OVHud& hud() { return m_hud; }

  void didTouchAddContactButton();
  void didTouchCloseButton();
  // The text of the form row's field, taking the focus from it; empty when
  // the row is not on screen.
  QString getCellTextFieldContentFromCellAt(unsigned row, unsigned section);

  // The manager's reports.
  void didImportNewContact() override;
  void didFailImportNewContact() override;

 protected:
  void loadView() override;
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

 private:
  int numberOfRowsInSection(uikit::TableView& table, int section) override;
  uikit::TableViewCell* cellForRowAtIndexPath(uikit::TableView& table, const uikit::IndexPath& path) override;
  bool textFieldShouldReturn(uikit::TextField& field) override;
  void userDidTapHud(ui::OVHud& hud) override;
  void finish();

  std::unique_ptr<Ui::NewContactViewController> m_ui;
  uikit::NavigationItem* m_aNavigationTitle = nullptr;
  ui::OVHud m_hud;
  IManageModalView* m_delegate = nullptr;
  QString m_number;
  bool m_didImport = false;
};

}  // namespace app
