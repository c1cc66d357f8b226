// Libraries the program loads by name and calls by function name. The one
// library there is: the multimedia library "WINMM" (MIDI output and the
// millisecond clock), answering as the program expects.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/host.h"

namespace platform {

// One argument of a call: a 32-bit value, or the address of a 32-bit
// variable that the function may write.
struct CallArg {
  std::uint32_t value = 0;
  std::int32_t* address = nullptr;
};

using LibraryHandle = std::uint32_t;  // 0: no library
using ProcHandle = std::uint32_t;     // 0: no function

// Results of the MIDI functions.
namespace mmsys {
inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kBadDeviceId = 2;
inline constexpr std::uint32_t kInvalidHandle = 5;
inline constexpr std::uint32_t kInvalidFlag = 10;
inline constexpr std::uint32_t kInvalidParam = 11;
inline constexpr std::uint32_t kMidiMapper = 0xFFFFFFFFu;
}  // namespace mmsys

class SystemLibraries {
 public:
  explicit SystemLibraries(Host& host);
  // Closes the MIDI outputs still open, so no note hangs.
  ~SystemLibraries();
  SystemLibraries(const SystemLibraries&) = delete;
  SystemLibraries& operator=(const SystemLibraries&) = delete;

  // LoadLibrary: "WINMM" or "WINMM.DLL" in any capitalisation; 0 otherwise.
  // Each load takes a reference that free() gives back.
  LibraryHandle load(std::string_view name);
  void free(LibraryHandle library);
  int references(LibraryHandle library) const;
  // GetProcAddress: function names are compared exactly; 0 when missing.
  ProcHandle find(LibraryHandle library, std::string_view function) const;
  // Calls a function; nullopt when the number of arguments is not its own.
  std::optional<std::uint32_t> call(ProcHandle proc, std::span<const CallArg> args);

  // MIDI output handles open now.
  std::size_t open_outputs() const;

 private:
  struct Output {
    std::uint32_t handle = 0;  // 0: closed slot
    std::uint8_t running_status = 0;
  };
  Output* output(std::uint32_t handle);

  std::uint32_t midiOutGetNumDevs();
  std::uint32_t midiOutOpen(std::int32_t* handle, std::uint32_t device, std::uint32_t callback,
                            std::uint32_t instance, std::uint32_t flags);
  std::uint32_t midiOutShortMsg(std::uint32_t handle, std::uint32_t message);
  std::uint32_t midiOutClose(std::uint32_t handle);
  std::uint32_t timeGetTime();

  Host& host_;
  int winmm_refs_ = 0;
  std::vector<Output> outputs_;
  std::uint32_t next_handle_ = 0x4D10;
};

}  // namespace platform
