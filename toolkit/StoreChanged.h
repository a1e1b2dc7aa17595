#pragma once
// The store every property setter starts with.

#include <utility>

/// The store of a property setter: field takes value, and the answer says
/// whether that changed it (where it did not, there is nothing to tell or redraw).
template <class T, class V>
bool StoreChanged(T& field, V&& value) {
  if (field == value) return false;
  field = std::forward<V>(value);
  return true;
}
