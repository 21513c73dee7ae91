#pragma once
// WebView: shows a local HTML document, frameless, in readable defaults;
// a followed link goes to the link opener (the desktop's browser unless
// another is set). It loads nothing from the network. Main thread only.

#include <QColor>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <functional>

namespace uikit {

class WebView : public QTextBrowser {
  Q_OBJECT
 public:
  using LinkOpener = std::function<void(const QUrl&)>;

  explicit WebView(QWidget* parent = nullptr);

  // Relative references resolve against `baseUrl`; an empty one allows none.
  void loadHTMLString(const QString& html, const QUrl& baseUrl);
  // The document as it was loaded.
  QString html() const { return m_html; }

  // An opaque view lays its background colour over white; a transparent one
  // lets the parent show through wherever neither document nor colour paints.
  bool isOpaque() const { return m_opaque; }
  void setOpaque(bool opaque);
  QColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const QColor& color);

  void setLinkOpener(LinkOpener opener);

 private:
  void applyBackground();
  void followLink(const QUrl& link);

  QString m_html;
  QUrl m_baseUrl;
  bool m_opaque = true;
  QColor m_backgroundColor{Qt::white};
  LinkOpener m_linkOpener;
};

}  // namespace uikit
