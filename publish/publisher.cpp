#include "publish/publisher.h"

#include <QDebug>
#include <mutex>

#include "platform/dispatch/block_thread.h"

namespace publish {

struct Publisher::State {
  explicit State(Targets targets, Report report) : targets(std::move(targets)), report(std::move(report)) {}

  const Targets targets;  // used by the worker only
  Report report;          // main thread only; cleared when the publisher goes

  std::mutex mutex;
  std::optional<SnapshotSource> waiting;  // guarded by mutex
};

namespace {

constexpr const char* kQueueLabel = "no.tindravik.Publish";

}  // namespace

Publisher::Publisher(Targets targets, Report report)
    : m_state(std::make_shared<State>(std::move(targets), std::move(report))),
      m_worker(std::make_unique<dispatch::BlockThread>(kQueueLabel, dispatch::BlockThread::Priority::Background)) {}

Publisher::~Publisher() {
  m_state->report = nullptr;
  m_worker->cancel();
  m_worker.reset();
}

bool Publisher::hasTargets() const { return !m_state->targets.empty(); }

void Publisher::waitForRounds() {
  m_worker->sync([] {});
}

void Publisher::mirror(SnapshotSource source) {
  if (!hasTargets()) return;
  bool roundQueued = false;
  {
    std::lock_guard lock(m_state->mutex);
    roundQueued = m_state->waiting.has_value();
    m_state->waiting = std::move(source);
  }
  if (roundQueued) return;
  m_worker->async([state = m_state] {
    SnapshotSource latest;
    {
      std::lock_guard lock(state->mutex);
      if (!state->waiting) return;
      latest = std::move(*state->waiting);
      state->waiting.reset();
    }
    const std::optional<ContactSnapshot> contact = latest();
    QStringList failures;
    for (const std::unique_ptr<PublishTarget>& target : state->targets) {
      const Failure failure = contact ? target->publish(*contact) : target->remove();
      if (failure.isEmpty()) continue;
      failures << QStringLiteral("%1: %2").arg(target->displayName(), failure);
      qWarning().noquote() << "Publishing the protection contact failed:" << failures.back();
    }
    dispatch::asyncMain([state, failures] {
      if (state->report) state->report(failures);
    });
  });
}

}  // namespace publish
