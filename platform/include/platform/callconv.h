// The stdcall convention at every boundary with outside programs.
#pragma once
#if defined(_WIN32)
#define PLAT_STDCALL __stdcall
#else
#define PLAT_STDCALL __attribute__((stdcall))
#endif
