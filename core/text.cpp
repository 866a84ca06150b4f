// The text, byte and array primitives.
#include "core/text.h"

#include "core/fatal.h"

Text::Text(const char* bytes) : Text(std::string_view(bytes == nullptr ? "" : bytes)) {}

Text::Text(std::string_view bytes) : bytes_(bytes.substr(0, bytes.find('\0'))) {}

Text& Text::operator+=(const Text& other) {
  bytes_ += other.bytes_;
  return *this;
}

const Text& TextArray::operator[](int index) const {
  if (index < 1 || index > Count()) {
    StopWithError("数组下标越界：" + ToText(index) + "，元素个数 " + ToText(Count()));
  }
  return items_[static_cast<std::size_t>(index - 1)];
}

Text& TextArray::operator[](int index) {
  return const_cast<Text&>(static_cast<const TextArray&>(*this)[index]);
}

Text ToText(int number) { return Text(std::to_string(number)); }
