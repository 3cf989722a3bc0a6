/* Written against the C view of the interfaces: only the methods the bridge calls exist;
   any other call would be a fault of the bridge and crashes the test. */
#define CINTERFACE
#define COBJMACROS
#include "fake_html.h"

#include <mshtml.h>
#include <string.h>

typedef struct {
  IHTMLWindow2 iface;
  FakeHtmlState* state;
} FakeWindow;

typedef struct {
  IHTMLDocument2 iface;
  FakeHtmlState* state;
  FakeWindow window;
} FakeDocument;

static void CopyText(WCHAR* to, size_t size, BSTR from) {
  size_t n = from ? SysStringLen(from) : 0;
  if (n >= size) n = size - 1;
  if (n) memcpy(to, from, n * sizeof(WCHAR));
  to[n] = 0;
}

/* --- window --- */

static HRESULT STDMETHODCALLTYPE WinQueryInterface(IHTMLWindow2* self, REFIID iid, void** out) {
  if (IsEqualIID(iid, &IID_IUnknown) || IsEqualIID(iid, &IID_IDispatch) ||
      IsEqualIID(iid, &IID_IHTMLWindow2)) {
    *out = self;
    IHTMLWindow2_AddRef(self);
    return S_OK;
  }
  *out = NULL;
  return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE WinAddRef(IHTMLWindow2* self) {
  return ++((FakeWindow*)self)->state->windowRefs;
}
static ULONG STDMETHODCALLTYPE WinRelease(IHTMLWindow2* self) {
  return --((FakeWindow*)self)->state->windowRefs;
}
static HRESULT STDMETHODCALLTYPE WinExecScript(IHTMLWindow2* self, BSTR code, BSTR language,
                                               VARIANT* result) {
  FakeHtmlState* s = ((FakeWindow*)self)->state;
  s->scriptCalls++;
  CopyText(s->lastScript, sizeof s->lastScript / sizeof(WCHAR), code);
  CopyText(s->lastLanguage, sizeof s->lastLanguage / sizeof(WCHAR), language);
  s->resultWasEmpty = result && V_VT(result) == VT_EMPTY;
  if (result && SUCCEEDED(s->scriptResult)) {
    /* a result the caller has to free */
    V_VT(result) = VT_BSTR;
    V_BSTR(result) = SysAllocString(L"done");
  }
  return s->scriptResult;
}
static HRESULT STDMETHODCALLTYPE WinFocus(IHTMLWindow2* self) {
  ((FakeWindow*)self)->state->focusCalls++;
  return ((FakeWindow*)self)->state->focusResult;
}

static IHTMLWindow2Vtbl windowVtbl = {
    .QueryInterface = WinQueryInterface,
    .AddRef = WinAddRef,
    .Release = WinRelease,
    .focus = WinFocus,
    .execScript = WinExecScript,
};

/* --- document --- */

static HRESULT STDMETHODCALLTYPE DocQueryInterface(IHTMLDocument2* self, REFIID iid,
                                                   void** out) {
  if (IsEqualIID(iid, &IID_IUnknown) || IsEqualIID(iid, &IID_IDispatch) ||
      IsEqualIID(iid, &IID_IHTMLDocument2)) {
    *out = self;
    IHTMLDocument2_AddRef(self);
    return S_OK;
  }
  *out = NULL;
  return E_NOINTERFACE;
}
static ULONG STDMETHODCALLTYPE DocAddRef(IHTMLDocument2* self) {
  return ++((FakeDocument*)self)->state->documentRefs;
}
static ULONG STDMETHODCALLTYPE DocRelease(IHTMLDocument2* self) {
  return --((FakeDocument*)self)->state->documentRefs;
}
static HRESULT STDMETHODCALLTYPE DocParentWindow(IHTMLDocument2* self, IHTMLWindow2** window) {
  FakeDocument* d = (FakeDocument*)self;
  if (d->state->noWindow) {
    *window = NULL;
    return S_OK;
  }
  *window = &d->window.iface;
  IHTMLWindow2_AddRef(*window);
  return S_OK;
}

static IHTMLDocument2Vtbl documentVtbl = {
    .QueryInterface = DocQueryInterface,
    .AddRef = DocAddRef,
    .Release = DocRelease,
    .get_parentWindow = DocParentWindow,
};

IDispatch* FakeHtmlDocument(FakeHtmlState* state) {
  static FakeDocument doc;
  doc.iface.lpVtbl = &documentVtbl;
  doc.state = state;
  doc.window.iface.lpVtbl = &windowVtbl;
  doc.window.state = state;
  state->documentRefs = 1;
  state->windowRefs = 0;
  return (IDispatch*)&doc.iface;
}
