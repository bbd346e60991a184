// Sanitizer builds only, linked into every program and test: leaks inside
// system libraries, which they keep until the process ends and the program
// cannot free, are not ours: D-Bus's connection state, fontconfig's caches,
// and the strings libspeechd makes with vasprintf when it finds no server
// (its frames cannot be walked, so only the libc function names them; none
// of our code calls it).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:__vasprintf_internal\n";
}

// Quietly: a program's standard error is part of what the tests check.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
