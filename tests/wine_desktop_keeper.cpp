// Keeps Wine's desktop process running for as long as the prefix's server
// runs. Wine starts that process for the first program that needs the
// desktop, with that program's standard output, and keeps it while any
// program uses the desktop; a caller reading the output (a test runner)
// would then wait for other programs to end. Started once, with its output
// elsewhere, this is the program that starts it. Usage: keeper READY-FILE
// (made once the desktop is up).
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::GetDesktopWindow();
  if (argc > 1) {
    if (std::FILE* ready = std::fopen(argv[1], "w")) std::fclose(ready);
  }
  for (;;) ::Sleep(INFINITE);
}
