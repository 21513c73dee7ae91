// covers: web_view.cpp, text_view.cpp
#include "platform/uikit/web_view.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/uikit/text_view.h"

namespace {

using uikit::WebView;

constexpr QColor kParentColor{200, 30, 30};

// A coloured screen with one child view over its whole area.
class Screen : public QWidget {
 public:
  Screen() {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kParentColor);
    setPalette(palette);
    resize(320, 200);
  }
};

// Clicks the first place in the view where `text` is shown.
void clickOn(WebView& view, const QString& text) {
  QTextCursor cursor = view.document()->find(text);
  ASSERT_FALSE(cursor.isNull()) << text.toStdString();
  cursor.setPosition(cursor.selectionStart() + 1);
  const QPoint point = view.cursorRect(cursor).center();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, point);
}

class WebViewTest : public testing::Test {
 protected:
  void SetUp() override {
    m_view = new WebView(&m_screen);
    m_view->setGeometry(m_screen.rect());
    m_view->setLinkOpener([this](const QUrl& url) { m_opened.push_back(url); });
    m_screen.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_screen));
  }

  Screen m_screen;
  WebView* m_view = nullptr;
  std::vector<QUrl> m_opened;
};

TEST_F(WebViewTest, LinksGoToTheOpenerResolvedAgainstTheBase) {
  const QString html =
      "<p><a href='https://example.org/hjelp'>Absolutt</a></p>"
      "<p><a href='side.html'>Relativ</a></p>";
  m_view->loadHTMLString(html, QUrl("https://example.org/dok/"));
  EXPECT_EQ(m_view->html(), html);
  clickOn(*m_view, "Absolutt");
  clickOn(*m_view, "Relativ");
  EXPECT_EQ(m_opened,
            (std::vector<QUrl>{QUrl("https://example.org/hjelp"), QUrl("https://example.org/dok/side.html")}));

  m_opened.clear();
  m_view->loadHTMLString(html, QUrl());
  clickOn(*m_view, "Relativ");
  EXPECT_TRUE(m_opened.empty()) << "without a base a relative link leads nowhere";
  EXPECT_TRUE(m_view->toPlainText().contains("Absolutt")) << "and the document stays";
}

TEST_F(WebViewTest, ATransparentViewShowsItsParentWhereTheDocumentPaintsNothing) {
  m_view->loadHTMLString("<p>Tekst</p><p style='background-color: #0000ff'>Blå</p>", QUrl());
  const QPoint emptyCorner(m_screen.width() - 20, m_screen.height() - 20);
  EXPECT_TRUE(m_view->isOpaque());
  EXPECT_EQ(m_screen.grab().toImage().pixelColor(emptyCorner), QColor(Qt::white)) << "opaque and white by default";

  m_view->setOpaque(false);
  m_view->setBackgroundColor(Qt::transparent);
  const QImage image = m_screen.grab().toImage();
  EXPECT_EQ(image.pixelColor(emptyCorner), kParentColor);
  QTextCursor blue = m_view->document()->find("Blå");
  EXPECT_EQ(image.pixelColor(m_view->cursorRect(blue).center() + QPoint(40, 0)), QColor(0, 0, 255))
      << "the document's own background still shows";
}

TEST(TextView, ShowsPlainTextReadOnlyOnAnOptionalTransparentBackground) {
  Screen screen;
  auto* view = new uikit::TextView(&screen);
  view->setGeometry(screen.rect());
  view->setText("<b>ikke fet</b> & mer");
  EXPECT_EQ(view->text(), "<b>ikke fet</b> & mer");
  EXPECT_FALSE(view->isEditable());
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
  view->setFocus();
  QTest::keyClicks(view, "x");
  EXPECT_EQ(view->text(), "<b>ikke fet</b> & mer");

  const QPoint emptyCorner(screen.width() - 20, screen.height() - 20);
  EXPECT_EQ(screen.grab().toImage().pixelColor(emptyCorner), QColor(Qt::white));
  view->setTransparentBackground(true);
  EXPECT_EQ(screen.grab().toImage().pixelColor(emptyCorner), kParentColor);

  // Long text wraps inside the width instead of running past it.
  view->setText(QString("ord ").repeated(200));
  QTextCursor end(view->document());
  end.movePosition(QTextCursor::End);
  EXPECT_GT(view->cursorRect(end).bottom(), 3 * view->fontMetrics().height());
  EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0);
}

}  // namespace
