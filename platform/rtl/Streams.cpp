#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/rtl/FileUtils.h"

const TResourceString SReadError = {65300, "Stream read error"};
const TResourceString SWriteError = {65301, "Stream write error"};
const TResourceString SFOpenError = {65302, "Cannot open file \"%s\". %s"};
const TResourceString SFCreateError = {65303, "Cannot create file \"%s\". %s"};
const TResourceString SMemoryStreamError = {65304, "Out of memory while expanding memory stream"};
const TResourceString SInvalidSeekOrigin = {65305, "Invalid stream seek origin"};
const TResourceString SInvalidStreamSize = {65306, "Invalid stream size"};
const TResourceString SInvalidStreamPosition = {65307, "Invalid stream position"};

QJ_IMPLEMENT_CLASS(TStream)
QJ_IMPLEMENT_CLASS(THandleStream)
QJ_IMPLEMENT_CLASS(TFileStream)
QJ_IMPLEMENT_CLASS(TCustomMemoryStream)
QJ_IMPLEMENT_CLASS(TMemoryStream)
QJ_IMPLEMENT_CLASS(TStringStream)

namespace {

constexpr Integer CopyBufferSize = 65536;
// Past this, a memory block is refused before any arithmetic on it can overflow.
constexpr Int64 MaxMemoryBlock = Int64(1) << 46;

// Runs an allocation, turning the standard library's failures into the platform's exception.
template <class F>
void Allocate(Int64 size, F&& allocate) {
  if (size < 0 || size > MaxMemoryBlock) throw EOutOfMemory(&SMemoryStreamError);
  try {
    allocate();
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(&SMemoryStreamError);
  } catch (const std::length_error&) {
    throw EOutOfMemory(&SMemoryStreamError);
  }
}

// The end of a transfer of count bytes at position; refuses positions no block can reach.
Int64 TransferEnd(Int64 position, Integer count) {
  if (position > MaxMemoryBlock) throw EOutOfMemory(&SMemoryStreamError);
  return position + count;
}

// The position a seek asks for, from the current position and size.
Int64 SeekTarget(Int64 offset, TSeekOrigin origin, Int64 position, Int64 size) {
  Int64 base = origin == soBeginning ? 0 : origin == soCurrent ? position : size;
  Int64 target;
  if (__builtin_add_overflow(base, offset, &target)) throw EStreamError(&SInvalidStreamPosition);
  return target;
}

// Runs a read(2)/write(2)-like transfer until count bytes moved, the end, or an error.
template <class F>
Integer TransferAll(Integer count, F&& transfer) {
  Integer done = 0;
  while (done < count) {
    ssize_t n = transfer(done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<Integer>(n);
  }
  return done;
}

// How many of count bytes are there to read from position in a block of size bytes.
Integer Available(Int64 position, Int64 size, Integer count) {
  if (count <= 0 || position < 0 || position >= size) return 0;
  return static_cast<Integer>(std::min<Int64>(count, size - position));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TStream

Integer TStream::Seek(Integer offset, Word origin) {
  if (origin > soFromEnd) throw EStreamError(&SInvalidSeekOrigin);
  return static_cast<Integer>(Seek(static_cast<Int64>(offset), static_cast<TSeekOrigin>(origin)));
}

void TStream::ReadBuffer(void* buffer, Integer count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(&SReadError);
}

void TStream::WriteBuffer(const void* buffer, Integer count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(&SWriteError);
}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->GetSize();
  }
  std::vector<Byte> buffer(static_cast<size_t>(std::min<Int64>(std::max<Int64>(count, 0), CopyBufferSize)));
  for (Int64 left = count; left > 0;) {
    Integer chunk = static_cast<Integer>(std::min<Int64>(left, CopyBufferSize));
    source->ReadBuffer(buffer.data(), chunk);
    WriteBuffer(buffer.data(), chunk);
    left -= chunk;
  }
  return count;
}

Int64 TStream::GetPosition() { return Seek(Int64(0), soCurrent); }

void TStream::SetPosition(Int64 pos) { Seek(pos, soBeginning); }

Int64 TStream::GetSize() {
  Int64 pos = Seek(Int64(0), soCurrent);
  Int64 size = Seek(Int64(0), soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(Int64) {}

// ---------------------------------------------------------------------------------------------
// THandleStream

// Short transfers (pipes, signals) are continued, so fewer bytes mean the end or an error.
Integer THandleStream::Read(void* buffer, Integer count) {
  return TransferAll(count, [&](Integer done, size_t left) {
    return ::read(FHandle, static_cast<Byte*>(buffer) + done, left);
  });
}

Integer THandleStream::Write(const void* buffer, Integer count) {
  return TransferAll(count, [&](Integer done, size_t left) {
    return ::write(FHandle, static_cast<const Byte*>(buffer) + done, left);
  });
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t result = ::lseek(FHandle, static_cast<off_t>(offset), whence);
  return result < 0 ? -1 : static_cast<Int64>(result);
}

void THandleStream::SetSize(Int64 newSize) {
  if (newSize < 0 || ::ftruncate(FHandle, static_cast<off_t>(newSize)) != 0)
    throw EStreamError(SysErrorMessage(newSize < 0 ? EINVAL : errno));
  // The position stays where it was unless it now lies past the end.
  if (GetPosition() > newSize) Seek(newSize, soBeginning);
}

// ---------------------------------------------------------------------------------------------
// TFileStream

namespace {

int OpenFlags(Word mode) {
  if ((mode & fmCreate) == fmCreate) return O_RDWR | O_CREAT | O_TRUNC;
  switch (mode & 0x0003) {
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
}

}  // namespace

TFileStream::TFileStream(const String& fileName, Word mode, Cardinal rights)
    : THandleStream(-1), FFileName(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  const std::string osName = FileNameToOs(fileName);
  mode_t perms = rights ? static_cast<mode_t>(rights) : 0666;
  FHandle = osName.empty() ? -1 : ::open(osName.c_str(), OpenFlags(mode) | O_CLOEXEC, perms);
  int error = osName.empty() ? ENOENT : errno;
  struct stat st;
  // A folder opens for reading on this OS, but it is no file to stream.
  if (FHandle >= 0 && ::fstat(FHandle, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(FHandle);
    FHandle = -1;
    error = EISDIR;
  }
  if (FHandle >= 0) return;
  if (create) throw EFCreateError(&SFCreateError, {fileName, SysErrorMessage(error)});
  throw EFOpenError(&SFOpenError, {fileName, SysErrorMessage(error)});
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// ---------------------------------------------------------------------------------------------
// TCustomMemoryStream

void TCustomMemoryStream::SetPointer(void* ptr, Int64 size) {
  FMemory = ptr;
  FSize = size;
}

Integer TCustomMemoryStream::Read(void* buffer, Integer count) {
  Integer n = Available(FPosition, FSize, count);
  if (n > 0) {
    std::memcpy(buffer, static_cast<const Byte*>(FMemory) + FPosition, static_cast<size_t>(n));
    FPosition += n;
  }
  return n;
}

Integer TCustomMemoryStream::Write(const void*, Integer) { return 0; }

Int64 TCustomMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
  FPosition = SeekTarget(offset, origin, FPosition, FSize);
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) {
  const Byte* p = static_cast<const Byte*>(FMemory);
  for (Int64 done = 0; done < FSize;) {
    Integer chunk = static_cast<Integer>(std::min<Int64>(FSize - done, CopyBufferSize));
    stream->WriteBuffer(p + done, chunk);
    done += chunk;
  }
}

void TCustomMemoryStream::SaveToFile(const String& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(&file);
}

// ---------------------------------------------------------------------------------------------
// TMemoryStream

void TMemoryStream::Reserve(Int64 needed) {
  if (needed <= GetCapacity()) return;
  if (needed > MaxMemoryBlock) throw EOutOfMemory(&SMemoryStreamError);
  // Grow by a quarter at least, in 8 KiB steps, so many small writes stay linear.
  Int64 grown = std::max<Int64>(needed, GetCapacity() + GetCapacity() / 4);
  SetCapacity((grown + 0x1FFF) & ~Int64(0x1FFF));
}

void TMemoryStream::SetCapacity(Int64 capacity) {
  capacity = std::max(capacity, GetSize());
  Allocate(capacity, [&] {
    std::vector<Byte> block(static_cast<size_t>(capacity));
    std::copy_n(FBuffer.begin(), GetSize(), block.begin());
    FBuffer.swap(block);
  });
  SetPointer(FBuffer.empty() ? nullptr : FBuffer.data(), GetSize());
}

void TMemoryStream::Resize(Int64 newSize) {
  Int64 oldSize = GetSize();
  Reserve(newSize);
  if (newSize > oldSize)
    std::fill(FBuffer.begin() + oldSize, FBuffer.begin() + newSize, Byte(0));
  SetPointer(FBuffer.empty() ? nullptr : FBuffer.data(), newSize);
}

void TMemoryStream::SetSize(Int64 newSize) {
  if (newSize < 0) throw EStreamError(&SInvalidStreamSize);
  Resize(newSize);
  if (FPosition > newSize) FPosition = newSize;
}

Integer TMemoryStream::Write(const void* buffer, Integer count) {
  if (count <= 0 || FPosition < 0) return 0;
  Int64 end = TransferEnd(FPosition, count);
  if (end > GetSize()) Resize(end);
  std::memcpy(FBuffer.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

void TMemoryStream::Clear() {
  SetPointer(nullptr, 0);
  FBuffer.clear();
  FBuffer.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  Int64 size = stream->GetSize();
  SetSize(size);
  for (Int64 done = 0; done < size;) {
    Integer chunk = static_cast<Integer>(std::min<Int64>(size - done, CopyBufferSize));
    stream->ReadBuffer(FBuffer.data() + done, chunk);
    done += chunk;
  }
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

// ---------------------------------------------------------------------------------------------
// TStringStream

Integer TStringStream::Read(void* buffer, Integer count) {
  Integer n = Available(FPosition, GetSize(), count);
  if (n > 0) {
    std::memcpy(buffer, FDataString.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
  }
  return n;
}

Integer TStringStream::Write(const void* buffer, Integer count) {
  if (count <= 0 || FPosition < 0) return 0;
  size_t end = static_cast<size_t>(TransferEnd(FPosition, count));
  if (end > FDataString.size()) Allocate(static_cast<Int64>(end), [&] { FDataString.resize(end, '\0'); });
  std::memcpy(FDataString.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = static_cast<Int64>(end);
  return count;
}

Int64 TStringStream::Seek(Int64 offset, TSeekOrigin origin) {
  FPosition = SeekTarget(offset, origin, FPosition, GetSize());
  return FPosition;
}

void TStringStream::SetSize(Int64 newSize) {
  if (newSize < 0) throw EStreamError(&SInvalidStreamSize);
  Allocate(newSize, [&] { FDataString.resize(static_cast<size_t>(newSize), '\0'); });
  if (FPosition > newSize) FPosition = newSize;
}

String TStringStream::ReadString(Integer count) {
  Integer n = Available(FPosition, GetSize(), count);
  String result = FDataString.substr(static_cast<size_t>(std::max<Int64>(FPosition, 0)),
                                     static_cast<size_t>(n));
  FPosition += n;
  return result;
}

void TStringStream::WriteString(const String& s) { Write(s.data(), Length(s)); }
