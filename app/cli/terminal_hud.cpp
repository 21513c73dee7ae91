#include "app/cli/terminal_hud.h"

#include <QTextStream>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kBarWidth = 30;
constexpr int kTenths = 10;
constexpr int kPercent = 100;
constexpr std::chrono::seconds kQuietProgressInterval{1};
constexpr std::chrono::seconds kTickInterval{1};
// A bar redrawn more often than this only costs the terminal's time.
constexpr std::chrono::milliseconds kRedrawInterval{50};
// Back to the start of the line and clear it, so that a shorter line leaves nothing behind.
constexpr const char* kRedrawLine = "\r\x1b[K";

QString bar(double progress) {
  const int filled = static_cast<int>(std::lround(progress * kBarWidth));
  return u'[' + QString(filled, u'#') + QString(kBarWidth - filled, u'.') + u']';
}

}  // namespace

TerminalHud::TerminalHud(QTextStream& out, bool terminal, Clock clock)
    : m_out(out), m_terminal(terminal), m_clock(std::move(clock)) {
  m_ticker.setInterval(kTickInterval);
  QObject::connect(&m_ticker, &QTimer::timeout, &m_ticker, [this] { tick(); });
}

void TerminalHud::printLine(const QString& line) {
  endOpenLine();
  m_out << line << '\n';
  m_out.flush();
}

void TerminalHud::present(bool fresh) {
  // A progress report carries its counts in its caption; a report with the
  // activity indicator on is a new step, whatever progress it resets.
  if (m_pendingProgress && !m_activity) {
    reportProgress(std::clamp(*m_pendingProgress, 0.0, 1.0));
  } else if (!m_caption.isEmpty() && (fresh || m_caption != m_printedCaption)) {
    showCaption();
  }
  m_pendingProgress.reset();
  observe();
}

void TerminalHud::showCaption() {
  m_printedCaption = m_caption;
  if (!m_terminal || !m_busy) {
    printLine(m_caption);
    return;
  }
  endOpenLine();
  m_busySince = m_clock();
  redraw(m_caption, OpenLine::Busy);
  m_ticker.start();
}

void TerminalHud::tick() {
  if (m_openLine != OpenLine::Busy) return;
  const auto seconds = std::chrono::round<std::chrono::seconds>(m_clock() - m_busySince).count();
  redraw(m_printedCaption + QString("  %1 s").arg(seconds), OpenLine::Busy);
}

void TerminalHud::reportProgress(double progress) {
  if (progress < m_lastProgress) m_printedTenth = -1;  // a new run of reports
  m_lastProgress = progress;
  if (m_terminal) {
    // The caption before the first report stays on its own line.
    if (m_openLine == OpenLine::Busy) endOpenLine();
    const auto now = m_clock();
    if (m_openLine == OpenLine::Bar && progress < 1.0 && now - m_lastBarDrawn < kRedrawInterval) return;
    m_lastBarDrawn = now;
    redraw(
        bar(progress) + ' ' + QString::number(std::lround(progress * kPercent)).rightJustified(3) + " %  " + m_caption,
        OpenLine::Bar);
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

void TerminalHud::redraw(const QString& line, OpenLine kind) {
  m_out << kRedrawLine << line;
  m_out.flush();
  m_openLine = kind;
}

void TerminalHud::hideAfter(double) {
  // The message stays until the next one: a log keeps every caption.
  endOpenLine();
  observe();
}

void TerminalHud::hide() {
  endOpenLine();
  forget();
  observe();
}

void TerminalHud::endOpenLine() {
  m_ticker.stop();
  if (m_openLine == OpenLine::None) return;
  m_out << '\n';
  m_out.flush();
  m_openLine = OpenLine::None;
}

// Like the overlay, a hidden message forgets what it showed.
void TerminalHud::forget() {
  m_caption.clear();
  m_printedCaption.clear();
  m_busy = false;
  m_activity = false;
  m_pendingProgress.reset();
}

void TerminalHud::observe() {
  if (m_observer) m_observer();
}
