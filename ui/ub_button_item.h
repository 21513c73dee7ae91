#pragma once
// UBButtonItem: a dialog button's label and the action a press on it runs, so
// that a dialog needs no delegate of its own. Main thread only.

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace ui {

class UBButtonItem {
 public:
  using Action = std::function<void()>;

  static std::shared_ptr<UBButtonItem> item() { return std::make_shared<UBButtonItem>(); }
  static std::shared_ptr<UBButtonItem> itemWithLabel(const QString& label) {
    auto labelled = item();
    labelled->m_label = label;
    return labelled;
  }

  QString label() const { return m_label; }
  void setLabel(const QString& label) { m_label = label; }
  const Action& action() const { return m_action; }
  void setAction(Action action) { m_action = std::move(action); }

 private:
  QString m_label;
  Action m_action;
};

using UBButtonItems = std::vector<std::shared_ptr<UBButtonItem>>;

}  // namespace ui
