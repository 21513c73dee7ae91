#include "platform/foundation/system_log.h"

#include <syslog.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace fnd {

namespace {

std::atomic<bool> toStandardError{std::getenv("RP_LOG_STDERR") != nullptr};
std::mutex sinkMutex;
std::function<void(std::string_view)> sink;  // guarded by sinkMutex

}  // namespace

void systemLog(std::string_view location, int line, std::string_view message) {
  std::string text(location);
  text += ':';
  text += std::to_string(line);
  text += ' ';
  text += message;
  text += ' ';
  ::syslog(LOG_NOTICE, "%s", text.c_str());
  if (toStandardError) std::fprintf(stderr, "%s\n", text.c_str());
  std::lock_guard lock(sinkMutex);
  if (sink) sink(text);
}

void setLogToStandardError(bool enabled) { toStandardError = enabled; }

void setLogSinkForTesting(std::function<void(std::string_view line)> newSink) {
  std::lock_guard lock(sinkMutex);
  sink = std::move(newSink);
}

}  // namespace fnd
