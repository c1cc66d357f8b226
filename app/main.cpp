#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>

#include "app/best20_file.h"
#include "app/options.h"
#include "app/script_hooks.h"
#include "app/settings.h"
#include "game/zided.h"
#include "platform/headless_host.h"
#include "platform/registry.h"
#include "platform/sdl_host.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  app::Options from_file;
  app::read_settings(app::settings_path(), from_file, std::cerr);
  app::ParseResult parsed = app::parse_command_line(args, from_file);
  if (parsed.exit_code) {
    (*parsed.exit_code == 0 ? std::cout : std::cerr) << parsed.message;
    return *parsed.exit_code;
  }
  const app::Options& o = parsed.options;

  platform::HostOptions host_options;
  host_options.scale = o.scale;
  host_options.fullscreen = o.fullscreen;
  host_options.volume = std::make_shared<platform::Volume>(o.volume);
  if (o.time || o.date) {
    platform::LocalTime t;
    std::string why;
    app::start_time(o, platform::system_local_time(), &t, &why);
    host_options.start_time = t;
  }
  if (o.script_path) {
    std::ifstream in(*o.script_path, std::ios::binary);
    if (!in) {
      std::cerr << "peakwend: cannot read script " << *o.script_path << "\n";
      return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string why;
    auto script = platform::parse_script(text.str(), &why);
    if (!script) {
      std::cerr << "peakwend: script " << *o.script_path << " " << why << "\n";
      return 2;
    }
    host_options.script = std::move(*script);
  } else if (o.headless) {
    std::cerr << "peakwend: --headless needs --script FILE\n";
    return 2;
  }

  platform::MidiOptions midi;
  midi.mode = o.midi == app::MidiChoice::FluidSynth ? platform::MidiMode::FluidSynth
              : o.midi == app::MidiChoice::None     ? platform::MidiMode::None
                                                    : platform::MidiMode::Auto;
  midi.soundfont = o.soundfont;
  midi.headless = o.headless;
  midi.volume = host_options.volume;
  std::string note;
  if (midi.mode == platform::MidiMode::Auto && !o.headless) {
    // Opened when the program first asks for it: the window comes first.
    host_options.midi = std::make_shared<platform::LazyMidi>([midi] {
      std::string why;
      auto device = platform::open_midi(midi, &why);
      if (!why.empty()) std::cerr << "peakwend: playing without notes: " << why << "\n";
      return device;
    });
  } else {
    host_options.midi = platform::open_midi(midi, &note);
    if (!host_options.midi) {
      std::cerr << "peakwend: --midi fluidsynth: " << note << "\n";
      return 2;
    }
    if (!note.empty()) std::cerr << "peakwend: playing without notes: " << note << "\n";
  }

  std::unique_ptr<platform::Host> host;
  if (o.headless) {
    host = std::make_unique<platform::HeadlessHost>(std::move(host_options));
  } else {
    host = std::make_unique<platform::SdlHost>(std::move(host_options));
  }
  platform::Registry registry;
  rt::Runtime runtime(*host, registry);
  std::optional<app::Best20File> best20;
  game::Zided game(runtime);
  if (o.keep_scores) game.set_best20_store(&best20.emplace(app::Best20File::default_path()));
  if (o.trace_path) {
    try {
      game.open_trace(*o.trace_path);
    } catch (const std::exception& e) {
      std::cerr << "peakwend: " << e.what() << "\n";
      return 2;
    }
  }
  app::ScriptHooks hooks(runtime, game);
  host->set_script_hooks(&hooks);
  return game.run();
}
