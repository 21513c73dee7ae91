// covers: *_view_controller.cpp, text_field_table_view_cell.cpp, localizable.cpp
// Renders every screen in its main states to PNG files, at the phone's
// double pixel density, for a person to look at, in Norwegian and in English;
// checks that each was drawn with content and that no label's text is cut off.
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/exchange_error_view_controller.h"
#include "app/localizable.h"
#include "app/new_contact_view_controller.h"
#include "app/root_view_controller.h"
#include "app/screen_fixture.h"
#include "app/settings_view_controller.h"
#include "app/text_field_table_view_cell.h"
#include "platform/foundation/localization.h"
#include "platform/pasteboard/pasteboard.h"
#include "platform/uikit/button.h"
#include "platform/uikit/status_bar.h"
#include "platform/uikit/text_field.h"
#include "platform/uikit/text_view.h"

namespace app {

namespace {

using namespace std::chrono_literals;

constexpr int kPixelRatio = 2;

// The phone's window: the status bar over one screen.
class PhoneWindow : public QWidget {
 public:
  explicit PhoneWindow(QWidget* screen) {
    setFixedSize(320, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(new uikit::StatusBar);
    layout->addWidget(screen);
  }
};

// The texts' language, the parameter: Norwegian pictures land in the snapshot
// folder itself, those of a translation in a folder named after its language.
class ScreenSnapshots : public rp::test::ScreenFixture, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override {
    ASSERT_EQ(fnd::installTranslations(GetParam()), GetParam() != "nb") << GetParam();
    ASSERT_TRUE(QDir().mkpath(folder()));
  }
  void TearDown() override { fnd::installTranslations("nb"); }

  QString folder() const {
    return GetParam() == "nb" ? QStringLiteral(RP_SNAPSHOT_DIR)
                              : QStringLiteral(RP_SNAPSHOT_DIR "/%1").arg(QString::fromStdString(GetParam()));
  }

  // Shows `screen` in a phone window, lets it settle and writes it to `name`.png.
  void snapshot(PhoneWindow& window, const QString& name) {
    window.show();
    window.activateWindow();
    settle(600ms);
    QPixmap image(window.size() * kPixelRatio);
    image.setDevicePixelRatio(kPixelRatio);
    window.render(&image);
    const QString path = QStringLiteral("%1/%2.png").arg(folder(), name);
    ASSERT_TRUE(image.save(path)) << path.toStdString();
    expectDrawn(image.toImage(), name);
    expectNoLabelCut(window, name);
    expectNoTextScrolled(window, name);
  }

  // A screen that failed to draw is one flat colour.
  static void expectDrawn(const QImage& image, const QString& name) {
    const QRgb first = image.pixel(image.width() / 2, image.height() / 2);
    int differing = 0;
    for (int y = 0; y < image.height(); y += 8)
      for (int x = 0; x < image.width(); x += 8) differing += image.pixel(x, y) != first;
    EXPECT_GT(differing, 100) << name.toStdString() << " looks empty";
  }

  // Every visible single-line label has room for its text.
  static void expectNoLabelCut(QWidget& window, const QString& name) {
    for (const QLabel* label : window.findChildren<QLabel*>()) {
      if (!label->isVisible() || label->wordWrap() || label->text().isEmpty()) continue;
      const int needed = label->fontMetrics().horizontalAdvance(label->text());
      EXPECT_LE(needed, label->contentsRect().width())
          << name.toStdString() << ": \"" << label->text().toStdString() << "\" is cut off";
    }
  }

