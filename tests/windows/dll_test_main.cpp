// meklan-dll-test.exe: meklan.dll as its Windows callers meet it, run under wine.
//
//   meklan-dll-test exports ANSWERS  every export by name through GetProcAddress, over the
//                                    cases of export_transcript.cpp, against the transcript
//                                    of libmeklan.so (ANSWERS), byte for byte
//   meklan-dll-test version          the version resource through the Windows version API
//   meklan-dll-test dialog BMP       the distance dialog driven by keystrokes: a distance
//                                    computed; an end naming nothing, then a cancel; the
//                                    filled dialog saved as BMP
//
// Each prints what it checked and exits 0 when everything held, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "export_transcript.h"

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  if (!ok) ++g_failures;
}

std::wstring Widen(const char* text, UINT codePage = CP_UTF8) {
  std::wstring out(
      static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0)), L'\0');
  MultiByteToWideChar(codePage, 0, text, -1, out.data(), static_cast<int>(out.size()));
  out.resize(out.size() - 1);
  return out;
}

std::string Narrow(const std::wstring& wide, UINT codePage = CP_UTF8) {
  const int n = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

std::string Cp932(const char* utf8) { return Narrow(Widen(utf8), 932); }

HMODULE LoadMeklan() {
  HMODULE module = LoadLibraryW(L"meklan.dll");
  Check(module != nullptr, "LoadLibrary(\"meklan.dll\")");
  return module;
}

// Every export by its plain name, as a Visual Basic Declare or a Delphi external finds it.
bool ResolveExports(HMODULE module, MeklanExports* m) {
  bool all = true;
#define MEKLAN_TRANSCRIPT_RESOLVE(name)                                                 \
  m->name = reinterpret_cast<decltype(m->name)>(                                        \
      reinterpret_cast<void*>(GetProcAddress(module, "MEKLAN_" #name)));                \
  if (m->name == nullptr) {                                                             \
    Check(false, "GetProcAddress(\"MEKLAN_" #name "\")");                               \
    all = false;                                                                        \
  }
  MEKLAN_TRANSCRIPT_EXPORTS(MEKLAN_TRANSCRIPT_RESOLVE)
#undef MEKLAN_TRANSCRIPT_RESOLVE
  return all;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int RunExports(const char* answersPath) {
  HMODULE module = LoadMeklan();
  MeklanExports m{};
  if (module == nullptr || !ResolveExports(module, &m)) return 1;
  Check(true, "GetProcAddress of all 24 exports by name");
  std::ifstream in(answersPath, std::ios::binary);
  const std::string answers((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Check(!answers.empty(), std::string("answers of libmeklan.so read from ") + answersPath);
  const std::string transcript = ExportTranscript(m);
  const std::vector<std::string> want = Lines(answers);
  const std::vector<std::string> got = Lines(transcript);
  std::size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i]) ++i;
  if (transcript != answers) {
    std::printf("first difference at line %zu\n  linux: %s\n  dll:   %s\n", i + 1,
                i < want.size() ? want[i].c_str() : "(end)", i < got.size() ? got[i].c_str() : "(end)");
  }
  Check(transcript == answers, std::to_string(got.size()) + " answers (" +
                                   std::to_string(transcript.size()) +
                                   " bytes) equal to libmeklan.so's, byte for byte");
  FreeLibrary(module);
  return g_failures == 0 ? 0 : 1;
}

// --- version resource ---------------------------------------------------------------------

int RunVersion() {
  HMODULE module = LoadMeklan();
  if (module == nullptr) return 1;
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(module, path, MAX_PATH);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &handle);
  std::vector<unsigned char> info(size);
  Check(size > 0 && GetFileVersionInfoW(path, 0, size, info.data()), "GetFileVersionInfo");
  if (size == 0) return 1;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  Check(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) &&
            fixed->dwFileVersionMS == MAKELONG(1, 3) && fixed->dwFileVersionLS == MAKELONG(0, 9) &&
            fixed->dwProductVersionMS == MAKELONG(1, 3) &&
            fixed->dwProductVersionLS == MAKELONG(0, 9),
        "file and product version 3.1.9.0");
  WORD* translation = nullptr;
  Check(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translation), &length) &&
            length >= 4 && translation[0] == 0x0411 && translation[1] == 932,
        "translation: Japanese (0x0411), code page 932");
  const struct {
    const wchar_t* name;
    const char* text;  // UTF-8
  } kTexts[] = {{L"FileVersion", "3190"},         {L"ProductVersion", "3.19"},
                {L"Comments", "MA間距離計算"},    {L"FileDescription", "MEKLAN"},
                {L"InternalName", "MEKLAN"},      {L"ProductName", "MEKLAN"}};
  for (const auto& t : kTexts) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041103a4\\") + t.name;
    wchar_t* value = nullptr;
    const bool found = VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&value),
                                      &length) && value != nullptr;
    const std::string got = found ? Narrow(value) : "(missing)";
    // The block's code page: the text must survive the trip through CP932 unchanged.
    const bool cp932 = found && Widen(Narrow(value, 932).c_str(), 932) == value;
    Check(found && got == t.text && cp932,
          Narrow(t.name) + " = \"" + got + "\" (want \"" + t.text + "\")");
  }
  FreeLibrary(module);
  return g_failures == 0 ? 0 : 1;
}

