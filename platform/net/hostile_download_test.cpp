// covers: url_loader.cpp, http_exchange.cpp
// Downloads from a server that means harm: bodies far over the limit in every
// framing, and a body dripped too slowly. Each must fail within its bounds of
// memory and time rather than pass as an answer.
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>

#include "platform/net/hostile_http_server.h"
#include "platform/net/url_error.h"
#include "platform/net/url_loader.h"
#include "tests/support/event_loop.h"
#include "tests/support/peak_memory.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace net {
namespace {

using test::HostileHttpServer;

constexpr std::uint64_t kMebibyte = 1024 * 1024;
// The number list's own limit and the memory a refused body may cost on top
// of what the process held before.
constexpr std::uint64_t kBodyLimit = 64 * kMebibyte;
constexpr std::uint64_t kAllowedPeakRise = 100 * kMebibyte;
constexpr std::uint64_t kHostileBodyBytes = 1024 * kMebibyte;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

struct Outcome {
  bool done = false;
  std::optional<UrlResponse> response;
  fnd::Ref<fnd::Data> body;
  std::optional<fnd::Error> error;
  Clock::duration took{};
};

Outcome load(UrlRequest request, std::chrono::milliseconds wait = 60s) {
  Outcome outcome;
  const Clock::time_point started = Clock::now();
  sendAsynchronousRequest(std::move(request),
                          [&](const std::optional<UrlResponse>& response, const fnd::Ref<fnd::Data>& body,
                              const std::optional<fnd::Error>& error) {
                            outcome = {true, response, body, error, Clock::now() - started};
                          });
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return outcome.done; }, wait));
  return outcome;
}

const char* nameOf(HostileHttpServer::Framing framing) {
  switch (framing) {
    case HostileHttpServer::Framing::Chunked:
      return "chunked";
    case HostileHttpServer::Framing::CloseDelimited:
      return "close-delimited";
    case HostileHttpServer::Framing::DeclaredLength:
      return "with Content-Length";
    case HostileHttpServer::Framing::Deflated:
      return "deflate-compressed";
  }
  return "?";
}

class OversizedBody : public ::testing::TestWithParam<HostileHttpServer::Framing> {};

TEST_P(OversizedBody, IsRefusedWithoutHoldingMoreThanTheLimitInMemory) {
  HostileHttpServer server({.framing = GetParam(), .bodyBytes = kHostileBodyBytes});
  ASSERT_FALSE(server.url().empty());
  const bool measured = rp::test::resetPeakResidentBytes();
  const std::optional<std::uint64_t> before = rp::test::residentBytes();
  if (!measured || !before) GTEST_SKIP() << "peak memory cannot be measured here";

  Outcome outcome = load({server.url(), UrlRequest::kDefaultTimeout, kBodyLimit});
  const std::uint64_t peak = rp::test::peakResidentBytes().value_or(0);
  const std::uint64_t rise = peak > *before ? peak - *before : 0;
  std::cout << "1 GiB " << nameOf(GetParam()) << " body: error " << (outcome.error ? outcome.error->code() : 0)
            << ", peak resident +" << rise / kMebibyte << " MiB, "
            << std::chrono::duration_cast<std::chrono::milliseconds>(outcome.took).count() << " ms, "
            << server.bytesSent() / kMebibyte << " MiB sent\n";

  ASSERT_TRUE(outcome.error) << "a body over the limit must not pass as an answer";
  if (GetParam() == HostileHttpServer::Framing::Deflated) {
    // Qt may give up on the expansion itself before the limit is reached.
    EXPECT_TRUE(outcome.error->code() == DataLengthExceedsMaximum || outcome.error->code() == BadServerResponse)
        << outcome.error->code();
  } else {
    EXPECT_EQ(outcome.error->code(), DataLengthExceedsMaximum);
  }
  // A sanitizer keeps freed memory in quarantine, so only a plain build measures the loader.
  if (!kSanitized) {
    EXPECT_LT(rise, kAllowedPeakRise);
  }
  EXPECT_LT(server.bytesSent(), kHostileBodyBytes / 2) << "the loader must stop reading once the limit is passed";
}

INSTANTIATE_TEST_SUITE_P(EveryFraming, OversizedBody,
                         ::testing::Values(HostileHttpServer::Framing::Chunked,
                                           HostileHttpServer::Framing::CloseDelimited,
                                           HostileHttpServer::Framing::DeclaredLength,
                                           HostileHttpServer::Framing::Deflated),
                         [](const auto& info) {
                           std::string name = nameOf(info.param);
                           std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
                           return name;
                         });

TEST(BodyWithinTheLimit, ArrivesWholeInEveryFraming) {
  constexpr std::uint64_t kBodyBytes = 3 * kMebibyte + 5;
  for (auto framing : {HostileHttpServer::Framing::Chunked, HostileHttpServer::Framing::CloseDelimited,
                       HostileHttpServer::Framing::DeclaredLength}) {
    HostileHttpServer server({.framing = framing, .bodyBytes = kBodyBytes});
    Outcome outcome = load({server.url(), UrlRequest::kDefaultTimeout, kBodyLimit});
    ASSERT_TRUE(outcome.response) << nameOf(framing);
    ASSERT_EQ(outcome.body->length(), kBodyBytes) << nameOf(framing);
    EXPECT_EQ(outcome.body->view().find_first_not_of('x'), std::string_view::npos) << nameOf(framing);
  }
}

TEST(DrippedBody, TimesOutWhenTheWholeExchangeOutlastsTheTimeout) {
  // Never silent for long, so only a deadline on the whole exchange ends it.
  constexpr std::chrono::milliseconds kTimeout = 1s;
  HostileHttpServer server({.framing = HostileHttpServer::Framing::DeclaredLength, .bodyBytes = 300, .drip = 20ms});
  Outcome outcome = load({server.url(), kTimeout}, 20s);
  std::cout << "300-byte body at a byte per 20 ms, 1 s timeout: error " << (outcome.error ? outcome.error->code() : 0)
            << " after " << std::chrono::duration_cast<std::chrono::milliseconds>(outcome.took).count() << " ms\n";
  ASSERT_TRUE(outcome.error) << "a dripped body must not be accepted after the timeout";
  EXPECT_EQ(outcome.error->code(), TimedOut);
  EXPECT_LT(outcome.took, kTimeout + 1s);
}

}  // namespace
}  // namespace net
