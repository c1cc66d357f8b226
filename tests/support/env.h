// Sets an environment variable (unsets it for null) for the life of a scope.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace testing_support {

struct ScopedEnv {
  ScopedEnv(const char* name, const char* value) : name(name) {
    if (const char* before = std::getenv(name)) old = before;
    value ? setenv(name, value, 1) : unsetenv(name);
    tzset();
  }
  ~ScopedEnv() {
    old ? setenv(name.c_str(), old->c_str(), 1) : unsetenv(name.c_str());
    tzset();
  }
  std::string name;
  std::optional<std::string> old;
};

}  // namespace testing_support
