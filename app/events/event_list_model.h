// The learned events as a plain list, kept in the order the events list control
// shows them, with the control's two searches: the first item that begins with a
// text, and the text of item i. Portable: no window holds it.
#pragma once

#include <string>
#include <vector>

#include "app/events/signal_matcher.h"

namespace vantor {

// Order, as the system's sorted list orders ASCII text (on the bench, Wine's
// sorted combo box, which compares like CompareString with NORM_IGNORECASE):
//   - letters compare without case;
//   - blanks and punctuation come before digits, digits before letters, and bytes
//     above 127 after the letters; within each kind by code;
//   - '-' and '\'' are passed over ("MOVE 0 -5" sorts beside "MOVE 0 5"); of two
//     texts equal that way, the one with fewer of them comes first;
//   - a text that begins another comes before it.
// A new item goes before the items it equals. The system's own order differs for
// some punctuation and for letters above 127, which the program never writes.
class TEventListModel {
 public:
  // Inserts at the item's sorted place; returns that index.
  int Add(const std::string& text);
  // As the store loads an entry: ASCII letters upper-cased first.
  int AddStored(std::string text);
  // False, and nothing changes, when `index` names no item.
  bool Delete(int index);

  int Count() const { return static_cast<int>(Items.size()); }
  // The item's text; the empty text when `index` names no item.
  const std::string& Text(int index) const;
  // The first item from the top that begins with `prefix`, ASCII letters compared
  // without case; -1 when none does, and for an empty or null prefix, as the
  // system's list answers it.
  int FindPrefix(const char* prefix) const;
  // Where the item whose whole text is `text` is now: `was`, when it is still
  // there, else the first such item (items added since sort in before it and
  // move it down); -1 when none is left.
  int Find(const std::string& text, int was) const;

 private:
  std::vector<std::string> Items;
};

// Comparison behind the order above: negative, zero or positive.
int CompareListTexts(const std::string& a, const std::string& b);

// The model as the watcher's matcher sees it.
class TEventListModelView final : public TEventListView {
 public:
  explicit TEventListModelView(const TEventListModel& model) : Model(model) {}
  int FindPrefix(const char* prefix) const override { return Model.FindPrefix(prefix); }

 private:
  const TEventListModel& Model;
};

}  // namespace vantor
