#include "platform/uikit/image_named.h"

#include <QFile>
#include <QGuiApplication>
#include <QHash>

#include "platform/foundation/system_log.h"

namespace uikit {

namespace {

constexpr int kHighDensity = 2;
const QString kFolder = QStringLiteral(":/images/");
const QString kPng = QStringLiteral(".png");
const QString kHighDensitySuffix = QStringLiteral("@2x");

// The files that may hold `name`, the high-density one first when wanted.
QStringList candidates(const QString& name, bool highDensity) {
  QStringList files;
  const QString base = name.endsWith(kPng) ? name.chopped(kPng.size()) : name;
  if (highDensity) files << kFolder + base + kHighDensitySuffix + kPng;
  files << kFolder + name << kFolder + name + kPng;
  return files;
}

QPixmap load(const QString& name, bool highDensity) {
  for (const QString& file : candidates(name, highDensity)) {
    if (!QFile::exists(file)) continue;
    QPixmap image(file);
    if (image.isNull()) continue;
    if (file.contains(kHighDensitySuffix + kPng)) image.setDevicePixelRatio(kHighDensity);
    return image;
  }
  return {};
}

}  // namespace

QPixmap imageNamed(const QString& name) {
  static QHash<QString, QPixmap> cache;  // main thread only; missing images are kept as null
  const bool highDensity = qGuiApp && qGuiApp->devicePixelRatio() > 1;
  const QString key = name + (highDensity ? kHighDensitySuffix : QString());
  if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;
  const QPixmap image = name.isEmpty() ? QPixmap() : load(name, highDensity);
  if (image.isNull()) RP_LOG(QStringLiteral("no image named \"%1\"").arg(name).toStdString());
  cache.insert(key, image);
  return image;
}

}  // namespace uikit
