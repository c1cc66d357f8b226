// The settings file, $XDG_CONFIG_HOME/peakwend/peakwend.conf: defaults for
// the options the command line can override. The program never writes it.
#pragma once

#include <ostream>
#include <string>

#include "app/options.h"

namespace app {

// $XDG_CONFIG_HOME/peakwend/peakwend.conf, else ~/.config/peakwend/peakwend.conf.
std::string settings_path();
// One line per key with the values it takes, for --help.
std::string settings_help();

// Applies the settings in `text`, read from `path`, to `options`. An unknown
// key, a bad value or a line that is not "key = value" is reported on `warn`
// with the file, the line and what is accepted, and changes nothing.
void apply_settings(const std::string& text, const std::string& path, Options& options,
                    std::ostream& warn);
// The same for the file at `path`; a missing file changes nothing.
void read_settings(const std::string& path, Options& options, std::ostream& warn);

}  // namespace app
