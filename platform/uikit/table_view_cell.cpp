#include "platform/uikit/table_view_cell.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <span>

namespace uikit {

namespace {

constexpr int kTextInset = 15;
constexpr int kAccessoryWidth = 40;
constexpr QColor kCheckmarkColor{0x1d, 0x4e, 0x89};
constexpr QColor kHighlightColor{0xd3, 0xdf, 0xee};
constexpr QColor kTextColor{0x33, 0x33, 0x33};
constexpr int kTextPixelSize = 17;
// The check mark inside its square box, as fractions of the box's side.
constexpr double kCheckmarkSide = 14;
constexpr double kCheckmarkStroke = 2.5;
constexpr QPointF kCheckmarkPoints[] = {{0.05, 0.55}, {0.38, 0.88}, {0.95, 0.12}};

}  // namespace

TableViewCell::TableViewCell(QWidget* parent) : TableViewCell(Style::Default, QString(), parent) {}

TableViewCell::TableViewCell(Style, const QString& reuseIdentifier, QWidget* parent)
    : QWidget(parent),
      m_reuseIdentifier(reuseIdentifier),
      m_contentView(new QWidget(this)),
      m_textLabel(new QLabel(m_contentView)) {
  m_contentView->setObjectName(QStringLiteral("contentView"));
  m_textLabel->setObjectName(QStringLiteral("textLabel"));
  QFont font = m_textLabel->font();
  font.setPixelSize(kTextPixelSize);
  font.setBold(true);
  m_textLabel->setFont(font);
  QPalette palette = m_textLabel->palette();
  palette.setColor(QPalette::WindowText, kTextColor);
  m_textLabel->setPalette(palette);
  m_textLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  m_textLabel->setTextFormat(Qt::PlainText);
  // Taps fall through to the table, which selects the row.
  m_textLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
  layOutContent();
}

void TableViewCell::setAccessoryType(AccessoryType type) {
  if (m_accessoryType == type) return;
  m_accessoryType = type;
  layOutContent();
  update();
}

void TableViewCell::setBackgroundColor(const QColor& color) {
  if (m_backgroundColor == color) return;
  m_backgroundColor = color;
  update();
}

void TableViewCell::setHighlighted(bool highlighted) {
  if (m_highlighted == highlighted) return;
  m_highlighted = highlighted;
  update();
}

void TableViewCell::prepareForReuse() { setHighlighted(false); }

void TableViewCell::resizeEvent(QResizeEvent*) { layOutContent(); }

void TableViewCell::layOutContent() {
  const int accessory = m_accessoryType == AccessoryType::None ? 0 : kAccessoryWidth;
  m_contentView->setGeometry(0, 0, std::max(0, width() - accessory), height());
  const int labelRight = accessory > 0 ? 0 : kTextInset;
  m_textLabel->setGeometry(kTextInset, 0, std::max(0, m_contentView->width() - kTextInset - labelRight),
                           m_contentView->height());
}

void TableViewCell::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), m_highlighted ? kHighlightColor : m_backgroundColor);
  if (m_accessoryType != AccessoryType::Checkmark) return;
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box(width() - kAccessoryWidth + (kAccessoryWidth - kCheckmarkSide) / 2, (height() - kCheckmarkSide) / 2,
                   kCheckmarkSide, kCheckmarkSide);
  auto place = [&box](const QPointF& point) {
    return QPointF(box.left() + point.x() * box.width(), box.top() + point.y() * box.height());
  };
  QPainterPath path(place(kCheckmarkPoints[0]));
  for (const QPointF& point : std::span(kCheckmarkPoints).subspan(1)) path.lineTo(place(point));
  painter.setPen(QPen(kCheckmarkColor, kCheckmarkStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(path);
}

}  // namespace uikit
