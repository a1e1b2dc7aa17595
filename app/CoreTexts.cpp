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
    QT_TRANSLATE_NOOP("core", "Cannot open file \"%s\". %s"),
    QT_TRANSLATE_NOOP("core", "Cannot create file \"%s\". %s"),
    QT_TRANSLATE_NOOP("core", "Cannot read file \"%s\". %s"),
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

// Whether Text is Pattern with its placeholders filled in; the values go
// to Values in order. %s takes the shortest text that lets the rest match.
bool Matches(const char* pattern, const char* text, std::vector<std::string>& values) {
  while (*pattern != '\0') {
    if (pattern[0] == '%' && (pattern[1] == 's' || pattern[1] == 'd')) {
      const bool number = pattern[1] == 'd';
      const char* end = text;
      if (number) {
        if (*end == '-') ++end;
        const char* digits = end;
        while (std::isdigit(static_cast<unsigned char>(*end)) != 0) ++end;
        if (end == digits) return false;
        values.emplace_back(text, end);
        if (Matches(pattern + 2, end, values)) return true;
        values.pop_back();
        return false;
      }
      for (;; ++end) {
        values.emplace_back(text, end);
        if (Matches(pattern + 2, end, values)) return true;
        values.pop_back();
        if (*end == '\0') return false;
      }
    }
    if (*pattern != *text) return false;
    ++pattern;
    ++text;
  }
  return *text == '\0';
}

}  // namespace

QString CoreText(const std::string& text) {
  if (QCoreApplication::instance() != nullptr) {
    for (const char* entry : kCatalogue) {
      std::vector<std::string> values;
      if (!Matches(entry, text.c_str(), values)) continue;
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
          shown += MessageToQString(values[next++]);
          ++i;
        } else {
          shown += translated[i];
        }
      }
      return shown;
    }
  }
  return MessageToQString(text);
}

std::span<const char* const> CoreTextCatalogue() { return kCatalogue; }

}  // namespace app
