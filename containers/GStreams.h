#pragma once
// A fixed-size buffer in front of any byte stream, and line-oriented text
// reading and writing on top of it. The project file reader and writer do
// all their input and output through TGTextStream.

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/Streams.h"

enum class TGBufferState { bsIdle = 0, bsReading = 1, bsWriting = 2 };

/// A stream that reads from and writes to another stream (not owned)
/// through an 8192-byte buffer. Position is the logical position: what the
/// caller has consumed or written, not where the underlying stream stands.
class TGBufferStream : public TStream {
 public:
  static constexpr int BufferSize = 8192;

  explicit TGBufferStream(TStream& stream);
  /// Writes pending bytes (errors cannot leave a destructor: call Flush()
  /// first to see them); the underlying stream stays open.
  ~TGBufferStream() override;
  TGBufferStream(const TGBufferStream&) = delete;
  TGBufferStream& operator=(const TGBufferStream&) = delete;
  std::string ClassName() const override { return "TGBufferStream"; }

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  /// Origin 0, 1, 2 as the toolkit's streams; others raise EStreamError
  /// "Invalid Origin Point specified: %s". Seeking to the current position
  /// changes nothing (it does not flush).
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  /// The underlying size, or the logical position when pending bytes reach past it.
  int64_t Size() override;

  /// Puts Byte back in front of the unread data; raises EStreamError
  /// "Overflow on push back" when nothing of the current buffer was consumed.
  virtual void PutBack(char byte);
  /// True when every buffered byte is consumed and the underlying stream is at its end.
  bool EndOfStream();
  /// Writes pending bytes now; raises EWriteError "Stream write error" when
  /// the underlying stream does not take them all.
  void Flush();

  TGBufferState State() const { return FState; }
  TStream& Stream() const { return *FStream; }

  TNotifyEvent OnFillBuffer;
  TNotifyEvent OnFlushBuffer;

 protected:
  /// Refills the buffer from the underlying stream; false when no byte came.
  virtual bool FillBuffer();
  /// Writes the pending bytes; false when the underlying stream took fewer.
  virtual bool FlushBuffer();

  /// Bytes of the current buffer not yet consumed (reading state).
  int64_t Unread() const { return FState == TGBufferState::bsReading ? FEnd - FCurrent : 0; }

  TStream* FStream;
  std::unique_ptr<char[]> FBuffer;
  char* FCurrent = nullptr;
  char* FEnd = nullptr;
  TGBufferState FState = TGBufferState::bsIdle;
};

/// Text reading and writing over a buffered stream. Lines are written with
/// CR LF; CR LF, lone CR and lone LF all end a line when reading.
class TGTextStream : public TGBufferStream {
 public:
  explicit TGTextStream(TStream& stream) : TGBufferStream(stream) {}
  /// Pending bytes are written first; then the underlying stream is freed
  /// when OwnsStream is set.
  ~TGTextStream() override;
  std::string ClassName() const override { return "TGTextStream"; }

  bool OwnsStream() const { return FOwnsStream; }
  /// When set, the text stream frees the underlying stream (which must then
  /// have been created with new).
  void SetOwnsStream(bool value) { FOwnsStream = value; }

  /// Token delimiters of ReadToken: blank, CR, LF, TAB.
  std::string Delimiters = std::string(" \r\n\t");

  /// The bytes up to the next line end, which is consumed and not returned.
  /// At the end of the data Line is empty; returns false only then (when
  /// neither a byte nor a line end was left).
  bool ReadLine(std::string& line);
  std::string ReadLine() {
    std::string line;
    ReadLine(line);
    return line;
  }
  /// As ReadLine, but takes at most Limit + 1 bytes of the line: a Line
  /// longer than Limit is a line too long, whose rest is left unread, so
  /// that endless data without line ends costs no more than Limit bytes.
  bool ReadLine(std::string& line, size_t limit);
  /// One byte, or the zero byte at the end of the data.
  char ReadChar();
  /// Skips control bytes and blanks up to the line end: true when a line end
  /// was consumed, false at a printable byte (left unread) or the end of the data.
  bool SkipToLineEnd();
  /// Consumes bytes below 33; the first byte of 33 or above stays unread.
  void SkipBlanks();
  /// The bytes up to the first delimiter, which stays unread.
  void ReadToken(std::string& token);
  std::string ReadToken() {
    std::string token;
    ReadToken(token);
    return token;
  }
  /// SkipBlanks, ReadToken, then the token as an integer; raises
  /// EConvertError "'%s' is not a valid integer value" otherwise.
  int32_t ReadInteger();

  TGTextStream& WriteChar(char byte);
  TGTextStream& WriteString(const std::string& text);
  TGTextStream& WriteInteger(int32_t value);
  TGTextStream& WriteSpace() { return WriteChar(' '); }
  /// CR then LF.
  TGTextStream& NewLine();
  TGTextStream& WriteLine(const std::string& text);

 private:
  /// All of Count bytes, or EWriteError "Stream write error".
  void WriteAll(const char* data, int64_t count);

  bool FOwnsStream = false;
};
