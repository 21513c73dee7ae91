#pragma once
// CommandSession: one command's use of the engine without a window. Opens the
// record store, stands in for the main screen as the protection cycle's view
// (its captions go to a TerminalHud), and runs the event loop until the work
// it started has come to rest. Main thread only; needs a QCoreApplication.

#include <QString>
#include <functional>

#include "app/cli/terminal_hud.h"
#include "app/protection_cycle.h"
#include "publish/publish_config.h"

class QTextStream;

class CommandSession final : private app::ProtectionCycleView {
 public:
  CommandSession(QTextStream& out, bool terminal);
  // Writes what the store still holds back and closes it.
  ~CommandSession();
  CommandSession(const CommandSession&) = delete;
  CommandSession& operator=(const CommandSession&) = delete;

  app::ProtectionCycle& cycle() { return m_cycle; }
  TerminalHud& terminal() { return m_hud; }
  // The places the command line names for publishing the contact.
  const publish::PublishConfig& publishConfig() const { return m_publishConfig; }
  void setPublishConfig(const publish::PublishConfig& config) { m_publishConfig = config; }

  // Runs `start`; when it started work, runs the event loop until the cycle
  // is idle again. False when the cycle refused to start or the wait was interrupted.
  bool runCycle(const std::function<bool()>& start);
  // Runs the event loop until `done` holds, checked after every report;
  // false when the program was asked to quit first.
  bool waitUntil(const std::function<bool()>& done);
  // Checks the condition of a running wait; for reports that do not pass the hud.
  void noteReport();

  bool wasInterrupted() const { return m_interrupted; }
  // Whether the cycle found that the protection contact cannot be written.
  bool importErrorShown() const { return m_importErrorShown; }

 private:
  // Open from before the cycle is made until after it is gone.
  class OpenRecordStore {
   public:
    OpenRecordStore();
    ~OpenRecordStore();
    OpenRecordStore(const OpenRecordStore&) = delete;
    OpenRecordStore& operator=(const OpenRecordStore&) = delete;
  };

  // ProtectionCycleView
  app::CycleHud& hud() override { return m_hud; }
  bool isProtectionSwitchOn() const override { return m_switchOn; }
  void setProtectionSwitchOn(bool on) override { m_switchOn = on; }
  void setInformationText(const QString&) override {}
  void showNotPossibleToImportContactsError() override;

  OpenRecordStore m_store;
  TerminalHud m_hud;
  bool m_switchOn;
  bool m_importErrorShown = false;
  bool m_interrupted = false;
  std::function<void()> m_check;
  publish::PublishConfig m_publishConfig;
  app::ProtectionCycle m_cycle{*this};
};
