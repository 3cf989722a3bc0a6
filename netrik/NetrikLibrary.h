// Library load and unload of Netrik, in their fixed order. The DLL entry calls them; native
// tests call them in place of a loader.
#pragma once

namespace netrik {

// The hook registry, then the global lock (no instance yet).
void NetrikLibraryLoad();
// UnInitNetrik as the export runs it, the lock freed, then the hook registry cleared and
// freed: the hooks are still registered while the connections are freed.
void NetrikLibraryUnload();

}  // namespace netrik
