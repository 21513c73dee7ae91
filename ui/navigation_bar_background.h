#pragma once
// An image behind a navigation bar's content, found again by its tag. Main thread only.

class QPixmap;
class QWidget;

// Puts `image`, stretched to the bar's size, behind the bar's other children;
// a null image does nothing.
void setNavigationBarBackgroundImage(QWidget& bar, const QPixmap& image, int tag);
// Sends the bar's child with `tag` behind the others again.
void resetNavigationBarBackground(QWidget& bar, int tag);
