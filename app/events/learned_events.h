// TLearnedEvents: the learned list, one model shown in the main window's events
// list control. Every edit goes through here, so the control shows the model item
// for item and the store, the wizard and the watcher all read the model. GUI
// thread only; the watcher gets a copy (Items) when it starts or resumes.
#pragma once

#include <string>

#include "app/events/event_list_model.h"
#include "app/framework/controls.h"

namespace vantor {

class TLearnedEvents {
 public:
  explicit TLearnedEvents(const TComboBox& box) : Box(box) {}

  // Replaces the list, as the store loaded it, and shows it.
  void Show(TEventListModel items);
  // Adds at the sorted place and returns the index; -1 when the control refused
  // it (out of memory), and then the model is unchanged too.
  int Add(const std::string& text);
  // False when `index` names no item.
  bool Delete(int index);

  int Count() const { return Model.Count(); }
  const std::string& Text(int index) const { return Model.Text(index); }
  int FindPrefix(const char* prefix) const { return Model.FindPrefix(prefix); }
  int Find(const std::string& text, int was) const { return Model.Find(text, was); }
  const TEventListModel& Items() const { return Model; }

 private:
  const TComboBox& Box;
  TEventListModel Model;
};

}  // namespace vantor
