// The execution frame: start-up, the main window, the statement yield,
// source lines, SUB frames, GOSUB, END and the reporting of run-time errors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/registry.h"
#include "runtime/errors.h"
#include "runtime/form.h"

namespace rt {

class Runtime;

// The caller's source file and line, captured at the call site (works with
// compilers whose library lacks std::source_location).
struct SourceLine {
  const char* file = "";
  unsigned line = 0;
  static constexpr SourceLine current(const char* file = __builtin_FILE(),
                                      unsigned line = __builtin_LINE()) {
    return {file, line};
  }
};

// Where READ takes its next item: a DATA record and an offset in its text.
struct DataPos {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t record = kNone;  // kNone: no DATA to read
  std::size_t offset = 0;
  bool valid() const { return record != kNone; }
};

// What a program unit (the main program or one SUB call) owns while it runs.
struct UnitContext {
  std::string module;          // empty until the unit's first statement sets it
  std::uint16_t line = 0;
  DataPos data;
  const char* cpp_file = nullptr;  // for the developer's report on stderr
  unsigned cpp_line = 0;
};

// Options compiled into the program.
struct CompileOptions {
  int yield_interval = 10;  // statements between two pumps, minus one
};

class Frame : public platform::EventSink {
 public:
  static constexpr const char* kErrorKey = "Software\\KORVANE\\Zerlith97\\RUNTIME\\ERROR";
  static constexpr const char* kEnvKey = "Software\\KORVANE\\Zerlith97\\ENV";
  static constexpr int kMaxSubDepth = 1000;

  Frame(platform::Host& host, platform::Registry& registry);

  platform::Host& host() { return host_; }
  platform::Registry& registry() { return registry_; }

  // Start-up, the main program, and the tidy-up; returns the exit code.
  int run(std::string_view form_text, const CompileOptions& options,
          const std::function<void()>& main_program);

  // Statements.
  void STMT_YIELD() {
    ++statements_;
    if (yield_counter_ == 0) {
      yield_counter_ = yield_reload_;
      pump_messages();
    } else {
      --yield_counter_;
    }
  }
  void SET_LINE(std::uint16_t line) { ctx_.line = line; }
  // STMT_YIELD then SET_LINE with the caller's line: one call per statement.
  void STMT(SourceLine loc = SourceLine::current()) {
    STMT_YIELD();
    ctx_.line = static_cast<std::uint16_t>(loc.line);
    ctx_.cpp_file = loc.file;
    ctx_.cpp_line = loc.line;
  }
  void SET_MAIN_MODULE(const std::string& name) { main_module_ = name; }
  void SET_MODULE(const std::string& name) { ctx_.module = name; }

  // A SUB frame for the lifetime of the guard: the caller's unit context is
  // saved and a fresh one begins; it is restored when the guard goes.
  class SubFrame {
   public:
    explicit SubFrame(Frame& frame);
    ~SubFrame();
    SubFrame(const SubFrame&) = delete;
    SubFrame& operator=(const SubFrame&) = delete;

   private:
    Frame& frame_;
    UnitContext saved_;
    int exceptions_at_entry_;
  };
  [[nodiscard]] SubFrame SUB_ENTER() { return SubFrame(*this); }

  // Calls `label` as a subroutine; its return restores the GOSUB's line.
  template <class F>
  void GOSUB(F&& label) {
    std::uint16_t line = ctx_.line;
    label();
    ctx_.line = line;
  }

  [[noreturn]] void END(int exit_code = 0) { throw ProgramEnd(exit_code); }
  // Raises error `number`; error 0 is no error and is ignored.
  void RT_ERROR(int number, std::uint32_t where) { rt::raise(number, where); }
  // A failed system call: logs APIERR and raises the mapped error.
  [[noreturn]] void API_ERROR(int system_code, std::uint32_t where);

  // Window numbers: 0 is the main window; others name no window (1000).
  void check_window(int window, Op op) const {
    if (window != 0) throw RtError(1000, location(op, 0xFF));
  }

  const UnitContext& context() const { return ctx_; }
  UnitContext& context() { return ctx_; }
  const std::string& main_module() const { return main_module_; }
  const Form& form() const { return form_; }
  int sub_depth() const { return sub_depth_; }
  // Statements begun since the frame was made.
  std::uint64_t statements() const { return statements_; }

  // The last error recorded by a report.
  struct LastError {
    int number = 0;
    std::uint16_t line = 0;
    std::string module;
  };
  const LastError& last_error() const { return last_error_; }

  // Pumps waiting window messages; ends the program when the window closed.
  void pump_messages();
  // The program asked for input; `question` names what was asked and
  // `answer` what came back. Asking the same again with the same answer and
  // no input in between means the program is waiting: the host is told.
  void note_poll(std::uint32_t question, std::int64_t answer);

  // The user break (Ctrl+C read from the key buffer): report, key, end.
  [[noreturn]] void user_break();

  // The window procedure: events from the host.
  void on_event(const platform::Event& event) override;

 protected:
  Runtime& rt();

 private:
  int report_error(const RtError& error);
  void write_error_log(const RtError& error);
  // Shows `text` (Shift-JIS) in the window, or in a message box when the
  // window cannot be used; then waits for a key when in the window.
  void show_report(const std::string& sjis_text, const std::string& box_text);
  void wait_for_report_key();
  void install_crash_handlers();

  platform::Host& host_;
  platform::Registry& registry_;
  Form form_;
  std::string main_module_;
  UnitContext ctx_;
  LastError last_error_;
  int yield_reload_ = 10;
  int yield_counter_ = 0;
  std::uint64_t statements_ = 0;
  int sub_depth_ = 0;
  bool window_ready_ = false;
  bool reporting_ = false;
  bool report_key_ = false;
  std::vector<std::pair<std::uint32_t, std::int64_t>> polls_;
  // The unit context where an error was raised, kept while SUB frames unwind.
  std::optional<UnitContext> fault_;
};

}  // namespace rt