  // Every text shown for reading fits its view without scrolling.
  static void expectNoTextScrolled(QWidget& window, const QString& name) {
    for (const uikit::TextView* view : window.findChildren<uikit::TextView*>()) {
      if (!view->isVisible() || view->isEditable()) continue;
      EXPECT_EQ(view->verticalScrollBar()->maximum(), 0)
          << name.toStdString() << ": \"" << view->text().toStdString() << "\" does not fit its view";
    }
  }
};

TEST_P(ScreenSnapshots, Settings) {
  for (int records : {0, 250, 8000}) {
    addRecords(records - static_cast<int>(numberlist::Contact::countOfEntities().value_or(0)));
    settings().setInteger(ImportNumberKey, 200);
    auto* screen = new SettingsViewController;
    PhoneWindow window(screen);
    snapshot(window, QStringLiteral("settings-%1").arg(records));
  }
}

TEST_P(ScreenSnapshots, NewNumber) {
  {
    auto* screen = new NewContactViewController;
    PhoneWindow window(screen);
    snapshot(window, "new-number-empty");
  }
  {
    auto* screen = new NewContactViewController;
    screen->setNumber("915 55 123");
    PhoneWindow window(screen);
    window.show();
    settle();
    auto* table = screen->findChild<uikit::TableView*>("contactTableView");
    const QStringList entries{QString(), "Nordisk Telemarketing AS", "https://telemarketing.example.no",
                              "Kari Nordmann", "Ringte tre ganger i uka"};
    for (int row = 1; row < entries.size(); ++row)
      qobject_cast<TextFieldTableViewCell*>(table->cellForRowAtIndexPath({0, row}))->textField()->setText(entries[row]);
    snapshot(window, "new-number-filled");
  }
  {
    auto* screen = new NewContactViewController;
    screen->setNumber("12 3");
    PhoneWindow window(screen);
    window.show();
    settle();
    screen->didTouchAddContactButton();
    snapshot(window, "new-number-refused");
  }
}

TEST_P(ScreenSnapshots, Help) {
  auto* screen = new ExchangeErrorViewController;
  PhoneWindow window(screen);
  snapshot(window, "help");
  // The document in the texts' language, Norwegian where there is none of its own.
  EXPECT_EQ(ExchangeErrorViewController::helpDocumentPath(),
            GetParam() == "en" ? ":/help/en/exchangeError.html" : ExchangeErrorViewController::kHelpDocument);
}

TEST_P(ScreenSnapshots, Main) {
  addRecords(120);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  pasteboard::setGeneralPasteboardString(QString());
  {
    auto* screen = new RootViewController;
    PhoneWindow window(screen);
    snapshot(window, "main-start");

    ui::OVHud& hud = screen->overlay();
    hud.setBlockTouches(true);
    hud.setCaption(Localizable::tr("Oppdaterer telefonnummerlisten"));
    hud.show();
    snapshot(window, "main-downloading");

    hud.setActivity(false);
    hud.setProgress(0.35);
    hud.setCaption(
        fillFormat(Localizable::tr("Importerer %d av %d nummer"), {QStringLiteral("42"), QStringLiteral("120")}));
    hud.update();
    snapshot(window, "main-importing");
    hud.hide();
    settle(800ms);

    auto& field = *screen->findChild<uikit::TextField*>("numberTextField");
    QTest::mouseClick(&field, Qt::LeftButton);
    QTest::keyClicks(&field, "200 000 07");
    snapshot(window, "main-typing");
    QTest::keyClick(&field, Qt::Key_Return);
    snapshot(window, "main-search-hit");
    QTest::mouseClick(&field, Qt::LeftButton);
    QTest::keyClicks(&field, "+47 400 00 000");
    QTest::keyClick(&field, Qt::Key_Return);
    snapshot(window, "main-search-miss");
  }
  {
    // Protected as a person sees it: the contact built from the stored list,
    // its count in the information text, the final message gone.
    settings().setBool(AutoImportEnabledKey, true);
    auto* screen = new RootViewController;
    PhoneWindow window(screen);
    window.show();
    ASSERT_TRUE(screen->protectionCycle().startImportOfContact(false));
    rp::test::runEventLoopUntil([&] { return !screen->protectionCycle().isBusy(); }, 30s);
    screen->overlay().hide();
    ASSERT_EQ(screen->protectionCycle().addressBookManager().countOfMembers(), 120u);
    snapshot(window, "main-protected");
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, ScreenSnapshots, ::testing::Values("nb", "en"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace

}  // namespace app
