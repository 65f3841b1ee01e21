// The TCP client component over non-blocking POSIX sockets and poll.
#include "platform/net/TcpClient.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/net/WinSock.h"
#include "platform/rtl/SysUtils.h"

QJ_IMPLEMENT_CLASS(EIdException)
QJ_IMPLEMENT_CLASS(EIdSocketError)
QJ_IMPLEMENT_CLASS(EIdResolveError)
QJ_IMPLEMENT_CLASS(EIdConnectTimeout)
QJ_IMPLEMENT_CLASS(EIdAlreadyConnected)
QJ_IMPLEMENT_CLASS(EIdInvalidArgument)
QJ_IMPLEMENT_CLASS(TIdTCPClient)

namespace {

const TResourceString SIdPortRange = {64650, "Port %d is out of range (0..65535)"};
const TResourceString SIdTimeoutRange = {64651, "Time-out of %d ms is not valid; it must be at least 1 ms"};
const TResourceString SIdBufferSizeRange = {64652, "Buffer size %d is not valid; it must be 0 (system default) or more"};
const TResourceString SIdHostRequired = {64653, "No host to connect to"};
const TResourceString SIdPortRequired = {64654, "No port to connect to"};
const TResourceString SIdAlreadyConnected = {64655, "Already connected"};
const TResourceString SIdBadHostName = {64656, "Host name \"%s\" is not valid"};
const TResourceString SIdHostNotFound = {64657, "Host \"%s\" not found: %s"};
const TResourceString SIdConnectTimeout = {64658, "Connection to %s:%d timed out after %d ms"};
const TResourceString SIdConnectFailed = {64659, "Cannot connect to %s:%d: %s (socket error %d)"};
const TResourceString SIdSocketCreate = {64660, "Cannot create a socket: %s (socket error %d)"};
const TResourceString SIdConnRefused = {64661, "connection refused"};
const TResourceString SIdHostUnreachable = {64662, "host unreachable"};
const TResourceString SIdNetUnreachable = {64663, "network unreachable"};

using Clock = std::chrono::steady_clock;

// A point in time a wait must not pass.
class TDeadline {
 public:
  explicit TDeadline(Integer AMilliseconds) : FEnd(Clock::now() + std::chrono::milliseconds(AMilliseconds)) {}
  // Milliseconds left, rounded up so that a wait never ends before the deadline; 0 once passed.
  int Remaining() const {
    auto left = FEnd - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
  }

 private:
  Clock::time_point FEnd;
};

enum class TWaitResult { Ready, TimedOut, Failed };

// Waits for Events on ASocket until the deadline, resuming after signals.
TWaitResult WaitForSocket(int ASocket, short Events, const TDeadline& Deadline) {
  for (;;) {
    int left = Deadline.Remaining();
    if (left == 0) return TWaitResult::TimedOut;
    pollfd fd = {ASocket, Events, 0};
    int n = ::poll(&fd, 1, left);
    if (n > 0) return TWaitResult::Ready;
    if (n < 0 && errno != EINTR) return TWaitResult::Failed;
  }
}

bool IsRetryable(int AError) { return AError == EAGAIN || AError == EWOULDBLOCK || AError == EINTR; }

String ConnectErrorText(int AError) {
  switch (AError) {
    case ECONNREFUSED: return LoadResString(&SIdConnRefused);
    case EHOSTUNREACH: return LoadResString(&SIdHostUnreachable);
    case ENETUNREACH: return LoadResString(&SIdNetUnreachable);
    default: return std::strerror(AError);
  }
}

bool IsHostLabelChar(char c) {
  return IsAsciiLetter(c) || IsDigitChar(c) || c == '-';
}

// Letters, digits and inner hyphens in dot-separated labels of 1..63 characters, at most 253 in
// all, and not only digits and dots (those are addresses). Nothing else goes to the resolver.
bool IsValidHostName(const String& AHost) {
  if (AHost.empty() || AHost.size() > 253) return false;
  bool hasLetter = false;
  size_t labelStart = 0;
  for (size_t i = 0; i <= AHost.size(); ++i) {
    if (i == AHost.size() || AHost[i] == '.') {
      size_t len = i - labelStart;
      if (len == 0 || len > 63 || AHost[labelStart] == '-' || AHost[i - 1] == '-') return false;
      labelStart = i + 1;
    } else if (!IsHostLabelChar(AHost[i])) {
      return false;
    } else if (!(AHost[i] >= '0' && AHost[i] <= '9')) {
      hasLetter = true;
    }
  }
  return hasLetter;
}

// Closes a socket that has not been handed over yet when Connect leaves by an exception.
class TSocketGuard {
 public:
  explicit TSocketGuard(int ASocket) : FSocket(ASocket) {}
  ~TSocketGuard() {
    if (FSocket >= 0) ::close(FSocket);
  }
  TSocketGuard(const TSocketGuard&) = delete;
  TSocketGuard& operator=(const TSocketGuard&) = delete;
  int Release() {
    int s = FSocket;
    FSocket = -1;
    return s;
  }

