// The application object: the program's message loop and its main form.
#pragma once
#include <string>
#include <vector>

namespace ui {

class TForm;

class TApplication {
public:
  TApplication() = default;
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;
  ~TApplication();  // frees the forms it created, the last created first

  void Initialize();
  void ProcessMessages();          // handles every message waiting in the queue, returns
  void Run();                      // returns at once when there is no main form; else
                                   // shows it and loops until it closes
  void Terminate();                // ends Run; closing the main form calls it
  TForm* MainForm() const;

  bool Terminated() const { return terminated_; }
  // The caption of the plain message dialog: the program file's name without extension.
  std::string Title() const;

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

private:
  void AddForm(TForm* form);
  bool HandleMessage();  // waits for and handles one message; false on WM_QUIT

  std::vector<TForm*> forms_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
};

TApplication& Application();       // the one application object

}  // namespace ui
