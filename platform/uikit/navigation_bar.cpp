#include "platform/uikit/navigation_bar.h"

#include <QPainter>
#include <QtMath>

#include "platform/uikit/bar_button.h"
#include "platform/uikit/theme.h"

namespace uikit {

namespace {

constexpr int kEdgeMargin = 5;
constexpr int kTitleFontSize = 18;
constexpr int kTitleGap = 8;  // between the title and a button
constexpr QColor kTitleShadow{0, 0, 0, 110};
constexpr QColor kTopLine{255, 255, 255, 70};
constexpr QColor kBottomLine{0x0c, 0x26, 0x45};

}  // namespace

NavigationItem::NavigationItem(const QString& title, QObject* parent) : QObject(parent), m_title(title) {}

void NavigationItem::setTitle(const QString& title) {
  if (m_title == title) return;
  m_title = title;
  emit changed();
}

void NavigationItem::setLeftBarButtonItem(BarButtonItem* item, bool animated) { replace(m_left, item, animated); }

void NavigationItem::setRightBarButtonItem(BarButtonItem* item, bool animated) { replace(m_right, item, animated); }

void NavigationItem::replace(QPointer<BarButtonItem>& slot, BarButtonItem* item, bool animated) {
  if (slot == item) return;
  BarButtonItem* previous = slot;
  if (item && !item->parent()) {
    item->setParent(this);
    std::erase_if(m_kept, [](const QPointer<BarButtonItem>& kept) { return kept.isNull(); });
    m_kept.emplace_back(item);
  }
  slot = item;
  release(previous);
  emit barButtonItemsChanged(animated);
  emit changed();
}

void NavigationItem::release(BarButtonItem* item) {
  // Deleted later: the item may be the one whose triggered() signal led here.
  if (!item || item->parent() != this || item == m_left || item == m_right) return;
  if (std::find(m_kept.begin(), m_kept.end(), QPointer(item)) == m_kept.end()) item->deleteLater();
}

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setMinimumHeight(kHeight);
}

NavigationBar::~NavigationBar() {
  // The item may be the bar's own child, which outlives this part of the bar.
  if (m_item) disconnect(m_item, nullptr, this, nullptr);
}

QSize NavigationBar::sizeHint() const { return {theme::kScreenWidth, kHeight}; }

void NavigationBar::setItem(NavigationItem* item) {
  if (m_item == item) return;
  if (m_item) disconnect(m_item, nullptr, this, nullptr);
  m_item = item;
  if (item) {
    if (!item->parent()) item->setParent(this);
    connect(item, &NavigationItem::changed, this, qOverload<>(&QWidget::update));
    connect(item, &NavigationItem::barButtonItemsChanged, this, &NavigationBar::syncButtons);
    connect(item, &QObject::destroyed, this, [this] { syncButtons(false); });
  }
  syncButtons(false);
  update();
}

void NavigationBar::setBackgroundImage(const QPixmap& image, BarMetrics metrics) {
  if (image.isNull()) {
    m_backgrounds.remove(metrics);
  } else {
    m_backgrounds.insert(metrics, image);
  }
  update();
}

QAbstractButton* NavigationBar::buttonForItem(const BarButtonItem* item) const {
  if (!item) return nullptr;
  for (BarButton* button : {m_left.data(), m_right.data()}) {
    if (button && button->item() == item) return button;
  }
  return nullptr;
}

bool NavigationBar::isAnimating() const {
  if (!m_leaving.empty()) return true;
  for (BarButton* button : {m_left.data(), m_right.data()}) {
    if (button && button->isFading()) return true;
  }
  return false;
}

void NavigationBar::syncButtons(bool animated) {
  syncButton(Side::Left, m_item ? m_item->leftBarButtonItem() : nullptr, animated);
  syncButton(Side::Right, m_item ? m_item->rightBarButtonItem() : nullptr, animated);
  placeButtons();
  update();
}

void NavigationBar::syncButton(Side side, BarButtonItem* item, bool animated) {
  QPointer<BarButton>& slot = side == Side::Left ? m_left : m_right;
  if (slot && slot->item() == item) return;
  if (slot) fadeOut(slot, animated);
  slot = nullptr;
  if (!item) return;
  slot = new BarButton(item, this);
  slot->fadeIn(animated);
  slot->show();
}

void NavigationBar::fadeOut(BarButton* button, bool animated) {
  m_leaving.emplace_back(button);
  connect(button, &BarButton::fadedOut, this, [this, button] {
    std::erase(m_leaving, QPointer<BarButton>(button));
    button->hide();
    button->deleteLater();
  });
  button->fadeOut(animated);
}

void NavigationBar::placeButtons() {
  const auto place = [this](BarButton* button, Side side) {
    const QSize size = button->sizeHint();
    const int x = side == Side::Left ? kEdgeMargin : width() - kEdgeMargin - size.width();
    button->setGeometry(QRect(QPoint(x, (height() - size.height()) / 2), size));
  };
  if (m_left) place(m_left, Side::Left);
  if (m_right) place(m_right, Side::Right);
  // Leaving buttons fade where they stand, under the new ones.
  for (const QPointer<BarButton>& button : m_leaving) {
    if (button) button->lower();
  }
}

void NavigationBar::resizeEvent(QResizeEvent*) { placeButtons(); }

// The room between the buttons that the title may use.
std::pair<double, double> NavigationBar::titleRoom() const {
  const double left = m_left ? m_left->geometry().right() + 1 + kTitleGap : kEdgeMargin;
  const double right = m_right ? m_right->geometry().left() - kTitleGap : width() - kEdgeMargin;
  return {left, std::max(left, right)};
}

void NavigationBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const BarMetrics metrics = height() < kHeight && m_backgrounds.contains(BarMetrics::LandscapePhone)
                                 ? BarMetrics::LandscapePhone
                                 : BarMetrics::Default;
  const QPixmap background = m_backgrounds.value(metrics);
  if (!background.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), background);
  } else {
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, theme::kLightBlue);
    gradient.setColorAt(1, theme::kDarkBlue);
    painter.fillRect(rect(), gradient);
    painter.fillRect(QRect(0, 0, width(), 1), kTopLine);
    painter.fillRect(QRect(0, height() - 1, width(), 1), kBottomLine);
  }

  if (!m_item || m_item->title().isEmpty()) return;
  painter.setFont(theme::font(kTitleFontSize, true));
  // Centred on the bar when it fits between the buttons, else moved aside as
  // little as needed, else shortened to the room between them.
  const auto [left, right] = titleRoom();
  const QString title = painter.fontMetrics().elidedText(m_item->title(), Qt::ElideRight, qFloor(right - left));
  const double titleWidth = std::min<double>(painter.fontMetrics().horizontalAdvance(title), right - left);
  const double x = std::clamp((width() - titleWidth) / 2, left, right - titleWidth);
  const QRectF area(x, 0, titleWidth, height());
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.setPen(kTitleShadow);
  painter.drawText(area.translated(0, -1), Qt::AlignCenter, title);
  painter.setPen(Qt::white);
  painter.drawText(area, Qt::AlignCenter, title);
}

}  // namespace uikit
