#include "platform/device/screen.h"

namespace device {

namespace {

constexpr QSizeF kPhoneScreenSize{320, 480};
constexpr double kPhoneScreenScale = 1.0;

QSizeF screenSize = kPhoneScreenSize;
double screenScale = kPhoneScreenScale;

}  // namespace

QSizeF mainScreenSize() { return screenSize; }
double mainScreenScale() { return screenScale; }

void setMainScreen(QSizeF size, double scale) {
  screenSize = size;
  screenScale = scale;
}

}  // namespace device
