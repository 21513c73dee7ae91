#include "platform/uikit/view_controller.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "platform/foundation/system_log.h"
#include "tests/support/event_loop.h"

namespace {

using uikit::ViewController;

// A screen with a button and a text field that writes down what it heard.
class Screen : public ViewController {
 public:
  explicit Screen(std::string name, std::vector<std::string>* journal, QWidget* parent = nullptr)
      : ViewController(parent), m_name(std::move(name)), m_journal(journal) {}

  QPushButton* button = nullptr;
  QLineEdit* field = nullptr;

 protected:
  void loadView() override {
    auto* layout = new QVBoxLayout(this);
    button = new QPushButton(QString::fromStdString(m_name), this);
    field = new QLineEdit(this);
    layout->addWidget(button);
    layout->addWidget(field);
    note("loadView");
  }
  void viewDidLoad() override { note("viewDidLoad"); }
  void viewWillAppear(bool animated) override { note("willAppear", animated); }
  void viewDidAppear(bool animated) override { note("didAppear", animated); }
  void viewWillDisappear(bool animated) override { note("willDisappear", animated); }
  void viewDidDisappear(bool animated) override { note("didDisappear", animated); }

 private:
  void note(const std::string& what, std::optional<bool> animated = std::nullopt) {
    m_journal->push_back(m_name + " " + what + (animated ? (*animated ? " animated" : " at once") : ""));
  }
  std::string m_name;
  std::vector<std::string>* m_journal;
};

void runDeferredDeletions() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class Presentation : public testing::Test {
 protected:
  void SetUp() override {
    m_window.resize(320, 480);
    auto* layout = new QVBoxLayout(&m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_root);
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    m_journal.clear();
  }
  void TearDown() override { fnd::setLogSinkForTesting({}); }

  bool slideEnds(const ViewController& controller) {
    return rp::test::runEventLoopUntil([&] { return !controller.isPresentationAnimating(); }, std::chrono::seconds(3));
  }

  std::vector<std::string> m_journal;
  QWidget m_window;
  Screen* m_root = new Screen("root", &m_journal);
};

TEST_F(Presentation, TheScreenSlidesUpOverThePresenterAndAppears) {
  EXPECT_TRUE(m_root->isViewLoaded());
  const QRect rootGeometry = m_root->geometry();
  QPointer<Screen> screen = new Screen("settings", &m_journal);
  m_root->presentModalViewController(screen, true);

  EXPECT_EQ(m_root->modalViewController(), screen);
  EXPECT_EQ(screen->presentingViewController(), m_root);
  EXPECT_EQ(screen->parentWidget(), &m_window);
  EXPECT_TRUE(m_root->isPresentationAnimating());
  EXPECT_GT(screen->y(), 200) << "starts from the bottom";
  ASSERT_TRUE(slideEnds(*m_root));
  EXPECT_EQ(screen->geometry(), m_window.rect());
  EXPECT_TRUE(m_root->isVisible());
  EXPECT_EQ(m_root->geometry(), rootGeometry) << "the presenter stays beneath, unchanged";
  EXPECT_EQ(m_journal, (std::vector<std::string>{"settings loadView", "settings viewDidLoad",
                                                 "root willDisappear animated", "settings willAppear animated",
                                                 "settings didAppear animated", "root didDisappear animated"}));

  m_journal.clear();
  m_root->dismissModalViewControllerAnimated(true);
  EXPECT_TRUE(m_root->isPresentationAnimating());
  EXPECT_EQ(m_root->modalViewController(), screen) << "until it has left";
  ASSERT_TRUE(slideEnds(*m_root));
  EXPECT_EQ(m_root->modalViewController(), nullptr);
  EXPECT_EQ(m_journal, (std::vector<std::string>{"settings willDisappear animated", "root willAppear animated",
                                                 "settings didDisappear animated", "root didAppear animated"}));
  runDeferredDeletions();
  EXPECT_TRUE(screen.isNull()) << "a dismissed screen is deleted";
}

TEST_F(Presentation, OnlyThePresentedScreenGetsInput) {
  m_root->field->setFocus();
  auto* screen = new Screen("new number", &m_journal);
  m_root->presentModalViewController(screen, true);
  QSignalSpy rootClicks(m_root->button, &QPushButton::clicked);
  QSignalSpy screenClicks(screen->button, &QPushButton::clicked);

  // During the slide the presenter's button is still in sight, but dead.
  QTest::mouseClick(m_root->button, Qt::LeftButton);
  QTest::keyClicks(m_root->field, "123");
  EXPECT_EQ(rootClicks.count(), 0);
  EXPECT_EQ(m_root->field->text(), "");

  ASSERT_TRUE(slideEnds(*m_root));
  QTest::mouseClick(m_root->button, Qt::LeftButton);
  QTest::mouseClick(screen->button, Qt::LeftButton);
  QTest::keyClicks(screen->field, "22 33");
  EXPECT_EQ(rootClicks.count(), 0);
  EXPECT_EQ(screenClicks.count(), 1);
  EXPECT_EQ(screen->field->text(), "22 33");

  m_root->dismissModalViewControllerAnimated(false);
  QTest::mouseClick(m_root->button, Qt::LeftButton);
  QTest::keyClicks(m_root->field, "4");
  EXPECT_EQ(rootClicks.count(), 1) << "input returns to the presenter";
  EXPECT_EQ(m_root->field->text(), "4");
}

TEST_F(Presentation, ASecondPresentIsRefusedAndLogged) {
  std::vector<std::string> log;
  fnd::setLogSinkForTesting([&log](std::string_view line) { log.emplace_back(line); });
  auto* first = new Screen("first", &m_journal);
  m_root->presentModalViewController(first, false);
  EXPECT_FALSE(m_root->isPresentationAnimating());
  Screen second("second", &m_journal);
  m_root->presentModalViewController(&second, false);
  EXPECT_EQ(m_root->modalViewController(), first);
  EXPECT_EQ(second.presentingViewController(), nullptr);
  EXPECT_FALSE(second.isVisible());
  EXPECT_FALSE(second.isViewLoaded());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("refused"), std::string::npos) << log[0];
}

