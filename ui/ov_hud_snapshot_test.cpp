// covers: ov_hud.cpp, ov_hud_view.cpp, ov_progress_layer.cpp, ov_text_layer.cpp, ub_dialogs.cpp
// Renders the overlay in its main states to PNG files under the build
// directory, for a person to look at, and checks what was drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPainter>
#include <QPushButton>
#include <QRawFont>
#include <QWidget>

#include "tests/support/event_loop.h"
#include "ui/ov_hud.h"
#include "ui/ub_dialogs.h"

namespace ui {

namespace {

constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

// A screen with some content under the overlay, so the translucency shows.
class SampleScreen : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(214, 222, 232));
    painter.setPen(QColor(40, 60, 90));
    for (int line = 0; line < 12; ++line) painter.drawText(20, 40 + line * 36, "Ringeplagvern beskytter deg");
  }
};

struct AppearDelegate : OVHudDelegate {
  int appeared = 0;
  void hudDidAppear(OVHud&) override { ++appeared; }
};

class OverlaySnapshots : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The captions need a real font: without one Qt draws empty boxes.
    for (const char* file : kFontFiles) {
      const int id = QFontDatabase::addApplicationFont(file);
      if (id >= 0 && s_family.isEmpty()) s_family = QFontDatabase::applicationFontFamilies(id).value(0);
    }
    if (!s_family.isEmpty()) QApplication::setFont(QFont(s_family));
  }

  void SetUp() override {
    ASSERT_FALSE(s_family.isEmpty()) << "no font found for the captions: install fonts-dejavu-core";
    const QRawFont raw = QRawFont::fromFont(OVTextLayer::captionFont());
    ASSERT_TRUE(raw.supportsCharacter(QChar(u'å')) && raw.supportsCharacter(QChar(u'L')))
        << "the caption font lacks Norwegian letters";
    m_screen.resize(320, 480);
    m_hud.view()->setParent(&m_screen);
    m_hud.view()->show();
    m_screen.show();
  }

  QImage showAndSnapshot(const std::string& name) {
    const int before = m_delegate.appeared;
    m_hud.show();
    EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return m_delegate.appeared > before; }));
    return snapshot(name);
  }

  QImage snapshot(const std::string& name) {
    const QImage image = m_screen.grab().toImage();
    const QString directory = QStringLiteral(RP_SNAPSHOT_DIR);
    QDir().mkpath(directory);
    EXPECT_TRUE(image.save(directory + "/" + QString::fromStdString(name) + ".png"));
    return image;
  }

  // Pixels inside `area` (panel coordinates) that are nearly white.
  int whitePixels(const QImage& image, const QRectF& area) {
    const QRect onScreen = area.translated(m_hud.panel().frame().topLeft()).toAlignedRect();
    int count = 0;
    for (int y = onScreen.top(); y <= onScreen.bottom(); ++y) {
      for (int x = onScreen.left(); x <= onScreen.right(); ++x) {
        if (image.pixelColor(x, y).lightness() > 230) ++count;
      }
    }
    return count;
  }

  static inline QString s_family;
  SampleScreen m_screen;
  AppearDelegate m_delegate;
  OVHud m_hud{&m_delegate};
};

TEST_F(OverlaySnapshots, CaptionOnly) {
  m_hud.setMargin(20);
  m_hud.setCaption("Listen er oppdatert");
  const QImage image = showAndSnapshot("overlay-caption");
  EXPECT_GT(whitePixels(image, m_hud.panel().geometry().captionRect), 40) << "the caption was drawn";
  const QPointF corner = m_hud.panel().frame().topLeft() + QPointF(12, 12);
  EXPECT_LT(image.pixelColor(corner.toPoint()).lightness(), 100) << "the panel is dark";
}

TEST_F(OverlaySnapshots, CaptionWithIndicator) {
  m_hud.setMargin(20);
  m_hud.setCaption("Legger til kontakten i addresseboken din!");
  m_hud.setActivity(true);
  const QImage image = showAndSnapshot("overlay-caption-indicator");
  EXPECT_GT(whitePixels(image, m_hud.panel().geometry().captionRect), 80);
  EXPECT_GT(whitePixels(image, m_hud.panel().geometry().activityRect), 3) << "the indicator's leading spokes";
}

TEST_F(OverlaySnapshots, CaptionWithHalfProgress) {
  m_hud.setMargin(20);
  m_hud.setCaption("Legger til numre: 3500 av 7000");
  m_hud.setProgress(0.5);
  const QImage image = showAndSnapshot("overlay-progress");
  // Along the bar's middle row, the fill covers half of the inside of the outline.
  const QRectF bar = m_hud.panel().geometry().progressRect;
  const double inside = bar.width() - 2 * (2 + 3);
  const QRectF middleRow(sharpPoint(bar.topLeft()) + QPointF(5, bar.height() / 2), QSizeF(inside, 1));
  EXPECT_NEAR(whitePixels(image, middleRow), inside / 2, 3);
}

TEST_F(OverlaySnapshots, QueueItemWithImage) {
  QImage picture(48, 48, QImage::Format_ARGB32);
  picture.fill(QColor(40, 120, 220));
  OVHudQueueItem item;
  item.caption = "Nummeret er lagt til";
  item.image = picture;
  item.accessoryPosition = OVAccessoryLeft;
  m_hud.addQueueItem(item);
  m_hud.startQueue();
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return m_delegate.appeared > 0; }));
  const QImage image = snapshot("overlay-queue-image");
  const QRectF picturePlace = m_hud.panel().geometry().imageRect.translated(m_hud.panel().frame().topLeft());
  EXPECT_EQ(image.pixelColor(picturePlace.center().toPoint()), QColor(40, 120, 220));
}

TEST_F(OverlaySnapshots, AlertAndActionSheet) {
  auto* alert = new UBAlertView("Slå av beskyttelsen?", "Kontakten med telefonselgernes numre fjernes.",
                                UBButtonItem::itemWithLabel("Avbryt"), {UBButtonItem::itemWithLabel("Slå av")});
  alert->show(&m_screen);
  const QImage alertImage = snapshot("dialog-alert");
  const QPoint middle = alert->buttonAtIndex(0)->parentWidget()->geometry().center();
  EXPECT_LT(alertImage.pixelColor(middle).lightness(), 100) << "the alert's dark panel stands in the middle";
  alert->dismissWithClickedButtonIndex(-1);

  auto* sheet = new UBActionSheet("Nummeret", UBButtonItem::itemWithLabel("Avbryt"),
                                  UBButtonItem::itemWithLabel("Slett"), {UBButtonItem::itemWithLabel("Kopier")});
  sheet->show(&m_screen);
  const QImage sheetImage = snapshot("dialog-action-sheet");
  const QPoint destructive =
      sheet->buttonAtIndex(1)->geometry().translated(sheet->buttonAtIndex(1)->parentWidget()->pos()).topLeft() +
      QPoint(6, 6);
  const QColor red = sheetImage.pixelColor(destructive);
  EXPECT_GT(red.red(), 150);
  EXPECT_LT(red.green(), 80) << "the destructive button is red";
  sheet->dismissWithClickedButtonIndex(-1);
}

}  // namespace

}  // namespace ui
