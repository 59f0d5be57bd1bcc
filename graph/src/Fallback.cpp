#include "Fallback.h"

#include "Surface.h"

#ifndef _WIN32
#include <SDL.h>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "NativeWindow.h"
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace graph {
#ifndef _WIN32
namespace {

constexpr const char *kSoftware = "LIBGL_ALWAYS_SOFTWARE";

bool OnSoftwareRasterizer() {
  const char *v = std::getenv(kSoftware);
  return v && *v && std::strcmp(v, "0") != 0;
}

// The program's own arguments, as it was started.
std::vector<std::string> OwnArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  for (size_t from = 0; from < all.size();) {
    const size_t end = all.find('\0', from);
    args.push_back(all.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    from = end + 1;
  }
  return args;
}

// The new program starts with nothing of this one open but the standard
// streams: the window's connection closes, and the window with it.
void CloseOnExec() {
  DIR *d = opendir("/proc/self/fd");
  if (!d) return;
  const int own = dirfd(d);
  while (const dirent *e = readdir(d)) {
    const int fd = std::atoi(e->d_name);
    if (fd > 2 && fd != own) fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
  }
  closedir(d);
}

}  // namespace

#endif

void ReportCannotDraw(HWND Window, const std::string &Why) {
  const std::string text = "The game cannot draw: " + Why;
  std::fprintf(stderr, "graph: %s\n", text.c_str());
  std::fflush(stderr);
  const char *quiet = std::getenv("KESTROVE_NO_ERROR_BOX");
  if (quiet && *quiet) return;
  std::string why;
  if (!ShowErrorBox(Window, text, why))
    std::fprintf(stderr, "graph: (the message box could not be shown: %s)\n", why.c_str());
}

#ifdef _WIN32
void RestartOnSoftwareRasterizer(HWND, const std::string &) {}
#else
void RestartOnSoftwareRasterizer(HWND Window, const std::string &Why) {
  if (OnSoftwareRasterizer()) return;
  const std::vector<std::string> args = OwnArguments();
  if (args.empty()) return;
  std::fprintf(stderr, "graph: %s; starting again on Mesa's software rasterizer (%s=1)\n", Why.c_str(), kSoftware);
  std::fflush(nullptr);
  if (Window) SDL_SetWindowFullscreen(NativeWindow(Window), 0);  // the display's own mode back
  setenv(kSoftware, "1", 1);
  std::vector<char *> argv;
  for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  CloseOnExec();
  execv("/proc/self/exe", argv.data());
  // Still here: this process goes on, on the driver that failed.
  std::fprintf(stderr, "graph: the program could not be started again: %s\n", std::strerror(errno));
  unsetenv(kSoftware);
}
#endif

}  // namespace graph
