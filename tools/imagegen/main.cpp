// Draws the application's images into the folder given as the one argument:
// the navigation bar's background "topBar" (and its double-density twin), the
// table header tile "table-header.png" and the application icon at the sizes
// the desktop asks for.
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr QColor kBarTop{0x2a, 0x5f, 0x9e};
constexpr QColor kBarBottom{0x16, 0x3d, 0x6b};
constexpr QColor kBarTopLine{0x55, 0x86, 0xc0};
constexpr QColor kBarBottomLine{0x0c, 0x26, 0x45};
constexpr QSize kBarSize{320, 44};

constexpr QSize kHeaderTile{16, 4};
constexpr QColor kHeaderLine{226, 226, 226};
constexpr QColor kHeaderFill{236, 236, 236};

// The icon's motif, measured on its 114-pixel original.
constexpr double kIconDesign = 114;
constexpr double kIconCorner = 20;
constexpr double kIconGlyphSize = 64;
constexpr double kIconSignInset = 12;
constexpr double kIconSignStroke = 9;
constexpr double kIconBarInset = 30;
constexpr QColor kIconBlue{0x1d, 0x4e, 0x89};
constexpr QColor kIconRed{0xe0, 0x31, 0x31};
constexpr int kIconSizes[] = {48, 64, 128, 256};
const char* const kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

QImage canvas(QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// The bar: a vertical blue gradient with a lighter line on top and a darker one
// at the bottom, each one point high, drawn at `scale` pixels per point.
QImage topBar(int scale) {
  QImage image = canvas(kBarSize * scale);
  QPainter painter(&image);
  painter.scale(scale, scale);
  QLinearGradient gradient(0, 0, 0, kBarSize.height());
  gradient.setColorAt(0, kBarTop);
  gradient.setColorAt(1, kBarBottom);
  painter.fillRect(QRect(QPoint(0, 0), kBarSize), gradient);
  painter.fillRect(QRect(0, 0, kBarSize.width(), 1), kBarTopLine);
  painter.fillRect(QRect(0, kBarSize.height() - 1, kBarSize.width(), 1), kBarBottomLine);
  return image;
}

// One period of fine horizontal lines; repeats without seams both ways.
QImage tableHeader() {
  QImage image = canvas(kHeaderTile);
  QPainter painter(&image);
  painter.fillRect(image.rect(), kHeaderFill);
  painter.fillRect(QRect(0, 0, kHeaderTile.width(), 1), kHeaderLine);
  return image;
}

// A handset under a red "no" sign on a rounded blue tile.
QImage icon(int side, const QString& fontFamily) {
  QImage image = canvas(QSize(side, side));
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(side / kIconDesign, side / kIconDesign);
  const QRectF tile(0, 0, kIconDesign, kIconDesign);
  QPainterPath rounded;
  rounded.addRoundedRect(tile, kIconCorner, kIconCorner);
  painter.fillPath(rounded, kIconBlue);

  QFont font(fontFamily);
  font.setPixelSize(int(kIconGlyphSize));
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(tile, Qt::AlignCenter, QString(QChar(0x260E)));

  painter.setPen(QPen(kIconRed, kIconSignStroke, Qt::SolidLine, Qt::FlatCap));
  painter.setBrush(Qt::NoBrush);
  const double radius = kIconDesign / 2 - kIconSignInset;
  painter.drawEllipse(tile.center(), radius, radius);
  painter.drawLine(QPointF(kIconBarInset, kIconBarInset),
                   QPointF(kIconDesign - kIconBarInset, kIconDesign - kIconBarInset));
  return image;
}

bool save(const QImage& image, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  if (image.save(path)) return true;
  std::fprintf(stderr, "imagegen: could not write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: imagegen OUTPUT_FOLDER\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  const int fontId = QFontDatabase::addApplicationFont(kFontFile);
  if (fontId < 0) {
    std::fprintf(stderr, "imagegen: %s is missing (fonts-dejavu-core)\n", kFontFile);
    return 1;
  }
  const QString family = QFontDatabase::applicationFontFamilies(fontId).value(0);

  bool written = save(topBar(1), folder, "topBar.png") && save(topBar(2), folder, "topBar@2x.png") &&
                 save(tableHeader(), folder, "table-header.png");
  for (const int side : kIconSizes) {
    written = written && save(icon(side, family), folder, QStringLiteral("AppIcon-%1.png").arg(side));
  }
  return written ? 0 : 1;
}
