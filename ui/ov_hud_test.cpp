// covers: ov_hud.cpp, ov_hud_root_view.cpp
#include "ui/ov_hud.h"

#include <gtest/gtest.h>

#include <cmath>

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QTest>
#include <QWidget>

#include "tests/support/event_loop.h"
#include "ui/ov_hud_root_view.h"
#include "ui/ov_text_layer.h"

namespace ui {

namespace {

using rp::test::runEventLoopUntil;

struct RecordingDelegate : OVHudDelegate {
  std::vector<std::string> events;
  void userDidTapHud(OVHud&) override { events.push_back("tap"); }
  void hudWillAppear(OVHud&) override { events.push_back("willAppear"); }
  void hudDidAppear(OVHud&) override { events.push_back("didAppear"); }
  void hudWillUpdate(OVHud&) override { events.push_back("willUpdate"); }
  void hudDidUpdate(OVHud&) override { events.push_back("didUpdate"); }
  void hudWillDisappear(OVHud&) override { events.push_back("willDisappear"); }
  void hudDidDisappear(OVHud&) override { events.push_back("didDisappear"); }
  int count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }
};

class Overlay : public testing::Test {
 protected:
  void SetUp() override {
    m_screen.resize(320, 480);
    m_hud.view()->setParent(&m_screen);
    m_hud.view()->show();
    m_screen.show();
  }

  bool shown() {
    return runEventLoopUntil([this] { return m_delegate.count("didAppear") > m_appeared; });
  }
  void showAndWait() {
    m_appeared = m_delegate.count("didAppear");
    m_hud.show();
    ASSERT_TRUE(shown());
  }
  void hideAndWait() {
    const int hidden = m_delegate.count("didDisappear");
    m_hud.hide();
    ASSERT_TRUE(runEventLoopUntil([&] { return m_delegate.count("didDisappear") > hidden; }));
  }
  bool interactive() { return static_cast<OVHudRootView*>(m_hud.view())->isUserInteractionEnabled(); }
  QPoint panelCentre() { return m_hud.panel().frame().center().toPoint(); }

