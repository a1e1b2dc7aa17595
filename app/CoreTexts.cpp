#include "app/CoreTexts.h"

#include <QCoreApplication>
#include <cctype>
#include <cstring>
#include <vector>

#include "app/AppText.h"

namespace app {

namespace {

// Placeholders are %s (any text) and %d (a whole number), as the core's
// templates have them; a translation keeps them in the same order.
const char* const kCatalogue[] = {
    // Match modes, status panels and classes.
    QT_TRANSLATE_NOOP("core", "Match Topics By ID"),
    QT_TRANSLATE_NOOP("core", "Match Topics By Title"),
    QT_TRANSLATE_NOOP("core", "Match Topics By ID or Title"),
    QT_TRANSLATE_NOOP("core", "Different Topics: %d"),
    QT_TRANSLATE_NOOP("core", "Identical Topics: %d"),
    QT_TRANSLATE_NOOP("core", "Identical Text Topics: %d"),
    QT_TRANSLATE_NOOP("core", "New Topics: %d"),
    QT_TRANSLATE_NOOP("core", "Deleted Topics: %d"),
    QT_TRANSLATE_NOOP("core", "Identical"),
    QT_TRANSLATE_NOOP("core", "Different"),
    QT_TRANSLATE_NOOP("core", "Identical text"),
    QT_TRANSLATE_NOOP("core", "New"),
    QT_TRANSLATE_NOOP("core", "Deleted"),
    // The classes in words, inside the window's sentences.
    QT_TRANSLATE_NOOP("core", "different"),
    QT_TRANSLATE_NOOP("core", "identical"),
    QT_TRANSLATE_NOOP("core", "identical text"),
    QT_TRANSLATE_NOOP("core", "new"),
    QT_TRANSLATE_NOOP("core", "deleted"),
    // Reading and writing files.
    QT_TRANSLATE_NOOP("core", "Missing Quillcrafter Identifier, not a Quillcrafter File"),
    QT_TRANSLATE_NOOP("core", "Unknown Quillcrafter File Version, not a Quillcrafter File"),
    QT_TRANSLATE_NOOP("core", "Unexpected end of file while reading %s"),
    QT_TRANSLATE_NOOP("core",
                      "The file starts with a UTF-8 byte-order mark, which a Quillcrafter File never has; "
                      "not a Quillcrafter File"),
    QT_TRANSLATE_NOOP("core", "Line %s is longer than %s bytes while reading %s"),
    QT_TRANSLATE_NOOP("core",
                      "Line %s: the count %s is larger than the lines that can follow while reading %s"),
    QT_TRANSLATE_NOOP("core", "%s bytes after the end of the project are not read (a save drops them)"),
    QT_TRANSLATE_NOOP("core", "Cannot open file \"%s\". %s"),
    QT_TRANSLATE_NOOP("core", "Cannot create file \"%s\". %s"),
    QT_TRANSLATE_NOOP("core", "Cannot read file \"%s\". %s"),
    QT_TRANSLATE_NOOP("core", "Cannot write file \"%s\". %s"),
    QT_TRANSLATE_NOOP("core", "It holds more than %s bytes"),
    QT_TRANSLATE_NOOP("core", "%s is being saved by another program"),
    QT_TRANSLATE_NOOP("core", "'%s' is not a valid integer value"),
    QT_TRANSLATE_NOOP("core", "Stream read error"),
    QT_TRANSLATE_NOOP("core", "Stream write error"),
    QT_TRANSLATE_NOOP("core", "Failed to Load Stream"),
    QT_TRANSLATE_NOOP("core", "Cannot write the backup %s: %s"),
    QT_TRANSLATE_NOOP("core", "The link points to \"%s\", which does not exist"),
    QT_TRANSLATE_NOOP("core", "A block device is not written to"),
    QT_TRANSLATE_NOOP("core", "No process reads from the named pipe"),
    QT_TRANSLATE_NOOP("core", "Topic ID %d is in use"),
};

// The longest value a translated message quotes: a message built from a
// huge line shows its start, not all of it.
constexpr size_t kValueExcerpt = 200;

// Whether Text is Pattern with its placeholders filled in; the values go
// to Values in order (views into Text). %s takes the shortest text that lets
// the rest match. Only the places where the literal text after a %s occurs
// are tried, so a long message is matched in about the time it takes to
// scan it, whatever it holds.
bool Matches(std::string_view pattern, std::string_view text, std::vector<std::string_view>& values) {
  const size_t placeholder = pattern.find('%');
  if (placeholder == std::string_view::npos || placeholder + 1 >= pattern.size() ||
      (pattern[placeholder + 1] != 's' && pattern[placeholder + 1] != 'd')) {
    if (placeholder != std::string_view::npos && placeholder + 1 < pattern.size()) {
      // A lone % is literal text.
      if (text.substr(0, placeholder + 1) != pattern.substr(0, placeholder + 1)) return false;
      return Matches(pattern.substr(placeholder + 1), text.substr(placeholder + 1), values);
    }
    return text == pattern;
  }
  if (text.substr(0, placeholder) != pattern.substr(0, placeholder)) return false;
  text.remove_prefix(placeholder);
  const std::string_view rest = pattern.substr(placeholder + 2);
  if (pattern[placeholder + 1] == 'd') {
    size_t end = !text.empty() && text[0] == '-' ? 1 : 0;
    const size_t digits = end;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) ++end;
    if (end == digits) return false;
    values.push_back(text.substr(0, end));
    if (Matches(rest, text.substr(end), values)) return true;
    values.pop_back();
    return false;
  }
  // The literal text up to the next placeholder must follow the value.
  const std::string_view literal = rest.substr(0, rest.find('%'));
  if (rest.empty()) {
    values.push_back(text);
    return true;
  }
  for (size_t at = text.find(literal); at != std::string_view::npos; at = text.find(literal, at + 1)) {
    values.push_back(text.substr(0, at));
    if (Matches(rest, text.substr(at), values)) return true;
    values.pop_back();
  }
  return false;
}

/// A value as a message shows it: its start when it is long.
QString Excerpt(std::string_view value) {
  if (value.size() <= kValueExcerpt) return MessageToQString(std::string(value));
  return MessageToQString(std::string(value.substr(0, kValueExcerpt))) + QStringLiteral("...");
}

}  // namespace

QString CoreText(const std::string& text) {
  if (QCoreApplication::instance() != nullptr) {
    for (const char* entry : kCatalogue) {
      std::vector<std::string_view> values;
      if (!Matches(entry, text, values)) continue;
      const QString translated = QCoreApplication::translate("core", entry);
      if (translated == QLatin1String(entry)) break;
      // Each placeholder of the translation takes the next value.
      QString shown;
      size_t next = 0;
      for (qsizetype i = 0; i < translated.size(); ++i) {
        const bool placeholder =
            translated[i] == QLatin1Char('%') && i + 1 < translated.size() &&
            (translated[i + 1] == QLatin1Char('s') || translated[i + 1] == QLatin1Char('d'));
        if (placeholder && next < values.size()) {
          shown += Excerpt(values[next++]);
          ++i;
        } else {
          shown += translated[i];
        }
      }
      return shown;
    }
  }
  // Untranslated, a message is shown as it stands, up to a length a message box can show at once.
  constexpr size_t kShownLimit = 4 * kValueExcerpt;
  if (text.size() > kShownLimit)
    return Excerpt(std::string_view(text).substr(0, kShownLimit)) + QStringLiteral("...");
  return MessageToQString(text);
}

std::span<const char* const> CoreTextCatalogue() { return kCatalogue; }

}  // namespace app
