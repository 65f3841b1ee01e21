// A small TCP server on 127.0.0.1 for the client tests: it listens on an ephemeral port and runs
// a script on its own thread against the first accepted connection. Every wait is bounded, so a
// failing test ends instead of hanging.
#pragma once

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace loopback {

constexpr int kWaitLimitMs = 5000;

// A one-shot signal between the test and the server thread.
class Gate {
 public:
  void Open() {
    std::lock_guard<std::mutex> lock(FMutex);
    FOpen = true;
    FChanged.notify_all();
  }
  bool Wait() {
    std::unique_lock<std::mutex> lock(FMutex);
    return FChanged.wait_for(lock, std::chrono::milliseconds(kWaitLimitMs), [this] { return FOpen; });
  }

 private:
  std::mutex FMutex;
  std::condition_variable FChanged;
  bool FOpen = false;
};

inline sockaddr_in LoopbackAddress(uint16_t port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(port);
  return a;
}

inline uint16_t PortOf(int fd) {
  sockaddr_in a{};
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  return ntohs(a.sin_port);
}

// A socket bound to 127.0.0.1 on an ephemeral port, listening with the given backlog.
inline int OpenListener(int backlog, int recvBufferSize = 0) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (recvBufferSize > 0) setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &recvBufferSize, sizeof recvBufferSize);
  sockaddr_in a = LoopbackAddress(0);
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, backlog) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

inline bool WaitReadable(int fd) {
  pollfd p = {fd, POLLIN, 0};
  return poll(&p, 1, kWaitLimitMs) > 0;
}

// Reads exactly n bytes (fewer only when the peer closes or nothing comes within the limit).
inline std::string ReadExactly(int fd, size_t n) {
  std::string data;
  std::vector<char> chunk(65536);
  while (data.size() < n && WaitReadable(fd)) {
    ssize_t got = recv(fd, chunk.data(), std::min(chunk.size(), n - data.size()), 0);
    if (got <= 0) break;
    data.append(chunk.data(), static_cast<size_t>(got));
  }
  return data;
}

inline bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Patterned test data whose bytes depend on their position.
inline std::string Pattern(size_t n, unsigned seed = 7) {
  std::string data(n, '\0');
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<char>((i * 31 + seed + i / 251) & 0xFF);
  return data;
}

class Server {
 public:
  using Script = std::function<void(int connection)>;

  explicit Server(int recvBufferSize = 0) : FListener(OpenListener(4, recvBufferSize)) {}
  ~Server() {
    Release.Open();
    if (FThread.joinable()) FThread.join();
    close(FListener);
  }
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  int Port() const { return PortOf(FListener); }

  // Accepts one connection on the server thread and runs the script on it, then closes it.
  void Serve(Script script) {
    FThread = std::thread([this, script = std::move(script)] {
      if (!WaitReadable(FListener)) return;
      int connection = accept4(FListener, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection < 0) return;
      script(connection);
      close(connection);
      Finished.Open();
    });
  }

  Gate Release;   // opened by the test (and at the latest by the destructor)
  Gate Finished;  // opened by the server once its script ran and the connection is closed

 private:
  int FListener;
  std::thread FThread;
};

}  // namespace loopback
