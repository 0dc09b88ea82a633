// wayland_main.cpp - vimbrel-wayland: the scene on every output of a Wayland compositor.
//
// Reads the shared Linux command line, prints --help or the manual page, or
// runs a WaylandSession (wayland_session.h). The scene clock is the
// monotonic millisecond count taken as 32 bits; VIMBREL_FROZEN_TICK holds it
// at one value, so that a test can compare an output with vimbrel-render's
// frame; VIMBREL_WAYLAND_SHELL=xdg ignores the layer shell, so that a test
// shows on sway the fullscreen windows GNOME and Weston get. Exit status: 0
// on input or SIGTERM/SIGINT, 1 on a Wayland or scene failure, 2 on a bad
// command line or --config file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/scene/scene.h"
#include "linux_options/linux_options.h"
#include "wayland/wayland_documents.h"
#include "wayland/wayland_session.h"

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "vimbrel-wayland: %s\n", message.c_str());
  return status;
}


}  // namespace

int main(int argc, char** argv) {
  LinuxOptions options;
  std::string error;
  if (!ParseLinuxOptions(waylandProgram, argc, argv, options, error))
    return Fail(exitUsage, error + "\n" + UsageLine(waylandProgram));
  if (options.help || options.manual) {
    std::fputs((options.help ? WaylandHelp() : WaylandManualPage(VIMBREL_VERSION)).c_str(), stdout);
    return 0;
  }
  SceneClock clock{};
  if (!ChooseSceneClock(std::getenv("VIMBREL_FROZEN_TICK"), clock, error)) return Fail(exitFailure, error);
  return WaylandSession(options, clock).Run();
}