// --- the dialog, driven by keystrokes ------------------------------------------------------

constexpr int kFromEdit = 1036, kToEdit = 1037, kFromList = 1072;

// The dialog (or its message box) on the screen: a top-level dialog captioned MEKLAN other
// than `except`, waited for up to ten seconds.
HWND WaitForWindow(HWND except) {
  for (int i = 0; i < 200; ++i) {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, L"#32770", L"MEKLAN")) != nullptr) {
      if (w != except && IsWindowVisible(w)) return w;
    }
    Sleep(50);
  }
  return nullptr;
}

void Press(WORD key) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = key;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
  Sleep(60);
}

void Type(const char* digits) {
  for (const char* c = digits; *c != '\0'; ++c) Press(static_cast<WORD>(*c));
}

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[256] = L"";
  GetDlgItemTextW(dialog, id, text, 256);
  return text;
}

std::wstring ComboSelection(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return L"";
  wchar_t text[256] = L"";
  SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(text));
  return text;
}

// The window as it shows on the screen, as a 24-bit BMP file.
bool SaveWindowBitmap(HWND window, const char* path) {
  RECT r;
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const DWORD rowBytes = static_cast<DWORD>((w * 3 + 3) & ~3);
  const DWORD imageBytes = rowBytes * static_cast<DWORD>(h);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof bi.bmiHeader;
  file.bfSize = file.bfOffBits + imageBytes;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
  out.write(static_cast<const char*>(bits), imageBytes);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return static_cast<bool>(out.flush());
}

struct DialogRun {
  const MeklanExports* meklan;
  MKDISTANCE rec;
  int result;
};

DWORD WINAPI CallDialog(void* parameter) {
  auto* run = static_cast<DialogRun*>(parameter);
  run->result = run->meklan->GetDistanceWithDialog(nullptr, &run->rec, 1);
  return 0;
}

// Opens the dialog on a thread of its own (modal: the call returns when it closes), lets
// `drive` act on it like a user, and waits for the call to return.
template <typename Drive>
DialogRun RunDialog(const MeklanExports& m, const char* from, const char* to, Drive drive) {
  DialogRun run = {};
  run.meklan = &m;
  std::snprintf(run.rec.fromName, sizeof run.rec.fromName, "%s", from);
  std::snprintf(run.rec.toName, sizeof run.rec.toName, "%s", to);
  HANDLE caller = CreateThread(nullptr, 0, CallDialog, &run, 0, nullptr);
  HWND dialog = WaitForWindow(nullptr);
  Check(dialog != nullptr, "the distance dialog opened");
  if (dialog != nullptr) {
    // Keystrokes go to the focused control of the active window: wait until the dialog is
    // active with its first edit focused (a fresh wine prefix can take a while).
    SetForegroundWindow(dialog);
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    for (int i = 0; i < 200; ++i) {
      if (GetForegroundWindow() == dialog && GetGUIThreadInfo(thread, &gui) &&
          gui.hwndFocus == GetDlgItem(dialog, kFromEdit)) {
        break;
      }
      Sleep(50);
    }
    Sleep(300);
    drive(dialog);
  }
  WaitForSingleObject(caller, INFINITE);
  CloseHandle(caller);
  return run;
}

