#include "platform/uikit/view_controller.h"

#include <QApplication>
#include <QEvent>
#include <QShowEvent>
#include <utility>

#include "platform/foundation/system_log.h"

namespace uikit {

namespace {

constexpr int kSlideMilliseconds = 300;

bool isUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
      return true;
    default:
      return false;
  }
}

// Whether `widget` lies in a branch of `host` stacked above `reference`.
bool isStackedAbove(const QWidget* widget, const QWidget* reference) {
  const QObjectList& siblings = reference->parentWidget()->children();
  return siblings.indexOf(const_cast<QWidget*>(widget)) > siblings.indexOf(const_cast<QWidget*>(reference));
}

}  // namespace

// While a screen is presented: keeps user input away from the presenter and
// its children (the presented screen, and whatever is stacked above it, gets
// it), and keeps the presented screen the size of the window.
class ViewController::InputShield : public QObject {
 public:
  InputShield(ViewController& presenter, ViewController& screen) : m_presenter(presenter), m_screen(&screen) {
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!m_screen || !watched->isWidgetType()) return false;
    const auto* widget = static_cast<const QWidget*>(watched);
    if (event->type() == QEvent::Resize && widget == m_screen->parentWidget() && m_presenter.m_slide == Slide::None) {
      m_screen->setGeometry(widget->rect());
      return false;
    }
    if (event->type() == QEvent::FocusIn && isBlocked(widget)) {
      // Tabbing must not lead back under the presented screen.
      QMetaObject::invokeMethod(
          m_screen,
          [screen = m_screen] {
            if (screen) screen->setFocus(Qt::OtherFocusReason);
          },
          Qt::QueuedConnection);
      return false;
    }
    return isUserInput(event->type()) && isBlocked(widget);
  }

 private:
  bool isBlocked(const QWidget* widget) const {
    for (const QWidget* level = widget; level; level = level->parentWidget()) {
      if (level == m_screen) return false;
      if (level->parentWidget() == m_screen->parentWidget() && isStackedAbove(level, m_screen)) return false;
      if (level == &m_presenter) return true;
    }
    return false;
  }

  ViewController& m_presenter;
  QPointer<ViewController> m_screen;
};

ViewController::ViewController(QWidget* parent) : QWidget(parent) {
  m_slideAnimation.setDuration(kSlideMilliseconds);
  m_slideAnimation.setEasingCurve(QEasingCurve::OutCubic);
  connect(&m_slideAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    if (m_modal) m_modal->move(value.toPoint());
  });
  connect(&m_slideAnimation, &QVariantAnimation::finished, this, &ViewController::finishSlide);
}

ViewController::~ViewController() {
  m_slideAnimation.stop();
  m_inputShield.reset();
  if (m_modal) {
    // Later, not now: the deletion may come from inside the screen's own handler.
    disconnect(m_modal, nullptr, this, nullptr);
    m_modal->hide();
    m_modal->deleteLater();
  }
}

void ViewController::loadViewIfNeeded() {
  if (m_viewLoaded) return;
  m_viewLoaded = true;
  loadView();
  viewDidLoad();
}

bool ViewController::isPresentationAnimating() const {
  if (m_slide != Slide::None) return true;
  return m_presenter && m_presenter->m_modal == this && m_presenter->m_slide != Slide::None;
}

bool ViewController::shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const {
  return orientation == InterfaceOrientation::Portrait;
}

void ViewController::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  loadViewIfNeeded();
  // A presented screen hears of its appearance from its presenter.
  if (event->spontaneous() || m_presenter) return;
  viewWillAppear(false);
  viewDidAppear(false);
}

void ViewController::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  if (event->spontaneous() || m_presenter) return;
  viewWillDisappear(false);
  viewDidDisappear(false);
}

void ViewController::presentModalViewController(ViewController* screen, bool animated) {
  if (!screen || screen == this) return;
  if (m_slide == Slide::Down) {
    // The screen on its way out makes room at once.
    m_slideAnimation.stop();
    finishSlide();
  }
  if (m_modal) {
    RP_LOG(QStringLiteral("refused to present %1 over %2, which already presents %3")
               .arg(screen->metaObject()->className(), metaObject()->className(), m_modal->metaObject()->className())
               .toStdString());
    return;
  }
  if (screen->m_presenter) {
    RP_LOG(QStringLiteral("refused to present %1 twice").arg(screen->metaObject()->className()).toStdString());
    return;
  }

  QWidget* host = window();
  m_modal = screen;
  screen->m_presenter = this;
  m_focusBeforePresenting = host->focusWidget();
  screen->setParent(host);
  screen->setGeometry(QRect(QPoint(0, animated ? host->height() : 0), host->size()));
  connect(screen, &QObject::destroyed, this, &ViewController::endPresentation);
  m_inputShield = std::make_unique<InputShield>(*this, *screen);

  screen->loadViewIfNeeded();
  viewWillDisappear(animated);
  screen->viewWillAppear(animated);
  screen->show();
  screen->raise();
  screen->setFocus(Qt::OtherFocusReason);
  m_slide = Slide::Up;
  slide(Slide::Up, animated);
}

void ViewController::dismissModalViewControllerAnimated(bool animated) {
  if (!m_modal) {
    // Asked of the presented screen itself: its presenter does it.
    if (m_presenter && m_presenter->m_modal == this) m_presenter->dismissModalViewControllerAnimated(animated);
    return;
  }
  if (m_slide == Slide::Down) return;
  if (m_slide == Slide::Up) {
    m_slideAnimation.stop();
    finishSlide();
  }
  m_modal->viewWillDisappear(animated);
  viewWillAppear(animated);
  m_slide = Slide::Down;
  slide(Slide::Down, animated);
}

void ViewController::slide(Slide direction, bool animated) {
  m_slideAnimated = animated;
  const QPoint shown(0, 0);
  const QPoint below(0, m_modal->parentWidget()->height());
  if (!animated) {
    finishSlide();
    return;
  }
  m_slideAnimation.setStartValue(direction == Slide::Up ? below : shown);
  m_slideAnimation.setEndValue(direction == Slide::Up ? shown : below);
  m_slideAnimation.start();
}

void ViewController::finishSlide() {
  const Slide finished = std::exchange(m_slide, Slide::None);
  const bool animated = m_slideAnimated;
  ViewController* screen = m_modal;
  if (!screen) return;
  if (finished == Slide::Up) {
    screen->move(0, 0);
    screen->viewDidAppear(animated);
    viewDidDisappear(animated);
  } else if (finished == Slide::Down) {
    disconnect(screen, &QObject::destroyed, this, &ViewController::endPresentation);
    screen->hide();
    endPresentation();
    screen->viewDidDisappear(animated);
    viewDidAppear(animated);
    screen->deleteLater();
  }
}

void ViewController::endPresentation() {
  m_slideAnimation.stop();
  m_slide = Slide::None;
  m_inputShield.reset();
  m_modal = nullptr;
  if (m_focusBeforePresenting) m_focusBeforePresenting->setFocus(Qt::OtherFocusReason);
  m_focusBeforePresenting = nullptr;
}

}  // namespace uikit
