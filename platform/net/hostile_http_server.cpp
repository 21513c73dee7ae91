#include "platform/net/hostile_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace net::test {

namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;
constexpr int kAcceptPollMilliseconds = 50;
constexpr char kFiller = 'x';

std::string headerFor(HostileHttpServer::Framing framing, std::uint64_t bodyBytes) {
  std::string header = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
  switch (framing) {
    case HostileHttpServer::Framing::Chunked:
      header += "Transfer-Encoding: chunked\r\n";
      break;
    case HostileHttpServer::Framing::CloseDelimited:
      header += "Connection: close\r\n";
      break;
    case HostileHttpServer::Framing::DeclaredLength:
      header += "Content-Length: " + std::to_string(bodyBytes) + "\r\n";
      break;
    case HostileHttpServer::Framing::Deflated:
      header += "Content-Encoding: deflate\r\nConnection: close\r\n";
      break;
  }
  return header + "\r\n";
}

// Reads the request's header so the client sees its request taken before the answer.
void readRequest(int connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got <= 0) return;
    request.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

HostileHttpServer::HostileHttpServer(Answer answer) : m_answer(answer) {
  m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(m_listener, 4) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  m_port = ntohs(address.sin_port);
  m_thread = std::thread([this] { serve(); });
}

HostileHttpServer::~HostileHttpServer() {
  m_stopping = true;
  if (m_thread.joinable()) m_thread.join();
  if (m_listener >= 0) ::close(m_listener);
}

std::string HostileHttpServer::url() const {
  return m_port ? "http://127.0.0.1:" + std::to_string(m_port) + "/list" : std::string();
}

void HostileHttpServer::serve() {
  while (!m_stopping) {
    pollfd waiting{m_listener, POLLIN, 0};
    if (::poll(&waiting, 1, kAcceptPollMilliseconds) <= 0) continue;
    const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    answer(connection);
    ::close(connection);
  }
}

bool HostileHttpServer::sendAll(int connection, const char* data, std::size_t size) {
  while (size > 0) {
    if (m_stopping) return false;
    // Waits in slices, so a client that stops reading cannot hold the destructor.
    pollfd writable{connection, POLLOUT, 0};
    if (::poll(&writable, 1, kAcceptPollMilliseconds) <= 0) continue;
    const ssize_t sent = ::send(connection, data, size, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<std::size_t>(sent);
  }
  return true;
}

void HostileHttpServer::answer(int connection) {
  readRequest(connection);
  const std::string header = headerFor(m_answer.framing, m_answer.bodyBytes);
  if (!sendAll(connection, header.data(), header.size())) return;

  const bool chunked = m_answer.framing == Framing::Chunked;
  const bool deflated = m_answer.framing == Framing::Deflated;
  z_stream stream{};
  if (deflated && deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK) return;
  const std::vector<char> plain(kPieceBytes, deflated ? '\0' : kFiller);
  std::vector<char> packed(kPieceBytes);
  const std::size_t pieceBytes = m_answer.drip.count() > 0 ? 1 : kPieceBytes;

  // Sends one piece of body in the answer's framing; false once the client is gone.
  const auto sendPiece = [&](const char* data, std::size_t size) {
    if (size == 0) return true;
    if (chunked) {
      char sizeLine[32];
      const int lineLength = std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", size);
      if (!sendAll(connection, sizeLine, static_cast<std::size_t>(lineLength))) return false;
    }
    if (!sendAll(connection, data, size)) return false;
    m_bytesSent += size;
    return !chunked || sendAll(connection, "\r\n", 2);
  };

  bool open = true;
  for (std::uint64_t left = m_answer.bodyBytes; open && left > 0;) {
    const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(left, pieceBytes));
    left -= size;
    if (deflated) {
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(plain.data()));
      stream.avail_in = static_cast<uInt>(size);
      do {
        stream.next_out = reinterpret_cast<Bytef*>(packed.data());
        stream.avail_out = static_cast<uInt>(packed.size());
        deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
        open = sendPiece(packed.data(), packed.size() - stream.avail_out);
      } while (open && stream.avail_out == 0);
    } else {
      open = sendPiece(plain.data(), size);
    }
    if (m_answer.drip.count() > 0) std::this_thread::sleep_for(m_answer.drip);
  }
  if (deflated) deflateEnd(&stream);
  if (open && chunked) sendAll(connection, "0\r\n\r\n", 5);
}

}  // namespace net::test
