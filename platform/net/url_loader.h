#pragma once
// URL loading: one plain GET per request, loaded in the background, its
// completion run on the main thread. Like the platform's loader, an HTTP
// answer of any status is a response, not an error: the caller decides what a
// status means. Transport failures (refused, unknown host, time-out, a body
// over the limit) are errors with the platform's codes and texts.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/foundation/data.h"
#include "platform/foundation/error.h"

namespace net {

struct UrlRequest {
  static constexpr std::chrono::milliseconds kDefaultTimeout{60'000};

  std::string url;
  // Applies to the whole exchange from the first byte sent to the last received.
  std::chrono::milliseconds timeout = kDefaultTimeout;
  // A larger body (counted as decoded, in any framing) ends the request with
  // DataLengthExceedsMaximum while it arrives; 0 means no limit.
  std::uint64_t maximumBodyBytes = 0;
};

struct UrlResponse {
  int statusCode = 0;
  std::string url;

  // A status in 200-299: the request did what was asked.
  static constexpr bool isSuccessStatus(int statusCode) noexcept { return statusCode >= 200 && statusCode <= 299; }
  bool succeeded() const noexcept { return isSuccessStatus(statusCode); }
};

// Exactly one of `response` and `error` is set; `body` is set with `response`.
using UrlCompletion = std::function<void(const std::optional<UrlResponse>& response, const fnd::Ref<fnd::Data>& body,
                                         const std::optional<fnd::Error>& error)>;

// Starts the request and returns at once; `completion` runs on the main thread.
// May be called from any thread.
void sendAsynchronousRequest(UrlRequest request, UrlCompletion completion);

}  // namespace net
