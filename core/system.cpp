// The parts of the system wrappers that are plain logic, shared by the platforms.
#include "core/system.h"

RegistryPath SplitRegistryPath(const Text& path) {
  const std::string& bytes = path.bytes();
  std::size_t cut = std::string::npos;
  // Walk by characters: in code page 936 the byte 0x5C may be the second byte
  // of a double-byte character (籠 is BB 5C), which is no separator.
  for (std::size_t at = 0; at < bytes.size();) {
    if (static_cast<unsigned char>(bytes[at]) >= 0x80) {
      at += 2;
    } else {
      if (bytes[at] == '\\') cut = at;
      ++at;
    }
  }
  if (cut == std::string::npos) return {Text(), path};
  return {Text(bytes.substr(0, cut)), Text(bytes.substr(cut + 1))};
}
