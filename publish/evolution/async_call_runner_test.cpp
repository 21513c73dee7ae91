// The runner's deadline: calls that finish, calls that end only when
// cancelled, calls that never end, and a late finish of an abandoned call.
#include "publish/evolution/async_call_runner.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

namespace publish::evolution {
namespace {

using namespace std::chrono_literals;

constexpr auto kShortTimeout = 100ms;
// The runner waits this long past a deadline for a cancelled call to end.
constexpr auto kGrace = 2s;

struct TaskHolder {
  GObjectPtr<GTask> task;
};

// A call like the client library's: a task on the caller's thread-default
// context, finished later by whoever holds it.
AsyncCallRunner::StartCall heldTask(TaskHolder& holder) {
  return [&holder](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
    holder.task.reset(g_task_new(nullptr, cancellable, done, data));
  };
}

// A task that ends as soon as it is cancelled.
void endOnCancel(GCancellable*, gpointer task) { g_task_return_error_if_cancelled(G_TASK(task)); }

bool finishedTrue(const GObjectPtr<GAsyncResult>& result, GErrorSlot& error) {
  return result && g_task_propagate_boolean(G_TASK(result.get()), error.out());
}

TEST(AsyncCallRunner, ReturnsTheResultOfACallThatFinishes) {
  AsyncCallRunner runner;
  GObjectPtr<GAsyncResult> result =
      runner.run(kShortTimeout, [](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
        GTask* task = g_task_new(nullptr, cancellable, done, data);
        g_task_return_boolean(task, TRUE);
        g_object_unref(task);
      });
  GErrorSlot error;
  EXPECT_TRUE(finishedTrue(result, error));
  EXPECT_FALSE(error);
}

TEST(AsyncCallRunner, CancelsACallAtItsDeadlineAndReportsATimeout) {
  AsyncCallRunner runner;
  QElapsedTimer clock;
  clock.start();
  GObjectPtr<GAsyncResult> result =
      runner.run(kShortTimeout, [](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
        GTask* task = g_task_new(nullptr, cancellable, done, data);
        g_cancellable_connect(cancellable, G_CALLBACK(endOnCancel), task, g_object_unref);
      });
  const auto elapsed = std::chrono::milliseconds(clock.elapsed());

  GErrorSlot error;
  EXPECT_FALSE(finishedTrue(result, error));
  EXPECT_TRUE(isTimeout(error.get()));
  EXPECT_GE(elapsed, kShortTimeout);
  EXPECT_LT(elapsed, kGrace);
}

TEST(AsyncCallRunner, GivesUpOnACallThatIgnoresItsCancellation) {
  AsyncCallRunner runner;
  TaskHolder ignoring;
  QElapsedTimer clock;
  clock.start();
  GObjectPtr<GAsyncResult> result = runner.run(kShortTimeout, heldTask(ignoring));

  EXPECT_FALSE(result);
  EXPECT_LT(std::chrono::milliseconds(clock.elapsed()), kShortTimeout + kGrace + 1s);
}

TEST(AsyncCallRunner, ALateFinishOfAnAbandonedCallIsNotTakenForTheNextOne) {
  AsyncCallRunner runner;
  TaskHolder abandoned;
  ASSERT_FALSE(runner.run(kShortTimeout, heldTask(abandoned)));

  TaskHolder next;
  GObjectPtr<GAsyncResult> result =
      runner.run(kShortTimeout, [&](GCancellable* cancellable, GAsyncReadyCallback done, gpointer data) {
        heldTask(next)(cancellable, done, data);
        g_task_return_boolean(abandoned.task.get(), FALSE);  // the old call ends first
        g_task_return_boolean(next.task.get(), TRUE);
      });
  ASSERT_TRUE(result);
  EXPECT_EQ(result.get(), G_ASYNC_RESULT(next.task.get()));
  GErrorSlot error;
  EXPECT_TRUE(finishedTrue(result, error));
}

}  // namespace
}  // namespace publish::evolution
