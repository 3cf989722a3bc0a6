#include "ui/OleCtrls.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ocidl.h>
#include <olectl.h>

#include "platform/except.h"
#include "ui/Application.h"

namespace ui {

namespace {

// A BSTR for the length of a UTF-16 text, freed with the holder.
class TBStr {
public:
  explicit TBStr(const std::u16string& text)
      : value_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                 static_cast<UINT>(text.size()))) {}
  ~TBStr() { SysFreeString(value_); }
  TBStr(const TBStr&) = delete;
  TBStr& operator=(const TBStr&) = delete;
  BSTR get() const { return value_; }

private:
  BSTR value_;
};

std::u16string FromBStr(BSTR text) {
  if (!text) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
}

// An event argument, looking through a by-reference variant.
const VARIANT* Deref(const VARIANT& v) {
  if (V_VT(&v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&v)) return V_VARIANTREF(&v);
  return &v;
}

std::u16string VariantText(const VARIANT& arg) {
  const VARIANT* v = Deref(arg);
  if (V_VT(v) == VT_BSTR) return FromBStr(V_BSTR(v));
  if (V_VT(v) == (VT_BYREF | VT_BSTR)) return V_BSTRREF(v) ? FromBStr(*V_BSTRREF(v)) : u"";
  VARIANT text;
  VariantInit(&text);
  std::u16string result;
  if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(v), 0, VT_BSTR)))
    result = FromBStr(V_BSTR(&text));
  VariantClear(&text);
  return result;
}

int VariantInt(const VARIANT& arg) {
  const VARIANT* v = Deref(arg);
  if (V_VT(v) == VT_I4) return V_I4(v);
  VARIANT number;
  VariantInit(&number);
  int result = 0;
  if (SUCCEEDED(VariantChangeType(&number, const_cast<VARIANT*>(v), 0, VT_I4)))
    result = V_I4(&number);
  VariantClear(&number);
  return result;
}

// The by-reference Boolean of an event (Cancel), or null.
VARIANT_BOOL* BoolRef(const VARIANT& arg) {
  const VARIANT* v = Deref(arg);
  if (V_VT(v) == (VT_BYREF | VT_BOOL)) return V_BOOLREF(v);
  return nullptr;
}

template <class T>
void SafeRelease(T*& p) {
  if (p) {
    T* q = p;
    p = nullptr;
    q->Release();
  }
}

// A hidden window that keeps the browser's own window while the control has none, so that
// the browser's window outlives a re-creation of the control's window (re-parenting).
HWND ParkingWindow() {
  static HWND parking = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
  return parking;
}

}  // namespace

// The site of one browser object: client site, in-place site and frame, control site and the
// sink of the browser's events. Reference counted; the control holds one reference and
// detaches itself before letting it go, so that late calls from the browser find no control.
class TWebBrowserHost : public IOleClientSite,
                        public IOleInPlaceSite,
                        public IOleInPlaceFrame,
                        public IOleControlSite,
                        public IDispatch {
public:
  explicit TWebBrowserHost(TWebBrowser* owner) : owner_(owner) {}
  void Detach() { owner_ = nullptr; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
      *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IOleControlSite)
      *out = static_cast<IOleControlSite*>(this);
    else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
      *out = static_cast<IDispatch*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame)
  STDMETHODIMP GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = owner_ && owner_->HandleAllocated() ? owner_->Handle() : nullptr;
    return *window ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override {
    return owner_ && owner_->HandleAllocated() ? S_OK : S_FALSE;
  }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override {
    if (owner_) owner_->BrowserFocusChanged();
    return S_OK;
  }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) override {
    if (frame) {
      *frame = static_cast<IOleInPlaceFrame*>(this);
      AddRef();
    }
    if (document) *document = nullptr;
    RECT r = {0, 0, 0, 0};
    if (owner_) r = owner_->ClientRect();
    if (position) *position = r;
    if (clip) *clip = r;
    if (info) {
      info->cb = sizeof(OLEINPLACEFRAMEINFO);
      info->fMDIApp = FALSE;
      info->hwndFrame = owner_ && owner_->HandleAllocated()
                            ? GetAncestor(owner_->Handle(), GA_ROOT)
                            : nullptr;
      info->haccel = nullptr;
      info->cAccelEntries = 0;
    }
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow, IOleInPlaceFrame: no tool space, menus or accelerators of our own.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** control) override {
    if (control) *control = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL) override {
    if (owner_) owner_->BrowserFocusChanged();
    return S_OK;
  }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

  // IDispatch: the browser's events.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                      EXCEPINFO*, UINT*) override {
    // The browser also asks its site for ambient properties here; we set none.
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!owner_ || !params) return S_OK;
    AddRef();  // a handler may free the control
    // What a handler lets escape must not unwind into the browser: it is reported like any
    // other event handler's failure.
    try {
      Dispatch(id, *params);
    } catch (...) {
      Application().HandleException();
    }
    Release();
    return S_OK;
  }

