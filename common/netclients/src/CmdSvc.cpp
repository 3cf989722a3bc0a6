// The command client component.
#include "netclients/CmdSvc.h"

namespace netclients {

template class TNetClient<TCMDKind>;

TCMDClient::TCMDClient(plat::TComponent* owner) : TNetClient<TCMDKind>(owner) {
  CreateLibraryClient({&TCMDClient::CMDConnectProc, &TCMDClient::CMDDisconnectProc});
}

TCMDClient::~TCMDClient() {
  Guarded("Destroy", [&] { Disconnect(); });
  ClearItems();
  items_.shrink_to_fit();
  DestroyLibraryClient();
}

int32_t TCMDClient::Connect() {
  CheckHandle();
  int32_t code = Api().ConnectClient(block_.Handle);
  CheckError(code);
  ReadClientInfo();
  return code;
}

void TCMDClient::Disconnect() {
  CheckHandle();
  Api().DisconnectClient(block_.Handle);
  ReadClientInfo();
}

// Clears each attached object's reference (last first, coping with a list that shrinks
// meanwhile), then empties the list; the objects are not freed.
void TCMDClient::ClearItems() {
  int i = static_cast<int>(items_.size()) - 1;
  while (i >= 0) {
    items_[static_cast<size_t>(i)]->Owner = nullptr;
    int count = static_cast<int>(items_.size());
    i = count < i + 1 ? count - 1 : i - 1;
  }
  items_.clear();
}

void PLAT_STDCALL TCMDClient::CMDConnectProc(void* Owner) {
  auto* self = static_cast<TCMDClient*>(FromOwner(Owner));
  self->RunStateProc("CMDConnectProc", self->OnConnect);
}

void PLAT_STDCALL TCMDClient::CMDDisconnectProc(void* Owner) {
  auto* self = static_cast<TCMDClient*>(FromOwner(Owner));
  self->RunStateProc("CMDDisconnectProc", self->OnDisconnect);
}

}  // namespace netclients
