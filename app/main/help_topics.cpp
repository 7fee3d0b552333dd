#include "app/main/help_topics.h"

#include "app/resources/resource_ids.h"

namespace vantor {

namespace {
constexpr char kMainWindowPage[] = "event-list.html";
constexpr char kStartPage[] = "start-and-tray.html";
constexpr char kOptionsPage[] = "receivers.html";
constexpr char kTeachingPage[] = "teaching.html";
constexpr char kMousePage[] = "mouse-step.html";
constexpr char kKeysPage[] = "keystroke-recorder.html";
}  // namespace

const char* const kHelpPages[] = {kHelpContentsPage, kMainWindowPage, kStartPage, kOptionsPage,
                                  kTeachingPage,     kMousePage,      kKeysPage,  nullptr};

const char* HelpTopicPage(HelpWindow window, int commandId) {
  switch (window) {
    case HelpWindow::Option:
      return kOptionsPage;
    case HelpWindow::WizardLearn:
    case HelpWindow::WizardKind:
      return kTeachingPage;
    case HelpWindow::WizardMouse:
      return kMousePage;
    case HelpWindow::WizardKeys:
      return kKeysPage;
    case HelpWindow::Main:
      break;
  }
  switch (commandId) {
    case IDC_MAIN_START:
    case IDM_TRAY_SHOW:
    case IDM_TRAY_CANCEL:
    case IDM_TRAY_EXIT:
    case IDM_TRAY_EXIT_SYSTEM:
    case IDC_MAIN_EXIT:
      return kStartPage;
    case IDC_MAIN_OPTION:
      return kOptionsPage;
    case IDC_MAIN_ADD:
      return kTeachingPage;
    case IDC_MAIN_HELP:
      return kHelpContentsPage;
    default:
      return kMainWindowPage;
  }
}

}  // namespace vantor