 private:
  int FSocket;
};

void CheckTimeout(Integer Value) {
  if (Value < 1) throw EIdInvalidArgument(&SIdTimeoutRange, {Value});
}

void CheckBufferSize(Integer Value) {
  if (Value < 0) throw EIdInvalidArgument(&SIdBufferSizeRange, {Value});
}

}  // namespace

TIdTCPClient::TIdTCPClient(TComponent* AOwner) : TComponent(AOwner) {}

TIdTCPClient::~TIdTCPClient() { CloseSocket(); }

void TIdTCPClient::SetPort(Integer Value) {
  if (Value < 0 || Value > 65535) throw EIdInvalidArgument(&SIdPortRange, {Value});
  FPort = Value;
}

void TIdTCPClient::SetReadTimeout(Integer Value) {
  CheckTimeout(Value);
  FReadTimeout = Value;
}

void TIdTCPClient::SetWriteTimeout(Integer Value) {
  CheckTimeout(Value);
  FWriteTimeout = Value;
}

void TIdTCPClient::SetSendBufferSize(Integer Value) {
  CheckBufferSize(Value);
  FSendBufferSize = Value;
  if (FSocket >= 0) ApplyBufferSizes(FSocket);
}

void TIdTCPClient::SetRecvBufferSize(Integer Value) {
  CheckBufferSize(Value);
  FRecvBufferSize = Value;
  if (FSocket >= 0) ApplyBufferSizes(FSocket);
}

void TIdTCPClient::Connect(Integer ATimeout) {
  if (Connected()) throw EIdAlreadyConnected(&SIdAlreadyConnected);
  CloseSocket();  // a connection the peer already ended
  CheckTimeout(ATimeout);
  if (FHost.empty()) throw EIdInvalidArgument(&SIdHostRequired);
  if (FPort == 0) throw EIdInvalidArgument(&SIdPortRequired);
  FSocket = OpenConnectedSocket(ResolveHost(FHost), ATimeout);
  FLastError = 0;
}

