// Runs a piece of program in a real runtime on the headless host.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/headless_host.h"
#include "platform/registry.h"
#include "runtime/runtime.h"

namespace testing_support {

// The form of the main window, as the program has it.
std::string test_form();

// A runtime on a headless host with its own registry file.
class Program {
 public:
  explicit Program(platform::HostOptions options = {});
  ~Program();

  platform::HeadlessHost& host() { return *host_; }
  platform::Registry& registry() { return *registry_; }
  rt::Runtime& rt() { return *rt_; }

  // Runs `body` as the main program; returns the exit code.
  int run(const std::function<void(rt::Runtime&)>& body);
  // Opens the window with the frame's error handling off: errors propagate
  // to the caller (for testing single statements).
  void start();

 private:
  std::filesystem::path dir_;
  std::unique_ptr<platform::HeadlessHost> host_;
  std::unique_ptr<platform::Registry> registry_;
  std::unique_ptr<rt::Runtime> rt_;
};

// Runs `body` and returns the error number it raised (0 for none).
int error_of(const std::function<void()>& body);

}  // namespace testing_support
