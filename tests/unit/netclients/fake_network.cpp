#include "fake_network.h"

namespace fake {

using netclients::TCMDClientBackProcs;
using netclients::TCMDClientBlock;
using netclients::TCMDClientInfo;
using netclients::TP2PClientBackProcs;
using netclients::TP2PClientBlock;
using netclients::TP2PClientInfo;

Network* Network::current = nullptr;

int32_t Network::Answer(const std::string& name) {
  calls.push_back(name);
  auto it = codes.find(name);
  return it == codes.end() ? 0 : it->second;
}

int32_t Network::Answer(const std::string& name, uint32_t handle) {
  handlesSeen.push_back(handle);
  return Answer(name);
}

namespace {

Network& N() { return *Network::current; }

// The nine functions of one login-based kind; K names it in the call log.
template <const char* K>
struct Login {
  static std::string Name(const char* f) { return std::string(K) + f; }
  static int32_t PLAT_STDCALL Create(TP2PClientBlock* b) {
    N().createdObjID = b->ObjID;
    N().owner = b->Owner;
    int32_t code = N().Answer(Name("CreateClient"));
    if (code == 0) b->Handle = N().handleToGive;
    return code;
  }
  static int32_t PLAT_STDCALL Destroy(uint32_t h) { return N().Answer(Name("DestroyClient"), h); }
  static int32_t PLAT_STDCALL SetBackProc(uint32_t h, const TP2PClientBackProcs* p) {
    N().loginProcs = *p;
    return N().Answer(Name("SetClientBackProc"), h);
  }
  static int32_t PLAT_STDCALL SetObjID(uint32_t h, const plat::Guid* g) {
    int32_t code = N().Answer(Name("SetClientObjID"), h);
    N().objIdSet = *g;
    return code;
  }
  static int32_t PLAT_STDCALL Get(uint32_t h, TP2PClientInfo* info) {
    int32_t code = N().Answer(Name("GetClientInfo"), h);
    *info = N().loginInfo;
    return code;
  }
  static int32_t PLAT_STDCALL Set(uint32_t h, const TP2PClientInfo* info) {
    if (N().beforeLoginWrite) N().beforeLoginWrite();
    N().loginWrites.push_back(*info);
    int32_t code = N().Answer(Name("SetClientInfo"), h);
    if (code == 0) N().loginInfo = *info;
    return code;
  }
  static int32_t PLAT_STDCALL LoginFn(uint32_t h) {
    int32_t code = N().Answer(Name("ClientLogin"), h);
    if (code == 0 && N().changeState) N().loginInfo.Logined = netclients::kTrue;
    return code;
  }
  static int32_t PLAT_STDCALL LogoutFn(uint32_t h) {
    int32_t code = N().Answer(Name("ClientLogout"), h);
    if (code == 0 && N().changeState) N().loginInfo.Logined = netclients::kFalse;
    return code;
  }
  static int32_t PLAT_STDCALL RoutingOwner(uint32_t h, uint32_t owner) {
    N().routingOwnerCleared.push_back(h);
    return N().Answer(Name("SetClientRoutingOwner"), h) + static_cast<int32_t>(owner);
  }
  static netclients::TLoginClientFunctions Table() {
    return {Create, Destroy, SetBackProc, SetObjID, Get, Set, LoginFn, LogoutFn, RoutingOwner};
  }
};

char kP2P[] = "p2p";
char kAVS[] = "avs";

int32_t PLAT_STDCALL CmdCreate(TCMDClientBlock* b) {
  N().createdObjID = b->ObjID;
  N().owner = b->Owner;
  int32_t code = N().Answer("cmdCreateClient");
  if (code == 0) b->Handle = N().handleToGive;
  return code;
}
int32_t PLAT_STDCALL CmdDestroy(uint32_t h) { return N().Answer("cmdDestroyClient", h); }
int32_t PLAT_STDCALL CmdSetBackProc(uint32_t h, const TCMDClientBackProcs* p) {
  N().cmdProcs = *p;
  return N().Answer("cmdSetClientBackProc", h);
}
int32_t PLAT_STDCALL CmdSetObjID(uint32_t h, const plat::Guid* g) {
  int32_t code = N().Answer("cmdSetClientObjID", h);
  N().objIdSet = *g;
  return code;
}
int32_t PLAT_STDCALL CmdGet(uint32_t h, TCMDClientInfo* info) {
  int32_t code = N().Answer("cmdGetClientInfo", h);
  *info = N().cmdInfo;
  return code;
}
int32_t PLAT_STDCALL CmdSet(uint32_t h, const TCMDClientInfo* info) {
  N().cmdWrites.push_back(*info);
  int32_t code = N().Answer("cmdSetClientInfo", h);
  if (code == 0) N().cmdInfo = *info;
  return code;
}
int32_t PLAT_STDCALL CmdConnect(uint32_t h) {
  int32_t code = N().Answer("cmdConnectClient", h);
  if (code == 0 && N().changeState) N().cmdInfo.Connected = netclients::kTrue;
  return code;
}
int32_t PLAT_STDCALL CmdDisconnect(uint32_t h) {
  int32_t code = N().Answer("cmdDisconnectClient", h);
  if (code == 0 && N().changeState) N().cmdInfo.Connected = netclients::kFalse;
  return code;
}

}  // namespace

Network::Network() {
  current = this;
  netclients::TNetworkApi api;
  api.p2p = Login<kP2P>::Table();
  api.avs = Login<kAVS>::Table();
  api.cmd = {CmdCreate, CmdDestroy, CmdSetBackProc, CmdSetObjID, CmdGet, CmdSet, CmdConnect,
             CmdDisconnect};
  previous_ = netclients::SetNetworkApi(api);
}

Network::~Network() {
  netclients::SetNetworkApi(previous_);
  current = nullptr;
}

}  // namespace fake
