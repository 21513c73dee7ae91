#include "platform/pasteboard/pasteboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace pasteboard {

std::optional<QString> generalPasteboardString() {
  const QMimeData* content = QGuiApplication::clipboard()->mimeData();
  if (!content || !content->hasText()) return std::nullopt;
  return content->text();
}

void setGeneralPasteboardString(const QString& text) { QGuiApplication::clipboard()->setText(text); }

}  // namespace pasteboard
