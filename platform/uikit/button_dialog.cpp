#include "platform/uikit/button_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace uikit {

namespace {

constexpr QColor kDimmedScreen{0, 0, 0, 102};
constexpr int kPanelMargin = 12;
constexpr int kPanelSpacing = 8;

}  // namespace

void ButtonDialogDelegate::clickedButtonAtIndex(ButtonDialog&, int) {}
void ButtonDialogDelegate::didDismissWithButtonIndex(ButtonDialog&, int) {}

ButtonDialog::ButtonDialog(const QString& title, const QString& message, ButtonDialogDelegate* delegate)
    : m_delegate(delegate),
      m_panel(new QWidget(this)),
      m_title(new QLabel(title, m_panel)),
      m_message(new QLabel(message, m_panel)),
      m_buttonLayout(new QVBoxLayout) {
  QWidget::hide();
  setFocusPolicy(Qt::StrongFocus);
  m_panel->setObjectName("dialogPanel");
  m_panel->setAttribute(Qt::WA_StyledBackground);
  m_title->setObjectName("dialogTitle");
  m_message->setObjectName("dialogMessage");
  for (QLabel* label : {m_title, m_message}) {
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setVisible(!label->text().isEmpty());
  }
  auto* column = new QVBoxLayout(m_panel);
  column->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
  column->setSpacing(kPanelSpacing);
  column->addWidget(m_title);
  column->addWidget(m_message);
  m_buttonLayout->setSpacing(kPanelSpacing);
  column->addLayout(m_buttonLayout);
}

int ButtonDialog::addButtonWithTitle(const QString& title) {
  const int index = numberOfButtons();
  auto* button = new QPushButton(title, m_panel);
  button->setObjectName("dialogButton");
  button->setFocusPolicy(Qt::NoFocus);
  connect(button, &QPushButton::clicked, this, [this, index] { press(index); });
  m_buttons.push_back(button);
  arrangePanel();
  return index;
}

QString ButtonDialog::buttonTitleAtIndex(int index) const {
  QPushButton* button = buttonAtIndex(index);
  return button ? button->text() : QString();
}

QPushButton* ButtonDialog::buttonAtIndex(int index) const {
  if (index < 0 || index >= numberOfButtons()) return nullptr;
  return m_buttons[static_cast<std::size_t>(index)];
}

QString ButtonDialog::title() const { return m_title->text(); }
QString ButtonDialog::message() const { return m_message->text(); }

void ButtonDialog::setCancelButtonIndex(int index) {
  if (QPushButton* previous = buttonAtIndex(m_cancelButtonIndex)) previous->setProperty("role", QVariant());
  m_cancelButtonIndex = index;
  setButtonRole(index, "cancel");
  arrangePanel();
}

void ButtonDialog::setButtonRole(int index, const char* role) {
  QPushButton* button = buttonAtIndex(index);
  if (!button) return;
  button->setProperty("role", role);
  // A style sheet reads dynamic properties only when the widget is polished again.
  button->style()->unpolish(button);
  button->style()->polish(button);
}

void ButtonDialog::layOutButtons(QBoxLayout::Direction direction, CancelPlace cancelPlace, int cancelGap) {
  while (QLayoutItem* item = m_buttonLayout->takeAt(0)) delete item;
  m_buttonLayout->setDirection(direction);
  QPushButton* cancel = buttonAtIndex(m_cancelButtonIndex);
  if (cancel && cancelPlace == CancelPlace::First) m_buttonLayout->addWidget(cancel);
  for (QPushButton* button : m_buttons) {
    if (button != cancel) m_buttonLayout->addWidget(button);
  }
  if (cancel && cancelPlace == CancelPlace::Last) {
    if (cancelGap > 0) m_buttonLayout->addSpacing(cancelGap);
    m_buttonLayout->addWidget(cancel);
  }
}

void ButtonDialog::show(QWidget* window) {
  if (!window) window = QApplication::activeWindow();
  if (!window) {
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget* candidate : windows) {
      if (candidate->isVisible() && candidate != this) window = candidate;
    }
  }
  if (window) {
    setParent(window);
    window->installEventFilter(this);
    setGeometry(window->rect());
  }
  arrangePanel();
  QWidget::show();
  raise();
  setFocus();
}

void ButtonDialog::dismissWithClickedButtonIndex(int index) {
  if (m_dismissed) return;
  m_dismissed = true;
  hide();
  if (m_delegate) m_delegate->didDismissWithButtonIndex(*this, index);
  deleteLater();
}

void ButtonDialog::press(int index) {
  if (m_dismissed) return;
  // The delegate may forget this dialog while it is told; the guard notices.
  QPointer<ButtonDialog> alive(this);
  if (m_delegate) m_delegate->clickedButtonAtIndex(*this, index);
  if (alive) dismissWithClickedButtonIndex(index);
}

void ButtonDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kDimmedScreen);
}

void ButtonDialog::resizeEvent(QResizeEvent*) { arrangePanel(); }

void ButtonDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  if (m_cancelButtonIndex >= 0) {
    press(m_cancelButtonIndex);
  } else {
    dismissWithClickedButtonIndex(-1);
  }
}

bool ButtonDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

}  // namespace uikit
