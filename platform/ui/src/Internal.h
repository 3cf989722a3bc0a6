// Helpers shared by the toolkit's sources.
#pragma once
#include <windows.h>

#include "ui/Graphics.h"

namespace ui {

// A canvas drawing on a device context for one scope: detached again on every path, so that
// its font leaves the context even when a paint handler throws.
class CanvasAttachment {
public:
  CanvasAttachment(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
  ~CanvasAttachment() { canvas_.SetHandle(nullptr); }
  CanvasAttachment(const CanvasAttachment&) = delete;
  CanvasAttachment& operator=(const CanvasAttachment&) = delete;

private:
  TCanvas& canvas_;
};

// Raises the toolkit's error for a window or window class (what) that the system refused to
// create, with the system's error code.
[[noreturn]] void RaiseWindowError(const char* what, const char* className);
// Registers a window class; one registered already counts. Raises the error above otherwise.
void RegisterClassOrRaise(const WNDCLASSA& wc);

// Registers the common controls (tooltips, status bar, progress bar) once.
void EnsureCommonControls();

// Makes a hidden window of its own class with proc as its procedure and data in its user
// data; message-only unless topLevel.
HWND MakeHiddenWindow(const char* className, WNDPROC proc, void* data, bool topLevel);

template <class T>
T* HiddenWindowData(HWND window) {
  return reinterpret_cast<T*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace ui
