// Parent-background painting: the themed call, or a copy of the parent's and
// the underlying siblings' own paints with shifted origins.
#include "controls/ParentBackground.h"

#include <vector>

#include "theme/UxTheme.h"

namespace lodo {

namespace {

// What stays the same over one walk through the parent and its children.
struct TCopyContext {
  TcxCanvas& Canvas;
  TControl* Control;
  bool WithSiblingWindows;
};

// Shifts the window origin so that the point (dx, dy) of what is painted next
// lands on the present origin.
void MoveWindowOrigin(HDC dc, int dx, int dy) {
  POINT origin{};
  GetWindowOrgEx(dc, &origin);
  SetWindowOrgEx(dc, origin.x - dx, origin.y - dy, nullptr);
}

// RestoreDC undoes origin and clip changes, also when a paint throws.
class TSavedDCGuard {
 public:
  explicit TSavedDCGuard(TcxCanvas& canvas) : FCanvas(canvas), FDepth(canvas.SavedDCCount()) { canvas.SaveDC(); }
  ~TSavedDCGuard() {
    if (Saved()) FCanvas.RestoreDC();
  }
  TSavedDCGuard(const TSavedDCGuard&) = delete;
  TSavedDCGuard& operator=(const TSavedDCGuard&) = delete;
  // False when the canvas had no device context to save.
  bool Saved() const { return FCanvas.SavedDCCount() > FDepth; }

 private:
  TcxCanvas& FCanvas;
  int FDepth;
};

// A sibling window's non-client border is not part of its WM_PAINT: draw it,
// then clip to and move into the client area inside it.
void CopyBorder(TWinControl* sibling, HDC dc) {
  HWND window = sibling->Handle();
  const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  UINT edge = 0;
  UINT flags = 0;
  if (exStyle & WS_EX_CLIENTEDGE) {
    edge = EDGE_SUNKEN;
    flags = BF_RECT | BF_ADJUST;
  } else if (style & WS_BORDER) {
    edge = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
    flags = BF_RECT | BF_ADJUST | BF_MONO;
  } else {
    return;
  }
  RECT inner{0, 0, sibling->Width(), sibling->Height()};
  DrawEdge(dc, &inner, edge, flags);
  // Logical coordinates; a DC without a clip region starts from the whole surface.
  IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  MoveWindowOrigin(dc, inner.left, inner.top);
}

// Paints c (the parent, or a sibling window) with its point (dx, dy) at the
// DC's present origin, for the part r of c's client area.
void PaintControlCopy(TWinControl* c, int dx, int dy, const RECT& r, const TCopyContext& context) {
  TSavedDCGuard saved(context.Canvas);
  if (!saved.Saved()) return;
  HDC dc = context.Canvas.DeviceContext();
  MoveWindowOrigin(dc, dx, dy);
  if (!RectVisible(dc, &r)) return;

  // The control paints into a DC other than its window's.
  const TScopedFlag paintCopy = c->ScopedState(csPaintCopy);
  if (c != context.Control->Parent()) CopyBorder(c, dc);
  {
    const TScopedFlag lock = context.Canvas.PlatformCanvas()->Locked();
    // Straight to the handler: wParam == lParam asks the background handler
    // to erase even a double-buffered control, since the DC is not its own.
    c->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  if (!context.WithSiblingWindows) return;

  // Bottom of the z-order first; those after the control lie above it. A copy,
  // since a paint could change the child list.
  const std::vector<TControl*> children = c->Controls();
  for (TControl* child : children) {
    if (child == context.Control) break;
    TWinControl* window = child->AsWinControl();
    if (!window || !window->Visible() || !window->HandleAllocated()) continue;
    PaintControlCopy(window, window->Left(), window->Top(), RECT{0, 0, window->Width(), window->Height()}, context);
  }
}

}  // namespace

void PaintThemedParentBackground(TWinControl* control, TcxCanvas& canvas, const RECT& rect) {
  const TWinControl* parent = control->Parent();
  if ((parent && parent->DoubleBuffered()) || !ThemeLibraryLoaded()) {
    // A double-buffered parent is copied: only the copy's erase with
    // wParam == lParam makes it paint into a DC that is not its own.
    PaintParentUnderControl(control, canvas, rect, false);
    return;
  }
  if (!control->HandleAllocated()) return;
  // The wrapper puts back the font that the parent's paint may select.
  DrawThemeParentBackground(control->Handle(), canvas.DeviceContext(), &rect);
}

void PaintParentUnderControl(TControl* control, TcxCanvas& canvas, const RECT& rect, bool withSiblingWindows) {
  TWinControl* parent = control->Parent();
  if (!parent) return;
  RECT inParent = rect;
  OffsetRect(&inParent, control->Left(), control->Top());
  PaintControlCopy(parent, -inParent.left, -inParent.top, inParent, TCopyContext{canvas, control, withSiblingWindows});
}

}  // namespace lodo
