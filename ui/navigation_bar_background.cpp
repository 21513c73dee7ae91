#include "ui/navigation_bar_background.h"

#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace {

constexpr const char* kTagProperty = "tag";

}  // namespace

void setNavigationBarBackgroundImage(QWidget& bar, const QPixmap& image, int tag) {
  if (image.isNull()) return;
  auto* background = new QLabel(&bar);
  background->setPixmap(image);
  background->setScaledContents(true);
  background->setGeometry(0, 0, bar.width(), bar.height());
  background->setProperty(kTagProperty, tag);
  background->show();
  background->lower();
}

void resetNavigationBarBackground(QWidget& bar, int tag) {
  for (QWidget* child : bar.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->property(kTagProperty) == tag) {
      child->lower();
      return;
    }
  }
}
