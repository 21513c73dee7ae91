#pragma once
// RootViewController: the main screen. For now it shows the product name.

#include <QWidget>

class RootViewController : public QWidget {
  Q_OBJECT

 public:
  explicit RootViewController(QWidget* parent = nullptr);
};