TEST_F(Presentation, AScreenDismissesItselfThroughItsPresenter) {
  QPointer<Screen> screen = new Screen("help", &m_journal);
  m_root->presentModalViewController(screen, false);
  screen->dismissModalViewControllerAnimated(false);
  EXPECT_EQ(m_root->modalViewController(), nullptr);
  EXPECT_FALSE(screen->isVisible());
  runDeferredDeletions();
  EXPECT_TRUE(screen.isNull());
}

TEST_F(Presentation, PresentingWhileTheLastScreenLeavesLetsItLeaveAtOnce) {
  QPointer<Screen> settings = new Screen("settings", &m_journal);
  m_root->presentModalViewController(settings, false);
  m_root->dismissModalViewControllerAnimated(true);
  auto* help = new Screen("help", &m_journal);
  m_root->presentModalViewController(help, true);
  EXPECT_EQ(m_root->modalViewController(), help);
  ASSERT_TRUE(slideEnds(*m_root));
  runDeferredDeletions();
  EXPECT_TRUE(settings.isNull());
  EXPECT_EQ(help->geometry(), m_window.rect());
}

TEST_F(Presentation, DeletingThePresenterMidSlideTakesTheScreenAlong) {
  QPointer<Screen> screen = new Screen("settings", &m_journal);
  m_root->presentModalViewController(screen, true);
  delete m_root;
  rp::test::runEventLoopFor(std::chrono::milliseconds(400));
  runDeferredDeletions();
  EXPECT_TRUE(screen.isNull());
  QPushButton after("after", &m_window);
  after.show();
  QSignalSpy clicks(&after, &QPushButton::clicked);
  QTest::mouseClick(&after, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1) << "the window takes input again";
}

TEST_F(Presentation, AWindowThatIsItselfTheScreenHostsThePresentedOne) {
  auto window = std::make_unique<Screen>("window", &m_journal);
  window->resize(320, 480);
  window->show();
  QPointer<Screen> screen = new Screen("help", &m_journal);
  window->presentModalViewController(screen, false);
  EXPECT_EQ(screen->parentWidget(), window.get());
  QSignalSpy windowClicks(window->button, &QPushButton::clicked);
  QSignalSpy screenClicks(screen->button, &QPushButton::clicked);
  QTest::mouseClick(window->button, Qt::LeftButton);
  QTest::mouseClick(screen->button, Qt::LeftButton);
  EXPECT_EQ(windowClicks.count(), 0);
  EXPECT_EQ(screenClicks.count(), 1) << "the presented screen lies inside its presenter yet gets input";
  window.reset();
  runDeferredDeletions();
  EXPECT_TRUE(screen.isNull());
}

TEST_F(Presentation, TheWindowShowingAScreenMakesItAppear) {
  QWidget window;
  auto* screen = new Screen("main", &m_journal, &window);
  EXPECT_FALSE(screen->isViewLoaded());
  window.show();
  EXPECT_EQ(m_journal, (std::vector<std::string>{"main loadView", "main viewDidLoad", "main willAppear at once",
                                                 "main didAppear at once"}));
  EXPECT_TRUE(screen->shouldAutorotateToInterfaceOrientation(ViewController::InterfaceOrientation::Portrait));
  EXPECT_FALSE(screen->shouldAutorotateToInterfaceOrientation(ViewController::InterfaceOrientation::LandscapeLeft));
}

}  // namespace
