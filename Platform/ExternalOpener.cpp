#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "Backend.h"

int DefaultExternalOpener(const char* text, void*) {
  if (!text) return -1;
  // The middle child ends at once, so xdg-open is adopted by init and never
  // waited on, and no zombie is left behind.
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    setsid();
    pid_t grandchild = fork();
    if (grandchild < 0) _exit(1);
    if (grandchild == 0) {
      // Nothing to read: keep the opener off the program's input.
      int null = open("/dev/null", O_RDONLY);
      if (null >= 0) dup2(null, STDIN_FILENO);
      char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(text), nullptr};
      execvp("xdg-open", argv);
      _exit(127);
    }
    _exit(0);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}
