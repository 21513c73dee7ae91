#include "ui/navigation_bar_background.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace {

constexpr int kTag = 4242;

// The bar's children from the back to the front.
QWidget* backmost(QWidget& bar) {
  for (QObject* child : bar.children()) {
    if (auto* widget = qobject_cast<QWidget*>(child)) return widget;
  }
  return nullptr;
}

TEST(NavigationBarBackground, TheImageFillsTheBarBehindItsContent) {
  QWidget bar;
  bar.resize(320, 44);
  auto* title = new QLabel("Ringeplagvern", &bar);

  setNavigationBarBackgroundImage(bar, QPixmap(), kTag);
  EXPECT_EQ(backmost(bar), title) << "no image, no background";

  QPixmap image(10, 10);
  image.fill(Qt::darkBlue);
  setNavigationBarBackgroundImage(bar, image, kTag);
  QWidget* background = backmost(bar);
  ASSERT_NE(background, title);
  EXPECT_EQ(background->geometry(), QRect(0, 0, 320, 44));
  EXPECT_EQ(background->property("tag").toInt(), kTag);

  background->raise();
  EXPECT_EQ(backmost(bar), title);
  resetNavigationBarBackground(bar, kTag);
  EXPECT_EQ(backmost(bar), background);
}

}  // namespace
