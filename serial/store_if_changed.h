// Setting writes store a value only when it differs: writing a setting's
// current value must not touch the device.
#pragma once

namespace serial {

template <typename T>
bool StoreIfChanged(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

}  // namespace serial
