// The system web-browser control hosted in a windowed control, and the small script bridge
// into the page it shows.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <functional>
#include <string>

#include "ui/Controls.h"

struct IWebBrowser2;
struct IHTMLWindow2;

namespace ui {

using TWebBeforeNavigate2Event =
    std::function<void(TObject* sender, const std::u16string& url, bool& cancel)>;
// ppDisp: the handler may store a dispatch interface there (for example another browser's
// DefaultInterface()) to have the new window opened in it; it stores it without AddRef, the
// control takes its own reference for the browser.
using TWebNewWindow2Event = std::function<void(TObject* sender, IDispatch** ppDisp, bool& cancel)>;
using TWebDocumentCompleteEvent = std::function<void(TObject* sender, const std::u16string& url)>;
using TWebProgressChangeEvent =
    std::function<void(TObject* sender, int progress, int progressMax)>;
using TWebStatusTextChangeEvent =
    std::function<void(TObject* sender, const std::u16string& text)>;

class TWebBrowserHost;  // the OLE site objects, inside the implementation

// A windowed control that embeds the system web-browser control. The browser object is
// created with the control (OLE must be initialised on the thread); when the system cannot
// create it the control stays empty and Navigate fails. The object is placed in the control's
// window while the window exists.
class TWebBrowser : public TWinControl {
public:
  explicit TWebBrowser(TComponent* owner);
  ~TWebBrowser() override;

  // Starts a navigation; raises plat::Exception when there is no browser object or the
  // browser refuses the call.
  void Navigate(const std::u16string& url);

  // The browser shows no dialog boxes of its own while Silent is on.
  bool Silent() const { return silent_; }
  void SetSilent(bool silent);

  // The current document, or null. The control holds the reference until the next call of
  // Document() or its own destruction; the caller does not release it.
  IDispatch* Document();
  // The browser object's own dispatch interface (null without a browser object); held by the
  // control for its whole life.
  IDispatch* DefaultInterface() const;
  IWebBrowser2* ControlInterface() const { return browser_; }
  // The failure code of the browser object's creation (S_OK when it exists).
  HRESULT CreateResult() const { return createResult_; }

  TWebBeforeNavigate2Event OnBeforeNavigate2;
  TWebNewWindow2Event OnNewWindow2;
  TWebDocumentCompleteEvent OnDocumentComplete;
  TWebProgressChangeEvent OnProgressChange;
  TWebStatusTextChangeEvent OnStatusTextChange;
  // The keyboard focus came into the control from another control of its window (not when
  // its window gets the focus back from another window).
  TNotifyEvent OnEnter;

  // Called by the host objects (the browser's events arrive through them).
  void BrowserFocusChanged();
  void CMFocusChanged() override;

protected:
  void CreateParams(TCreateParams& params) override;
  void WindowCreated() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  friend class TWebBrowserHost;
  void CreateBrowser();
  void DestroyBrowser();
  void Activate();
  void Deactivate();
  void PlaceBrowser();

  TWebBrowserHost* host_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IDispatch* document_ = nullptr;
  IConnectionPoint* point_ = nullptr;  // the browser's events
  DWORD cookie_ = 0;
  HRESULT createResult_ = E_FAIL;
  bool silent_ = false;
  bool active_ = false;
  bool focusInside_ = false;
};

// The script bridge. Each takes a document as the browser hands it out (IDispatch) and returns
// false, doing nothing, when the document has no IHTMLDocument2 interface or no parent window.
// DocumentParentWindow hands the window out with a reference the caller releases.
bool DocumentParentWindow(IDispatch* document, IHTMLWindow2** window);
// Runs a script in the document's window; the script's result is dropped. Raises
// plat::Exception when the window reports a failure of the script.
bool ExecScript(IDispatch* document, const std::u16string& script,
                const std::u16string& language);
// Gives the document's window the keyboard focus; raises plat::Exception when it refuses.
bool FocusDocumentWindow(IDispatch* document);

}  // namespace ui
