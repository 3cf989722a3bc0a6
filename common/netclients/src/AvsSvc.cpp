// The audio/video client component: the login-based client of the avs kind.
#include "netclients/AvsSvc.h"

namespace netclients {
template class TNetClient<TAVSKind>;
template class TLoginClient<TAVSKind>;
template class TClientRoutingList<TAVSKind>;
}  // namespace netclients
