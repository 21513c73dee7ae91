#include "app/text_field_table_view_cell.h"

#include "ui_TextFieldTableViewCell.h"

namespace app {

TextFieldTableViewCell::TextFieldTableViewCell(QWidget* parent)
    : uikit::TableViewCell(Style::Default, QString::fromLatin1(kReuseIdentifier), parent),
      m_ui(std::make_unique<Ui::TextFieldTableViewCell>()) {
  setObjectName(QStringLiteral("TextFieldTableViewCell"));
  // The form's widgets live in the content view, so a field's cell is its
  // parent's parent.
  m_ui->setupUi(contentView());
  textLabel()->hide();
}

TextFieldTableViewCell::~TextFieldTableViewCell() = default;

uikit::TextField* TextFieldTableViewCell::textField() const { return m_ui->textField; }

QLabel* TextFieldTableViewCell::staticTextLabel() const { return m_ui->staticTextLabel; }

}  // namespace app
