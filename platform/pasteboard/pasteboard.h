#pragma once
// The general pasteboard: the text the person last copied in any program.
// Main thread only.

#include <QString>
#include <optional>

namespace pasteboard {

// The clipboard's text, or none when it holds no text.
std::optional<QString> generalPasteboardString();
void setGeneralPasteboardString(const QString& text);

}  // namespace pasteboard
