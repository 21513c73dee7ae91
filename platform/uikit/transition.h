#pragma once
// Transitions of a whole view: its children change at once and an overlay
// turns the old look into the new one. Main thread only.

#include <QWidget>
#include <functional>

namespace uikit {

enum class TransitionOption { FlipFromLeft, FlipFromRight, CurlUp, None };

// Runs `animations` before returning, so the view's children hold their new
// values at once, then animates from the old look to the new over `seconds`.
// The children stay interactive meanwhile. A transition started while another
// runs on the same view ends the earlier one first.
void transitionWithView(QWidget* view, double seconds, TransitionOption option,
                        const std::function<void()>& animations);
bool isTransitionRunning(const QWidget* view);

}  // namespace uikit
