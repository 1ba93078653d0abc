// An owned image list, destroyed with its owner.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "framework/Gdi.h"

namespace lodo {

// A functor rather than the function's address as a template argument:
// comctl32 is delay-loaded, and the call must go through its thunk at run time.
struct TImageListDeleter {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};

using TImageListHandle = TOwnedHandle<HIMAGELIST, TImageListDeleter>;

}  // namespace lodo
