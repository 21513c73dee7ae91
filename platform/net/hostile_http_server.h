#pragma once
// HostileHttpServer: a loopback HTTP server for tests that answers every
// request with the same hostile answer (an endless or oversized body in any
// framing, or a body dripped a byte at a time). It serves on a thread of its
// own, so the caller's event loop stays free for the client under test; the
// destructor stops it. Its methods belong to the thread that made it.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace net::test {

class HostileHttpServer {
 public:
  enum class Framing {
    Chunked,         // Transfer-Encoding: chunked, no length
    CloseDelimited,  // no length; the body ends when the connection closes
    DeclaredLength,  // an honest Content-Length
    Deflated,        // a compressed body that grows many times when decoded
  };

  struct Answer {
    Framing framing = Framing::Chunked;
    // Bytes of body sent (for Deflated: bytes once decoded).
    std::uint64_t bodyBytes = 0;
    // Pause after each byte; zero sends as fast as the client reads.
    std::chrono::milliseconds drip{0};
  };

  explicit HostileHttpServer(Answer answer);
  ~HostileHttpServer();
  HostileHttpServer(const HostileHttpServer&) = delete;
  HostileHttpServer& operator=(const HostileHttpServer&) = delete;

  // Empty when no loopback port could be bound.
  std::string url() const;
  // Body bytes written to clients so far (before decoding for Deflated).
  std::uint64_t bytesSent() const { return m_bytesSent; }

 private:
  void serve();
  void answer(int connection);
  bool sendAll(int connection, const char* data, std::size_t size);

  Answer m_answer;
  int m_listener = -1;
  int m_port = 0;
  std::atomic<bool> m_stopping{false};
  std::atomic<std::uint64_t> m_bytesSent{0};
  std::thread m_thread;
};

}  // namespace net::test
