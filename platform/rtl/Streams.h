// Byte streams: the abstract TStream, streams over file handles and files, memory streams and a
// stream over a String.
//
// Counts of one Read/Write call are Integer as on the original platform; positions and sizes are
// Int64. Reading past the end returns fewer bytes; ReadBuffer/WriteBuffer raise when a transfer
// comes up short.
#pragma once

#include <vector>

#include "platform/rtl/SysUtils.h"

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr TSeekOrigin soBeginning = TSeekOrigin::soBeginning;
constexpr TSeekOrigin soCurrent = TSeekOrigin::soCurrent;
constexpr TSeekOrigin soEnd = TSeekOrigin::soEnd;

// Origins of the 32-bit Seek.
constexpr Word soFromBeginning = 0;
constexpr Word soFromCurrent = 1;
constexpr Word soFromEnd = 2;

// File open modes: one access mode, optionally or-ed with a share mode (accepted, not enforced).
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;
constexpr Word fmCreate = 0xFF00;  // create or truncate, then read and write

extern const TResourceString SReadError;
extern const TResourceString SWriteError;
extern const TResourceString SFOpenError;
extern const TResourceString SFCreateError;
extern const TResourceString SMemoryStreamError;
extern const TResourceString SInvalidSeekOrigin;

class TStream : public TObject {
  QJ_CLASS(TStream, TObject)
 public:
  // Transfer up to count bytes; return how many moved (0 at the end or on failure).
  virtual Integer Read(void* buffer, Integer count) = 0;
  virtual Integer Write(const void* buffer, Integer count) = 0;
  // Moves the position and returns the new one. Memory streams accept any position (reading
  // there gives nothing) but raise EStreamError for one that overflows.
  virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;
  Integer Seek(Integer offset, Word origin);  // soFromBeginning / soFromCurrent / soFromEnd

  void ReadBuffer(void* buffer, Integer count);         // raises EReadError when short
  void WriteBuffer(const void* buffer, Integer count);  // raises EWriteError when short

  // Copies count bytes from source's position; count 0 copies the whole source from its start.
  Int64 CopyFrom(TStream* source, Int64 count);

  Int64 GetPosition();
  void SetPosition(Int64 pos);
  virtual Int64 GetSize();
  virtual void SetSize(Int64 newSize);  // streams that cannot change size ignore it
};

// A stream over an open POSIX file descriptor, which it does not close.
class THandleStream : public TStream {
  QJ_CLASS(THandleStream, TStream)
 public:
  explicit THandleStream(int handle) : FHandle(handle) {}

  int GetHandle() const { return FHandle; }
  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;  // -1 when the OS refuses
  void SetSize(Int64 newSize) override;  // raises EStreamError when the file refuses

 protected:
  int FHandle;
};

// A stream over a named file; raises EFCreateError / EFOpenError when the file cannot be had.
class TFileStream : public THandleStream {
  QJ_CLASS(TFileStream, THandleStream)
 public:
  // rights: permission bits for a new file (0 gives 0666 less the umask).
  TFileStream(const String& fileName, Word mode, Cardinal rights = 0);
  ~TFileStream() override;

  const String& GetFileName() const { return FFileName; }

 private:
  String FFileName;
};

// A stream over a block of memory the descendant provides (SetPointer).
class TCustomMemoryStream : public TStream {
  QJ_CLASS(TCustomMemoryStream, TStream)
 public:
  void* Memory() const { return FMemory; }
  Integer Read(void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override { return FSize; }
  Integer Write(const void* buffer, Integer count) override;  // fixed memory: nothing written

  void SaveToStream(TStream* stream);
  void SaveToFile(const String& fileName);

 protected:
  void SetPointer(void* ptr, Int64 size);
  Int64 FPosition = 0;

 private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// A growable memory stream. Bytes that a larger size or a write beyond the end adds are zero.
class TMemoryStream : public TCustomMemoryStream {
  QJ_CLASS(TMemoryStream, TCustomMemoryStream)
 public:
  TMemoryStream() = default;

  Integer Write(const void* buffer, Integer count) override;
  void SetSize(Int64 newSize) override;  // raises EStreamError for a negative size
  void Clear();                          // empties the stream and releases the memory

  Int64 GetCapacity() const { return static_cast<Int64>(FBuffer.size()); }
  void SetCapacity(Int64 capacity);  // never below the size

  void LoadFromStream(TStream* stream);  // the whole stream, from its start
  void LoadFromFile(const String& fileName);

 private:
  void Reserve(Int64 needed);
  void Resize(Int64 newSize);
  std::vector<Byte> FBuffer;
};

// A stream over a String; DataString is the whole content. Writing overwrites and extends.
class TStringStream : public TStream {
  QJ_CLASS(TStringStream, TStream)
 public:
  explicit TStringStream(const String& data = String()) : FDataString(data) {}

  const String& GetDataString() const { return FDataString; }
  Integer Read(void* buffer, Integer count) override;
  Integer Write(const void* buffer, Integer count) override;
  Int64 Seek(Int64 offset, TSeekOrigin origin) override;
  Int64 GetSize() override { return static_cast<Int64>(FDataString.size()); }
  void SetSize(Int64 newSize) override;

  String ReadString(Integer count);  // up to count characters from the position
  void WriteString(const String& s);

 private:
  String FDataString;
  Int64 FPosition = 0;
};