private:
  virtual ~TWebBrowserHost() = default;

  void Dispatch(DISPID id, const DISPPARAMS& p) {
    TWebBrowser* b = owner_;
    const VARIANT* a = p.rgvarg;  // the arguments, last first
    UINT n = p.cArgs;
    switch (id) {
      case DISPID_BEFORENAVIGATE2:  // pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel
        if (n >= 7 && b->OnBeforeNavigate2) {
          VARIANT_BOOL* cancelRef = BoolRef(a[0]);
          bool cancel = cancelRef && *cancelRef != VARIANT_FALSE;
          b->OnBeforeNavigate2(b, VariantText(a[5]), cancel);
          if (cancelRef) *cancelRef = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        break;
      case DISPID_NEWWINDOW2:  // ppDisp, Cancel
        if (n >= 2 && b->OnNewWindow2) {
          const VARIANT* target = Deref(a[1]);
          IDispatch** slot =
              V_VT(target) == (VT_BYREF | VT_DISPATCH) ? V_DISPATCHREF(target) : nullptr;
          VARIANT_BOOL* cancelRef = BoolRef(a[0]);
          bool cancel = cancelRef && *cancelRef != VARIANT_FALSE;
          IDispatch* before = slot ? *slot : nullptr;
          IDispatch* chosen = before;
          b->OnNewWindow2(b, &chosen, cancel);
          if (slot && chosen != before) {
            if (chosen) chosen->AddRef();
            if (before) before->Release();
            *slot = chosen;
          }
          if (cancelRef) *cancelRef = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        break;
      case DISPID_DOCUMENTCOMPLETE:  // pDisp, URL
        if (n >= 2 && b->OnDocumentComplete) b->OnDocumentComplete(b, VariantText(a[0]));
        break;
      case DISPID_PROGRESSCHANGE:  // Progress, ProgressMax
        if (n >= 2 && b->OnProgressChange)
          b->OnProgressChange(b, VariantInt(a[1]), VariantInt(a[0]));
        break;
      case DISPID_STATUSTEXTCHANGE:  // Text
        if (n >= 1 && b->OnStatusTextChange) b->OnStatusTextChange(b, VariantText(a[0]));
        break;
    }
  }

  TWebBrowser* owner_;
  ULONG refs_ = 1;
};

// --- TWebBrowser ----------------------------------------------------------------------

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {
  TabStop = true;
  SetColor(clWindow);
  CreateBrowser();
}

TWebBrowser::~TWebBrowser() {
  DestroyBrowser();
  DestroyWnd();
}

void TWebBrowser::CreateBrowser() {
  host_ = new TWebBrowserHost(this);
  IOleObject* object = nullptr;
  createResult_ = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IOleObject, reinterpret_cast<void**>(&object));
  if (FAILED(createResult_)) return;
  object->SetClientSite(static_cast<IOleClientSite*>(host_));
  createResult_ = object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
  if (SUCCEEDED(createResult_)) {
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(object->QueryInterface(IID_IConnectionPointContainer,
                                         reinterpret_cast<void**>(&container)))) {
      IConnectionPoint* point = nullptr;
      if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
        if (FAILED(point->Advise(static_cast<IDispatch*>(host_), &cookie_))) cookie_ = 0;
        point_ = point;
      }
      container->Release();
    }
  } else {
    object->SetClientSite(nullptr);
  }
  object->Release();
}

void TWebBrowser::DestroyBrowser() {
  Deactivate();
  if (point_) {
    if (cookie_) point_->Unadvise(cookie_);
    cookie_ = 0;
    SafeRelease(point_);
  }
  SafeRelease(document_);
  if (browser_) {
    IOleObject* object = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)))) {
      object->Close(OLECLOSE_NOSAVE);
      object->SetClientSite(nullptr);
      object->Release();
    }
    SafeRelease(browser_);
  }
  if (host_) {
    host_->Detach();
    host_->Release();
    host_ = nullptr;
  }
}

void TWebBrowser::Activate() {
  if (active_ || !browser_ || !HandleAllocated()) return;
  IOleObject* object = nullptr;
  if (FAILED(browser_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object))))
    return;
  RECT r = ClientRect();
  HRESULT hr = object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                              static_cast<IOleClientSite*>(host_), 0, Handle(), &r);
  object->Release();
  active_ = SUCCEEDED(hr);
  if (active_) PlaceBrowser();
}

