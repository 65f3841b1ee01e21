// The TCP client component: one IPv4 connection to Host:Port with a bounded connect, blocking
// whole-buffer sends and receives of whatever has arrived, each bounded by a time-out so that a
// silent or stalled peer cannot hang the caller. Meant for one thread at a time.
#pragma once

#include "platform/rtl/Component.h"
#include "platform/rtl/SysUtils.h"

QJ_EXCEPTION(EIdException, Exception)

// A socket operation the system refused; LastError is the system's error number (for a failed
// name lookup, the resolver's error code).
class EIdSocketError : public EIdException {
  QJ_CLASS(EIdSocketError, EIdException)
 public:
  EIdSocketError(Integer AError, const String& AMsg) : EIdException(AMsg), FLastError(AError) {}
  Integer LastError() const { return FLastError; }

 private:
  Integer FLastError = 0;
};

QJ_EXCEPTION(EIdResolveError, EIdSocketError)        // the host name is malformed or unknown
QJ_EXCEPTION(EIdConnectTimeout, EIdException)        // no answer within the connect time-out
QJ_EXCEPTION(EIdAlreadyConnected, EIdException)      // Connect on a live connection
QJ_EXCEPTION(EIdInvalidArgument, EIdException)       // a property or argument out of range

class TIdTCPClient : public TComponent {
  QJ_CLASS(TIdTCPClient, TComponent)
 public:
  static constexpr Integer DefaultConnectTimeout = 5000;
  static constexpr Integer DefaultReadTimeout = 5000;
  static constexpr Integer DefaultWriteTimeout = 30000;

  explicit TIdTCPClient(TComponent* AOwner);
  ~TIdTCPClient() override;

  // A dotted IPv4 address or a host name; used by the next Connect.
  const String& GetHost() const { return FHost; }
  void SetHost(const String& Value) { FHost = Value; }
  // 0..65535 (0 = not set; Connect refuses it); raises EIdInvalidArgument otherwise.
  Integer GetPort() const { return FPort; }
  void SetPort(Integer Value);

  // Longest wait of one Recv for its first byte, in ms (at least 1).
  Integer GetReadTimeout() const { return FReadTimeout; }
  void SetReadTimeout(Integer Value);
  // Longest time one Send may go without the socket taking a byte, in ms (at least 1).
  Integer GetWriteTimeout() const { return FWriteTimeout; }
  void SetWriteTimeout(Integer Value);
  // The socket's kernel buffer sizes in bytes; 0 leaves the system's own (automatic) size. They
  // apply from the next Connect, or at once on a live connection; the system may round them.
  Integer GetSendBufferSize() const { return FSendBufferSize; }
  void SetSendBufferSize(Integer Value);
  Integer GetRecvBufferSize() const { return FRecvBufferSize; }
  void SetRecvBufferSize(Integer Value);

  // Connects to Host:Port, waiting at most ATimeout ms (at least 1). Raises EIdAlreadyConnected,
  // EIdInvalidArgument (no host, no port, bad time-out), EIdResolveError, EIdConnectTimeout or
  // EIdSocketError (refused, unreachable, ...); on failure the client stays disconnected. The
  // lookup of a host name is the system resolver's and is not bounded by ATimeout.
  void Connect(Integer ATimeout = DefaultConnectTimeout);
  // True while the socket is open and the peer has not closed its side (with nothing unread).
  bool Connected() const;
  // Closes the connection; harmless when there is none.
  void Disconnect();

  // Sends Count bytes, waiting while the socket's buffer is full. Returns Count when all went;
  // when the peer fails or takes nothing for WriteTimeout, the connection is closed and the
  // result is the number of bytes the socket took before, or -1 when it took none. -1 too when
  // not connected or for a negative Count or a null buffer. Never raises SIGPIPE.
  Integer Send(const void* Buffer, Integer Count);
  // Receives up to Count bytes (Count >= 1), waiting at most ReadTimeout for the first one.
  // Returns the number received; 0 when the peer closed the connection (which is then closed
  // here too); -1 on a time-out (the connection stays open), on a failure (the connection is
  // closed), when not connected or for bad arguments.
  Integer Recv(void* Buffer, Integer Count);
  // The system error number behind the last Send or Recv that failed (ETIMEDOUT for a time-out),
  // 0 after one that succeeded.
  Integer LastError() const { return FLastError; }

 protected:
  // The connect steps, replaceable by tests and other transports.
  // The IPv4 address of AHost in network order; raises EIdResolveError.
  virtual Cardinal ResolveHost(const String& AHost);
  // Starts a non-blocking connect of ASocket; 0 when connected at once, EINPROGRESS while under
  // way, otherwise the error number.
  virtual Integer StartConnect(Integer ASocket, Cardinal AAddr, Word APort);
  // Waits until the started connect finishes (either way); False when ATimeout ms ran out first.
  virtual bool WaitForConnect(Integer ASocket, Integer ATimeout);

 private:
  Integer OpenConnectedSocket(Cardinal AAddr, Integer ATimeout);
  void ApplyBufferSizes(Integer ASocket) const;
  void CloseSocket();
  Integer FailSend(Integer AError, Integer ASent, bool ACloses);
  Integer FailRecv(Integer AError, bool ACloses);

  String FHost;
  Integer FPort = 0;
  Integer FReadTimeout = DefaultReadTimeout;
  Integer FWriteTimeout = DefaultWriteTimeout;
  Integer FSendBufferSize = 0;
  Integer FRecvBufferSize = 0;
  Integer FSocket = -1;
  Integer FLastError = 0;
};
