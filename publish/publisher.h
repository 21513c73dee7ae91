#pragma once
// Publisher: mirrors the protection contact to every configured target, one
// round at a time on a worker queue of its own, so the main thread never waits
// for a disk or a server. Owned and called on the main thread; the report runs
// there too.

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "publish/publish_target.h"

namespace dispatch {
class BlockThread;
}

namespace publish {

class Publisher {
 public:
  using Targets = std::vector<std::unique_ptr<PublishTarget>>;
  // Reads the contact as it is now; nothing means it was removed.
  using SnapshotSource = std::function<std::optional<ContactSnapshot>()>;
  // One line per target that failed in a round ("<target>: <reason>"); empty when all succeeded.
  using Report = std::function<void(const QStringList& failures)>;

  Publisher(Targets targets, Report report);
  // Drops a round not yet started and waits for the running one; its report is not delivered.
  ~Publisher();
  Publisher(const Publisher&) = delete;
  Publisher& operator=(const Publisher&) = delete;

  bool hasTargets() const;

  // Runs `source` on the worker and writes its contact to every target (or
  // removes it from each). A round asked for while another waits replaces
  // it: only the latest state of the contact matters.
  void mirror(SnapshotSource source);
  // Blocks until the rounds asked for so far have run; their reports then
  // wait in the main thread's queue. For a program that ends after one save.
  void waitForRounds();

 private:
  struct State;
  std::shared_ptr<State> m_state;
  std::unique_ptr<dispatch::BlockThread> m_worker;
};

}  // namespace publish
