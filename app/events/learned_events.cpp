#include "app/events/learned_events.h"

#include <utility>

namespace vantor {

void TLearnedEvents::Show(TEventListModel items) {
  Model = std::move(items);
  Box.ResetContent();
  // Inserted at the model's index, not sorted again by the control: the two
  // orders differ for some punctuation, and an index must name the same item in both.
  // A control out of memory shows fewer; the model keeps them all, and a save keeps them.
  for (int i = 0; i < Model.Count(); ++i)
    if (Box.InsertString(i, Model.Text(i).c_str()) < 0) return;
}

int TLearnedEvents::Add(const std::string& text) {
  const int index = Model.Add(text);
  if (Box.InsertString(index, text.c_str()) < 0) {
    Model.Delete(index);
    return -1;
  }
  return index;
}

bool TLearnedEvents::Delete(int index) {
  if (!Model.Delete(index)) return false;
  Box.DeleteString(index);
  return true;
}

}  // namespace vantor
