// What the skin and the resource document have in common: loading a document from a file and
// the typed lookups. uSkinManage and uResourceManage each serve their own document through
// these, so both sets of exports behave alike.
#pragma once
#include <cstdint>

#include "BinaryTreeDocument100.h"
#include "Skinelle.h"

namespace skinelle {

using bintree::TBinaryTreeDocument100;

constexpr int32_t kTrue = -1;
constexpr int32_t kFalse = 0;

// The UTF-16 text of a file name or path passed by a host.
inline const char16_t* PathText(const SkinelleChar* text) {
  return reinterpret_cast<const char16_t*>(text);
}

// Reports the error being handled (call it only inside a catch block): the message of a
// standard exception, "Unknown error" for anything else, goes to the debugger output.
void ReportCurrentError() noexcept;

// Loads doc from the file: -1 on success; 0 when the name is null, the file cannot be opened
// (nothing else happens then), its size is below 4 bytes, above 2 GB or unknown ("Invalid
// Binary Tree Document", checked before anything is allocated) or it delivers fewer bytes
// than its size (the document is not touched in these cases), or the document rejects the
// image (the document is left as its loader leaves it). Every error is reported as
// ReportCurrentError does. The file is closed before return.
int32_t LoadDocumentFile(TBinaryTreeDocument100* doc, const char16_t* fileName);

// The lookups. A null path counts as an empty one. Each returns -1 on success and 0 when
// nothing is found or the node's value cannot serve the request, leaving the out-slots as
// they were; an error inside is caught, its message goes to the debugger output, result 0.

// Bitmap, stream and file: the node's own heap value and its size. A node that keeps no heap
// value (directory and fixed-width kinds) gives 0; an empty one gives -1, nullptr and 0.
int32_t LookupHeapValue(const TBinaryTreeDocument100* doc, const char16_t* path, void** data,
                        int32_t* size);
// String: copies exactly ValueSize bytes to buffer when they fit into bufSize.
int32_t LookupString(const TBinaryTreeDocument100* doc, const char16_t* path, void* buffer,
                     uint32_t bufSize);
// Numbers, booleans and GUIDs: the leading count bytes of the value, unchanged. A node whose
// value is shorter than count gives 0.
int32_t LookupBytes(const TBinaryTreeDocument100* doc, const char16_t* path, void* slot,
                    uint32_t count);

}  // namespace skinelle

// Defines the ten lookup exports of one document, Get<Which>BitmapByName to
// Get<Which>FileByName, each serving `document` (a TBinaryTreeDocument100*).
#define SKINELLE_LOOKUP_EXPORTS(Which, document)                                              \
  extern "C" {                                                                              \
  SkinelleBool SKINELLE_CALL Get##Which##BitmapByName(const SkinelleChar* Path, void** Data, \
                                                      int32_t* Size) {                      \
    return ::skinelle::LookupHeapValue(document, ::skinelle::PathText(Path), Data, Size);    \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##StringByName(const SkinelleChar* Path, void* Buffer, \
                                                      uint32_t BufSize) {                   \
    return ::skinelle::LookupString(document, ::skinelle::PathText(Path), Buffer, BufSize); \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##Int32ByName(const SkinelleChar* Path,              \
                                                     int32_t* Value) {                      \
    return ::skinelle::LookupBytes(document, ::skinelle::PathText(Path), Value, 4);          \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##UInt32ByName(const SkinelleChar* Path,             \
                                                      uint32_t* Value) {                    \
    return ::skinelle::LookupBytes(document, ::skinelle::PathText(Path), Value, 4);          \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##FloatByName(const SkinelleChar* Path, float* Value) { \
    return ::skinelle::LookupBytes(document, ::skinelle::PathText(Path), Value, 4);          \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##DoubleByName(const SkinelleChar* Path,             \
                                                      double* Value) {                      \
    return ::skinelle::LookupBytes(document, ::skinelle::PathText(Path), Value, 8);          \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##BoolByName(const SkinelleChar* Path,               \
                                                    SkinelleBool* Value) {                  \
    return ::skinelle::LookupBytes(document, ::skinelle::PathText(Path), Value, 4);          \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##GUIDByName(const SkinelleChar* Path, void* Guid16) { \
    return ::skinelle::LookupBytes(document, ::skinelle::PathText(Path), Guid16, 16);        \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##StreamByName(const SkinelleChar* Path, void** Data, \
                                                      int32_t* Size) {                      \
    return ::skinelle::LookupHeapValue(document, ::skinelle::PathText(Path), Data, Size);    \
  }                                                                                         \
  SkinelleBool SKINELLE_CALL Get##Which##FileByName(const SkinelleChar* Path, void** Data,   \
                                                    int32_t* Size) {                        \
    return ::skinelle::LookupHeapValue(document, ::skinelle::PathText(Path), Data, Size);    \
  }                                                                                         \
  }
