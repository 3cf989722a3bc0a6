/* Skinelle.dll: the skin and resource library for host programs.
 *
 * The library keeps two tree documents, the skin and the resource document, loads each from
 * a binary tree document file (version 100) on request, answers typed lookups of single
 * values by backslash path ("Buttons\\Close\\Normal"), and tells registered listener windows
 * when a skin has been loaded or a transparency change is requested.
 *
 * Every export uses the stdcall convention and is exported by its plain name with a fixed
 * ordinal (see Skinelle.def). Boolean results are 32-bit: -1 true, 0 false. File names and
 * paths are zero-terminated UTF-16 strings; a null path finds nothing.
 *
 * Lookups copy the value bytes exactly as the node holds them, whatever the node's kind; the
 * name says what the caller expects. A lookup that fails (no node, a value too short for the
 * slot, a node without a heap value for the bitmap, stream and file lookups, a buffer that is
 * too small, a null slot) returns 0 and leaves every out-slot untouched. The address that a
 * bitmap, stream or file lookup hands out belongs to the library: never release it; it stays
 * valid until the next load of the same document that gets past its size test (a file of at
 * least 4 bytes, read completely) or until the library is unloaded.
 *
 * The library takes no lock: do not overlap a load with other calls on the same document, nor
 * change the listener list from two threads at once.
 */
#ifndef SKINELLE_H
#define SKINELLE_H

#include <stdint.h>

#if defined(_WIN32)
#define SKINELLE_CALL __stdcall
typedef wchar_t SkinelleChar;
#else
#define SKINELLE_CALL __attribute__((stdcall))
#if defined(__cplusplus)
typedef char16_t SkinelleChar;
#else
typedef uint16_t SkinelleChar;
#endif
#endif

/* The exported boolean. */
typedef int32_t SkinelleBool;
#define SKINELLE_TRUE ((SkinelleBool)-1)
#define SKINELLE_FALSE ((SkinelleBool)0)

#ifdef __cplusplus
extern "C" {
#endif

/* --- Skin document ------------------------------------------------------------------------ */

/* Loads the skin file. 0 when the file cannot be opened, cannot be read completely or is no
 * valid document (no listener is told then); -1 after a successful load, once every listener
 * has been sent its skin message (wParam 0, lParam 0), in registration order. */
SkinelleBool SKINELLE_CALL LoadSkinFile(const SkinelleChar* FileName);                  /* 25 */

/* Sends every listener its transparency message: wParam 1 when Enabled is non-zero, else 0;
 * lParam Transparency unchanged. */
void SKINELLE_CALL ChangeSkinTransparency(SkinelleBool Enabled, int32_t Transparency);   /* 24 */

/* Adds a listener window at the end of the list: -1; 0 when the window is already listed (its
 * first message numbers stay). */
SkinelleBool SKINELLE_CALL RegisterSkinListener(void* Handle, uint32_t SkinMsg,
                                                uint32_t TransparencyMsg);              /* 23 */
/* Removes the listener window; nothing happens when it is not listed. */
void SKINELLE_CALL UnRegisterSkinListener(void* Handle);                                /* 22 */

/* Bitmap, stream and file: *Data := the address of the value (null for an empty one),
 * *Size := its size in bytes. For nodes that keep their value on the heap (ANSI and wide
 * strings, binary values). */
SkinelleBool SKINELLE_CALL GetSkinBitmapByName(const SkinelleChar* Path, void** Data,
                                               int32_t* Size);                          /* 21 */
/* Copies exactly the value's bytes to Buffer, adding no terminator; 0 when they exceed
 * BufSize. */
SkinelleBool SKINELLE_CALL GetSkinStringByName(const SkinelleChar* Path, void* Buffer,
                                               uint32_t BufSize);                       /* 20 */
/* The leading 4 (8, 16) value bytes, unchanged. */
SkinelleBool SKINELLE_CALL GetSkinInt32ByName(const SkinelleChar* Path, int32_t* Value);   /* 19 */
SkinelleBool SKINELLE_CALL GetSkinUInt32ByName(const SkinelleChar* Path, uint32_t* Value); /* 18 */
SkinelleBool SKINELLE_CALL GetSkinFloatByName(const SkinelleChar* Path, float* Value);     /* 17 */
SkinelleBool SKINELLE_CALL GetSkinDoubleByName(const SkinelleChar* Path, double* Value);   /* 16 */
SkinelleBool SKINELLE_CALL GetSkinBoolByName(const SkinelleChar* Path, SkinelleBool* Value); /* 15 */
SkinelleBool SKINELLE_CALL GetSkinGUIDByName(const SkinelleChar* Path, void* Guid16);      /* 14 */
SkinelleBool SKINELLE_CALL GetSkinStreamByName(const SkinelleChar* Path, void** Data,
                                               int32_t* Size);                          /* 13 */
SkinelleBool SKINELLE_CALL GetSkinFileByName(const SkinelleChar* Path, void** Data,
                                             int32_t* Size);                            /* 12 */

/* --- Resource document: the same lookups; loading tells nobody ------------------------------ */

SkinelleBool SKINELLE_CALL LoadResFile(const SkinelleChar* FileName);                   /* 11 */
SkinelleBool SKINELLE_CALL GetResBitmapByName(const SkinelleChar* Path, void** Data,
                                              int32_t* Size);                           /* 10 */
SkinelleBool SKINELLE_CALL GetResStringByName(const SkinelleChar* Path, void* Buffer,
                                              uint32_t BufSize);                        /*  9 */
SkinelleBool SKINELLE_CALL GetResInt32ByName(const SkinelleChar* Path, int32_t* Value);    /*  8 */
SkinelleBool SKINELLE_CALL GetResUInt32ByName(const SkinelleChar* Path, uint32_t* Value);  /*  7 */
SkinelleBool SKINELLE_CALL GetResFloatByName(const SkinelleChar* Path, float* Value);      /*  6 */
SkinelleBool SKINELLE_CALL GetResDoubleByName(const SkinelleChar* Path, double* Value);    /*  5 */
SkinelleBool SKINELLE_CALL GetResBoolByName(const SkinelleChar* Path, SkinelleBool* Value); /*  4 */
SkinelleBool SKINELLE_CALL GetResGUIDByName(const SkinelleChar* Path, void* Guid16);       /*  3 */
SkinelleBool SKINELLE_CALL GetResStreamByName(const SkinelleChar* Path, void** Data,
                                              int32_t* Size);                           /*  2 */
SkinelleBool SKINELLE_CALL GetResFileByName(const SkinelleChar* Path, void** Data,
                                            int32_t* Size);                             /*  1 */

#ifdef __cplusplus
}
#endif

#endif /* SKINELLE_H */