  QWidget m_screen;
  RecordingDelegate m_delegate;
  OVHud m_hud{&m_delegate};
  int m_appeared = 0;
};

TEST_F(Overlay, ANewOverlayHasItsStartValues) {
  EXPECT_EQ(OVHud::buildInfo(), QString::fromUtf8("ovHUD 1.2 • 2011-03-01"));
  EXPECT_EQ(m_hud.margin(), 10.0);
  EXPECT_EQ(m_hud.padding(), 10.0);
  EXPECT_DOUBLE_EQ(m_hud.alpha(), 0.7);
  EXPECT_DOUBLE_EQ(m_hud.appearScaleFactor(), 1.4);
  EXPECT_DOUBLE_EQ(m_hud.disappearScaleFactor(), 1.4);
  EXPECT_EQ(m_hud.progressBarStyle().borderRadius, 8.0);
  EXPECT_EQ(m_hud.progressBarStyle().borderWidth, 2.0);
  EXPECT_EQ(m_hud.progressBarStyle().barRadius, 5.0);
  EXPECT_EQ(m_hud.progressBarStyle().barInset, 3.0);
  EXPECT_EQ(m_hud.accessoryPosition(), OVAccessoryBelow);
  EXPECT_EQ(m_hud.center(), QPointF(0, 0));
  EXPECT_FALSE(m_hud.blockTouches() || m_hud.allowSuperviewInteraction() || m_hud.shadowEnabled());
  EXPECT_DOUBLE_EQ(m_hud.panel().shadowOpacity(), 0.4) << "the shadow shows from the start";
  EXPECT_EQ(m_hud.panel().activityStyle(), uikit::ActivityIndicatorStyle::White);
  EXPECT_EQ(m_hud.panel().activitySize(), QSizeF(20, 20));
  EXPECT_EQ(m_hud.panel().geometry().progressRect, QRectF(0, 0, 210, 20));
  EXPECT_EQ(m_hud.panel().alpha(), 0.0);
  EXPECT_FALSE(interactive());
  EXPECT_EQ(m_hud.view()->geometry(), m_screen.rect());
}

TEST_F(Overlay, ScaleFactorsHaveAFloorAndStylesSetTheIndicatorSize) {
  m_hud.setAppearScaleFactor(0);
  m_hud.setDisappearScaleFactor(0);
  EXPECT_DOUBLE_EQ(m_hud.appearScaleFactor(), 0.01);
  EXPECT_DOUBLE_EQ(m_hud.disappearScaleFactor(), 0.01);
  m_hud.setActivityStyle(uikit::ActivityIndicatorStyle::WhiteLarge);
  EXPECT_EQ(m_hud.panel().activitySize(), QSizeF(37, 37));
  m_hud.setActivityStyle(uikit::ActivityIndicatorStyle::Gray);
  EXPECT_EQ(m_hud.panel().activitySize(), QSizeF(20, 20));
  m_hud.setShadowEnabled(false);
  EXPECT_EQ(m_hud.panel().shadowOpacity(), 0.0);
}

TEST_F(Overlay, TheBarDrawsTheValueGivenUntilTheNextShowCopiesTheClampedOne) {
  m_hud.setCaption("Laster ned");
  m_hud.setProgress(0.01);
  EXPECT_DOUBLE_EQ(m_hud.panel().progress(), 0.08);
  EXPECT_DOUBLE_EQ(m_hud.panel().progressLayer().theProgress(), 0.01);
  showAndWait();
  EXPECT_DOUBLE_EQ(m_hud.panel().progressLayer().theProgress(), 0.08);

  m_hud.setProgress(1.5);
  EXPECT_DOUBLE_EQ(m_hud.panel().progress(), 1.0);
  m_hud.setProgress(-1);
  EXPECT_DOUBLE_EQ(m_hud.panel().progress(), 0.0);
}

TEST_F(Overlay, ShowCentresThePanelThenGrowsInAndSwallowsTouches) {
  m_hud.setCaption("Henter liste");
  m_hud.setActivity(true);
  m_hud.show();
  EXPECT_TRUE(m_delegate.events.empty()) << "the panel appears once its layers are set";
  ASSERT_TRUE(shown());
  EXPECT_EQ(m_delegate.events, (std::vector<std::string>{"willAppear", "didAppear"}));
  const QRectF frame = m_hud.panel().frame();
  const QSizeF size = m_hud.panel().geometry().targetBounds.size();
  EXPECT_EQ(frame.size(), size);
  EXPECT_EQ(frame.topLeft(), sharpPoint(QPointF((320 - size.width()) * 0.5, (480 - size.height()) * 0.5)));
  EXPECT_EQ(m_hud.panel().alpha(), 1.0);
  EXPECT_EQ(m_hud.panel().scale(), 1.0);
  EXPECT_TRUE(interactive());
  EXPECT_TRUE(m_hud.panel().activity().isAnimating());
  EXPECT_EQ(m_hud.panel().captionLayer().caption(), "Henter liste");
}

TEST_F(Overlay, ThePanelStaysCentredWhenTheScreenChangesSize) {
  m_hud.setCaption("Henter liste");
  showAndWait();
  const QPointF before = m_hud.panel().frame().center();
  m_screen.resize(400, 600);
  ASSERT_TRUE(runEventLoopUntil([this] { return m_hud.view()->size() == QSize(400, 600); }));
  EXPECT_EQ(m_hud.panel().frame().center(), before + QPointF(40, 60));
}

TEST_F(Overlay, AChosenCentrePlacesThePanelAndSuperviewInteractionLeavesTouchesThrough) {
  m_hud.setCaption("Ferdig");
  m_hud.setCenter(QPointF(100, 100));
  m_hud.setAllowSuperviewInteraction(true);
  showAndWait();
  EXPECT_EQ(m_hud.panel().frame().center().toPoint(), QPoint(100, 100));
  EXPECT_FALSE(interactive());
}

TEST_F(Overlay, ASingleTapOnThePanelIsReportedUnlessBlocked) {
  m_hud.setCaption("Trykk for å lukke");
  showAndWait();
  QTest::mouseClick(m_hud.view(), Qt::LeftButton, {}, panelCentre());
  EXPECT_EQ(m_delegate.count("tap"), 1);
  QTest::mouseClick(m_hud.view(), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(m_delegate.count("tap"), 1) << "a tap beside the panel is swallowed";
  QTest::mouseDClick(m_hud.view(), Qt::LeftButton, {}, panelCentre());
  EXPECT_EQ(m_delegate.count("tap"), 1) << "the second tap of a double tap is not reported";
  m_hud.setBlockTouches(true);
  QTest::mouseClick(m_hud.view(), Qt::LeftButton, {}, panelCentre());
  EXPECT_EQ(m_delegate.count("tap"), 1);
}

TEST_F(Overlay, TwoTimedHidesEachRunTheHide) {
  m_hud.setCaption("Ferdig!");
  showAndWait();
  m_hud.hideAfter(0.02);
  m_hud.hideAfter(0.2);
  ASSERT_TRUE(runEventLoopUntil([this] { return m_delegate.count("didDisappear") == 2; }));
  EXPECT_EQ(m_delegate.count("willDisappear"), 2);
  EXPECT_EQ(m_hud.panel().alpha(), 0.0);
  EXPECT_FALSE(interactive());
}

TEST_F(Overlay, HidingForgetsWhatTheScreenSetBeforeTheShow) {
  m_hud.setMargin(20);
  m_hud.setCaption("Legger til kontakten i addresseboken din!");
  m_hud.setActivity(true);
  m_hud.setActivityStyle(uikit::ActivityIndicatorStyle::WhiteLarge);
  m_hud.setProgress(0.5);
  m_hud.setBlockTouches(true);
  m_hud.setAllowSuperviewInteraction(true);
  m_hud.setAccessoryPosition(OVAccessoryAbove);
  m_hud.setFixedSize(QSizeF(250, 150));
  m_hud.setCenter(QPointF(160, 200));
  m_hud.setShowSound("/no/such/sound.wav");
  m_hud.setHideSound("/no/such/sound.wav");
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::red);
  m_hud.setImage(image);
  showAndWait();
  hideAndWait();

  EXPECT_EQ(m_hud.panel().caption(), "");
  EXPECT_TRUE(m_hud.panel().image().isNull());
  EXPECT_TRUE(m_hud.panel().imageLayer().contents().isNull());
  EXPECT_EQ(m_hud.panel().captionLayer().caption(), "");
  EXPECT_EQ(m_hud.panel().progress(), 0.0);
  EXPECT_FALSE(m_hud.panel().showActivity());
  EXPECT_FALSE(m_hud.panel().activity().isAnimating());
  EXPECT_EQ(m_hud.panel().activitySize(), QSizeF(20, 20));
  EXPECT_EQ(m_hud.accessoryPosition(), OVAccessoryBelow);
  EXPECT_FALSE(m_hud.blockTouches());
  EXPECT_FALSE(m_hud.allowSuperviewInteraction());
  EXPECT_EQ(m_hud.panel().fixedSize(), QSizeF(0, 0));
  EXPECT_EQ(m_hud.center(), QPointF(0, 0));
  EXPECT_EQ(m_hud.showSound(), "");
  EXPECT_EQ(m_hud.hideSound(), "");
  EXPECT_EQ(m_hud.margin(), 20.0) << "the overlay's own settings stay";
  EXPECT_EQ(m_hud.sound(), nullptr) << "a missing sound file plays nothing";
}

TEST_F(Overlay, UpdateRelaysOutInPlace) {
  m_hud.setCaption("Kort");
  showAndWait();
  const QSizeF before = m_hud.panel().geometry().targetBounds.size();
  m_hud.setCaption("En mye lengre tekst som må brytes over flere linjer i panelet");
  m_hud.update();
  ASSERT_TRUE(runEventLoopUntil([this] { return m_delegate.count("didUpdate") == 1; }));
  EXPECT_EQ(m_delegate.events, (std::vector<std::string>{"willAppear", "didAppear", "willUpdate", "didUpdate"}));
  const QSizeF after = m_hud.panel().geometry().targetBounds.size();
  EXPECT_GT(after.height(), before.height());
  EXPECT_EQ(m_hud.panel().captionLayer().caption(), m_hud.panel().caption());
  EXPECT_TRUE(runEventLoopUntil([&] { return m_hud.panel().backgroundLayer().bounds().size() == after; }))
      << "the background follows to the new size";
  EXPECT_EQ(m_hud.panel().alpha(), 1.0);
}

TEST_F(Overlay, AWordLongerThanTheCaptionLineWidensThePanelInsteadOfBeingCutOff) {
  const QString word = QStringLiteral("telefonnummerlistentelefonnummerlisten");
  const double wordWidth = QFontMetricsF(OVTextLayer::captionFont()).horizontalAdvance(word);
  ASSERT_GT(wordWidth, kOVCaptionWidth) << "the word must not fit on one caption line";
  m_hud.setCaption(QStringLiteral("Oppdaterer ") + word);
  showAndWait();
  const OVHudGeometry& geometry = m_hud.panel().geometry();
  EXPECT_GE(geometry.captionRect.width(), std::floor(wordWidth));
  EXPECT_TRUE(geometry.targetBounds.contains(geometry.captionRect)) << "the caption stays inside the panel";
}

TEST_F(Overlay, AHideDuringTheAppearAnimationCutsItShort) {
  m_hud.setCaption("Et øyeblikk");
  m_hud.show();
  ASSERT_TRUE(runEventLoopUntil([this] { return m_delegate.count("willAppear") == 1; }));
  hideAndWait();
  EXPECT_EQ(m_delegate.count("didAppear"), 0);
  EXPECT_FALSE(interactive());
}

std::vector<OVHudQueueItem> threeMessages() {
  OVHudQueueItem first;
  first.caption = "Laster ned";
  first.showActivity = true;
  OVHudQueueItem second;
  second.caption = "Lagrer de nye numrene i listen over telefonselgere";
  OVHudQueueItem third;
  third.caption = "OK";
  third.accessoryPosition = OVAccessoryRight;
  third.showActivity = true;
  return {first, second, third};
}

TEST_F(Overlay, AQueueShowsUpdatesAndFinallyHides) {
  m_hud.addQueueItems(threeMessages());
  m_hud.startQueue();
  ASSERT_TRUE(shown());
  const QSizeF firstSize = m_hud.panel().geometry().targetBounds.size();
  EXPECT_TRUE(m_hud.panel().activity().isAnimating());

  m_hud.showNextInQueue();
  EXPECT_EQ(m_hud.queuePosition(), 1);
  ASSERT_TRUE(runEventLoopUntil([this] { return m_delegate.count("didUpdate") == 1; }));
  EXPECT_NE(m_hud.panel().geometry().targetBounds.size(), firstSize) << "each message takes its own size";
  EXPECT_FALSE(m_hud.panel().activity().isAnimating());

  m_hud.showNextInQueue();
  EXPECT_EQ(m_hud.accessoryPosition(), OVAccessoryRight);
  m_hud.showQueueAtIndex(7);
  EXPECT_EQ(m_hud.queuePosition(), 2) << "an index past the end does nothing";
  m_hud.showNextInQueue();
  ASSERT_TRUE(runEventLoopUntil([this] { return m_delegate.count("didDisappear") == 1; }));
  EXPECT_EQ(m_hud.displayQueue().size(), 3u) << "the queue outlives the hide";
  m_hud.clearQueue();
  m_hud.showQueueAtIndex(0);
  EXPECT_EQ(m_delegate.count("willAppear"), 1) << "an empty queue shows nothing";
}

TEST_F(Overlay, AQueueWithAFixedSizeSharesTheLargestSize) {
  m_hud.addQueueItems(threeMessages());
  m_hud.setFixedSize(QSizeF(50, 50));
  QSizeF largest(50, 50);
  for (const OVHudQueueItem& item : m_hud.displayQueue()) {
    const QSizeF needed = m_hud.panel().calculateSizeForQueueItem(item);
    largest = QSizeF(std::max(largest.width(), needed.width()), std::max(largest.height(), needed.height()));
  }
  m_hud.startQueue();
  EXPECT_EQ(m_hud.panel().fixedSize(), largest);
  ASSERT_TRUE(shown());
  for (int index = 1; index < 3; ++index) {
    m_hud.showNextInQueue();
    EXPECT_EQ(m_hud.panel().geometry().targetBounds.size(), largest) << index;
  }
}

}  // namespace

