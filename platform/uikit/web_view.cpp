#include "platform/uikit/web_view.h"

#include <QDesktopServices>
#include <QTextDocument>

#include "platform/foundation/system_log.h"
#include "platform/uikit/overlay_scroll_bar.h"

namespace uikit {

namespace {

constexpr double kDocumentMargin = 8;
constexpr int kBodyPixelSize = 14;
constexpr QColor kTextColor{0x33, 0x33, 0x33};
constexpr QColor kLinkColor{0x1d, 0x4e, 0x89};

}  // namespace

WebView::WebView(QWidget* parent)
    : QTextBrowser(parent), m_linkOpener([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
  setFrameShape(QFrame::NoFrame);
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  new OverlayScrollBar(this);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(kBodyPixelSize);
  setFont(font);
  document()->setDefaultFont(font);
  document()->setDocumentMargin(kDocumentMargin);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Text, kTextColor);
  palette.setColor(QPalette::Link, kLinkColor);
  setPalette(palette);
  applyBackground();
  connect(this, &QTextBrowser::anchorClicked, this, &WebView::followLink);
}

void WebView::loadHTMLString(const QString& html, const QUrl& baseUrl) {
  m_html = html;
  m_baseUrl = baseUrl;
  document()->setBaseUrl(baseUrl);
  setHtml(html);
}

void WebView::setOpaque(bool opaque) {
  m_opaque = opaque;
  applyBackground();
}

void WebView::setBackgroundColor(const QColor& color) {
  m_backgroundColor = color;
  applyBackground();
}

void WebView::setLinkOpener(LinkOpener opener) { m_linkOpener = std::move(opener); }

void WebView::applyBackground() {
  QColor background = m_backgroundColor;
  if (m_opaque && background.alpha() < 255) {
    // An opaque view paints every pixel: the colour goes over white.
    const double alpha = background.alphaF();
    background = QColor::fromRgbF(static_cast<float>(background.redF() * alpha + 1 - alpha),
                                  static_cast<float>(background.greenF() * alpha + 1 - alpha),
                                  static_cast<float>(background.blueF() * alpha + 1 - alpha));
  }
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, background);
  setPalette(palette);
  viewport()->setAutoFillBackground(background.alpha() > 0);
}

void WebView::followLink(const QUrl& link) {
  // A link within the document moves to its anchor; every other leaves the app.
  if (link.isRelative() && link.path().isEmpty() && link.hasFragment()) {
    scrollToAnchor(link.fragment());
    return;
  }
  const QUrl target = m_baseUrl.isEmpty() ? link : m_baseUrl.resolved(link);
  if (target.isRelative()) {
    RP_LOG("link without a place to go: " + link.toString().toStdString());
    return;
  }
  if (m_linkOpener) m_linkOpener(target);
}

}  // namespace uikit
