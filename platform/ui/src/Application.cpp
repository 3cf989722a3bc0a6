#include "ui/Application.h"

#include <windows.h>

#include "platform/module.h"
#include "ui/Forms.h"

namespace ui {

TApplication& Application() {
  static TApplication app;
  return app;
}

TApplication::~TApplication() { DestroyForms(); }

void TApplication::Initialize() { terminated_ = false; }

void TApplication::AddForm(TForm* form) {
  forms_.push_back(form);
  if (!mainForm_) mainForm_ = form;
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
  PostQuitMessage(0);
}

bool TApplication::HandleMessage() {
  MSG msg;
  if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
    terminated_ = true;
    return false;
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      terminated_ = true;
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void TApplication::Run() {
  if (!mainForm_) return;
  mainForm_->Show();
  while (!terminated_ && HandleMessage()) {
  }
}

}  // namespace ui
