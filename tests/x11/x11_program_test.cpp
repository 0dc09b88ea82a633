// x11_program_test.cpp - the real vimbrel program on a private Xvfb server.
//
// Each test starts its own Xvfb on a display the server picks, runs vimbrel
// with the scene clock frozen, and reads its window back: the pixels must be
// the portable core's frame for the same record, tick and size, through the
// same palette.
// Every wait polls a condition against a deadline.
// gtest first: X11 defines None, Bool and Status as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "scene/test_scene.h"
#include "x11/x11_options.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
const std::string scratch = std::string(VIMBREL_BINARY_DIR) + "/x11-test-" + std::to_string(getpid());

bool WaitFor(const std::function<bool()>& done, double seconds) {
  const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
  while (Clock::now() < deadline) {
    if (done()) return true;
    usleep(20000);  // the poll interval of the condition, not a wait for it
  }
  return done();
}

pid_t Spawn(const std::vector<std::string>& command, const std::vector<std::string>& extraEnv,
            const std::string& errorFile, const std::string& outputFile = "/dev/null") {
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : extraEnv) envp.push_back(const_cast<char*>(e.c_str()));
  for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);  // earlier entries win
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit status within the deadline; -1 when still running (then killed),
// -2 when ended by a signal.
int WaitExit(pid_t pid, double seconds) {
  int status = 0;
  if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
    kill(pid, SIGKILL), waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

std::string ReadText(const std::string& path) {
  std::stringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// A private X server, stopped with the test. The server picks a free
// display itself and writes its number to a pipe (-displayfd), so tests
// running side by side never race for one.
struct Xvfb {
  pid_t pid = -1;
  std::string name;
  Display* display = nullptr;

  explicit Xvfb(const std::vector<std::string>& options = {}, const std::string& screen = "1280x1024x24") {
    int ready[2];
    if (pipe(ready) != 0) return;
    std::vector<std::string> command{
        "/usr/bin/Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp", "-screen", "0", screen};
    command.insert(command.end(), options.begin(), options.end());
    pid = Spawn(command, {}, "/dev/null");
    close(ready[1]);
    std::string number;
    char c;
    while (pid > 0 && read(ready[0], &c, 1) == 1 && c != '\n') number += c;  // ends when the server does
    close(ready[0]);
    if (!number.empty()) name = ":" + number, display = XOpenDisplay(name.c_str());
    if (display == nullptr) Stop();
  }
  ~Xvfb() { Stop(); }
  void Stop() {
    if (display != nullptr) XCloseDisplay(display);
    display = nullptr;
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
    pid = -1;
  }
};

struct Frame {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> rgb;  // 0xRRGGBB, top row first
};

// The frame the portable core draws for a record, tick and size, as colours:
// the program draws it with the same core from the same pictures.
Frame RenderedFrame(SettingsRecord record, uint32_t tick, int32_t width, int32_t height) {
  TestScene t;
  EXPECT_EQ(t.Make(width, height), SceneInitResult::ok);
  StampSceneClocks(record, tick);
  DrawSceneFrame(t.scene, record, tick);
  Frame frame{width, height, {}};
  for (int32_t row = height - 1; row >= 0; --row)  // frame row 0 is the bottom of the window
    for (int32_t x = 0; x < width; ++x) {
      const PaletteEntry& e = t.scene.palette.entries[t.Pixel(x, row)];
      frame.rgb.push_back(static_cast<uint32_t>(e.red << 16 | e.green << 8 | e.blue));
    }
  return frame;
}

// A colour as a visual keeps it: each channel's top bits in its mask.
unsigned long Reduced(uint32_t rgb, const XImage* image) {
  unsigned long pixel = 0;
  const unsigned long masks[] = {image->red_mask, image->green_mask, image->blue_mask};
  for (int channel = 0; channel < 3; ++channel) {
    const unsigned long mask = masks[channel], value = (rgb >> (16 - 8 * channel)) & 0xff;
    const int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
    pixel |= (bits <= 8 ? value >> (8 - bits) : value << (bits - 8)) << shift;
  }
  return pixel;
}

// A rectangle of the window left out of a comparison, and what differs inside it.
struct Corner {
  int x = 0, y = 0, width = 0, height = 0;
  long* differing = nullptr;
  bool Holds(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// Pixels of the window that differ from the frame, in the visual's own
// colours; the whole area when it cannot be read.
long DifferingPixels(Display* display, Window window, const Frame& expected, const Corner& corner = {}) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.width != expected.width ||
      attributes.height != expected.height || attributes.map_state != IsViewable)
    return static_cast<long>(expected.width) * expected.height;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(expected.width),
                            static_cast<unsigned>(expected.height), AllPlanes, ZPixmap);
  if (image == nullptr) return static_cast<long>(expected.width) * expected.height;
  long differing = 0, inCorner = 0;
  for (int32_t y = 0; y < expected.height; ++y)
    for (int32_t x = 0; x < expected.width; ++x) {
      const unsigned long rgb = XGetPixel(image, x, y) & (image->red_mask | image->green_mask | image->blue_mask);
      const bool differs = rgb != Reduced(expected.rgb[static_cast<size_t>(y) * expected.width + x], image);
      (corner.Holds(x, y) ? inCorner : differing) += differs;
    }
  XDestroyImage(image);
  if (corner.differing != nullptr) *corner.differing = inCorner;
  return differing;
}

long WaitForFrame(Display* display, Window window, const Frame& expected) {
  long differing = 0;
  WaitFor([&] { return (differing = DifferingPixels(display, window, expected)) == 0; }, 15);
  return differing;
}

Window MakeWindow(Display* display, int width, int height) {
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 10, 10, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height), 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

Window FindTopLevel(Display* display, const char* title) {
  Window found = 0, root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  for (unsigned i = 0; i < count && found == 0; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name != nullptr && std::strcmp(name, title) == 0)
      found = children[i];
    XFree(name);
  }
  XFree(children);
  return found;
}

