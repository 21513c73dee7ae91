#pragma once
// The toolkit's colours and font: one place for the look its widgets share.

#include <QColor>
#include <QFont>

namespace uikit::theme {

inline constexpr QColor kBlue{0x1d, 0x4e, 0x89};       // the application's blue
inline constexpr QColor kDarkBlue{0x16, 0x3d, 0x6b};   // bars, lower edge
inline constexpr QColor kLightBlue{0x2a, 0x5f, 0x9e};  // bars, upper edge
inline constexpr QColor kGreen{0x34, 0xc7, 0x59};      // "on"
inline constexpr QColor kBackground{247, 247, 247};    // screens
inline constexpr QColor kHairline{199, 199, 204};      // light borders
inline constexpr QColor kPressedFill{214, 228, 245};   // a pressed light button

inline constexpr int kScreenWidth = 320;  // the phone held upright, in points
inline constexpr double kDisabledOpacity = 0.4;
inline constexpr int kAnimationMilliseconds = 250;

// DejaVu Sans, the one font the application ships with, at `pixelSize` points.
inline QFont font(int pixelSize, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

}  // namespace uikit::theme
