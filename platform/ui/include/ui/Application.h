// The application object: the program's message loop and its main form.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "ui/Controls.h"

namespace ui {

class TForm;
class TApplicationEvents;

class TApplication {
public:
  TApplication() = default;
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;
  ~TApplication();  // frees the forms it created, the last created first

  void Initialize();
  void ProcessMessages();          // handles every message waiting in the queue, returns
  void Run();                      // returns at once when there is no main form or the
                                   // application was told to terminate; else shows the
                                   // main form and loops until it closes
  void Terminate();                // ends Run; from any thread, inside any handler
  TForm* MainForm() const;

  bool Terminated() const { return terminated_; }
  // The caption of the plain message dialog: the program file's name without extension.
  std::string Title() const;

  // The main form carries the taskbar button itself (the toolkit has no separate application
  // window, so this only records the wish).
  bool MainFormOnTaskBar = true;

  // The standard error message box: the message, the application's title, an OK button.
  void ShowException(const std::string& message);
  // Inside a catch block: reports the exception being handled through ShowException. Event
  // handlers run by the toolkit's windows, timers and loop that throw end up here.
  void HandleException();

  // Creates a form owned by the application; the first form created becomes the main form.
  template <class T>
  T* CreateForm(T*& reference) {
    T* form = new T();
    reference = form;
    AddForm(form);
    return form;
  }

  // Frees every form the application created (also done by the destructor).
  void DestroyForms();
  // A form freeing itself (TForm::Release) leaves the application's list.
  void RemoveForm(TForm* form);

private:
  friend class TApplicationEvents;
  void AddForm(TForm* form);
  bool HandleMessage();        // waits for and handles one message; false on WM_QUIT
  void Dispatch(MSG& msg);     // the message hooks, key preview, then the window

  std::vector<TForm*> forms_;
  std::vector<TApplicationEvents*> events_;
  TForm* mainForm_ = nullptr;
  std::atomic<bool> terminated_{false};
  DWORD threadId_ = 0;         // the thread of the message loop
};

TApplication& Application();       // the one application object

using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;

// Sees every message that the application's loop takes from the queue, before it goes to its
// window; a handler that sets handled keeps it from the window.
class TApplicationEvents : public TComponent {
public:
  explicit TApplicationEvents(TComponent* owner);
  ~TApplicationEvents() override;

  TMessageEvent OnMessage;
};

}  // namespace ui
