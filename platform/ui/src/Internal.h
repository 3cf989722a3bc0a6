// Helpers shared by the toolkit's sources.
#pragma once
#include <windows.h>

namespace ui {

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
