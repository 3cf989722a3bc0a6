#include "uSkinManage.h"

#include <algorithm>


namespace skinelle {

TBinaryTreeDocument100* SkinDocument = nullptr;
TSkinListeners* SkinListeners = nullptr;

void InitializeSkinManage() {
  SkinDocument = new TBinaryTreeDocument100();
  SkinListeners = new TSkinListeners();
}

void FinalizeSkinManage() {
  delete SkinDocument;
  SkinDocument = nullptr;
  delete SkinListeners;
  SkinListeners = nullptr;
}

bool TSkinListeners::Register(plat::WindowHandle handle, uint32_t skinMsg,
                              uint32_t transparencyMsg) {
  for (const TSkinListenerItem& item : Items_)
    if (item.Handle == handle) return false;
  Items_.push_back(TSkinListenerItem{handle, skinMsg, transparencyMsg});
  return true;
}

void TSkinListeners::Unregister(plat::WindowHandle handle) {
  for (size_t i = 0; i < Items_.size(); ++i) {
    if (Items_[i].Handle != handle) continue;
    Items_.erase(Items_.begin() + static_cast<std::ptrdiff_t>(i));
    // Keep every running pass on the same listeners: the ones behind the removed item moved
    // down by one.
    for (PassCursor* pass : Passes_) {
      if (i < pass->Next) {
        --pass->Next;
        --pass->End;
      } else if (i < pass->End) {
        --pass->End;
      }
    }
    return;
  }
}

void TSkinListeners::Notify(uint32_t TSkinListenerItem::*message, uintptr_t wParam,
                            intptr_t lParam) {
  PassCursor pass{0, Items_.size()};
  Passes_.push_back(&pass);
  struct Leave {
    std::vector<PassCursor*>& passes;
    PassCursor* pass;
    ~Leave() { passes.erase(std::find(passes.begin(), passes.end(), pass)); }
  } leave{Passes_, &pass};
  while (pass.Next < pass.End) {
    // A copy: the listener may change the list while it handles the message.
    TSkinListenerItem item = Items_[pass.Next++];
    plat::SendWindowMessage(item.Handle, item.*message, wParam, lParam);
  }
}

namespace {

// Runs one listener export body; no error leaves it, each is reported.
template <class Body>
void GuardedListeners(Body body) {
  try {
    if (SkinListeners) body(*SkinListeners);
  } catch (...) {
    ReportCurrentError();
  }
}

}  // namespace

}  // namespace skinelle

using namespace skinelle;

extern "C" {

SkinelleBool SKINELLE_CALL LoadSkinFile(const SkinelleChar* FileName) {
  if (LoadDocumentFile(SkinDocument, PathText(FileName)) != kTrue) return kFalse;
  GuardedListeners([](TSkinListeners& l) { l.Notify(&TSkinListenerItem::SkinMsg, 0, 0); });
  return kTrue;
}

void SKINELLE_CALL ChangeSkinTransparency(SkinelleBool Enabled, int32_t Transparency) {
  GuardedListeners([&](TSkinListeners& l) {
    l.Notify(&TSkinListenerItem::TransparencyMsg, Enabled != 0 ? 1 : 0, Transparency);
  });
}

SkinelleBool SKINELLE_CALL RegisterSkinListener(void* Handle, uint32_t SkinMsg,
                                                uint32_t TransparencyMsg) {
  SkinelleBool result = kFalse;
  GuardedListeners([&](TSkinListeners& l) {
    if (l.Register(reinterpret_cast<plat::WindowHandle>(Handle), SkinMsg, TransparencyMsg))
      result = kTrue;
  });
  return result;
}

void SKINELLE_CALL UnRegisterSkinListener(void* Handle) {
  GuardedListeners(
      [&](TSkinListeners& l) { l.Unregister(reinterpret_cast<plat::WindowHandle>(Handle)); });
}

}  // extern "C"

SKINELLE_LOOKUP_EXPORTS(Skin, SkinDocument)
