#include "platform/winmm.h"

#include <algorithm>
#include <array>

namespace platform {

namespace {

constexpr LibraryHandle kWinmm = 0x6B5A0000u;

enum Fn : std::uint8_t { kGetNumDevs, kOpen, kShortMsg, kClose, kTimeGetTime };

struct Export {
  std::string_view name;
  Fn fn;
  std::size_t arity;
};
constexpr std::array<Export, 5> kExports = {{
    {"midiOutGetNumDevs", kGetNumDevs, 0},
    {"midiOutOpen", kOpen, 5},
    {"midiOutShortMsg", kShortMsg, 2},
    {"midiOutClose", kClose, 1},
    {"timeGetTime", kTimeGetTime, 0},
}};
constexpr ProcHandle kProcBase = kWinmm + 0x1000;

std::string upper(std::string_view s) {
  std::string u(s);
  for (char& c : u) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return u;
}

}  // namespace

SystemLibraries::SystemLibraries(Host& host) : host_(host) {}

SystemLibraries::~SystemLibraries() {
  if (open_outputs() > 0) host_.midi().reset();
}

LibraryHandle SystemLibraries::load(std::string_view name) {
  std::string u = upper(name);
  if (u != "WINMM" && u != "WINMM.DLL") return 0;
  ++winmm_refs_;
  return kWinmm;
}

void SystemLibraries::free(LibraryHandle library) {
  if (library == kWinmm && winmm_refs_ > 0) --winmm_refs_;
}

int SystemLibraries::references(LibraryHandle library) const {
  return library == kWinmm ? winmm_refs_ : 0;
}

ProcHandle SystemLibraries::find(LibraryHandle library, std::string_view function) const {
  if (library != kWinmm || winmm_refs_ == 0) return 0;
  for (std::size_t i = 0; i < kExports.size(); ++i) {
    if (kExports[i].name == function) return kProcBase + static_cast<ProcHandle>(i);
  }
  return 0;
}

std::optional<std::uint32_t> SystemLibraries::call(ProcHandle proc, std::span<const CallArg> a) {
  if (proc < kProcBase || proc >= kProcBase + kExports.size()) return std::nullopt;
  const Export& e = kExports[proc - kProcBase];
  if (a.size() != e.arity) return std::nullopt;
  switch (e.fn) {
    case kGetNumDevs:
      return midiOutGetNumDevs();
    case kOpen:
      return midiOutOpen(a[0].address, a[1].value, a[2].value, a[3].value, a[4].value);
    case kShortMsg:
      return midiOutShortMsg(a[0].value, a[1].value);
    case kClose:
      return midiOutClose(a[0].value);
    case kTimeGetTime:
      return timeGetTime();
  }
  return std::nullopt;
}

std::size_t SystemLibraries::open_outputs() const {
  return static_cast<std::size_t>(
      std::count_if(outputs_.begin(), outputs_.end(), [](const Output& o) { return o.handle; }));
}

SystemLibraries::Output* SystemLibraries::output(std::uint32_t handle) {
  if (handle == 0) return nullptr;
  for (Output& o : outputs_) {
    if (o.handle == handle) return &o;
  }
  return nullptr;
}

std::uint32_t SystemLibraries::midiOutGetNumDevs() {
  return static_cast<std::uint32_t>(host_.midi().device_count());
}

std::uint32_t SystemLibraries::midiOutOpen(std::int32_t* handle, std::uint32_t device,
                                           std::uint32_t, std::uint32_t, std::uint32_t flags) {
  if (!handle) return mmsys::kInvalidParam;
  auto count = static_cast<std::uint32_t>(host_.midi().device_count());
  bool known = count > 0 && (device == mmsys::kMidiMapper || device < count);
  if (!known) return mmsys::kBadDeviceId;
  // No callbacks are ever made, so only "no callback" is accepted.
  if (flags != 0) return mmsys::kInvalidFlag;
  std::uint32_t h = next_handle_;
  next_handle_ += 4;
  auto slot =
      std::find_if(outputs_.begin(), outputs_.end(), [](const Output& o) { return !o.handle; });
  if (slot == outputs_.end()) slot = outputs_.insert(outputs_.end(), Output{});
  *slot = Output{h, 0};
  *handle = static_cast<std::int32_t>(h);
  return mmsys::kNoError;
}

std::uint32_t SystemLibraries::midiOutShortMsg(std::uint32_t handle, std::uint32_t message) {
  Output* o = output(handle);
  if (!o) return mmsys::kInvalidHandle;
  auto status = static_cast<std::uint8_t>(message & 0xFF);
  if (status < 0x80) {
    // Running status: the message starts with its first data byte.
    if (o->running_status == 0) return mmsys::kNoError;
    message = o->running_status | ((message & 0xFFFF) << 8);
  } else if (status < 0xF0) {
    o->running_status = status;
  } else if (status < 0xF8) {
    o->running_status = 0;
  }
  host_.midi().send(message & 0xFFFFFF);
  return mmsys::kNoError;
}

std::uint32_t SystemLibraries::midiOutClose(std::uint32_t handle) {
  Output* o = output(handle);
  if (!o) return mmsys::kInvalidHandle;
  o->handle = 0;
  host_.midi().reset();
  return mmsys::kNoError;
}

std::uint32_t SystemLibraries::timeGetTime() {
  return host_.millis();
}

}  // namespace platform
