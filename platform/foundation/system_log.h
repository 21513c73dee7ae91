#pragma once
// System log: lines in the form "location:line message " go to the system log
// (syslog, read by the journal) and, when enabled, to standard error.

#include <functional>
#include <string_view>

namespace fnd {

void systemLog(std::string_view location, int line, std::string_view message);

// Also writes every line to standard error (on by default when the
// environment variable RP_LOG_STDERR is set).
void setLogToStandardError(bool enabled);

// Receives every formatted line in addition to the log; for tests. An empty
// function removes the sink.
void setLogSinkForTesting(std::function<void(std::string_view line)> sink);

}  // namespace fnd

// Logs `message` with the calling function and line.
#define RP_LOG(message) ::fnd::systemLog(__PRETTY_FUNCTION__, __LINE__, (message))
