#include "platform/uikit/text_view.h"

#include <QTextDocument>

#include "platform/uikit/overlay_scroll_bar.h"

namespace uikit {

namespace {

constexpr double kPadding = 8;
constexpr int kTextPixelSize = 14;
constexpr QColor kTextColor{0x33, 0x33, 0x33};

}  // namespace

TextView::TextView(QWidget* parent) : QPlainTextEdit(parent) {
  setFrameShape(QFrame::NoFrame);
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  new OverlayScrollBar(this);
  document()->setDocumentMargin(kPadding);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(kTextPixelSize);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Text, kTextColor);
  palette.setColor(QPalette::Base, Qt::white);
  setPalette(palette);
}

void TextView::setText(const QString& text) { setPlainText(text); }

void TextView::setTransparentBackground(bool transparent) {
  m_transparent = transparent;
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, transparent ? QColor(Qt::transparent) : QColor(Qt::white));
  setPalette(palette);
  viewport()->setAutoFillBackground(!transparent);
}

}  // namespace uikit
