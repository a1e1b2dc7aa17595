#include "containers/GStreams.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
inline constexpr const char* SPushBackOverflow = "Overflow on push back";
inline constexpr const char* SInvalidBufferState = "Invalid buffer state";
inline constexpr const char* SSeekError = "Error seeking in buffer";
inline constexpr const char* SInvalidOrigin = "Invalid Origin Point specified: %s";

inline bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) < 33; }

/// The first CR or LF in [From, To), or To. Line reading spends most of its
/// time here, so the bytes are tested sixteen at a time where the machine can.
inline char* FindLineEnd(char* from, char* to) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  while (to - from >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
    if (mask != 0) return from + __builtin_ctz(static_cast<unsigned>(mask));
    from += 16;
  }
#endif
  while (from < to && !IsLineEnd(*from)) ++from;
  return from;
}
}  // namespace

// --- TGBufferStream ---------------------------------------------------------

TGBufferStream::TGBufferStream(TStream& stream)
    : FStream(&stream), FBuffer(std::make_unique<char[]>(BufferSize)) {}

TGBufferStream::~TGBufferStream() {
  if (FState == TGBufferState::bsWriting) {
    try {
      FlushBuffer();
    } catch (...) {
      // A destructor cannot report; callers that care call Flush() first.
    }
  }
}

bool TGBufferStream::FillBuffer() {
  const int64_t n = FStream->Read(FBuffer.get(), BufferSize);
  const int64_t got = std::max<int64_t>(n, 0);
  FCurrent = FBuffer.get();
  FEnd = FCurrent + got;
  FState = got > 0 ? TGBufferState::bsReading : TGBufferState::bsIdle;
  if (OnFillBuffer) OnFillBuffer(this);
  return got > 0;
}

bool TGBufferStream::FlushBuffer() {
  char* start = FBuffer.get();
  const int64_t pending = FCurrent ? FCurrent - start : 0;
  bool ok = true;
  if (pending > 0) ok = FStream->Write(start, pending) == pending;
  FCurrent = start;
  FEnd = start + BufferSize;
  FState = TGBufferState::bsIdle;
  if (OnFlushBuffer) OnFlushBuffer(this);
  return ok;
}

void TGBufferStream::Flush() {
  if (FState == TGBufferState::bsWriting && !FlushBuffer()) throw EWriteError(rtl::SWriteError);
}

int64_t TGBufferStream::Read(void* buffer, int64_t count) {
  // Pending bytes go out first so that a read sees them at the logical position.
  if (FState == TGBufferState::bsWriting && !FlushBuffer()) throw EWriteError(rtl::SWriteError);
  // Only the reading state holds unread bytes; any other buffer content is stale.
  if (FState != TGBufferState::bsReading) FCurrent = FEnd = FBuffer.get();
  if (count < 1) return 0;
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    if (FCurrent >= FEnd && !FillBuffer()) break;
    const int64_t n = std::min<int64_t>(count - done, FEnd - FCurrent);
    std::memcpy(out + done, FCurrent, static_cast<size_t>(n));
    FCurrent += n;
    done += n;
  }
  return done;
}

int64_t TGBufferStream::Write(const void* buffer, int64_t count) {
  if (FState == TGBufferState::bsReading) {
    // The underlying stream stands past the unread bytes: go back to the
    // logical position before writing there.
    const int64_t unread = Unread();
    if (unread > 0) FStream->Seek(-unread, soCurrent);
    FCurrent = nullptr;
    FState = TGBufferState::bsIdle;
  }
  if (!FCurrent || FState == TGBufferState::bsIdle) {
    FCurrent = FBuffer.get();
    FEnd = FCurrent + BufferSize;
  }
  if (count < 1) return 0;
  const auto* in = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const int64_t n = std::min<int64_t>(count - done, FEnd - FCurrent);
    std::memcpy(FCurrent, in + done, static_cast<size_t>(n));
    FCurrent += n;
    done += n;
    FState = TGBufferState::bsWriting;
    if (FCurrent >= FEnd) {
      const int64_t pending = FCurrent - FBuffer.get();
      // Bytes of a failed flush are lost: they must not count as accepted.
      if (!FlushBuffer()) return std::max<int64_t>(done - pending, 0);
    }
  }
  return done;
}

int64_t TGBufferStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t adjustment;
  switch (FState) {
    case TGBufferState::bsReading:
      adjustment = -Unread();
      break;
    case TGBufferState::bsWriting:
      adjustment = FCurrent - FBuffer.get();
      break;
    case TGBufferState::bsIdle:
      adjustment = 0;
      break;
    default:
      throw EStreamError(SInvalidBufferState);
  }
  const int64_t current = FStream->Seek(0, soCurrent) + adjustment;
  int64_t target;
  switch (static_cast<int>(origin)) {
    case soBeginning:
      target = offset;
      break;
    case soCurrent:
      target = current + offset;
      break;
    case soEnd:
      target = Size() + offset;
      break;
    default:
      throw EStreamError(Format(SInvalidOrigin, IntToStr(static_cast<int>(origin)).c_str()));
  }
  if (target == current) return target;
  if (FState == TGBufferState::bsWriting && !FlushBuffer()) throw EStreamError(SSeekError);
  const int64_t reached = FStream->Seek(target, soBeginning);
  FCurrent = nullptr;
  FEnd = nullptr;
  FState = TGBufferState::bsIdle;
  return reached;
}

