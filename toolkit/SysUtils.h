#pragma once
// The runtime layer's basics: exceptions that carry a message, the
// message texts callers rely on, integer conversion and printf-style
// formatting. Strings are 8-bit (Windows-1252 bytes); nothing here
// interprets characters above 127.

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

/// Base of every error the system raises: a message and nothing else.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string message) { FMessage = std::move(message); }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

#define QC_DECLARE_EXCEPTION(Name, Base) \
  class Name : public Base {             \
   public:                               \
    using Base::Base;                    \
  }

QC_DECLARE_EXCEPTION(EConvertError, Exception);
QC_DECLARE_EXCEPTION(EListError, Exception);
QC_DECLARE_EXCEPTION(EStringListError, Exception);
QC_DECLARE_EXCEPTION(EStreamError, Exception);
QC_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
QC_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
QC_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
QC_DECLARE_EXCEPTION(EReadError, EStreamError);
QC_DECLARE_EXCEPTION(EWriteError, EStreamError);
/// A write the operating system refused; ErrorCode is its errno value
/// (EPIPE, for instance, when the reader of a pipe has gone).
class EOSWriteError : public EWriteError {
 public:
  EOSWriteError(std::string message, int errorCode)
      : EWriteError(std::move(message)), FErrorCode(errorCode) {}
  int ErrorCode() const { return FErrorCode; }

 private:
  int FErrorCode;
};
QC_DECLARE_EXCEPTION(EInvalidOperation, Exception);
QC_DECLARE_EXCEPTION(EOutOfMemory, Exception);
/// Raised when a control cannot take what it is given (a rich-text view
/// refusing a stream, for instance).
QC_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory);

/// Message texts of the runtime layer, used exactly as they stand.
namespace rtl {
inline constexpr const char* SInvalidInteger = "'%s' is not a valid integer value";
inline constexpr const char* SFOpenErrorEx = "Cannot open file \"%s\". %s";
inline constexpr const char* SFCreateErrorEx = "Cannot create file \"%s\". %s";
inline constexpr const char* SFReadErrorEx = "Cannot read file \"%s\". %s";
inline constexpr const char* SHoldsMoreThan = "It holds more than %s bytes";
inline constexpr const char* SFWriteErrorEx = "Cannot write file \"%s\". %s";
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SListCapacityError = "List capacity out of bounds (%d)";
inline constexpr const char* SListCountError = "List count out of bounds (%d)";
inline constexpr const char* SDuplicateString = "String list does not allow duplicates";
inline constexpr const char* SSortedListError = "Operation not allowed on sorted list";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SRichEditLoadFail = "Failed to Load Stream";
}  // namespace rtl

/// printf-style formatting into a std::string ("%s (%d)", "%6.6d", ...).
/// "%6.6d" of -5 gives "-000005": the sign stands before the padded digits.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string IntToStr(int64_t value);

/// Decimal integer with optional leading blanks and sign; anything else, or
/// a value outside the 32-bit range, raises EConvertError with SInvalidInteger
/// (quoting the text as MessageExcerpt does).
int32_t StrToInt(std::string_view text);
/// As StrToInt, but returns false instead of raising.
bool TryStrToInt(std::string_view text, int32_t& value);
int32_t StrToIntDef(std::string_view text, int32_t defaultValue);

/// ASCII-only case folding and comparison (bytes above 127 are left as they are).
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
int CompareText(std::string_view a, std::string_view b);
inline bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }
int CompareStr(std::string_view a, std::string_view b);

/// Removes leading and trailing bytes up to and including the blank (control characters too).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
/// Text with every CR LF, lone CR and lone LF as one LF.
std::string LfLineEnds(std::string_view text);

/// Text as an error message quotes it: at most its first Limit bytes
/// ("..." after a cut), control bytes and DEL written as \xNN, so that a
/// huge or binary line gives a short message that prints as one line.
std::string MessageExcerpt(std::string_view text, size_t limit = 200);

/// The operating system's text for an errno value (for file error messages).
std::string SysErrorMessage(int errorCode);
