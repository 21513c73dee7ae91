#include "app/root_view_controller.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/constants.h"

RootViewController::RootViewController(QWidget* parent) : QWidget(parent) {
  auto* title = new QLabel(QString::fromUtf8(ProductName.data(), ProductName.size()), this);
  title->setObjectName(QStringLiteral("titleLabel"));
  title->setAlignment(Qt::AlignCenter);
  QFont font = title->font();
  font.setBold(true);
  font.setPointSize(20);
  title->setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title);
}
