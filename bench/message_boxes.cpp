#include "bench/message_boxes.h"

#include <windows.h>

#include <map>

namespace bench {

// Wine's and Windows' message box template: the text is static 0xFFFF, the icon static 1088.
constexpr int kTextId = 0xFFFF;
constexpr int kIconId = 1088;
constexpr wchar_t kProbeClass[] = L"VantorBenchModalProbe";
constexpr wchar_t kSeenProp[] = L"VantorBenchSeen";

struct MessageBoxCapture::State {
  mutable CRITICAL_SECTION lock;
  std::vector<CapturedBox> boxes;
  int answer = IDOK;
  DWORD thread = 0;
  HHOOK after = nullptr;
};

namespace {

SRWLOCK g_registry_lock = SRWLOCK_INIT;
std::map<DWORD, MessageBoxCapture::State*>& Registry() {
  static std::map<DWORD, MessageBoxCapture::State*> r;
  return r;
}

// A hidden top-level window on the capturing thread: a task-modal box without an
// owner disables every top-level window of its thread before it is created, so
// the probe tells MB_TASKMODAL. It must exist before the box is shown, which is
// why only a capture of the calling thread can see that flag.
thread_local HWND t_probe = nullptr;

std::string Utf8(const wchar_t* w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  return s;
}

std::string TextOf(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring w(n + 1, L'\0');
  GetWindowTextW(hwnd, w.data(), n + 1);
  return Utf8(w.c_str());
}

unsigned ButtonSet(HWND box) {
  auto has = [box](int id) { return GetDlgItem(box, id) != nullptr; };
  if (has(IDABORT)) return MB_ABORTRETRYIGNORE;
  if (has(IDTRYAGAIN)) return MB_CANCELTRYCONTINUE;
  if (has(IDYES)) return has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
  if (has(IDRETRY)) return MB_RETRYCANCEL;
  if (has(IDCANCEL) && has(IDOK)) return MB_OKCANCEL;
  return MB_OK;
}

unsigned IconOf(HWND box) {
  HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageW(box, kIconId, STM_GETICON, 0, 0));
  if (!icon) return 0;
  struct { LPCWSTR id; unsigned flag; } known[] = {
      {MAKEINTRESOURCEW(32513), MB_ICONHAND}, {MAKEINTRESOURCEW(32514), MB_ICONQUESTION},
      {MAKEINTRESOURCEW(32515), MB_ICONEXCLAMATION}, {MAKEINTRESOURCEW(32516), MB_ICONASTERISK}};
  for (auto& k : known)
    if (LoadIconW(nullptr, k.id) == icon) return k.flag;
  return MB_USERICON;
}

void EnsureProbe() {
  if (t_probe) return;
  static ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kProbeClass;
    return RegisterClassW(&wc);
  }();
  (void)atom;
  t_probe = CreateWindowExW(0, kProbeClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
}

bool IsBoxClass(HWND hwnd) {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  return lstrcmpW(cls, L"#32770") == 0;
}

MessageBoxCapture::State* StateOfThisThread() {
  MessageBoxCapture::State* state = nullptr;
  AcquireSRWLockShared(&g_registry_lock);
  auto it = Registry().find(GetCurrentThreadId());
  if (it != Registry().end()) state = it->second;
  ReleaseSRWLockShared(&g_registry_lock);
  return state;
}

// A box is read once its WM_INITDIALOG has run: before that (even at activation,
// which Wine does first) it has neither its text nor its final set of buttons.
LRESULT CALLBACK AfterProc(int code, WPARAM wParam, LPARAM lParam) {
  auto* ret = reinterpret_cast<CWPRETSTRUCT*>(lParam);
  MessageBoxCapture::State* state = code == HC_ACTION ? StateOfThisThread() : nullptr;
  if (state && ret->message == WM_INITDIALOG) {
    HWND box = ret->hwnd;
    if (IsBoxClass(box) && GetDlgItem(box, kTextId) && GetDlgItem(box, kIconId) && !GetPropW(box, kSeenProp)) {
      SetPropW(box, kSeenProp, reinterpret_cast<HANDLE>(1));
      CapturedBox seen;
      seen.caption = TextOf(box);
      seen.text = TextOf(GetDlgItem(box, kTextId));
      seen.style = ButtonSet(box) | IconOf(box);
      if (GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST)
        seen.style |= MB_SYSTEMMODAL;
      else if (t_probe && !IsWindowEnabled(t_probe))
        seen.style |= MB_TASKMODAL;
      EnterCriticalSection(&state->lock);
      state->boxes.push_back(seen);
      int answer = state->answer;
      LeaveCriticalSection(&state->lock);
      if (!GetDlgItem(box, answer)) answer = GetDlgItem(box, IDOK) ? IDOK : IDCANCEL;
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MessageBoxCapture::MessageBoxCapture(int answer, unsigned long threadId) : Shared(new State) {
  InitializeCriticalSection(&Shared->lock);
  Shared->answer = answer;
  Shared->thread = threadId ? threadId : GetCurrentThreadId();
  AcquireSRWLockExclusive(&g_registry_lock);
  Registry()[Shared->thread] = Shared;
  ReleaseSRWLockExclusive(&g_registry_lock);
  if (Shared->thread == GetCurrentThreadId()) EnsureProbe();
  Shared->after = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterProc, nullptr, Shared->thread);
}

MessageBoxCapture::~MessageBoxCapture() {
  if (Shared->after) UnhookWindowsHookEx(Shared->after);
  AcquireSRWLockExclusive(&g_registry_lock);
  Registry().erase(Shared->thread);
  ReleaseSRWLockExclusive(&g_registry_lock);
  DeleteCriticalSection(&Shared->lock);
  delete Shared;
}

std::vector<CapturedBox> MessageBoxCapture::Boxes() const {
  EnterCriticalSection(&Shared->lock);
  auto copy = Shared->boxes;
  LeaveCriticalSection(&Shared->lock);
  return copy;
}

void MessageBoxCapture::SetAnswer(int id) {
  EnterCriticalSection(&Shared->lock);
  Shared->answer = id;
  LeaveCriticalSection(&Shared->lock);
}

}  // namespace bench
