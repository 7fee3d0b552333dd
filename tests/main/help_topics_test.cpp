// The manual that ships against what the help opens: a help request must never
// name a page that is not there, and the manual's own links and pictures must
// resolve in its folder as it ships.
#include "app/main/help_topics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/resources/resource_ids.h"

namespace vantor {
namespace {

const std::filesystem::path kManual = VANTOR_MANUAL_DIR;

TEST(HelpTopics, CommandsOpenTheirWindowsPageAndEveryPageShips) {
  struct Row {
    HelpWindow window;
    int command;
    const char* page;
  } rows[] = {
      {HelpWindow::Main, IDC_MAIN_START, "start-and-tray.html"},
      {HelpWindow::Main, IDM_TRAY_SHOW, "start-and-tray.html"},
      {HelpWindow::Main, IDC_MAIN_EXIT, "start-and-tray.html"},
      {HelpWindow::Main, IDC_MAIN_OPTION, "receivers.html"},
      {HelpWindow::Main, IDC_MAIN_ADD, "teaching.html"},
      {HelpWindow::Main, IDC_MAIN_DELETE, "event-list.html"},
      {HelpWindow::Main, IDC_MAIN_HELP, "index.html"},
      // The same ids in other windows belong to those windows' pages.
      {HelpWindow::Option, IDC_OK, "receivers.html"},
      {HelpWindow::Option, IDC_HELP_BUTTON, "receivers.html"},
      {HelpWindow::WizardLearn, IDC_STEP1_LEARN, "teaching.html"},
      {HelpWindow::WizardKind, IDC_WIZARD_NEXT, "teaching.html"},
      {HelpWindow::WizardMouse, IDC_STEP3_MOUSE_UP, "mouse-step.html"},
      {HelpWindow::WizardKeys, IDC_STEP3_KEYS_START, "keystroke-recorder.html"},
  };
  for (const Row& row : rows) EXPECT_STREQ(HelpTopicPage(row.window, row.command), row.page) << row.command;

  for (const char* const* page = kHelpPages; *page; ++page)
    EXPECT_TRUE(std::filesystem::is_regular_file(kManual / *page)) << *page;
}

TEST(HelpTopics, EveryLinkAndPictureOfTheManualIsInItsFolder) {
  const std::regex reference(R"((?:href|src)="([^"#:]+)(?:#[^"]*)?")");
  int pages = 0;
  std::set<std::string> missing;
  for (const auto& entry : std::filesystem::directory_iterator(kManual)) {
    if (entry.path().extension() != ".html") continue;
    ++pages;
    std::ifstream in(entry.path());
    std::stringstream text;
    text << in.rdbuf();
    const std::string html = text.str();
    for (std::sregex_iterator it(html.begin(), html.end(), reference), end; it != end; ++it) {
      const std::string target = (*it)[1];
      if (!std::filesystem::is_regular_file(kManual / target))
        missing.insert(entry.path().filename().string() + " -> " + target);
    }
  }
  EXPECT_GE(pages, 9);
  EXPECT_TRUE(missing.empty()) << *missing.begin();
}

}  // namespace
}  // namespace vantor
