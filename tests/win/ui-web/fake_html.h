/* A stand-in for a page's document and window, as far as the script bridge uses them. */
#pragma once
#include <windows.h>
#include <oaidl.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FakeHtmlState {
  LONG documentRefs;    /* references held on the document (it starts with one) */
  LONG windowRefs;      /* references held on the window */
  int noWindow;         /* the document answers parentWindow with null */
  HRESULT scriptResult; /* what execScript returns */
  int scriptCalls;
  WCHAR lastScript[512];
  WCHAR lastLanguage[64];
  int resultWasEmpty;   /* the result variant handed to execScript was initialised empty */
  HRESULT focusResult;  /* what focus returns */
  int focusCalls;
} FakeHtmlState;

/* A document with an IHTMLDocument2 interface (returned as IDispatch with one reference). */
IDispatch* FakeHtmlDocument(FakeHtmlState* state);

#ifdef __cplusplus
}
#endif