Integer TIdTCPClient::OpenConnectedSocket(Cardinal AAddr, Integer ATimeout) {
  int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (s < 0) {
    int error = errno;
    throw EIdSocketError(error, Format(LoadResString(&SIdSocketCreate), {std::strerror(error), error}));
  }
  TSocketGuard guard(s);
  ApplyBufferSizes(s);  // before connecting, so the receive window is sized from the start
  Integer error = StartConnect(s, AAddr, static_cast<Word>(FPort));
  if (error == EINPROGRESS || error == EINTR) {
    if (!WaitForConnect(s, ATimeout))
      throw EIdConnectTimeout(&SIdConnectTimeout, {FHost, FPort, ATimeout});
    int soError = 0;
    socklen_t len = sizeof soError;
    error = ::getsockopt(s, SOL_SOCKET, SO_ERROR, &soError, &len) == 0 ? soError : errno;
    sockaddr_in peer{};
    socklen_t peerLen = sizeof peer;
    if (error == 0 && ::getpeername(s, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0) error = errno;
  }
  if (error == ETIMEDOUT) throw EIdConnectTimeout(&SIdConnectTimeout, {FHost, FPort, ATimeout});
  if (error != 0)
    throw EIdSocketError(error, Format(LoadResString(&SIdConnectFailed), {FHost, FPort, ConnectErrorText(error), error}));
  return guard.Release();
}

Cardinal TIdTCPClient::ResolveHost(const String& AHost) {
  Cardinal addr = 0;
  if (WsParseIPv4(AHost, addr)) return addr;
  addr = WsInetAddr(AHost);
  if (addr != WS_INADDR_NONE) return addr;
  if (!IsValidHostName(AHost)) throw EIdResolveError(EAI_NONAME, Format(LoadResString(&SIdBadHostName), {AHost}));
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  int rc = ::getaddrinfo(AHost.c_str(), nullptr, &hints, &found);
  if (rc != 0 || !found)
    throw EIdResolveError(rc, Format(LoadResString(&SIdHostNotFound), {AHost, ::gai_strerror(rc)}));
  addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  ::freeaddrinfo(found);
  return addr;
}

Integer TIdTCPClient::StartConnect(Integer ASocket, Cardinal AAddr, Word APort) {
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = WsHtons(APort);
  target.sin_addr.s_addr = AAddr;
  if (::connect(ASocket, reinterpret_cast<const sockaddr*>(&target), sizeof target) == 0) return 0;
  return errno;
}

bool TIdTCPClient::WaitForConnect(Integer ASocket, Integer ATimeout) {
  return WaitForSocket(ASocket, POLLOUT, TDeadline(ATimeout)) != TWaitResult::TimedOut;
}

void TIdTCPClient::ApplyBufferSizes(Integer ASocket) const {
  // A size the system refuses leaves its own in place; the connection works either way.
  if (FSendBufferSize > 0)
    (void)::setsockopt(ASocket, SOL_SOCKET, SO_SNDBUF, &FSendBufferSize, sizeof FSendBufferSize);
  if (FRecvBufferSize > 0)
    (void)::setsockopt(ASocket, SOL_SOCKET, SO_RCVBUF, &FRecvBufferSize, sizeof FRecvBufferSize);
}

bool TIdTCPClient::Connected() const {
  if (FSocket < 0) return false;
  char probe = 0;
  ssize_t n = ::recv(FSocket, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
  if (n > 0) return true;
  return n < 0 && IsRetryable(errno);
}

void TIdTCPClient::Disconnect() { CloseSocket(); }

void TIdTCPClient::CloseSocket() {
  if (FSocket < 0) return;
  ::close(FSocket);
  FSocket = -1;
}

Integer TIdTCPClient::Send(const void* Buffer, Integer Count) {
  if (FSocket < 0) return FailSend(ENOTCONN, 0, false);
  if (Count < 0 || (Count > 0 && !Buffer)) return FailSend(EINVAL, 0, false);
  const char* data = static_cast<const char*>(Buffer);
  Integer sent = 0;
  TDeadline stall(FWriteTimeout);
  while (sent < Count) {
    ssize_t n = ::send(FSocket, data + sent, static_cast<size_t>(Count - sent), MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<Integer>(n);
      stall = TDeadline(FWriteTimeout);
      continue;
    }
    if (n < 0 && !IsRetryable(errno)) return FailSend(errno, sent, true);
    if (n < 0 && errno == EINTR) continue;
    TWaitResult wait = WaitForSocket(FSocket, POLLOUT, stall);
    if (wait == TWaitResult::TimedOut) return FailSend(ETIMEDOUT, sent, true);
    if (wait == TWaitResult::Failed) return FailSend(errno, sent, true);
  }
  FLastError = 0;
  return sent;
}

Integer TIdTCPClient::FailSend(Integer AError, Integer ASent, bool ACloses) {
  FLastError = AError;
  if (ACloses) CloseSocket();  // the stream is torn mid-message
  return ASent > 0 ? ASent : -1;
}

Integer TIdTCPClient::Recv(void* Buffer, Integer Count) {
  if (FSocket < 0) return FailRecv(ENOTCONN, false);
  if (Count < 1 || !Buffer) return FailRecv(EINVAL, false);
  TDeadline deadline(FReadTimeout);
  for (;;) {
    ssize_t n = ::recv(FSocket, Buffer, static_cast<size_t>(Count), 0);
    if (n > 0) {
      FLastError = 0;
      return static_cast<Integer>(n);
    }
    if (n == 0) {
      FLastError = 0;
      CloseSocket();
      return 0;
    }
    if (!IsRetryable(errno)) return FailRecv(errno, true);
    if (errno == EINTR) continue;
    TWaitResult wait = WaitForSocket(FSocket, POLLIN, deadline);
    if (wait == TWaitResult::TimedOut) return FailRecv(ETIMEDOUT, false);
    if (wait == TWaitResult::Failed) return FailRecv(errno, true);
  }
}

Integer TIdTCPClient::FailRecv(Integer AError, bool ACloses) {
  FLastError = AError;
  if (ACloses) CloseSocket();
  return -1;
}
