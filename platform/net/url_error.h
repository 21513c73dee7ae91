#pragma once
// The URL-loading errors: the platform's codes in the "NSURLErrorDomain"
// domain, each with a description in the user's language (Norwegian unless a
// translation is installed), which screens show as it is.

#include <string_view>

#include "platform/foundation/error.h"

namespace net {

inline constexpr std::string_view kUrlErrorDomain = "NSURLErrorDomain";
// User-information key of the address that failed.
inline constexpr std::string_view kFailingUrlKey = "NSErrorFailingURLStringKey";

enum UrlErrorCode : long {
  Unknown = -1,
  Cancelled = -999,
  BadUrl = -1000,
  TimedOut = -1001,
  UnsupportedUrl = -1002,
  CannotFindHost = -1003,
  CannotConnectToHost = -1004,
  NetworkConnectionLost = -1005,
  NotConnectedToInternet = -1009,
  BadServerResponse = -1011,
  SecureConnectionFailed = -1200,
  DataLengthExceedsMaximum = -1103,
};

// An error of `code` for `url`, with the code's own description.
fnd::Error urlError(UrlErrorCode code, std::string_view url);
// An error for an answer with a status outside 200-299; its description names the status.
fnd::Error httpStatusError(int statusCode, std::string_view url);

}  // namespace net
