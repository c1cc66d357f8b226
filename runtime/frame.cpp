#include "runtime/frame.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "platform/sjis.h"
#include "runtime/runtime.h"

namespace rt {

namespace {

constexpr const char* kBoxCaption = "peakwend.EXE";

// The frame whose module and line a crash report names.
Frame* g_crash_frame = nullptr;

void write_all(const char* s) {
  std::size_t n = std::strlen(s);
  while (n > 0) {
    ssize_t w = ::write(STDERR_FILENO, s, n);
    if (w <= 0) return;
    s += w;
    n -= static_cast<std::size_t>(w);
  }
}

// A fatal signal: say where the program was, then die as the signal says.
void on_crash(int sig) {
  char line[16];
  unsigned v = 0;
  const char* module = "?";
  if (g_crash_frame) {
    v = g_crash_frame->context().line;
    module = g_crash_frame->main_module().c_str();
    if (!g_crash_frame->context().module.empty()) module = g_crash_frame->context().module.c_str();
  }
  int i = 15;
  line[i] = 0;
  do {
    line[--i] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v > 0 && i > 0);
  write_all("Peakwend/T: 続行不可能なエラーが発生しました ");
  write_all(module);
  write_all(" [");
  write_all(line + i);
  write_all("行]\n");
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void on_quit_signal(int) { platform::request_quit_from_signal(); }

}  // namespace

Frame::Frame(platform::Host& host, platform::Registry& registry) : host_(host), registry_(registry) {}

Frame::SubFrame::SubFrame(Frame& frame)
    : frame_(frame), saved_(std::move(frame.ctx_)), exceptions_at_entry_(std::uncaught_exceptions()) {
  if (frame_.sub_depth_ >= kMaxSubDepth) {
    frame_.ctx_ = std::move(saved_);
    throw RtError(81, location(Op::SubEnter));
  }
  ++frame_.sub_depth_;
  frame_.ctx_ = UnitContext{};
}

Frame::SubFrame::~SubFrame() {
  // Unwinding from an error: the report names where it happened, not the caller.
  if (std::uncaught_exceptions() > exceptions_at_entry_ && !frame_.fault_) frame_.fault_ = frame_.ctx_;
  --frame_.sub_depth_;
  frame_.ctx_ = std::move(saved_);
}

void Frame::install_crash_handlers() {
  g_crash_frame = this;
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(sig, on_crash);
  struct sigaction sa {};
  sa.sa_handler = on_quit_signal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

int Frame::run(std::string_view form_text, const CompileOptions& options,
               const std::function<void()>& main_program) {
  yield_reload_ = options.yield_interval;
  yield_counter_ = 0;  // the first statement pumps
  std::string why;
  auto form = parse_form(form_text, &why);
  if (!form) {
    std::cerr << "peakwend: " << why << "\n";
    host_.message_box(kBoxCaption, "フォームデータがありません", platform::BoxIcon::Error);
    return 1;
  }
  form_ = *form;
  platform::WindowSpec setup{form_.caption, form_.client_width(), form_.client_height()};
  if (!host_.create_window(setup, &why)) {
    std::cerr << "peakwend: " << why << "\n";
    host_.message_box(kBoxCaption, "ウィンドウをオープンできません", platform::BoxIcon::Error);
    return 1;
  }
  window_ready_ = true;
  install_crash_handlers();
  rt().start_areas();

  int code = 0;
  fault_.reset();
  try {
    main_program();
  } catch (const ProgramEnd& end) {
    code = end.exit_code();
  } catch (const RtError& error) {
    code = report_error(error);
  }
  g_crash_frame = nullptr;
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(sig, SIG_DFL);
  return code;
}

void Frame::pump_messages() {
  if (!host_.pump(*this)) throw ProgramEnd(host_.quit_code());
}

void Frame::note_poll(std::uint32_t question, std::int64_t answer) {
  for (const auto& p : polls_) {
    if (p.first == question && p.second == answer) {
      host_.input_idle();
      return;
    }
  }
  if (polls_.size() >= 64) polls_.clear();
  polls_.emplace_back(question, answer);
}

void Frame::on_event(const platform::Event& event) {
  using T = platform::Event::Type;
  switch (event.type) {
    case T::Close:
      break;
    case T::Expose:
      rt().repaint_window();
      break;
    default:
      polls_.clear();
      if (reporting_ && event.type == T::KeyDown && event.key != platform::Key::Shift &&
          event.key != platform::Key::Ctrl && event.key != platform::Key::Alt) {
        report_key_ = true;
      }
      rt().on_input_event(event);
      break;
  }
}

void Frame::write_error_log(const RtError& error) {
  platform::LocalTime t = host_.local_time();
  char when[64];
  std::snprintf(when, sizeof when, "%d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  registry_.set(kErrorKey, "MODL", last_error_.module);
  registry_.set(kErrorKey, "LINE", std::uint32_t{last_error_.line});
  registry_.set(kErrorKey, "CODE", static_cast<std::uint32_t>(error.number()));
  registry_.set(kErrorKey, "FUNC", error.location() >> 8);
  registry_.set(kErrorKey, "INFO", error.location() & 0xFFu);
  registry_.set(kErrorKey, "TIME", std::string(when));
  std::string why;
  if (!registry_.save(&why)) std::cerr << "peakwend: the error log was not written: " << why << "\n";
}

void Frame::API_ERROR(int system_code, std::uint32_t where) {
  registry_.set(kErrorKey, "APIERR", static_cast<std::uint32_t>(system_code));
  std::string why;
  if (!registry_.save(&why)) std::cerr << "peakwend: the error log was not written: " << why << "\n";
  throw RtError(map_system_error(system_code), where);
}

int Frame::report_error(const RtError& error) {
  reporting_ = true;
  UnitContext where = fault_ ? *fault_ : ctx_;
  fault_.reset();
  last_error_.number = error.number();
  last_error_.line = where.line;
  last_error_.module = where.module.empty() ? main_module_ : where.module;
  write_error_log(error);
  std::cerr << "peakwend: run-time error " << error.number() << " in " << last_error_.module
            << " line " << last_error_.line;
  if (where.cpp_file) std::cerr << " (" << where.cpp_file << ":" << where.cpp_line << ")";
  std::cerr << ", location " << std::hex << error.location() << std::dec << "\n";

  char header[160];
  std::snprintf(header, sizeof header, "%s [%u行]:エラー[%d]", last_error_.module.c_str(),
                static_cast<unsigned>(last_error_.line), error.number());
  std::string message = error_message(error.number());
  std::string window_text = "\r\n" + std::string(header);
  if (!message.empty()) window_text += "\r\n" + message;
  window_text += "\r\n任意のキーを押してください";
  std::string box_text = std::string(header) + "\n" + message;
  show_report(platform::utf8_to_sjis(window_text), box_text);
  reporting_ = false;
  return 1;
}

void Frame::user_break() {
  reporting_ = true;
  const std::string& module = ctx_.module.empty() ? main_module_ : ctx_.module;
  char text[200];
  std::snprintf(text, sizeof text, "%s %s[%u行] %s", "\r\n中断しました", module.c_str(),
                static_cast<unsigned>(ctx_.line), "\r\n任意のキーを押してください");
  show_report(platform::utf8_to_sjis(text), text);
  reporting_ = false;
  throw ProgramEnd(0);
}

void Frame::show_report(const std::string& sjis_text, const std::string& box_text) {
  bool in_window = false;
  if (window_ready_) {
    try {
      in_window = rt().print_report(sjis_text);
    } catch (const RtError&) {
      // A second error while the first is reported is ignored.
      fault_.reset();
      in_window = true;
    } catch (const ProgramEnd&) {
      return;
    }
  }
  if (!in_window) {
    host_.message_box(kBoxCaption, box_text, platform::BoxIcon::Warning);
    return;
  }
  wait_for_report_key();
}

void Frame::wait_for_report_key() {
  rt().clear_key_buffer();
  report_key_ = false;
  while (!report_key_) {
    try {
      if (!host_.pump(*this)) return;
    } catch (const RtError&) {
      // A second error while the first is reported is ignored.
      fault_.reset();
      continue;
    }
    if (!report_key_) host_.input_idle();
  }
}

}  // namespace rt