int64_t TGBufferStream::Size() {
  const int64_t size = FStream->Size();
  if (FState != TGBufferState::bsWriting) return size;
  return std::max(size, FStream->Seek(0, soCurrent) + (FCurrent - FBuffer.get()));
}

void TGBufferStream::PutBack(char byte) {
  if (FState != TGBufferState::bsReading || !FCurrent || FCurrent <= FBuffer.get())
    throw EStreamError(SPushBackOverflow);
  --FCurrent;
  *FCurrent = byte;
}

bool TGBufferStream::EndOfStream() {
  if (FState == TGBufferState::bsWriting) return false;
  if (Unread() > 0) return false;
  return FStream->Seek(0, soCurrent) >= FStream->Size();
}

// --- TGTextStream -----------------------------------------------------------

TGTextStream::~TGTextStream() {
  if (FState == TGBufferState::bsWriting) {
    try {
      FlushBuffer();
    } catch (...) {
      // As in the base: nothing can be reported from here.
    }
    FCurrent = FBuffer.get();
    FState = TGBufferState::bsIdle;
  }
  if (FOwnsStream) delete FStream;
}

char TGTextStream::ReadChar() {
  if (FState == TGBufferState::bsReading && FCurrent < FEnd) return *FCurrent++;
  char c = 0;
  return Read(&c, 1) == 1 ? c : '\0';
}

bool TGTextStream::ReadLine(std::string& line) { return ReadLine(line, std::string::npos - 1); }

bool TGTextStream::ReadLine(std::string& line, size_t limit) {
  line.clear();
  if (FState != TGBufferState::bsReading || FCurrent >= FEnd) {
    // Leaves a writing state (flush) and refills; nothing left means end of data.
    char c;
    if (Read(&c, 1) != 1) return false;
    --FCurrent;  // the byte is still in the buffer: scan it below
  }
  for (;;) {
    // Scan the buffered bytes for the line end in one go instead of byte by byte.
    char* start = FCurrent;
    const size_t room = limit + 1 - line.size();
    char* end = static_cast<size_t>(FEnd - start) > room ? start + room : FEnd;
    char* stop = FindLineEnd(start, end);
    line.append(start, static_cast<size_t>(stop - start));
    FCurrent = stop;
    if (line.size() > limit) return true;  // too long: the rest stays unread
    if (stop < FEnd) break;
    if (!FillBuffer()) return true;  // last line without a line end
  }
  const char end = *FCurrent++;
  if (end == '\r') {
    // CR LF is one line end, even when the LF opens the next buffer fill.
    if (FCurrent >= FEnd && !FillBuffer()) return true;
    if (*FCurrent == '\n') ++FCurrent;
  }
  return true;
}

bool TGTextStream::SkipToLineEnd() {
  for (;;) {
    char c;
    if (Read(&c, 1) != 1) return false;
    if (c == '\r') {
      char next;
      if (Read(&next, 1) == 1 && next != '\n') PutBack(next);
      return true;
    }
    if (c == '\n') return true;
    if (!IsBlank(c)) {
      PutBack(c);
      return false;
    }
  }
}

void TGTextStream::SkipBlanks() {
  char c;
  while (Read(&c, 1) == 1) {
    if (!IsBlank(c)) {
      PutBack(c);
      return;
    }
  }
}

void TGTextStream::ReadToken(std::string& token) {
  token.clear();
  char c;
  while (Read(&c, 1) == 1) {
    if (Delimiters.find(c) != std::string::npos) {
      PutBack(c);
      return;
    }
    token += c;
  }
}

int32_t TGTextStream::ReadInteger() {
  SkipBlanks();
  std::string token;
  ReadToken(token);
  return StrToInt(token);
}

void TGTextStream::WriteAll(const char* data, int64_t count) {
  if (count > 0 && Write(data, count) != count) throw EWriteError(rtl::SWriteError);
}

TGTextStream& TGTextStream::WriteChar(char byte) {
  if (FState == TGBufferState::bsWriting && FCurrent < FEnd - 1) {
    *FCurrent++ = byte;  // room stays: no flush due
    return *this;
  }
  WriteAll(&byte, 1);
  return *this;
}

TGTextStream& TGTextStream::WriteString(const std::string& text) {
  WriteAll(text.data(), static_cast<int64_t>(text.size()));
  return *this;
}

TGTextStream& TGTextStream::WriteInteger(int32_t value) { return WriteString(IntToStr(value)); }

TGTextStream& TGTextStream::NewLine() {
  WriteAll("\r\n", 2);
  return *this;
}

TGTextStream& TGTextStream::WriteLine(const std::string& text) {
  if (FState == TGBufferState::bsWriting && static_cast<int64_t>(text.size()) + 2 < FEnd - FCurrent) {
    // Fits with room to spare: no flush can fall inside, copy directly.
    std::memcpy(FCurrent, text.data(), text.size());
    FCurrent += text.size();
    *FCurrent++ = '\r';
    *FCurrent++ = '\n';
    return *this;
  }
  WriteString(text);
  return NewLine();
}
