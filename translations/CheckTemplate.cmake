# Run by the test app_translations (cmake -P):
#   -DSOURCE_DIR=<the sources> -DBUILT_TS=<the template the build made>
#   -DCOMMITTED_TS=<translations/QuillcrafterJourneymanDiff.ts>
# Fails when a text of the main window bypasses tr(), when the template lacks
# the window's texts or carries translations, or when the committed copy
# is older than the sources.

cmake_policy(VERSION 3.16)
set(failures "")

# 1. The window's own literals: whatever is not a translated text must be a
#    settings key, an object name, a file suffix, a font or a pure format.
set(allowed "qcp" ".qcp" "MS Sans Serif" "%1 (%2)" "%1\\t%2\\n" ", " "  \\u2194  " "&%1 %2")
file(STRINGS ${SOURCE_DIR}/app/QuillcrafterDiffMain.cpp lines)
foreach(line IN LISTS lines)
  if(line MATCHES "setObjectName\\(|Key = QStringLiteral\\(")
    continue()
  endif()
  string(REGEX MATCHALL "(QStringLiteral|QLatin1String|QString::fromLatin1)\\(\"[^\"]*\"\\)" found "${line}")
  foreach(literal IN LISTS found)
    string(REGEX REPLACE "^[^\"]*\"(.*)\"\\)$" "\\1" text "${literal}")
    if(NOT text IN_LIST allowed)
      string(APPEND failures "  not through tr(): ${literal}\n")
    endif()
  endforeach()
endforeach()

# 2. The template has the texts of the menus, the dialogs, the panels and
#    the messages, in both contexts, and no translation yet.
if(NOT EXISTS ${BUILT_TS})
  message(FATAL_ERROR "The build made no translation template: ${BUILT_TS}")
endif()
file(READ ${BUILT_TS} built)
foreach(
  wanted IN
  ITEMS "<name>app::TfrmMain</name>"
        "<name>app</name>"
        "<source>&amp;Open Files...</source>"
        "<source>Open &amp;Recent</source>"
        "<source>Open Latest Quillcrafter File</source>"
        "<source>Identical Text Topics:</source>"
        "<source>Copy ENTIRE Topic from History to Latest</source>"
        "<source>The Latest topic&apos;s text</source>"
        "<source>identical text</source>"
        "<source>Quillcrafter File (*.qcp)|*.qcp</source>"
        "<source>%1 has changed on disk. Read it again?</source>"
        "<source>Save changes to %1?</source>"
        "<source>Unknown error</source>"
        "<source>Unknown match mode: %1\n</source>"
        "sourcelanguage=\"en\"")
  string(FIND "${built}" "${wanted}" at)
  if(at EQUAL -1)
    string(APPEND failures "  the template lacks ${wanted}\n")
  endif()
endforeach()
string(REGEX MATCHALL "<translation[^>]*>[^<]+</translation>" translated "${built}")
if(translated)
  string(APPEND failures "  the template carries translations: ${translated}\n")
endif()

# 3. The committed copy is the one the sources make.
if(NOT EXISTS ${COMMITTED_TS})
  string(APPEND failures "  ${COMMITTED_TS} is missing: run `make translations`\n")
else()
  file(READ ${COMMITTED_TS} committed)
  if(NOT committed STREQUAL built)
    string(APPEND failures "  ${COMMITTED_TS} is out of date: run `make translations`\n")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "Translation template check failed:\n${failures}")
endif()
message(STATUS "The window's texts are all translatable and the template is current")
