// Which page of the HTML manual answers a help request: the contents for F1, and
// for Shift+F1 the page that explains the command clicked. Portable: the windows
// are named by what they are, not by handle.
#pragma once

namespace vantor {

// The windows whose commands have help of their own.
enum class HelpWindow { Main, Option, WizardLearn, WizardKind, WizardMouse, WizardKeys };

// The manual's first page, relative to its folder.
constexpr char kHelpContentsPage[] = "index.html";

// The page for a command of `window`; never null (a command without a page of its
// own gets its window's page).
const char* HelpTopicPage(HelpWindow window, int commandId);

// The pages HelpTopicPage can name, null-terminated: the build ships them all.
extern const char* const kHelpPages[];

}  // namespace vantor
