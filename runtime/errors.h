// Run-time errors and program end, as exceptions that unwind to the frame.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace rt {

// The runtime operation that raised an error: the high part of a location
// code (logged as FUNC); the low 8 bits name the check inside it (INFO).
enum class Op : std::uint16_t {
  None = 0,
  Frame = 1, SubEnter, SubLeave, Gosub,
  Cls = 0x10, Color, Palette, PaletteRgb, Line, Circle, Get, Put, Pmap, Window,
  Locate = 0x20, Print, PrintUsing, Text,
  Inkey = 0x30, Asc, Input, Mouse, MouseButton, Time, Date, Rnd, Randomize, Beep, LibCall,
  Cint = 0x40, Clng, Csng, Power, IntDiv, Mod, Right, Val, StrAssign, Dim, Element, Read,
  System = 0x50,
};

constexpr std::uint32_t location(Op op, std::uint8_t check = 0) {
  return (static_cast<std::uint32_t>(op) << 8) | check;
}

// A numbered run-time error on its way to the frame.
class RtError : public std::exception {
 public:
  RtError(int number, std::uint32_t location) : number_(number), location_(location) {}
  int number() const { return number_; }
  std::uint32_t location() const { return location_; }
  const char* what() const noexcept override { return "run-time error"; }

 private:
  int number_;
  std::uint32_t location_;
};

// The program ends (END, the window closed, a signal): unwinds quietly.
class ProgramEnd : public std::exception {
 public:
  explicit ProgramEnd(int exit_code) : exit_code_(exit_code) {}
  int exit_code() const { return exit_code_; }
  const char* what() const noexcept override { return "program end"; }

 private:
  int exit_code_;
};

// Raises run-time error `number` (error 0 is ignored, as the runtime does).
inline void raise(int number, std::uint32_t where = 0) {
  if (number != 0) throw RtError(number, where);
}
[[noreturn]] inline void fail(int number, std::uint32_t where) { throw RtError(number, where); }

// The runtime's own message for an error number (UTF-8); empty if none.
std::string error_message(int number);

// A system error code mapped to an error number (27 when not in the table).
int map_system_error(int code);

}  // namespace rt
