// Painting what a control's parent shows under it into the control's own
// device context: through the visual-styles library, or by letting the parent
// (and the sibling windows beneath the control) paint themselves into it.
#pragma once
#include <windows.h>

#include "framework/WinControl.h"
#include "graphics/Canvas.h"

namespace lodo {

// The parent's themed background in rect (the control's client coordinates).
// A double-buffered parent, or a system without the visual-styles library,
// is copied with PaintParentUnderControl instead.
void PaintThemedParentBackground(TWinControl* control, TcxCanvas& canvas, const RECT& rect);

// Makes the parent erase and paint itself into canvas so that its picture
// lands under rect; with withSiblingWindows also the visible windowed siblings
// that lie beneath the control (those before it in the parent's child list),
// each with its border. Errors of those paints reach the caller, after the
// canvas's device-context state, lock and the paint-copy flags are restored.
void PaintParentUnderControl(TControl* control, TcxCanvas& canvas, const RECT& rect, bool withSiblingWindows);

}  // namespace lodo
