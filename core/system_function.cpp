// What the dynamic lookup of system functions shares between the platforms.
#include "core/system_function.h"

Text MissingSystemFunctionMessage(std::string_view module, std::string_view name) {
  const Text moduleText = module.empty() ? Text("系统库") : Text(module);
  return "找不到系统函数：" + moduleText + " 中的 " + Text(name);
}
