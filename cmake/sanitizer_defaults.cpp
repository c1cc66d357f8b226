// Sanitizer settings compiled into every program of a sanitizer build, so a
// program run by hand checks as strictly as under the tests.

extern "C" {

const char* __asan_default_options() {  // NOLINT: the name the runtime looks for
  return "check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1";
}

const char* __ubsan_default_options() {  // NOLINT
  return "print_stacktrace=1";
}

// A program's own output stays its own: no table of the suppressions used.
const char* __lsan_default_options() {  // NOLINT
  return "print_suppressions=0";
}

// Allocations the system libraries keep until exit: the D-Bus connection SDL
// opens, and the file type table libinstpatch builds when FluidSynth asks
// whether a file is a soundfont (its stack ends in GLib).
const char* __lsan_default_suppressions() {  // NOLINT
  return "leak:libdbus-1.so\n"
         "leak:libglib-2.0.so\n"
         "leak:libinstpatch-1.0.so\n";
}

}  // extern "C"
