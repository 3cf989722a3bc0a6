#include "ui/Application.h"

#include <windows.h>

#include <algorithm>
#include <exception>

#include "platform/module.h"
#include "ui/Forms.h"

namespace ui {

TApplication& Application() {
  static TApplication app;
  return app;
}

TApplication::~TApplication() { DestroyForms(); }

void TApplication::Initialize() {
  terminated_ = false;
  threadId_ = GetCurrentThreadId();
}

void TApplication::AddForm(TForm* form) {
  forms_.push_back(form);
  if (!mainForm_) mainForm_ = form;
}

void TApplication::RemoveForm(TForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (form == mainForm_) mainForm_ = nullptr;
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) {
    TForm* form = forms_.back();
    forms_.pop_back();
    if (form == mainForm_) mainForm_ = nullptr;
    delete form;
  }
}

TForm* TApplication::MainForm() const { return mainForm_; }

std::string TApplication::Title() const {
  std::string name = plat::ModuleFileNameA(nullptr);
  name = name.substr(plat::ExtractFilePath(name).size());
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

void TApplication::Terminate() {
  // The flag ends Run even when a modal loop inside it (the system's move and size loop is
  // one) takes the quit message for itself and does not put it back; the message wakes a
  // loop that waits for messages.
  terminated_ = true;
  if (threadId_ && GetCurrentThreadId() != threadId_)
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
  else
    PostQuitMessage(0);
}

void TApplication::ShowException(const std::string& message) {
  MessageBoxA(GetActiveWindow(), message.c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException() {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("Unknown exception");
  }
}

void TApplication::Dispatch(MSG& msg) {
  try {
    bool handled = false;
    for (TApplicationEvents* events : std::vector<TApplicationEvents*>(events_)) {
      // A hook freed by an earlier one is skipped.
      if (std::find(events_.begin(), events_.end(), events) == events_.end()) continue;
      if (events->OnMessage) events->OnMessage(msg, handled);
      if (handled) return;
    }
    if (msg.hwnd && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)) {
      auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(GetAncestor(msg.hwnd, GA_ROOT)));
      if (form && form->PreviewKey(msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  } catch (...) {
    HandleException();
  }
}

bool TApplication::HandleMessage() {
  MSG msg;
  if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
    terminated_ = true;
    return false;
  }
  Dispatch(msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    Dispatch(msg);
  }
}

void TApplication::Run() {
  if (!threadId_) threadId_ = GetCurrentThreadId();
  if (!mainForm_ || terminated_) return;
  // A main window that cannot be shown (its window cannot be made) is reported, and the
  // program ends instead of waiting for a window that does not exist.
  try {
    mainForm_->Show();
  } catch (...) {
    HandleException();
    terminated_ = true;
    return;
  }
  while (!terminated_ && HandleMessage()) {
  }
}

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
  Application().events_.push_back(this);
}

TApplicationEvents::~TApplicationEvents() {
  auto& list = Application().events_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

}  // namespace ui
