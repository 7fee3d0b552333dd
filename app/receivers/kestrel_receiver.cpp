#include "app/receivers/kestrel_receiver.h"

#include <atomic>
#include <cstring>

#include "kestrel/learning_pass.h"
#include "win32/utf8_to_wide.h"

namespace vantor {
namespace {

const char kKestrelNotice[] =
    "NEC/SONYリモコンは実験用です。\nリモコン信号のリアルタイム解析の機能を持たないので動作が極端に遅延します。\n"
    "Pellow IR-55のみをサポートしています。";

}  // namespace

void ShowKestrelNotice() {
  // Japanese text: shown through the wide API so it reads right on any code page.
  wchar_t notice[sizeof kKestrelNotice];
  Utf8ToWide(kKestrelNotice, notice, sizeof kKestrelNotice);
  MessageBoxExW(nullptr, notice, L"TransmitterNec/Sony", 0, 0);
}

void TKestrelReceiver::Close() {
  if (!LineGone()) Library.Close();
}

void TKestrelReceiver::LoadFormat() {
  std::memset(Library.CodePrefix, 0, sizeof Library.CodePrefix);
  std::strncpy(Library.CodePrefix, FormatCode, sizeof Library.CodePrefix - 1);
}

bool TKestrelReceiver::Learn(char* text, int size) {
  if (!text || size < kMinCodeTextSize) return false;
  // The capture leaves the text alone on most outcomes: what is there afterwards is its own.
  std::memset(text, 0, size);
  LoadFormat();
  if (Library.KestrelGetRemoconSignal(size, text)) return true;
  // A pass without a code on an open line may ask for another press, in another format.
  if (!LineGone()) {
    const kestrel::LearningPass next =
        kestrel::NextLearningPass(text, Library.CodePrefix, FormatCode, kestrel::Adopts::Sony);
    std::memcpy(FormatCode, next.FormatCode, sizeof FormatCode);
    std::memcpy(Library.CodePrefix, next.CodePrefix, sizeof Library.CodePrefix);
  }
  return false;
}

TReceived TKestrelReceiver::Wait(char* text, int size, DWORD waitMs) {
  if (!text || size < kMinCodeTextSize) return TReceived::Nothing;
  LoadFormat();
  // Read between presses: a frame is reported as soon as it ends, and again while held.
  const int got = Library.KestrelWaitRemoconSignal(size, text, waitMs);
  if (got == TKestrel::KestrelHeld) return TReceived::Held;
  if (got) return TReceived::Press;
  return LineGone() ? TReceived::Failed : TReceived::Nothing;
}

void TKestrelReceiver::BreakWait() {
  // The watcher's thread reads the flag inside its wait; this runs on the pausing one.
  std::atomic_ref<BYTE>(Library.BreakRequested).store(1);
}

}  // namespace vantor
