// The one table through which the components reach Network.dll.
#include "netclients/NetworkApi.h"

#if defined(_WIN32)
#include "network/Network.h"
#endif

namespace netclients {

namespace {

#if defined(_WIN32)
// Bound to Network.dll, imported by name.
TNetworkApi g_api = NETWORK_FUNCTION_TABLE;
#else
// Natively the program binds it (SetNetworkApi).
TNetworkApi g_api = {};
#endif

}  // namespace

const TNetworkApi& NetworkApi() { return g_api; }

TNetworkApi SetNetworkApi(const TNetworkApi& api) {
  TNetworkApi previous = g_api;
  g_api = api;
  return previous;
}

}  // namespace netclients
