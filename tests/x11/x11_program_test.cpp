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
#include <fcntl.h>
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
            const std::string& errorFile) {
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : extraEnv) envp.push_back(const_cast<char*>(e.c_str()));
  for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);  // earlier entries win
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
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

  explicit Xvfb(const std::vector<std::string>& options = {}) {
    int ready[2];
    if (pipe(ready) != 0) return;
    std::vector<std::string> command{
        "/usr/bin/Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp", "-screen", "0", "1280x1024x24"};
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

// Pixels of the window that differ from the frame; the whole area when it cannot be read.
long DifferingPixels(Display* display, Window window, const Frame& expected) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.width != expected.width ||
      attributes.height != expected.height || attributes.map_state != IsViewable)
    return static_cast<long>(expected.width) * expected.height;
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(expected.width),
                            static_cast<unsigned>(expected.height), AllPlanes, ZPixmap);
  if (image == nullptr) return static_cast<long>(expected.width) * expected.height;
  long differing = 0;
  for (int32_t y = 0; y < expected.height; ++y)
    for (int32_t x = 0; x < expected.width; ++x) {
      const unsigned long rgb = XGetPixel(image, x, y) & (image->red_mask | image->green_mask | image->blue_mask);
      differing += rgb != expected.rgb[static_cast<size_t>(y) * expected.width + x];
    }
  XDestroyImage(image);
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
    const Window window = MakeWindow(x.display, c.width, c.height);
    char id[32];
    std::snprintf(id, sizeof id, c.how == environment ? "%lu" : "0x%lx", window);
    std::vector<std::string> arguments = c.arguments, env{"DISPLAY=" + x.name, FrozenAt(c.tick)};
    if (c.how != commandLine) env.push_back(std::string("XSCREENSAVER_WINDOW=") + id);
    if (c.how != environment) arguments.insert(arguments.end(), {"--window-id", id});
    if (c.how == preview) env[0] = "DISPLAY=:nonexistent";  // only -display names the server
    const pid_t pid = Spawn(Command(arguments), env, scratch + "-foreign.err");
    EXPECT_EQ(WaitForFrame(x.display, window, RenderedFrame(c.record, c.tick, c.width, c.height)), 0);
    XDestroyWindow(x.display, window);  // as XScreenSaver does: the program ends
    XSync(x.display, False);
    EXPECT_EQ(WaitExit(pid, 15), 0) << ReadText(scratch + "-foreign.err");
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

// The frame time paces the frames: --fps reports about four a second at 250 ms
// (five in its first report, which counts the first frame too).
TEST(X11Program, TheFrameTimePacesTheFrames) {
  Xvfb x;
  ASSERT_NE(x.display, nullptr) << "no Xvfb could be started";
  const Window window = MakeWindow(x.display, 160, 120);
  const std::string errors = scratch + "-pace.err";
  const pid_t pid = Spawn(Command({"--window-id", std::to_string(window), "--fps", "--frame-time", "250"}),
                          {"DISPLAY=" + x.name}, errors);
  std::vector<double> rates;
  WaitFor(
      [&] {
        std::istringstream lines(ReadText(errors));
        rates.clear();
        for (std::string line; std::getline(lines, line);)
          if (double rate = 0; std::sscanf(line.c_str(), "vimbrel: %lf frames/s", &rate) == 1) rates.push_back(rate);
        return rates.size() >= 3;
      },
      20);
  XDestroyWindow(x.display, window);
  XSync(x.display, False);
  EXPECT_EQ(WaitExit(pid, 15), 0);
  ASSERT_GE(rates.size(), 3u) << ReadText(errors);
  for (double rate : rates) EXPECT_TRUE(rate >= 2 && rate <= 5.5) << rate << " frames/s";
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
      {{"--eye-z", "abc"}, "", 2, "vimbrel: --eye-z: 'abc' is not a 32-bit integer"},
      {{"--eye-y", "2147483648"}, "", 2, "vimbrel: --eye-y: '2147483648' is not a 32-bit integer"},
      {{"--frame-time"}, "", 2, "vimbrel: --frame-time needs a value"},
      {{"--no-eye-y"}, "", 2, "vimbrel: unknown option '--no-eye-y'"},
      {{"--window-id", "12z"}, "", 2, "vimbrel: --window-id: '12z' is not a window id (decimal or 0x hex)"},
      {{"--eye-x", "0"}, "", 2, "vimbrel: unknown option '--eye-x'"},  // no dialog setting: --config only
      {{"--config", longFile}, "", 2, "vimbrel: --config: '" + longFile + "' is longer than 152 bytes"},
      {{"--config", "/"}, "", 2, "vimbrel: --config: '/' is a directory"},
      {{"--window-id", "0"}, "", 2, "vimbrel: --window-id: '0' is not a window id (decimal or 0x hex)"},
      // An explicit --window-id wins over $XSCREENSAVER_WINDOW, which is then not even read.
      {{"--window-id", "0x7"}, "XSCREENSAVER_WINDOW=root", 1, "vimbrel: window 0x7 is not a window"},
      {{}, "XSCREENSAVER_WINDOW=root", 1, "vimbrel: XSCREENSAVER_WINDOW 'root' is not a window id"},
      {{},
       "DISPLAY=" + x.name + ".1",
       1,
       "vimbrel: the window's visual is not TrueColor of depth 24 or 32 (depth 8, class 3)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.firstLine);
    std::vector<std::string> env{"DISPLAY=" + x.name};
    if (!c.environment.empty()) env.insert(env.begin(), c.environment);
    const pid_t pid = Spawn(Command(c.arguments), env, scratch + "-bad.err");
    EXPECT_EQ(WaitExit(pid, 15), c.status);
    EXPECT_EQ(ReadText(scratch + "-bad.err"),
              c.firstLine + "\n" +
                  (c.status == 2 ? "usage: vimbrel [--root] [--window-id ID] [--display NAME] [--config FILE] "
                                   "[--fps] [--SETTING VALUE...] (--help lists them)\n"
                                 : ""));
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
    const std::string option = FieldOptionName(field), negated = "--no-" + option.substr(2);
    std::vector<const std::map<std::string, std::string>*> found;
    for (const auto& c : controls)
      for (const char* key : {"arg", "arg-set", "arg-unset"})
        if (c.count(key) && (c.at(key) == option + " %" || c.at(key) == option || c.at(key) == negated))
          found.push_back(&c);
    ASSERT_EQ(found.size(), 1u);
    const auto& c = *found[0];
    EXPECT_NE(c.at("_label").find(field.caption), std::string::npos) << c.at("_label");
    if (field.kind == ControlKind::trackbar) {
      EXPECT_EQ(c.at("element"), "number");
      EXPECT_EQ(c.at("low"), std::to_string(field.minimum));
      EXPECT_EQ(c.at("high"), std::to_string(field.maximum));
      EXPECT_EQ(c.at("default"), std::to_string(field.defaultValue));
    } else {
      EXPECT_EQ(c.at("element"), "boolean");
      EXPECT_EQ(c.count(field.defaultValue != 0 ? "arg-unset" : "arg-set"), 1u);
    }
  }
  EXPECT_EQ(controls.size(), offered);

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
