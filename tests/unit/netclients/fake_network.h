// A recording fake of the network library's 26 functions: every call is logged by name,
// result codes are scripted per function, and the records it reports are set by the test.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "netclients/NetworkApi.h"

namespace fake {

struct Network {
  Network();   // binds the table to this fake
  ~Network();  // binds the previous table again

  // Function names as the library spells them ("p2pClientLogin", "cmdGetClientInfo").
  std::vector<std::string> calls;
  std::map<std::string, int32_t> codes;  // the code a function answers (0 when not set)
  uint32_t handleToGive = 7;
  std::vector<uint32_t> handlesSeen;     // handle argument of every call that takes one

  // What GetClientInfo reports, per record kind; SetClientInfo stores into it.
  netclients::TP2PClientInfo loginInfo{};
  netclients::TCMDClientInfo cmdInfo{};
  std::vector<netclients::TP2PClientInfo> loginWrites;
  std::vector<netclients::TCMDClientInfo> cmdWrites;
  // Called as a login-kind SetClientInfo begins, before the record is taken.
  std::function<void()> beforeLoginWrite;
  // Login/Connect set the state field (Logout/Disconnect clear it) when answering 0.
  bool changeState = true;

  // Seen at creation and registration.
  plat::Guid createdObjID{};
  void* owner = nullptr;
  netclients::TP2PClientBackProcs loginProcs{};
  netclients::TCMDClientBackProcs cmdProcs{};
  plat::Guid objIdSet{};
  std::vector<uint32_t> routingOwnerCleared;

  int32_t Answer(const std::string& name, uint32_t handle);
  int32_t Answer(const std::string& name);

  static Network* current;

private:
  netclients::TNetworkApi previous_;
};

}  // namespace fake
