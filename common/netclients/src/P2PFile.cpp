// The point-to-point file client component: the login-based client of the p2p kind.
#include "netclients/P2PFile.h"

namespace netclients {
template class TNetClient<TP2PKind>;
template class TLoginClient<TP2PKind>;
template class TClientRoutingList<TP2PKind>;
}  // namespace netclients
