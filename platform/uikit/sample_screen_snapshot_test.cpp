// covers: button.cpp, image_named.cpp, navigation_bar.cpp, status_bar.cpp, switch.cpp, transition.cpp
// Draws a sample screen made of the toolkit's widgets at double density into a
// PNG under the build directory, for a person to look at, and checks the
// colours that matter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>

#include "platform/net/network_activity_indicator.h"
#include "platform/uikit/button.h"
#include "platform/uikit/image_named.h"
#include "platform/uikit/navigation_bar.h"
#include "platform/uikit/status_bar.h"
#include "platform/uikit/switch.h"
#include "platform/uikit/theme.h"
#include "platform/uikit/transition.h"
#include "tests/support/event_loop.h"

namespace {

using uikit::BarButtonItem;

constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};
constexpr int kScale = 2;

// The screen: status bar, a bar over the application's image with a bordered
// and a refresh button, a bar on the plain gradient with a plain, a done and a
// disabled button, two switches with captions and a button.
class SampleScreen : public QWidget {
 public:
  SampleScreen() {
    resize(320, 480);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, uikit::theme::kBackground);
    setPalette(colours);

    statusBar->setGeometry(0, 0, 320, uikit::StatusBar::kHeight);
    mainBar->setGeometry(0, 20, 320, uikit::NavigationBar::kHeight);
    mainBar->setBackgroundImage(uikit::imageNamed("topBar"), uikit::NavigationBar::BarMetrics::Default);
    auto* mainItem = new uikit::NavigationItem("Ringeplagvern");
    mainItem->setLeftBarButtonItem(new BarButtonItem("Innstillinger", BarButtonItem::Style::Bordered));
    mainItem->setRightBarButtonItem(refresh);
    mainBar->setItem(mainItem);

    otherBar->setGeometry(0, 84, 320, uikit::NavigationBar::kHeight);
    auto* otherItem = new uikit::NavigationItem("En svært lang tittel som ikke får plass");
    otherItem->setLeftBarButtonItem(new BarButtonItem("Avbryt", BarButtonItem::Style::Plain));
    auto* done = new BarButtonItem(BarButtonItem::SystemItem::Done);
    otherItem->setRightBarButtonItem(done);
    otherBar->setItem(otherItem);

    placeSwitch(on, "Beskytt meg", 150);
    on->setOn(true);
    placeSwitch(off, "Importer ikke godkjente", 195);
    auto* disabledSearch = new BarButtonItem("Søk", BarButtonItem::Style::Bordered);
    disabledSearch->setEnabled(false);
    otherItem->setRightBarButtonItem(disabledSearch);
    otherItem->setRightBarButtonItem(done);
    thirdBar->setGeometry(0, 250, 320, uikit::NavigationBar::kHeight);
    auto* thirdItem = new uikit::NavigationItem("Søk");
    thirdItem->setRightBarButtonItem(disabledSearch);
    thirdBar->setItem(thirdItem);

    button->setTitle("Legg til nytt nummer", uikit::Button::ControlState::Normal);
    button->setGeometry(20, 320, 280, button->sizeHint().height());
    pressed->setTitle("Trykket knapp", uikit::Button::ControlState::Normal);
    pressed->setGeometry(20, 370, 280, pressed->sizeHint().height());
    pressed->setDown(true);
  }

  QImage render2x() {
    QImage image(size() * kScale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(kScale);
    image.fill(Qt::transparent);
    render(&image);
    return image;
  }

  uikit::StatusBar* statusBar = new uikit::StatusBar(this);
  uikit::NavigationBar* mainBar = new uikit::NavigationBar(this);
  uikit::NavigationBar* otherBar = new uikit::NavigationBar(this);
  uikit::NavigationBar* thirdBar = new uikit::NavigationBar(this);
  BarButtonItem* refresh = new BarButtonItem(BarButtonItem::SystemItem::Refresh, this);
  uikit::Switch* on = new uikit::Switch(this);
  uikit::Switch* off = new uikit::Switch(this);
  uikit::Button* button = new uikit::Button(this);
  uikit::Button* pressed = new uikit::Button(this);

 private:
  void placeSwitch(uikit::Switch* control, const QString& caption, int y) {
    auto* label = new QLabel(caption, this);
    label->setFont(uikit::theme::font(16, true));
    label->setStyleSheet("color: #333333");
    label->setGeometry(20, y, 230, uikit::Switch::kHeight);
    control->setGeometry(320 - 20 - uikit::Switch::kWidth, y, uikit::Switch::kWidth, uikit::Switch::kHeight);
  }
};

