#include "uDocumentLookup.h"

#include <cstring>
#include <exception>
#include <string>

#include "platform/debugout.h"
#include "platform/except.h"
#include "platform/file.h"

namespace skinelle {

using bintree::TBinTreeNode100;

namespace {

// Runs one export body; an error does not leave it: it is reported and the result is 0.
template <class Body>
int32_t Guarded(Body body) {
  try {
    return body();
  } catch (...) {
    ReportCurrentError();
  }
  return kFalse;
}

const TBinTreeNode100* Find(const TBinaryTreeDocument100* doc, const char16_t* path) {
  if (!doc) return nullptr;
  return doc->FindNode(path ? std::u16string(path) : std::u16string());
}

// The kinds that keep their value in a heap block of their own.
bool KeepsHeapValue(const TBinTreeNode100& node) {
  int32_t kind = node.Kind();
  return kind == bintree::kAnsiString || kind == bintree::kWideString || kind == bintree::kBinary;
}

// The node's value bytes in place, whatever the kind holds them: inline or on the heap.
const void* ValueBytes(const TBinTreeNode100& node) {
  const void* inline_ = node.GetValuePtr();
  return inline_ ? inline_ : node.GetData();
}

class FileCloser {
public:
  explicit FileCloser(plat::FileHandle file) : file_(file) {}
  ~FileCloser() { plat::CloseFile(file_); }
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

private:
  plat::FileHandle file_;
};

}  // namespace

void ReportCurrentError() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    plat::DebugOutput(e.what());
  } catch (...) {
    plat::DebugOutput("Unknown error");
  }
}

int32_t LoadDocumentFile(TBinaryTreeDocument100* doc, const char16_t* fileName) {
  if (!doc || !fileName) return kFalse;
  plat::FileHandle file = plat::OpenFileRead(fileName);
  if (!file) return kFalse;
  FileCloser closer(file);
  return Guarded([&] {
    const int64_t size = plat::FileSize(file);
    // Nothing is allocated for a file the document would refuse anyway: one larger than a load
    // can address, or one whose size the system cannot tell (-1).
    bintree::TBinaryTreeDocument100::CheckImageSize(size);
    const uint32_t count = static_cast<uint32_t>(size);  // below 2 GB from here on
    bintree::TMemoryStream stream;
    stream.SetSize(count);
    stream.SetPosition(0);
    uint32_t got = 0;
    // A short or failed read would hand the document bytes that are not the file's.
    if (!plat::ReadFileBytes(file, stream.Memory(), count, got) || got != count)
      throw plat::Exception("Stream read error");
    doc->LoadFromStream(stream);
    return kTrue;
  });
}

int32_t LookupHeapValue(const TBinaryTreeDocument100* doc, const char16_t* path, void** data,
                        int32_t* size) {
  return Guarded([&] {
    const TBinTreeNode100* node = Find(doc, path);
    if (!node || !KeepsHeapValue(*node) || !data || !size) return kFalse;
    *data = const_cast<void*>(node->GetData());
    *size = static_cast<int32_t>(node->ValueSize());
    return kTrue;
  });
}

int32_t LookupString(const TBinaryTreeDocument100* doc, const char16_t* path, void* buffer,
                     uint32_t bufSize) {
  return Guarded([&] {
    const TBinTreeNode100* node = Find(doc, path);
    if (!node) return kFalse;
    uint32_t n = node->ValueSize();
    if (n > bufSize || (n > 0 && !buffer)) return kFalse;
    if (n > 0) node->GetValue(buffer);
    return kTrue;
  });
}

int32_t LookupBytes(const TBinaryTreeDocument100* doc, const char16_t* path, void* slot,
                    uint32_t count) {
  return Guarded([&] {
    const TBinTreeNode100* node = Find(doc, path);
    if (!node || !slot || node->ValueSize() < count) return kFalse;
    const void* bytes = ValueBytes(*node);
    if (!bytes) return kFalse;
    std::memcpy(slot, bytes, count);
    return kTrue;
  });
}

}  // namespace skinelle
