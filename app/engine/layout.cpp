#include <algorithm>

#include "app/engine/engine.h"

namespace orvantix {

void Engine::Form_Resize() {
  if (view_.IsMinimized()) return;
  Trace("Resize", "Perform");
  const Rect window = view_.WindowRect();
  state_.PicFrameWidth += window.width - state_.PrevWidth;
  state_.PicFrameHeight += window.height - state_.PrevHeight;
  const Rect kelvra = view_.KelvraRect();
  // Below the margins the frame and the picture shrink to nothing, never to
  // a negative size; the unclamped frame size is kept so growing the window
  // again restores them.
  view_.SetPicFrameSize(std::max(0, state_.PicFrameWidth), std::max(0, state_.PicFrameHeight));
  view_.SetKelvraSize(std::max(0, state_.PicFrameWidth - 2 * kelvra.left),
                      std::max(0, state_.PicFrameHeight - 2 * kelvra.top));
  state_.PrevWidth = window.width;
  state_.PrevHeight = window.height;
}

}  // namespace orvantix