class SampleScreenSnapshot : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* file : kFontFiles) QFontDatabase::addApplicationFont(file);
  }

  // The pixel at `point` (in points) of the double-density image.
  static QColor at(const QImage& image, QPointF point) { return image.pixelColor((point * kScale).toPoint()); }

  static void save(const QImage& image, const QString& name) {
    const QString directory = QStringLiteral(RP_SNAPSHOT_DIR);
    QDir().mkpath(directory);
    EXPECT_TRUE(image.save(directory + "/" + name));
  }
};

TEST_F(SampleScreenSnapshot, WidgetsLookAsIntended) {
  ASSERT_FALSE(uikit::imageNamed("topBar").isNull()) << "the bar's image is among the resources";
  net::NetworkActivityIndicator::setVisible(true);
  SampleScreen screen;
  screen.show();
  const QImage image = screen.render2x();
  save(image, "uikit-sample-screen.png");

  net::NetworkActivityIndicator::setVisible(false);
  EXPECT_EQ(at(image, {100, 2}), QColor(Qt::black)) << "the status bar is dark";
  const QColor bar = at(image, {240, 20 + 22});
  EXPECT_GT(bar.blue(), bar.red() + 40) << "the bar is blue";

  const QRect onTrack = screen.on->geometry();
  const QColor green = at(image, QPointF(onTrack.left() + 8, onTrack.center().y()));
  EXPECT_GT(green.green(), 150);
  EXPECT_LT(green.red(), 100) << "an on switch is green";
  const QRect offTrack = screen.off->geometry();
  const QColor grey = at(image, QPointF(offTrack.right() - 8, offTrack.center().y()));
  EXPECT_GT(grey.lightness(), 200);
  EXPECT_LT(std::abs(grey.red() - grey.green()), 8) << "an off switch is light grey";
  const QColor thumb = at(image, QPointF(onTrack.right() - 15, onTrack.center().y()));
  EXPECT_EQ(thumb, QColor(Qt::white)) << "the thumb of an on switch sits at the right";
}

// Part way through a flip the turning card is narrower than the view, so the
// screen's background shows at the view's sides.
TEST_F(SampleScreenSnapshot, AFlipTurnsTheCardAboutItsUpright) {
  SampleScreen screen;
  auto* card = new QLabel("Ingen treff", &screen);
  card->setAlignment(Qt::AlignCenter);
  card->setAutoFillBackground(true);
  card->setStyleSheet("background: white; color: #333333; font-size: 20px");
  card->setGeometry(20, 420, 280, 50);
  screen.show();
  uikit::transitionWithView(card, 1.0, uikit::TransitionOption::FlipFromRight,
                            [card] { card->setText("Telenor, Ingen kategori"); });
  rp::test::runEventLoopFor(std::chrono::milliseconds(300));
  ASSERT_TRUE(uikit::isTransitionRunning(card));
  const QImage image = screen.render2x();
  save(image, "uikit-flip.png");
  EXPECT_EQ(at(image, QPointF(card->x() + 2, card->geometry().center().y())), uikit::theme::kBackground);
  EXPECT_EQ(at(image, QPointF(card->geometry().center().x(), card->y() + 5)), QColor(Qt::white))
      << "the card is still there in the middle";
}

}  // namespace