void TWebBrowser::Deactivate() {
  if (!active_) return;
  active_ = false;
  IOleInPlaceObject* inPlace = nullptr;
  if (browser_ && SUCCEEDED(browser_->QueryInterface(IID_IOleInPlaceObject,
                                                     reinterpret_cast<void**>(&inPlace)))) {
    HWND own = nullptr;
    if (SUCCEEDED(inPlace->GetWindow(&own)) && own && IsWindow(own)) {
      ShowWindow(own, SW_HIDE);
      ::SetParent(own, ParkingWindow());
    }
    inPlace->InPlaceDeactivate();
    inPlace->Release();
  }
}

void TWebBrowser::PlaceBrowser() {
  if (!active_ || !browser_) return;
  IOleInPlaceObject* inPlace = nullptr;
  if (FAILED(browser_->QueryInterface(IID_IOleInPlaceObject,
                                      reinterpret_cast<void**>(&inPlace))))
    return;
  RECT r = ClientRect();
  inPlace->SetObjectRects(&r, &r);
  inPlace->Release();
}

void TWebBrowser::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.Style |= WS_TABSTOP;
}

void TWebBrowser::WindowCreated() { Activate(); }

LRESULT TWebBrowser::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DESTROY:
      // The browser's windows are children of ours: take them away while they still exist.
      Deactivate();
      break;
    case WM_SIZE: {
      LRESULT result = TWinControl::WndProc(message, wParam, lParam);
      PlaceBrowser();
      return result;
    }
    case WM_SETFOCUS: {
      LRESULT result = TWinControl::WndProc(message, wParam, lParam);
      BrowserFocusChanged();
      return result;
    }
    case WM_ERASEBKGND:
      if (active_) return 1;  // the browser covers the whole client area
      break;
  }
  return TWinControl::WndProc(message, wParam, lParam);
}

void TWebBrowser::Navigate(const std::u16string& url) {
  if (!browser_)
    throw plat::Exception(
        plat::Format("The web browser could not be created (0x%08lX)",
                     static_cast<unsigned long>(createResult_)));
  TBStr address(url);
  VARIANT empty;
  VariantInit(&empty);
  HRESULT hr = browser_->Navigate(address.get(), &empty, &empty, &empty, &empty);
  if (FAILED(hr))
    throw plat::Exception(
        plat::Format("Navigation failed (0x%08lX)", static_cast<unsigned long>(hr)));
}

void TWebBrowser::SetSilent(bool silent) {
  silent_ = silent;
  if (browser_) browser_->put_Silent(silent ? VARIANT_TRUE : VARIANT_FALSE);
}

IDispatch* TWebBrowser::Document() {
  SafeRelease(document_);
  if (browser_ && FAILED(browser_->get_Document(&document_))) document_ = nullptr;
  return document_;
}

IDispatch* TWebBrowser::DefaultInterface() const { return browser_; }

void TWebBrowser::BrowserFocusChanged() {
  if (!HandleAllocated()) return;
  HWND self = Handle();
  HWND focus = GetFocus();
  // The focus in another top-level window (or in none) leaves the control as its window's
  // focused control: coming back to the window is no new entry.
  if (!focus || GetAncestor(focus, GA_ROOT) != GetAncestor(self, GA_ROOT)) return;
  bool inside = focus == self || IsChild(self, focus);
  bool entered = inside && !focusInside_;
  focusInside_ = inside;
  if (entered && OnEnter) OnEnter(this);
}

void TWebBrowser::CMFocusChanged() {
  BrowserFocusChanged();
  TWinControl::CMFocusChanged();
}

// --- the script bridge -----------------------------------------------------------------

bool DocumentParentWindow(IDispatch* document, IHTMLWindow2** window) {
  if (!window) return false;
  *window = nullptr;
  if (!document) return false;
  IHTMLDocument2* html = nullptr;
  if (FAILED(document->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&html))) ||
      !html)
    return false;
  HRESULT hr = html->get_parentWindow(window);
  html->Release();
  if (FAILED(hr) || !*window) {
    *window = nullptr;
    return false;
  }
  return true;
}

bool ExecScript(IDispatch* document, const std::u16string& script,
                const std::u16string& language) {
  IHTMLWindow2* window = nullptr;
  if (!DocumentParentWindow(document, &window)) return false;
  TBStr code(script), lang(language);
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = window->execScript(code.get(), lang.get(), &result);
  VariantClear(&result);
  window->Release();
  if (FAILED(hr))
    throw plat::Exception(
        plat::Format("The script failed (0x%08lX)", static_cast<unsigned long>(hr)));
  return true;
}

bool FocusDocumentWindow(IDispatch* document) {
  IHTMLWindow2* window = nullptr;
  if (!DocumentParentWindow(document, &window)) return false;
  HRESULT hr = window->focus();
  window->Release();
  if (FAILED(hr))
    throw plat::Exception(plat::Format("The page window cannot take the focus (0x%08lX)",
                                       static_cast<unsigned long>(hr)));
  return true;
}

}  // namespace ui
