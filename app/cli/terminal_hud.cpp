#include "app/cli/terminal_hud.h"

#include <QTextStream>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarWidth = 30;
constexpr int kTenths = 10;
constexpr int kPercent = 100;
constexpr std::chrono::seconds kQuietProgressInterval{1};
// Back to the start of the line and clear it, so that a shorter bar leaves nothing behind.
constexpr const char* kRedrawLine = "\r\x1b[K";

QString bar(double progress) {
  const int filled = static_cast<int>(std::lround(progress * kBarWidth));
  return u'[' + QString(filled, u'#') + QString(kBarWidth - filled, u'.') + u']';
}

}  // namespace

TerminalHud::TerminalHud(QTextStream& out, bool terminal, Clock clock)
    : m_out(out), m_terminal(terminal), m_clock(std::move(clock)) {}

void TerminalHud::printLine(const QString& line) {
  endBar();
  m_out << line << '\n';
  m_out.flush();
}

void TerminalHud::present(bool fresh) {
  // A progress report carries its counts in its caption; a report with the
  // activity indicator on is a new step, whatever progress it resets.
  if (m_pendingProgress && !m_activity) {
    reportProgress(std::clamp(*m_pendingProgress, 0.0, 1.0));
  } else if (!m_caption.isEmpty() && (fresh || m_caption != m_printedCaption)) {
    printLine(m_caption);
    m_printedCaption = m_caption;
  }
  m_pendingProgress.reset();
  observe();
}

void TerminalHud::reportProgress(double progress) {
  if (progress < m_lastProgress) m_printedTenth = -1;  // a new run of reports
  m_lastProgress = progress;
  if (m_terminal) {
    m_out << kRedrawLine << bar(progress) << ' ' << QString::number(std::lround(progress * kPercent)).rightJustified(3)
          << " %  " << m_caption;
    m_out.flush();
    m_barOpen = true;
  } else if (progressLineDue(progress)) {
    printLine(m_caption);
  }
  m_printedCaption = m_caption;
}

bool TerminalHud::progressLineDue(double progress) {
  const auto now = m_clock();
  const int tenth = static_cast<int>(std::floor(progress * kTenths));
  const bool due = tenth > m_printedTenth || progress >= 1.0 || now - m_lastProgressLine >= kQuietProgressInterval;
  if (due) {
    m_printedTenth = tenth;
    m_lastProgressLine = now;
  }
  return due;
}

void TerminalHud::hideAfter(double) {
  // The message stays until the next one: a log keeps every caption.
  endBar();
  observe();
}

void TerminalHud::hide() {
  endBar();
  forget();
  observe();
}

void TerminalHud::endBar() {
  if (!m_barOpen) return;
  m_out << '\n';
  m_out.flush();
  m_barOpen = false;
}

// Like the overlay, a hidden message forgets what it showed.
void TerminalHud::forget() {
  m_caption.clear();
  m_printedCaption.clear();
  m_activity = false;
  m_pendingProgress.reset();
}

void TerminalHud::observe() {
  if (m_observer) m_observer();
}
