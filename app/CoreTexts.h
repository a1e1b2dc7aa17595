#pragma once
// The core's own texts in the user's language. The Qt-free core writes its
// messages, status texts and match-mode names in English; the window shows
// them through the translation catalogue of the context "core", which lists
// every such text once (CoreTexts.cpp) so that the translation template has
// them. A message built from a template ("Cannot open file \"%s\". %s") is
// recognised by its template and translated with its values kept.

#include <QString>
#include <span>
#include <string>

namespace app {

/// The text in the user's language; a text the catalogue does not know,
/// or one without a translation, is shown as it is.
QString CoreText(const std::string& text);

/// Every text of the catalogue, as the core writes it.
std::span<const char* const> CoreTextCatalogue();

}  // namespace app
