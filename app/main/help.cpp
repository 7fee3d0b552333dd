#include "app/main/help.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "app/framework/error_box.h"
#include "app/main/help_topics.h"
#include "app/resources/resource_ids.h"

namespace vantor {
namespace {

constexpr char kHelpFile[] = "Vantora.hlp";
constexpr char kManualFolder[] = "manual\\";

// The folder of Vantora.exe, with its trailing backslash; empty if unknown.
std::string ProgramFolder() {
  char path[MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::string();
  std::string folder(path, length);
  std::size_t slash = folder.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool IsFile(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Which of the program's windows a command came from, by its top-level window's
// title; the two third wizard steps share one title and differ in their controls.
HelpWindow WindowOf(HWND window) {
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  char title[64] = "";
  if (root) GetWindowTextA(root, title, sizeof title);
  if (!std::strcmp(title, "Option")) return HelpWindow::Option;
  if (!std::strcmp(title, "Wizard Step1")) return HelpWindow::WizardLearn;
  if (!std::strcmp(title, "Wizard Step2")) return HelpWindow::WizardKind;
  if (!std::strcmp(title, "Wizard Step3"))
    return GetDlgItem(root, IDC_STEP3_MOUSE_DOWN_RIGHT) ? HelpWindow::WizardMouse : HelpWindow::WizardKeys;
  return HelpWindow::Main;
}

// Opens one page of the manual with the program the system opens HTML files with.
// Each topic is a page of its own: a "#topic" after a file's path is lost on the
// way through the file association.
void OpenManualPage(HWND owner, const char* page) {
  const std::string path = ProgramFolder() + kManualFolder + page;
  if (IsFile(path)) {
    // Some handlers of the association are COM objects; a second call on this
    // thread only counts up, and the thread keeps COM for the rest of the run.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return;
  }
  const std::string text = "Cannot open the manual !\n\n" + path +
                           "\n\nThe manual is installed with Vantor, in the folder \"manual\" beside Vantora.exe, and "
                           "opens in the web browser. Install Vantor again, or unpack the whole zip into one folder.";
  ShowProgramError(text.c_str());
}

}  // namespace

void ShowHelpContents(HWND owner) {
  const std::string helpFile = ProgramFolder() + kHelpFile;
  if (IsFile(helpFile)) {
    WinHelpA(owner, helpFile.c_str(), HELP_CONTENTS, 0);
    return;
  }
  OpenManualPage(owner, kHelpContentsPage);
}

void ShowHelpTopic(HWND owner, HWND window, UINT commandId) {
  const std::string helpFile = ProgramFolder() + kHelpFile;
  if (IsFile(helpFile)) {
    WinHelpA(owner, helpFile.c_str(), HELP_CONTEXT, commandId);
    return;
  }
  OpenManualPage(owner, HelpTopicPage(WindowOf(window), static_cast<int>(commandId)));
}

}  // namespace vantor
