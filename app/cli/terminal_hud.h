#pragma once
// TerminalHud: the protection cycle's reports as lines of text. Each caption
// that is shown becomes one log line. On a terminal, a caption shown while
// work runs (touches blocked) stays open and counts the seconds in place, and
// progress reports redraw one bar with its counts in place, at most 20 times
// a second; on anything
// else (a pipe, a log) a progress report becomes a line only at every tenth
// of the way, after a second without one, and at the end. Main thread only.

#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

#include "app/cycle_hud.h"

class QTextStream;

class TerminalHud final : public app::CycleHud {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // Writes to `out`, which must outlive the hud; `terminal` when `out` is a
  // terminal that understands a carriage return.
  TerminalHud(QTextStream& out, bool terminal, Clock clock = std::chrono::steady_clock::now);

  // Called after every report that shows, changes or hides the message.
  void setReportObserver(std::function<void()> observer) { m_observer = std::move(observer); }
  // A line of the command's own, between the cycle's captions.
  void printLine(const QString& line);

  void setCaption(const QString& caption) override { m_caption = caption; }
  void setBlockTouches(bool block) override { m_busy = block; }
  void setActivity(bool show) override { m_activity = show; }
  void setProgress(double progress) override { m_pendingProgress = progress; }
  void show() override { present(true); }
  void update() override { present(false); }
  void hideAfter(double seconds) override;
  void hide() override;

  // Redraws the open busy caption with the seconds it has been showing.
  void tick();

 private:
  // The line the cursor is on, still to be ended on a terminal.
  enum class OpenLine { None, Busy, Bar };

  // A fresh showing prints its caption even when the last message had the same one.
  void present(bool fresh);
  void showCaption();
  void reportProgress(double progress);
  bool progressLineDue(double progress);
  void redraw(const QString& line, OpenLine kind);
  void endOpenLine();
  void forget();
  void observe();

  QTextStream& m_out;
  const bool m_terminal;
  Clock m_clock;
  std::function<void()> m_observer;
  QString m_caption;
  bool m_busy = false;
  bool m_activity = false;
  std::optional<double> m_pendingProgress;
  // What has already been printed, so that an unchanged caption is not repeated.
  QString m_printedCaption;
  OpenLine m_openLine = OpenLine::None;
  std::chrono::steady_clock::time_point m_busySince;
  QTimer m_ticker;
  int m_printedTenth = -1;
  double m_lastProgress = 0;
  std::chrono::steady_clock::time_point m_lastProgressLine;
  std::chrono::steady_clock::time_point m_lastBarDrawn;
};