void Close(Display* display, Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

std::vector<std::string> Command(std::vector<std::string> options) {
  options.insert(options.begin(), VIMBREL_PROGRAM);
  return options;
}

std::string FrozenAt(uint32_t tick) { return "VIMBREL_FROZEN_TICK=" + std::to_string(tick); }

// The window goes, as XScreenSaver ends a program it started: the exit status.
int EndsWithItsWindow(Display* display, Window window, pid_t pid) {
  XDestroyWindow(display, window);
  XSync(display, False);
  return WaitExit(pid, 15);
}

// A new window of the given size, a program started on it, the core's frame
// for the record and tick in it, and an end with 0 once the window goes.
void ExpectFrameThenEnd(Display* display, int width, int height, const SettingsRecord& record, uint32_t tick,
                        const std::string& errors, const std::function<pid_t(Window)>& start) {
  const Window window = MakeWindow(display, width, height);
  const pid_t pid = start(window);
  EXPECT_EQ(WaitForFrame(display, window, RenderedFrame(record, tick, width, height)), 0) << ReadText(errors);
  EXPECT_EQ(EndsWithItsWindow(display, window, pid), 0) << ReadText(errors);
}

TEST(X11Program, OwnWindowShowsTheFrameAtEverySizeAndClosesWithZero) {
  Xvfb x;
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  // A frame time of 100 s: what is shown after the first frame is shown without another.
  SettingsRecord slow = DefaultSettings();
  slow.frameTime = 100000;
  const pid_t pid =
      Spawn(Command({"--frame-time", "100000"}), {"DISPLAY=" + x.name, FrozenAt(12345)}, scratch + "-own.err");
  Window window = 0;
  ASSERT_TRUE(WaitFor([&] { return (window = FindTopLevel(x.display, "Vimbrel")) != 0; }, 15));
  EXPECT_EQ(WaitForFrame(x.display, window, RenderedFrame(slow, 12345, 1024, 768)), 0);

  XResizeWindow(x.display, window, 501, 299);  // no manager on Xvfb: the size is taken as asked
  const Frame resized = RenderedFrame(slow, 12345, 501, 299);
  EXPECT_EQ(WaitForFrame(x.display, window, resized), 0);
  XUnmapWindow(x.display, window);  // hidden and shown again: the exposed window is repainted
  XMapWindow(x.display, window);
  XSync(x.display, False);
  EXPECT_EQ(WaitForFrame(x.display, window, resized), 0);

  Close(x.display, window);
  EXPECT_EQ(WaitExit(pid, 15), 0) << ReadText(scratch + "-own.err");
}

// Someone else's window, named on the command line, by XScreenSaver, or by
// both as its settings program names the preview pane, with settings from
// the command line and from a stored record.
TEST(X11Program, ForeignWindowsShowTheFrameOfTheGivenSettings) {
  Xvfb x;
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";

  SettingsRecord options = DefaultSettings();
  options.eyeZ = -5000, options.showGrid = 1, options.showPalette = 1;
  // A short stored record: its bytes, then the defaults; --no-shadows after
  // it wins. eyeX has no option: only a record reaches it.
  SettingsRecord stored = DefaultSettings();
  stored.eyeX = -150, stored.eyeY = 900, stored.showShadows = 0;
  const std::string config = scratch + "-short.bin";
  std::ofstream(config, std::ios::binary).write("\x6a\xff\xff\xff\x84\x03\x00\x00", 8);  // -150, 900

  enum How { commandLine, environment, preview };
  struct Case {
    How how;
    std::vector<std::string> arguments;
    SettingsRecord record;
    uint32_t tick;
    int width, height;
  } cases[] = {
      {commandLine, {"-root", "--grid", "--palette", "--eye-z", "-5000"}, options, 777, 640, 480},  // the id wins
      {environment, {"--shadows", "--config", config, "--no-shadows"}, stored, 4294967000u, 301, 203},
      {preview, {"-display", x.name, "--root"}, DefaultSettings(), 31, 320, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    ExpectFrameThenEnd(x.display, c.width, c.height, c.record, c.tick, scratch + "-foreign.err", [&](Window window) {
      char id[32];
      std::snprintf(id, sizeof id, c.how == environment ? "%lu" : "0x%lx", window);
      std::vector<std::string> arguments = c.arguments, env{"DISPLAY=" + x.name, FrozenAt(c.tick)};
      if (c.how != commandLine) env.push_back(std::string("XSCREENSAVER_WINDOW=") + id);
      if (c.how != environment) arguments.insert(arguments.end(), {"--window-id", id});
      if (c.how == preview) env[0] = "DISPLAY=:nonexistent";  // only -display names the server
      return Spawn(Command(arguments), env, scratch + "-foreign.err");
    });
  }
}

// Without MIT-SHM the frame goes out through XPutImage; when the server goes
// away the program says so and ends with 1, without a crash.
TEST(X11Program, PlainImagesAndTheServerGoingAway) {
  Xvfb x({"-extension", "MIT-SHM"});
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  const Window window = MakeWindow(x.display, 320, 240);
  const pid_t pid = Spawn(Command({"--window-id", std::to_string(window)}), {"DISPLAY=" + x.name, FrozenAt(99)},
                          scratch + "-gone.err");
  EXPECT_EQ(WaitForFrame(x.display, window, RenderedFrame(DefaultSettings(), 99, 320, 240)), 0);
  XSetCloseDownMode(x.display, RetainPermanent);  // the window outlives our connection: only the server ends
  x.Stop();
  EXPECT_EQ(WaitExit(pid, 15), 1);
  EXPECT_EQ(ReadText(scratch + "-gone.err"), "vimbrel: lost the connection to the X server\n");
}

// The root window resized by RandR, as when the monitors change: --root
// lays the scene out again at the root's new size, shrunk and grown back.
TEST(X11Program, TheRootFollowsItsSizeChangedByRandR) {
  Xvfb x;
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  const Window root = DefaultRootWindow(x.display);
  const pid_t pid = Spawn(Command({"--root"}), {"DISPLAY=" + x.name, FrozenAt(4242)}, scratch + "-randr.err");
  EXPECT_EQ(WaitForFrame(x.display, root, RenderedFrame(DefaultSettings(), 4242, 1280, 1024)), 0);
  for (const auto& size : {std::pair<int, int>{800, 600}, std::pair<int, int>{1280, 1024}}) {
    const std::string fb = std::to_string(size.first) + "x" + std::to_string(size.second);
    // xrandr may also complain about the output it cannot fit; the root is resized either way.
    WaitExit(Spawn({"/usr/bin/xrandr", "-display", x.name, "--fb", fb}, {}, "/dev/null"), 15);
    EXPECT_EQ(WaitForFrame(x.display, root, RenderedFrame(DefaultSettings(), 4242, size.first, size.second)), 0) << fb;
  }
  kill(pid, SIGTERM);
  WaitExit(pid, 15);
}

void SendKey(Display* display, Window window, KeySym key, unsigned state) {
  XEvent event{};
  event.xkey.type = KeyPress;
  event.xkey.display = display;
  event.xkey.window = window;
  event.xkey.root = DefaultRootWindow(display);
  event.xkey.keycode = XKeysymToKeycode(display, key);
  event.xkey.state = state;
  event.xkey.same_screen = True;
  XSendEvent(display, window, False, KeyPressMask, &event);
  XFlush(display);
}

// The own window as the programs beside it open theirs: fitted to a screen
// smaller than the picture, placed and sized by -geometry, chosen by
// --window even where XScreenSaver names a window, and closed with 0 by q,
// Q or Escape.
TEST(X11Program, OwnWindowFitsTakesGeometryAndClosesOnKeys) {
  Xvfb x({}, "1366x768x24");
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  const Window foreign = MakeWindow(x.display, 64, 48);
  struct Case {
    std::vector<std::string> arguments;
    int x, y, width, height;
    KeySym key;
    unsigned state;
  } cases[] = {
      {{}, 0, 0, 921, 690, XK_q, 0},  // the largest 4:3 window in nine tenths of 1366 x 768
      {{"-geometry", "320x200+30+40"}, 30, 40, 320, 200, XK_q, ShiftMask},
      {{"--root", "--window", "--geometry", "200x100-10-20"}, 1366 - 200 - 10, 768 - 100 - 20, 200, 100, XK_Escape, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    std::vector<std::string> env{"DISPLAY=" + x.name, FrozenAt(5)};
    if (c.arguments.size() > 2) env.push_back("XSCREENSAVER_WINDOW=" + std::to_string(foreign));  // --window wins
    const pid_t pid = Spawn(Command(c.arguments), env, scratch + "-own.err");
    Window window = 0;
    ASSERT_TRUE(WaitFor([&] { return (window = FindTopLevel(x.display, "Vimbrel")) != 0; }, 15));
    XWindowAttributes attributes{};
    ASSERT_TRUE(WaitFor(
        [&] { return XGetWindowAttributes(x.display, window, &attributes) && attributes.map_state == IsViewable; },
        15));
    EXPECT_EQ(attributes.x, c.x);
    EXPECT_EQ(attributes.y, c.y);
    if (c.width == 320) EXPECT_EQ(WaitForFrame(x.display, window, RenderedFrame(DefaultSettings(), 5, 320, 200)), 0);
    EXPECT_EQ(attributes.width, c.width);
    EXPECT_EQ(attributes.height, c.height);
    SendKey(x.display, window, XK_a, 0);  // another key does nothing
    SendKey(x.display, window, c.key, c.state);
    EXPECT_EQ(WaitExit(pid, 15), 0) << ReadText(scratch + "-own.err");
    XSync(x.display, False);
  }
}

// --fps draws the rate in the bottom left corner of the window, on top of a
// frame that is the same everywhere else, and reports it on stderr, where
// the frame time shows pacing the frames: about four a second at 250 ms
// (five in the first report, which counts the first frame too).
TEST(X11Program, FpsIsDrawnInTheCornerAndTheFrameTimePacesTheFrames) {
  Xvfb x;
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  const Window window = MakeWindow(x.display, 320, 240);
  const std::string errors = scratch + "-fps.err";
  const pid_t pid = Spawn(Command({"--window-id", std::to_string(window), "--fps", "--frame-time", "250"}),
                          {"DISPLAY=" + x.name, FrozenAt(77)}, errors);
  SettingsRecord paced = DefaultSettings();
  paced.frameTime = 250;
  const Frame expected = RenderedFrame(paced, 77, 320, 240);
  long inCorner = 0, elsewhere = 0;
  const Corner corner{0, 240 - 40, 120, 40, &inCorner};
  std::vector<double> rates;
  EXPECT_TRUE(WaitFor(
      [&] {
        elsewhere = DifferingPixels(x.display, window, expected, corner);
        std::istringstream lines(ReadText(errors));
        rates.clear();
        for (std::string line; std::getline(lines, line);)
          if (double rate = 0; std::sscanf(line.c_str(), "vimbrel: %lf frames/s", &rate) == 1) rates.push_back(rate);
        return elsewhere == 0 && inCorner > 100 && rates.size() >= 3;
      },
      20))
      << elsewhere << " pixels differ outside the corner, " << inCorner << " in it\n"
      << ReadText(errors);
  EXPECT_EQ(EndsWithItsWindow(x.display, window, pid), 0);
  for (double rate : rates) EXPECT_TRUE(rate >= 2 && rate <= 5.5) << rate << " frames/s";
}

// 15- and 16-bit TrueColor (a VNC server's usual depths) show the same
// scene as 24 bits, each colour reduced to the visual's masks.
TEST(X11Program, EveryTrueColorDepthShowsTheScene) {
  for (const char* screen : {"640x480x16", "640x480x15"}) {
    SCOPED_TRACE(screen);
    Xvfb x({}, screen);
    ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
    ExpectFrameThenEnd(x.display, 211, 157, DefaultSettings(), 3000, scratch + "-depth.err", [&](Window window) {
      return Spawn(Command({"--window-id", std::to_string(window)}), {"DISPLAY=" + x.name, FrozenAt(3000)},
                   scratch + "-depth.err");
    });
  }
}

// The desktop entry as installed: valid, and its Exec line draws the scene
// in the window XScreenSaver-compatible savers name in XSCREENSAVER_WINDOW.
TEST(X11Program, TheDesktopEntryIsValidAndItsCommandDrawsTheScene) {
  const std::string prefix = scratch + "-prefix";
  ASSERT_EQ(std::system(("cmake --install " + std::string(VIMBREL_BINARY_DIR) + " --prefix " + prefix + " >" + scratch +
                         "-install.log 2>&1")
                            .c_str()),
            0)
      << ReadText(scratch + "-install.log");
  const std::string entry = prefix + "/share/applications/screensavers/vimbrel.desktop";
  EXPECT_EQ(std::system(("desktop-file-validate " + entry + " >" + scratch + "-validate.log 2>&1").c_str()), 0);
  EXPECT_EQ(ReadText(scratch + "-validate.log").find("error"), std::string::npos)
      << ReadText(scratch + "-validate.log");
  const std::string text = ReadText(entry);
  std::smatch exec;
  ASSERT_TRUE(std::regex_search(text, exec, std::regex("\nExec=([^\n]*)\n"))) << text;
  EXPECT_NE(text.find("\nTryExec=" + prefix + "/libexec/xscreensaver/vimbrel\n"), std::string::npos) << text;
  std::vector<std::string> command;
  std::istringstream words(exec[1].str());
  for (std::string word; words >> word;) command.push_back(word);
  ASSERT_EQ(command.at(0), prefix + "/libexec/xscreensaver/vimbrel");

  Xvfb x;
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  ExpectFrameThenEnd(x.display, 256, 192, DefaultSettings(), 640, scratch + "-entry.err", [&](Window window) {
    return Spawn(command, {"DISPLAY=" + x.name, FrozenAt(640), "XSCREENSAVER_WINDOW=" + std::to_string(window)},
                 scratch + "-entry.err");
  });
}

// The list command on a user's ~/.xscreensaver: missing (made from the
// system's defaults), as the settings program writes it (added, kept, and
// taken out to the same bytes and mode), and one it does not understand.
TEST(X11Program, TheListCommandEditsTheUsersFileAndNothingElse) {
  const std::string home = scratch + "-home", file = home + "/.xscreensaver";
  ASSERT_EQ(std::system(("rm -rf " + home + " && mkdir -p " + home).c_str()), 0);
  auto run = [&](const char* option, int status, const std::string& said) {
    SCOPED_TRACE(option);
    EXPECT_EQ(WaitExit(Spawn(Command({option}), {"HOME=" + home}, scratch + "-list.err", scratch + "-list.out"), 15),
              status);
    EXPECT_EQ(ReadText(scratch + (status == 0 ? "-list.out" : "-list.err")), "vimbrel: " + said + "\n");
  };
  const std::string line = std::string("\t\t\t\t\"Vimbrel\"  ") + VIMBREL_PROGRAM + " --root\t\t\t    \\n\\\n";

  run("--remove-from-xscreensaver", 0, file + " does not exist: Vimbrel is in no list there");
  run("--add-to-xscreensaver", 0, "made " + file + " with XScreenSaver's programs and Vimbrel first among them");
  const std::string made = ReadText(file);
  const size_t list = made.find("\nprograms:");
  ASSERT_NE(list, std::string::npos) << made;
  EXPECT_EQ(made.substr(made.find('\n', list + 1) + 1, line.size()), line);
  EXPECT_NE(made.find("- GL: \t\t\t\tsuperquadrics --root"), std::string::npos) << "the system's list follows";
  run("--remove-from-xscreensaver", 0, "took Vimbrel out of XScreenSaver's list in " + file);
  EXPECT_EQ(ReadText(file).find(VIMBREL_PROGRAM), std::string::npos);

  const std::string written =
      "# XScreenSaver Preferences File\n\ntimeout:\t0:11:00\nprograms:\t\t\t\t\t\t\t\t      \\\n"
      "\t\t\t\tmaze --root\t\t\t\t    \\n\\\n\n\npointerHysteresis:  10\n";
  std::ofstream(file) << written;
  chmod(file.c_str(), 0600);
  run("--add-to-xscreensaver", 0, "added Vimbrel to XScreenSaver's list in " + file);
  EXPECT_NE(ReadText(file).find(line), std::string::npos);  // the edit's bytes: XScreenSaverList's tests
  run("--add-to-xscreensaver", 0, "Vimbrel is already in XScreenSaver's list in " + file);
  run("--remove-from-xscreensaver", 0, "took Vimbrel out of XScreenSaver's list in " + file);
  EXPECT_EQ(ReadText(file), written);
  struct stat status {};
  EXPECT_EQ(stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);

  const std::string twoLists = "programs: maze \\n\nprograms: vimbrel \\n\n";
  std::ofstream(file) << twoLists;
  run("--add-to-xscreensaver", 1,
      "'" + file + "' holds two 'programs:' settings (lines 1 and 2); it is left as it was");
  EXPECT_EQ(ReadText(file), twoLists);
  EXPECT_EQ(std::system(("ls -A " + home + " | grep -v '^.xscreensaver$'").c_str()) != 0, true)
      << "no file is left beside it";
}

TEST(X11Program, BadInputGetsOneLineAndItsStatus) {
  Xvfb x({"-screen", "1", "640x480x8"});  // screen 1 has only an 8-bit PseudoColor visual
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  // A record and a newline. What is not a regular file is refused as the
  // native RegularFile test shows; here, that the program says so in its
  // own line, with the record's limit.
  const std::string longFile = scratch + "-long.bin";
  std::ofstream(longFile, std::ios::binary) << std::string(settingsRecordSize, '\0') << '\n';
  struct Case {
    std::vector<std::string> arguments;
    std::string environment;
    int status;
    std::string firstLine;
  } cases[] = {
      {{"--eye-z", "abc"}, "", 2, "--eye-z: 'abc' is not a 32-bit integer"},
      {{"--eye-y", "2147483648"}, "", 2, "--eye-y: '2147483648' is not a 32-bit integer"},
      {{"--frame-time"}, "", 2, "--frame-time needs a value"},
      {{"--no-eye-y"}, "", 2, "unknown option '--no-eye-y'"},
      {{"--window-id", "12z"}, "", 2, "--window-id: '12z' is not a window id (decimal or 0x hex)"},
      {{"--eye-x", "0"}, "", 2, "unknown option '--eye-x'"},  // no dialog setting: --config only
      {{"--config", longFile}, "", 2, "--config: '" + longFile + "' is longer than 152 bytes"},
      {{"--config", "/"}, "", 2, "--config: '/' is a directory"},
      {{"--window-id", "0"}, "", 2, "--window-id: '0' is not a window id (decimal or 0x hex)"},
      {{"--geometry", "wide"}, "", 2, "--geometry: 'wide' is not a size and place WxH+X+Y"},
      {{"-geometry", "0x10"}, "", 2, "--geometry: '0x10' is not a size and place WxH+X+Y"},
      {{"--pyramid-rotation-seconds", "1e3"}, "", 2, "--pyramid-rotation-seconds: '1e3' is not a number of seconds"},
      {{"--dodeca-journey-seconds", "3000000000"},
       "",
       2,
       "--dodeca-journey-seconds: '3000000000' is not a number of seconds"},
      // An explicit --window-id wins over $XSCREENSAVER_WINDOW, which is then not even read.
      {{"--window-id", "0x7"}, "XSCREENSAVER_WINDOW=root", 1, "window 0x7 is not a window"},
      {{}, "XSCREENSAVER_WINDOW=root", 1, "XSCREENSAVER_WINDOW 'root' is not a window id"},
      {{},
       "DISPLAY=" + x.name + ".1",
       1,
       "the window's visual is PseudoColor of depth 8; vimbrel needs a TrueColor visual of depth 15, 16, 24 "
       "or 32"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firstLine);
    std::vector<std::string> env{"DISPLAY=" + x.name};
    if (!c.environment.empty()) env.insert(env.begin(), c.environment);
    const pid_t pid = Spawn(Command(c.arguments), env, scratch + "-bad.err");
    EXPECT_EQ(WaitExit(pid, 15), c.status);
    EXPECT_EQ(ReadText(scratch + "-bad.err"),
              "vimbrel: " + c.firstLine + "\n" + (c.status == 2 ? std::string(X11UsageLine()) + "\n" : ""));
  }
}

}  // namespace

namespace {

// The attributes of each <number> and <boolean> element of the description.
std::vector<std::map<std::string, std::string>> DescriptionControls(const std::string& xml) {
  std::vector<std::map<std::string, std::string>> controls;
  const std::regex element("<(number|boolean)\\s([^>]*)/>"), attribute("([-a-z_]+)=\"([^\"]*)\"");
  for (std::sregex_iterator e(xml.begin(), xml.end(), element), end; e != end; ++e) {
    std::map<std::string, std::string> attributes{{"element", (*e)[1]}};
    const std::string text = (*e)[2];
    for (std::sregex_iterator a(text.begin(), text.end(), attribute); a != end; ++a) attributes[(*a)[1]] = (*a)[2];
    controls.push_back(attributes);
  }
  return controls;
}

// What the build installs: the XScreenSaver description offers exactly the
// dialog's settings with the table's ranges and defaults, and every command
// line it can produce is one the program takes; both documents are well
// formed (the page without a warning from man).
TEST(X11Program, DescriptionAndManualPageOfferTheDialogSettings) {
  const std::string xmlPath = std::string(VIMBREL_BINARY_DIR) + "/vimbrel.xml";
  const std::string manual = std::string(VIMBREL_BINARY_DIR) + "/vimbrel.6";
  EXPECT_EQ(std::system(("xmllint --noout " + xmlPath).c_str()), 0);
  const std::string warnings = scratch + "-man.err";
  EXPECT_EQ(std::system(("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z " + manual +
                         " >/dev/null 2>" + warnings)
                            .c_str()),
            0);
  EXPECT_EQ(ReadText(warnings), "");

  const auto controls = DescriptionControls(ReadText(xmlPath));
  size_t offered = 0;
  for (const SettingsField& field : settingsFields) {
    SCOPED_TRACE(field.name);
    if (field.kind == ControlKind::none) continue;
    ++offered;
    // The control that writes the field's option, in either form.
    // A period's slider counts seconds through its option in seconds.
    const bool period = IsPeriod(field);
    const std::string option = period ? SecondsOptionName(field) : FieldOptionName(field),
                      negated = "--no-" + option.substr(2);
    std::vector<const std::map<std::string, std::string>*> found;
    for (const auto& c : controls)
      for (const char* key : {"arg", "arg-set", "arg-unset"})
        if (c.count(key) && (c.at(key) == option + " %" || c.at(key) == option || c.at(key) == negated))
          found.push_back(&c);
    ASSERT_EQ(found.size(), 1u);
    const auto& c = *found[0];
    // The label names the group and holds the caption (its first letter lowered after the group).
    const std::string label = c.at("_label"), caption = field.caption;
    EXPECT_NE(label.find(SettingsGroupName(field.group) + 1), std::string::npos) << label;
    EXPECT_NE(label.find(caption.substr(1)), std::string::npos) << label;
    if (field.kind == ControlKind::trackbar) {
      EXPECT_EQ(c.at("element"), "number");
      EXPECT_EQ(c.at("low"), std::to_string(period ? SecondsOfUnits(field.minimum) : field.minimum));
      EXPECT_EQ(c.at("high"), std::to_string(period ? SecondsOfUnits(field.maximum) : field.maximum));
      EXPECT_EQ(c.at("default"), std::to_string(period ? SecondsOfUnits(field.defaultValue) : field.defaultValue));
      // The seconds shown come back as the units the record keeps.
      if (period) {
        for (int32_t units : {field.minimum, field.defaultValue, field.maximum}) {
          int32_t back = 0;
          EXPECT_TRUE(UnitsOfSeconds(SecondsOfUnits(units), back));
          EXPECT_EQ(back, units);
        }
      }
    } else {
      EXPECT_EQ(c.at("element"), "boolean");
      EXPECT_EQ(c.count(field.defaultValue != 0 ? "arg-unset" : "arg-set"), 1u);
    }
  }
  // and the frame rate on the picture, as the programs beside it offer it.
  ASSERT_EQ(controls.size(), offered + 1);
  EXPECT_EQ(controls.back().at("arg-set"), "--fps");
  EXPECT_EQ(controls.back().at("_label"), "Show frame rate");

  // Each argument the settings program can write, at both ends of a slider.
  for (const auto& c : controls) {
    std::vector<std::vector<std::string>> arguments;
    for (const char* key : {"arg-set", "arg-unset"})
      if (c.count(key)) arguments.push_back({c.at(key)});
    if (c.count("arg"))
      for (const char* end : {"low", "high"}) {
        const std::string arg = c.at("arg");
        arguments.push_back({arg.substr(0, arg.find(" %")), c.at(end)});
      }
    for (std::vector<std::string> argument : arguments) {
      argument.insert(argument.begin(), "--root");
      argument.push_back("--help");  // the whole line is parsed first: no display needed
      SCOPED_TRACE(argument[1]);
      EXPECT_EQ(WaitExit(Spawn(Command(argument), {}, scratch + "-arg.err"), 15), 0) << ReadText(scratch + "-arg.err");
    }
  }
}

}  // namespace
