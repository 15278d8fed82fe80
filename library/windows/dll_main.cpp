// The load notification of meklan.dll and the library's own heap.
//
// Blocks handed to callers (MEKLAN_GetAddressAreaList) come from a heap that belongs to the
// DLL, created when the DLL is loaded: a caller in Visual Basic, Delphi or C with another C
// runtime cannot free them by mistake into a heap of its own, and MEKLAN_MemFree always finds
// the heap they came from.
#include <windows.h>

#include "lookup/library_heap.h"
#include "windows/module.h"

namespace {

HINSTANCE g_module = nullptr;
// The process heap stands in when a heap of our own cannot be made; the load always succeeds.
HANDLE g_heap = nullptr;

HANDLE CallerHeap() { return g_heap != nullptr ? g_heap : GetProcessHeap(); }

}  // namespace

namespace meklan::win {

HINSTANCE ModuleHandle() { return g_module; }

}  // namespace meklan::win

namespace meklan {

void* AllocateCallerBlock(std::size_t bytes) { return HeapAlloc(CallerHeap(), 0, bytes); }

void ReleaseCallerBlock(void* block) {
  if (block != nullptr) HeapFree(CallerHeap(), 0, block);
}

}  // namespace meklan

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      g_module = module;
      g_heap = HeapCreate(0, 0, 0);
      break;
    case DLL_PROCESS_DETACH:
      // Unloaded by FreeLibrary: the blocks die with the library whose tables they point
      // into. At process exit (reserved != NULL) the system takes everything back anyway.
      if (reserved == nullptr && g_heap != nullptr) {
        HeapDestroy(g_heap);
        g_heap = nullptr;
      }
      break;
    default:
      break;
  }
  return TRUE;
}
