/* A stand-in plug-in library for Netrik. One source, built in several variants:
 *   PLUG_NAME            the name written in front of every record line
 *   PLUG_OMIT_<ENTRY>    leaves that entry point out (GETINFO, LOAD, START, STOP, STATUS)
 *   PLUG_INFO_RESULT     what DllGetPlugInfo answers (0 = success)
 *   PLUG_REENTER         the load and start entries call Netrik's exports back
 *   PLUG_DESTROY_ON_STOP the stop entry destroys the connections under the probe GUID and
 *                        the one after it (last byte plus one)
 *   PLUG_UNINIT          the start and stop entries call UnInitNetrik
 * Every entry call appends "<name> <entry>\n" to the file named by the environment variable
 * NETRIK_PLUG_RECORD (nothing is recorded when it is not set). */
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
#define PLUG_CALL __stdcall
#define PLUG_EXPORT __declspec(dllexport)
#else
#include <dlfcn.h>
#include <stdlib.h>
#define PLUG_CALL __attribute__((stdcall))
#define PLUG_EXPORT __attribute__((visibility("default")))
#endif

#ifndef PLUG_NAME
#define PLUG_NAME "Plug"
#endif
#ifndef PLUG_INFO_RESULT
#define PLUG_INFO_RESULT 0
#endif

static void Record(const char* what) {
  char path[1024];
#if defined(_WIN32)
  DWORD n = GetEnvironmentVariableA("NETRIK_PLUG_RECORD", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
#else
  const char* env = getenv("NETRIK_PLUG_RECORD");
  if (!env || strlen(env) >= sizeof path) return;
  strcpy(path, env);
#endif
  FILE* f = fopen(path, "ab");
  if (!f) return;
  fprintf(f, "%s %s\n", PLUG_NAME, what);
  fclose(f);
}

#if defined(PLUG_REENTER) || defined(PLUG_DESTROY_ON_STOP)
/* The same GUID the tests create a connection under before starting the plug-ins. */
static const unsigned char kProbeID[16] = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD,
                                           0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
typedef int32_t(PLUG_CALL* TByID)(const void*);
#endif

#if defined(PLUG_REENTER) || defined(PLUG_DESTROY_ON_STOP) || defined(PLUG_UNINIT)
static void* NetrikEntry(const char* name) {
#if defined(_WIN32)
  HMODULE netrik = GetModuleHandleA("Netrik.dll");
  return netrik ? (void*)GetProcAddress(netrik, name) : NULL;
#else
  return dlsym(RTLD_DEFAULT, name);
#endif
}
#endif

#ifdef PLUG_UNINIT
static void EndNetrik(void) {
  typedef void(PLUG_CALL * TUnInit)(void);
  TUnInit uninit = (TUnInit)NetrikEntry("UnInitNetrik");
  if (uninit) uninit();
}
#endif

#ifdef PLUG_REENTER

/* Calls one of Netrik's connection exports with the probe GUID and records its answer. */
static void CallBack(const char* entry, const char* name) {
  char line[128];
  TByID fn = (TByID)NetrikEntry(name);
  if (fn)
    snprintf(line, sizeof line, "%s %s=%d", entry, name, (int)fn(kProbeID));
  else
    snprintf(line, sizeof line, "%s %s missing", entry, name);
  Record(line);
}
#endif

#ifndef PLUG_OMIT_GETINFO
PLUG_EXPORT int32_t PLUG_CALL DllGetPlugInfo(void* info) {
  unsigned char* bytes = (unsigned char*)info;
  int zero = 1;
  int i;
  for (i = 0; i < 916; ++i)
    if (bytes[i] != 0) zero = 0;
  Record(zero ? "DllGetPlugInfo zeroed" : "DllGetPlugInfo dirty");
  memcpy(bytes, PLUG_NAME, strlen(PLUG_NAME));
  return PLUG_INFO_RESULT;
}
#endif

#ifndef PLUG_OMIT_LOAD
PLUG_EXPORT int32_t PLUG_CALL DllLoadPlug(void) {
  Record("DllLoadPlug");
#ifdef PLUG_REENTER
  CallBack("DllLoadPlug", "FindConnection");
#endif
  return 0;
}
#endif

#ifndef PLUG_OMIT_START
PLUG_EXPORT int32_t PLUG_CALL DllStartPlug(void) {
  Record("DllStartPlug");
#ifdef PLUG_REENTER
  CallBack("DllStartPlug", "FindConnection");
  CallBack("DllStartPlug", "NewConnectionRoutingID");
#endif
#ifdef PLUG_UNINIT
  EndNetrik();
#endif
  return 0;
}
#endif

#ifndef PLUG_OMIT_STOP
PLUG_EXPORT int32_t PLUG_CALL DllStopPlug(void) {
  Record("DllStopPlug");
#ifdef PLUG_DESTROY_ON_STOP
  {
    typedef void(PLUG_CALL * TDestroy)(const void*);
    TDestroy destroy = (TDestroy)NetrikEntry("DestroyConnection");
    unsigned char id[16];
    memcpy(id, kProbeID, sizeof id);
    if (destroy) {
      destroy(id);
      ++id[15];
      destroy(id);
    }
  }
#endif
#ifdef PLUG_UNINIT
  EndNetrik();
#endif
  return 0;
}
#endif

#ifndef PLUG_OMIT_STATUS
PLUG_EXPORT int32_t PLUG_CALL DllGetPlugStatus(void) {
  Record("DllGetPlugStatus");
  return 0;
}
#endif
