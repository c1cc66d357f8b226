#include "tests/support/program.h"

#include <unistd.h>

#include "data/data_files.h"

namespace testing_support {

std::string test_form() { return std::string(data::mainform_text()); }

Program::Program(platform::HostOptions options)
    : host_(std::make_unique<platform::HeadlessHost>(std::move(options))) {
  static int serial = 0;
  dir_ = std::filesystem::temp_directory_path() /
         ("peakwend-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
  std::filesystem::create_directories(dir_);
  registry_ = std::make_unique<platform::Registry>((dir_ / "registry").string());
  rt_ = std::make_unique<rt::Runtime>(*host_, *registry_);
}

Program::~Program() {
  std::error_code ec;
  std::filesystem::remove_all(dir_, ec);
}

int Program::run(const std::function<void(rt::Runtime&)>& body) {
  return rt_->run(test_form(), rt::CompileOptions{}, [&] { body(*rt_); });
}

void Program::start() {
  std::string why;
  host_->create_window({"Peakwend/T", 640, 504}, &why);
  rt_->start_areas();
}

int error_of(const std::function<void()>& body) {
  try {
    body();
  } catch (const rt::RtError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace testing_support
