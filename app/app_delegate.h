#pragma once
// RingeplagvernAppDelegate: the application's frame. It opens the record
// store at launch, puts the main screen into the phone-sized window, writes the
// user defaults to disk whenever the application leaves the foreground or
// ends, and closes the record store at the end. Main thread only.

#include <QObject>
#include <memory>

class QWidget;

namespace app {

class RootViewController;

class RingeplagvernAppDelegate : public QObject {
  Q_OBJECT

 public:
  // The window's size in points: a phone held upright.
  static constexpr int kWindowWidth = 320;
  static constexpr int kWindowHeight = 480;

  RingeplagvernAppDelegate();
  ~RingeplagvernAppDelegate() override;

  QWidget* window() const { return m_window.get(); }
  RootViewController* rootViewController() const { return m_rootViewController; }

  // The launch sequence; always returns true.
  bool didFinishLaunchingWithOptions();
  void applicationWillResignActive();
  void applicationWillEnterForeground();
  // Every return to the foreground, after applicationWillEnterForeground().
  void applicationDidBecomeActive();
  void applicationWillTerminate();

 private:
  std::unique_ptr<QWidget> m_window;
  RootViewController* m_rootViewController;  // owned by m_window
};

}  // namespace app
