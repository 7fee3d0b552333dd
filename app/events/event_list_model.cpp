#include "app/events/event_list_model.h"

#include <algorithm>
#include <cstring>

#include "app/events/store_values.h"

namespace vantor {
namespace {

unsigned char Folded(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c; }

// Blanks and punctuation, then digits, then letters, then bytes above 127.
int Kind(unsigned char c) {
  if (c >= '0' && c <= '9') return 1;
  if (c >= 'A' && c <= 'Z') return 2;
  if (c >= 'a' && c <= 'z') return 2;
  if (c >= 0x80) return 3;
  return 0;
}

bool PassedOver(unsigned char c) { return c == '-' || c == '\''; }

}  // namespace

int CompareListTexts(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  std::size_t skippedA = 0, skippedB = 0;
  for (;;) {
    while (i < a.size() && PassedOver(static_cast<unsigned char>(a[i]))) ++i, ++skippedA;
    while (j < b.size() && PassedOver(static_cast<unsigned char>(b[j]))) ++j, ++skippedB;
    if (i == a.size() || j == b.size()) break;
    const unsigned char ca = Folded(static_cast<unsigned char>(a[i]));
    const unsigned char cb = Folded(static_cast<unsigned char>(b[j]));
    if (Kind(ca) != Kind(cb)) return Kind(ca) - Kind(cb);
    if (ca != cb) return ca - cb;
    ++i, ++j;
  }
  const bool endA = i == a.size(), endB = j == b.size();
  if (endA != endB) return endA ? -1 : 1;
  if (skippedA != skippedB) return skippedA < skippedB ? -1 : 1;
  return 0;
}

int TEventListModel::Add(const std::string& text) {
  auto at = std::lower_bound(Items.begin(), Items.end(), text,
                             [](const std::string& item, const std::string& t) { return CompareListTexts(item, t) < 0; });
  const auto inserted = Items.insert(at, text);
  return static_cast<int>(inserted - Items.begin());
}

int TEventListModel::AddStored(std::string text) {
  UpperCaseAscii(text.data());
  return Add(text);
}

bool TEventListModel::Delete(int index) {
  if (index < 0 || index >= Count()) return false;
  Items.erase(Items.begin() + index);
  return true;
}

const std::string& TEventListModel::Text(int index) const {
  static const std::string kNone;
  return index < 0 || index >= Count() ? kNone : Items[static_cast<std::size_t>(index)];
}

int TEventListModel::Find(const std::string& text, int was) const {
  if (was >= 0 && was < Count() && Text(was) == text) return was;
  const auto at = std::find(Items.begin(), Items.end(), text);
  return at == Items.end() ? -1 : static_cast<int>(at - Items.begin());
}

int TEventListModel::FindPrefix(const char* prefix) const {
  if (!prefix || !*prefix) return -1;
  const std::size_t length = std::strlen(prefix);
  for (std::size_t i = 0; i < Items.size(); ++i) {
    const std::string& item = Items[i];
    if (item.size() < length) continue;
    std::size_t k = 0;
    while (k < length && Folded(static_cast<unsigned char>(item[k])) == Folded(static_cast<unsigned char>(prefix[k]))) ++k;
    if (k == length) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace vantor