int RunDialogTest(const char* bitmapPath) {
  HMODULE module = LoadMeklan();
  MeklanExports m{};
  if (module == nullptr || !ResolveExports(module, &m)) return 1;

  // What the dialog must show: the library's own answer for the same two texts.
  MKDISTANCE expected = {};
  std::strcpy(expected.fromName, "0166");
  std::strcpy(expected.toName, "011");
  Check(m.GetDistance(&expected) == 1, "MEKLAN_GetDistance(0166, 011)");

  std::wstring box;
  const DialogRun computed = RunDialog(m, "", "", [&](HWND dialog) {
    Type("0166");       // into the calling end, which has the focus
    Press(VK_TAB);      // to the called end
    Type("011");
    Sleep(300);
    Check(ItemText(dialog, kFromEdit) == L"0166" && ItemText(dialog, kToEdit) == L"011",
          "typed 0166 and 011 into the two edits");
    Check(ComboSelection(dialog, kFromList) == Widen("旭川") &&
              SendDlgItemMessageW(dialog, kFromList, CB_GETCOUNT, 0, 0) == 1,
          "0166 leaves one candidate, 旭川, chosen");
    Check(SaveWindowBitmap(dialog, bitmapPath), std::string("screenshot ") + bitmapPath);
    Press(VK_RETURN);   // 距離算出, the default button
    HWND message = WaitForWindow(dialog);
    if (message != nullptr) box = ItemText(message, 0xFFFF);  // the box's text
    Press(VK_RETURN);   // OK of the box; the dialog closes itself
  });
  const std::string want = std::string("旭川(0166) から 札幌(011) までは ") +
                           std::to_string(expected.distance) + "kmです";
  Check(Narrow(box) == want, "result box \"" + Narrow(box) + "\"");
  Check(computed.result == expected.distance,
        "dialog returned " + std::to_string(computed.result) + " (the distance)");
  Check(std::memcmp(&computed.rec, &expected, offsetof(MKDISTANCE, fromMa)) == 0 &&
            std::strcmp(computed.rec.toMa.maName, expected.toMa.maName) == 0,
        "the caller's record holds MEKLAN_GetDistance's result");

  // An end that names nothing: the failure box, the dialog stays open; then Escape.
  std::wstring failureBox;
  bool stayedOpen = false;
  const DialogRun cancelled = RunDialog(m, Cp932("東京").c_str(), "xyz", [&](HWND dialog) {
    Check(ItemText(dialog, kFromEdit) == Widen("東京"), "initial text 東京 shown");
    Press(VK_RETURN);
    HWND message = WaitForWindow(dialog);
    if (message != nullptr) failureBox = ItemText(message, 0xFFFF);
    Press(VK_RETURN);
    Sleep(300);
    stayedOpen = IsWindowVisible(dialog) != FALSE;
    Press(VK_ESCAPE);
  });
  Check(Narrow(failureBox) == "該当ありません" && stayedOpen,
        "an end naming nothing: box \"" + Narrow(failureBox) + "\", the dialog stays open");
  Check(cancelled.result == -1, "Escape cancels: " + std::to_string(cancelled.result));
  Check(std::string(cancelled.rec.fromName) == Cp932("東京") &&
            std::string(cancelled.rec.toName) == "xyz",
        "after a cancel the record holds the texts of the last attempt");
  FreeLibrary(module);
  return g_failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "exports" && argc == 3) return RunExports(argv[2]);
  if (command == "version" && argc == 2) return RunVersion();
  if (command == "dialog" && argc == 3) return RunDialogTest(argv[2]);
  std::fprintf(stderr,
               "usage: meklan-dll-test exports ANSWERS | version | dialog SCREENSHOT.bmp\n");
  return 2;
}
