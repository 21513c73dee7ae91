#pragma once
// SettingsViewController: the modal screen where the person chooses how many
// of the top-ranked numbers go into the protection contact, and whether
// numbers the service has not approved go in too. It stores each choice at
// once and remembers that something changed; rebuilding the contact is the
// presenter's work when the screen closes. Main thread only.

#include <cstdint>
#include <memory>

#include "platform/uikit/table_view.h"
#include "platform/uikit/view_controller.h"

namespace Ui {
class SettingsViewController;
}
namespace uikit {
class NavigationItem;
}

namespace app {

class IManageModalView;

class SettingsViewController final : public uikit::ViewController,
                                     private uikit::TableViewDataSource,
                                     private uikit::TableViewDelegate {
  Q_OBJECT
 public:
  static constexpr int kRecordsPerRow = 100;
  static constexpr std::int32_t kImportAll = -1;
  static constexpr double kHeaderHeight = 34.0;

  explicit SettingsViewController(QWidget* parent = nullptr);
  ~SettingsViewController() override;

  IManageModalView* delegate() const { return m_delegate; }
  void setDelegate(IManageModalView* delegate) { m_delegate = delegate; }
  std::uint32_t rowCount() const { return m_rowCount; }
  std::int32_t selectedImportOption() const { return m_selectedImportOption; }
  bool didChangeSettings() const { return m_didChangeSettings; }
  uikit::NavigationItem& navigationBarTitle() { return *m_navigationBarTitle; }

  void didTouchCloseButton();
  void didChangeImportApprovedOption();

 protected:
  void loadView() override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;

 private:
  int numberOfRowsInSection(uikit::TableView& table, int section) override;
  uikit::TableViewCell* cellForRowAtIndexPath(uikit::TableView& table, const uikit::IndexPath& path) override;
  double heightForHeaderInSection(uikit::TableView& table, int section) override;
  QWidget* viewForHeaderInSection(uikit::TableView& table, int section) override;
  void didSelectRowAtIndexPath(uikit::TableView& table, const uikit::IndexPath& path) override;

  bool isImportAllRow(int row) const { return row + 1 >= static_cast<int>(m_rowCount); }
  // What a row stands for: its count, or 0 for the last row ("every number").
  std::int32_t valueOfRow(int row) const;

  std::unique_ptr<Ui::SettingsViewController> m_ui;
  uikit::NavigationItem* m_navigationBarTitle = nullptr;
  IManageModalView* m_delegate = nullptr;
  std::uint32_t m_rowCount = 1;
  std::int32_t m_selectedImportOption = 0;
  bool m_didChangeSettings = false;
};

}  // namespace app
