// The skin document, its lookups and its loader, and the listener windows that are told of
// skin loads and transparency changes. The exports themselves are declared in Skinelle.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Skinelle.h"
#include "platform/winmsg.h"
#include "uDocumentLookup.h"

namespace skinelle {

// One registered listener window and the two message numbers it chose.
struct TSkinListenerItem {
  plat::WindowHandle Handle;  // the key: unique in the list
  uint32_t SkinMsg;           // sent after each successful skin load
  uint32_t TransparencyMsg;   // sent by ChangeSkinTransparency
};

// The listener windows in registration order. The list owns its items.
//
// A listener may register or unregister windows (itself included) while it handles its
// message. A pass then stays within the list as it stands: it reaches exactly the listeners
// that were registered when it began and are still registered when their turn comes, in
// registration order. A window removed during the pass is not sent anything afterwards; one
// added during the pass waits for the next pass. Passes may nest (a listener may request a
// transparency change from inside its message).
class TSkinListeners {
public:
  TSkinListeners() = default;
  TSkinListeners(const TSkinListeners&) = delete;
  TSkinListeners& operator=(const TSkinListeners&) = delete;

  // Appends a listener: true; false when the handle is already listed (nothing changes).
  bool Register(plat::WindowHandle handle, uint32_t skinMsg, uint32_t transparencyMsg);
  // Removes the first listener with this handle; nothing when there is none.
  void Unregister(plat::WindowHandle handle);

  size_t Count() const { return Items_.size(); }
  const TSkinListenerItem& Items(size_t index) const { return Items_.at(index); }

  // Sends each listener the message that field selects, synchronously, ignoring the results.
  void Notify(uint32_t TSkinListenerItem::*message, uintptr_t wParam, intptr_t lParam);

private:
  // Where one running pass stands: the next item to send to and the end of what it covers.
  struct PassCursor {
    size_t Next;
    size_t End;
  };

  std::vector<TSkinListenerItem> Items_;
  std::vector<PassCursor*> Passes_;
};

// Created when the library is loaded, destroyed when it is unloaded.
extern TBinaryTreeDocument100* SkinDocument;
extern TSkinListeners* SkinListeners;

// Library load: creates SkinDocument, then SkinListeners. Library unload: destroys
// SkinDocument, then SkinListeners, and sets both to none.
void InitializeSkinManage();
void FinalizeSkinManage();

}  // namespace skinelle