// Counts the frames a widget paints.
struct FrameCounter : QObject {
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++frames;
    return false;
  }
  int frames = 0;
};

TEST_F(Overlay, ARunOfUpdatesPaintsAtMostOneFramePerDisplayFrameAndTheLastStateShows) {
  showAndWait();
  FrameCounter counter;
  m_hud.view()->installEventFilter(&counter);
  QElapsedTimer clock;
  clock.start();
  // An import's reports: each one its own turn of the event loop.
  constexpr int kReports = 400;
  for (int report = 1; report <= kReports; ++report) {
    m_hud.setCaption(QStringLiteral("Importerer %1 av %2 nummer").arg(report).arg(kReports));
    m_hud.setProgress(static_cast<double>(report) / kReports);
    m_hud.update();
    QCoreApplication::processEvents();
  }
  rp::test::runEventLoopFor(std::chrono::milliseconds(100));
  const qint64 elapsed = clock.elapsed();
  EXPECT_LE(counter.frames, elapsed / 16 + 3) << counter.frames << " frames in " << elapsed << " ms";
  EXPECT_GE(counter.frames, 1);
  EXPECT_EQ(m_hud.panel().caption(), QStringLiteral("Importerer %1 av %1 nummer").arg(kReports));
}

}  // namespace ui
