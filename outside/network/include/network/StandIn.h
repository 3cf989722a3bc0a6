// The stand-in network library as a native program uses it (target network_standin):
//   netclients::SetNetworkApi(network::StandInApi());
// In the Windows build the same code is Network.dll, to which the table is bound already.
//
// What it does: real TCP connections. Login/Connect connect to ServerHost:ServerPort
// within LoginWaitTime / ConnectWaitTime milliseconds (binding LocalPort first when it is
// not 0) and answer 0, or 4 when the connection could not be made; on return the record
// shows Logined/Connected and the socket's LocalPort. The login/logout (connect/disconnect)
// callbacks run on the library's own thread, also when the peer closes the connection; a
// connection that ends with a socket error first calls the exception callback (login-based
// kinds). Callbacks come in the order of the changes that caused them; the library notices
// nothing further about a connection (such as the peer closing) before the callbacks queued
// for it have run, so the login/connect callback finds the client up unless the caller has
// ended it meanwhile. One queue serves every client, so callbacks of different clients also
// come in the order of their causes. GetClientInfo may be called from inside a callback.
// Handles are non-zero and never reused. DestroyClient delivers the callbacks still queued
// for the client (the logout of a client that was logged in, say) and lets a running one
// finish before it returns, at most TerminateWaitTime milliseconds; it does not wait on the
// library's own thread, before that thread has begun to run or once it has ended (process
// exit): what is still queued then is dropped. After DestroyClient returns no callback of
// that client starts.
//
// Network.dll lets a test make one function fail: while the environment variable
// NETWORK_FAIL is "<export name>=<code>" (say "cmdSetClientInfo=5"), that function does
// nothing and answers the code. The variable is read from the process's own environment at
// each call, so a host's SetEnvironmentVariableA counts at once.
#pragma once
#include "netclients/NetworkApi.h"

namespace network {

#if !defined(_WIN32)
const netclients::TNetworkApi& StandInApi();
#endif

}  // namespace network
