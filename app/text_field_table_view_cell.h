#pragma once
// TextFieldTableViewCell: a form row, a fixed label beside a one-line entry
// field, laid out by its form file. It has no behaviour of its own. Main
// thread only.

#include <QLabel>
#include <memory>

#include "platform/uikit/table_view_cell.h"
#include "platform/uikit/text_field.h"

namespace Ui {
class TextFieldTableViewCell;
}

namespace app {

class TextFieldTableViewCell final : public uikit::TableViewCell {
  Q_OBJECT
 public:
  static constexpr const char* kReuseIdentifier = "TextFieldCell";

  explicit TextFieldTableViewCell(QWidget* parent = nullptr);
  ~TextFieldTableViewCell() override;

  uikit::TextField* textField() const;
  QLabel* staticTextLabel() const;

 private:
  std::unique_ptr<Ui::TextFieldTableViewCell> m_ui;
};

}  // namespace app
