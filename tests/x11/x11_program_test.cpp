// x11_program_test.cpp - the real vimbrel program on a private Xvfb server.
//
// Each test that draws starts its own Xvfb on a display the server picks,
// runs vimbrel with the scene clock frozen, and reads its window back: the
// pixels must be the portable core's frame for the same record, tick and
// size, through the same palette. The others run the list command and check
// the installed files.
// Every wait polls a condition against a deadline.
// gtest first: X11 defines None, Bool and Status as macros.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "scene/test_scene.h"
#include "support/child_process.h"
#include "x11/x11_options.h"

namespace {

const std::string scratch = std::string(VIMBREL_BINARY_DIR) + "/x11-test-" + std::to_string(getpid());

int Shell(const std::string& command) { return std::system(command.c_str()); }

// A private X server, stopped with the test. The server picks a free
// display itself and writes its number to a pipe (-displayfd), so tests
// running side by side never race for one.
struct Xvfb {
  pid_t pid = -1;
  std::string name;
  Display* display = nullptr;

  explicit Xvfb(const std::vector<std::string>& options) {
    int ready[2];
    if (pipe(ready) != 0) return;
    std::vector<std::string> command{"/usr/bin/Xvfb", "-displayfd", std::to_string(ready[1]), "-nolisten", "tcp"};
    command.insert(command.end(), options.begin(), options.end());
    pid = Spawn(command, {}, "/dev/null");
    close(ready[1]);
    FILE* number = fdopen(ready[0], "r");  // ends when the server does
    if (int n = 0; pid > 0 && std::fscanf(number, "%d", &n) == 1) name = ":" + std::to_string(n);
    std::fclose(number);
    if (!name.empty()) display = XOpenDisplay(name.c_str());
    if (display == nullptr) Stop();
  }
  ~Xvfb() { Stop(); }
  void Stop() {
    if (display != nullptr) XCloseDisplay(display), display = nullptr;
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0), pid = -1;
  }
};

// A colour as a visual keeps it: each channel's top bits in its mask.
unsigned long Reduced(const PaletteEntry& colour, const XImage* image) {
  unsigned long pixel = 0;
  const unsigned long masks[] = {image->red_mask, image->green_mask, image->blue_mask};
  const unsigned long values[] = {colour.red, colour.green, colour.blue};
  for (int channel = 0; channel < 3; ++channel) {
    const int shift = __builtin_ctzl(masks[channel]), bits = __builtin_popcountl(masks[channel]);
    pixel |= (bits <= 8 ? values[channel] >> (8 - bits) : values[channel] << (bits - 8)) << shift;
  }
  return pixel;
}

// The frame the portable core draws for a record, tick and size: the
// program draws it with the same core from the same pictures.
struct CoreFrame : TestScene {
  CoreFrame(SettingsRecord record, uint32_t tick, int width, int height) {
    EXPECT_EQ(Make(width, height), SceneInitResult::ok);
    StampSceneClocks(record, tick);
    DrawSceneFrame(scene, record, tick);
  }
};

// The --fps corner, bottom left: what differs in it is counted apart.
constexpr int cornerWidth = 120, cornerHeight = 40;

// Pixels of the window that differ from the frame, in the visual's own
// colours; the whole area when the window cannot be read at its size.
long DifferingPixels(Display* display, Window window, const CoreFrame& expected, long* inCorner = nullptr) {
  const int width = expected.scene.frameWidth, height = expected.scene.frameHeight;
  XWindowAttributes attributes;
  XImage* image = nullptr;
  if (XGetWindowAttributes(display, window, &attributes) && attributes.width == width && attributes.height == height &&
      attributes.map_state == IsViewable)
    image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes,
                      ZPixmap);
  if (image == nullptr) return static_cast<long>(width) * height;
  long differing = 0, corner = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const PaletteEntry& colour = expected.scene.palette.entries[expected.Pixel(x, height - 1 - y)];  // row 0: bottom
      const unsigned long shown = XGetPixel(image, x, y) & (image->red_mask | image->green_mask | image->blue_mask);
      (inCorner != nullptr && x < cornerWidth && y >= height - cornerHeight ? corner : differing) +=
          shown != Reduced(colour, image);
    }
  XDestroyImage(image);
  if (inCorner != nullptr) *inCorner = corner;
  return differing;
}

// What still differs once the frame is shown, or at the deadline.
long Shows(Display* display, Window window, const CoreFrame& expected) {
  long differing = 0;
  return WaitFor([&] { return (differing = DifferingPixels(display, window, expected)) == 0; }), differing;
}

Window MakeWindow(Display* display, int width, int height, int screen = 0) {
  const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 10, 10, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height), 0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);
  return window;
}

// A key press, or without a key the window manager's request to close.
void Send(Display* display, Window window, KeySym key, unsigned state = 0) {
  XEvent event{};
  const KeyCode code = XKeysymToKeycode(display, key);
  if (key != NoSymbol) {
    event.xkey = {KeyPress, 0, False, display, window, 0, 0, 0, 0, 0, 0, 0, state, code, True};
  } else {
    event.xclient = {ClientMessage, 0, False, display, window, XInternAtom(display, "WM_PROTOCOLS", False), 32, {}};
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  }
  XSendEvent(display, window, False, key == NoSymbol ? NoEventMask : KeyPressMask, &event);
  XFlush(display);
}

// One server for the tests that draw: screen 0 holds the own window at the
// picture's size, screen 1 (1366 x 768) is too small for it, screen 2 is
// 16-bit TrueColor (a VNC server's usual depth) and screen 3 8-bit
// PseudoColor, which the program refuses.
class X11Program : public testing::Test {
 protected:
  Xvfb x{{"-screen", "0", "1280x1024x24", "-screen", "1", "1366x768x24", "-screen", "2", "640x480x16", "-screen", "3",
          "640x480x8"}};
  const std::string errors = scratch + "-" + testing::UnitTest::GetInstance()->current_test_info()->name() + ".err";

  void SetUp() override { ASSERT_NE(x.display, nullptr) << "no Xvfb could be started"; }

  // vimbrel on the server (the environment given first wins), its clock frozen at tick.
  pid_t Start(std::vector<std::string> arguments, uint32_t tick, std::vector<std::string> env = {}) {
    arguments.insert(arguments.begin(), VIMBREL_PROGRAM);
    env.insert(env.end(), {"DISPLAY=" + x.name, "VIMBREL_FROZEN_TICK=" + std::to_string(tick)});
    return Spawn(arguments, env, errors);
  }
};

// The top-level window the program names "Vimbrel" on a screen, or 0.
Window FindTopLevel(Display* display, int screen) {
  Window found = 0, root, parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, RootWindow(display, screen), &root, &parent, &children, &count);
  for (unsigned i = 0; i < count; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && std::strcmp(name, "Vimbrel") == 0) found = children[i];
    XFree(name);
  }
  XFree(children);
  return found;
}

// The own window as the programs beside it open theirs: the picture's size
// where it fits, else the largest 4:3 window in nine tenths of the screen;
// placed and sized by -geometry; chosen by --window even where XScreenSaver
// names a window; closed with 0 by the window manager, q, Q or Escape, and
// not by another key. At a frame time of 100 s, a new size and an exposure
// are shown without another frame.
TEST_F(X11Program, OwnWindowFitsTakesGeometryFollowsItsSizeAndCloses) {
  SettingsRecord slow = DefaultSettings();
  slow.frameTime = 100000;
  const Window foreign = MakeWindow(x.display, 64, 48, 1);
  // screen, arguments, place (x, y, width, height), the closing key and its state
  const std::tuple<int, std::vector<std::string>, std::vector<int>, KeySym, unsigned> cases[] = {
      {0, {"--frame-time", "100000"}, {0, 0, 1024, 768}, NoSymbol, 0},
      {1, {}, {0, 0, 921, 690}, XK_q, 0},
      {1, {"-geometry", "320x200+30+40"}, {30, 40, 320, 200}, XK_q, ShiftMask},
      {1, {"--root", "--window", "--geometry", "200x100-10-20"}, {1156, 648, 200, 100}, XK_Escape, 0},  // 1366 x 768
  };
  for (const auto& [screen, arguments, place, key, state] : cases) {
    SCOPED_TRACE(place[2]);
    const pid_t pid = Start(arguments, 5,
                            {"DISPLAY=" + x.name + "." + std::to_string(screen),
                             "XSCREENSAVER_WINDOW=" + (arguments.size() > 2 ? std::to_string(foreign) : "")});
    Window window = 0;
    XWindowAttributes a{};
    ASSERT_TRUE(WaitFor([&, screen = screen] {
      return (window = FindTopLevel(x.display, screen)) != 0 && XGetWindowAttributes(x.display, window, &a) &&
             a.map_state == IsViewable;
    })) << ReadText(errors);
    EXPECT_EQ(std::vector<int>({a.x, a.y, a.width, a.height}), place);
    if (key == NoSymbol) {
      EXPECT_EQ(Shows(x.display, window, CoreFrame(slow, 5, 1024, 768)), 0);
      XResizeWindow(x.display, window, 501, 299);  // no manager on Xvfb: the size is taken as asked
      EXPECT_EQ(Shows(x.display, window, CoreFrame(slow, 5, 501, 299)), 0);
      // Hidden and shown again: the exposed window is repainted.
      XUnmapWindow(x.display, window), XMapWindow(x.display, window), XSync(x.display, False);
      EXPECT_EQ(Shows(x.display, window, CoreFrame(slow, 5, 501, 299)), 0);
    }
    Send(x.display, window, XK_a);
    Send(x.display, window, key, state);
    EXPECT_EQ(WaitExit(pid), 0) << ReadText(errors);
  }
}

// Someone else's window, named on the command line, by XScreenSaver, or by
// both as its settings program names the preview pane, with settings from
// the command line and from a stored record.
TEST_F(X11Program, ForeignWindowsShowTheFrameOfTheGivenSettings) {
  SettingsRecord options = DefaultSettings(), stored = DefaultSettings();
  options.eyeZ = -5000, options.showGrid = 1, options.showPalette = 1;
  // A short stored record: its bytes, then the defaults; --no-shadows after
  // it wins. eyeX has no option: only a record reaches it.
  stored.eyeX = -150, stored.eyeY = 900, stored.showShadows = 0;
  const std::string config = scratch + "-short.bin";
  std::ofstream(config, std::ios::binary).write("\x6a\xff\xff\xff\x84\x03\x00\x00", 8);  // -150, 900

  enum How { commandLine, environment, preview };
  const std::tuple<How, std::vector<std::string>, SettingsRecord, uint32_t, int, int> cases[] = {
      {commandLine, {"-root", "--grid", "--palette", "--eye-z", "-5000"}, options, 777, 640, 480},  // the id wins
      {environment, {"-root", "--shadows", "--config", config, "--no-shadows"}, stored, 4294967000u, 301, 203},
      {preview, {"-display", x.name, "--root"}, DefaultSettings(), 31, 320, 200},
  };
  for (const auto& [how, given, record, tick, width, height] : cases) {
    SCOPED_TRACE(how);
    const Window window = MakeWindow(x.display, width, height);
    char id[32];
    std::snprintf(id, sizeof id, how == environment ? "%lu" : "0x%lx", window);
    std::vector<std::string> arguments = given, env;
    if (how != commandLine) env.push_back(std::string("XSCREENSAVER_WINDOW=") + id);
    if (how != environment) arguments.insert(arguments.end(), {"--window-id", id});
    if (how == preview) env.push_back("DISPLAY=:nonexistent");  // only -display names the server
    const pid_t pid = Start(arguments, tick, env);
    EXPECT_EQ(Shows(x.display, window, CoreFrame(record, tick, width, height)), 0) << ReadText(errors);
    XDestroyWindow(x.display, window), XSync(x.display, False);  // as XScreenSaver ends a program it started: with 0
    EXPECT_EQ(WaitExit(pid), 0) << ReadText(errors);
  }
}

// Without MIT-SHM the frame goes out through XPutImage, here at 15 bits,
// each colour reduced to the visual's masks; when the server goes away the
// program says so and ends with 1, without a crash.
TEST_F(X11Program, PlainImagesAndTheServerGoingAway) {
  Xvfb plain({"-extension", "MIT-SHM", "-screen", "0", "640x480x15"});
  ASSERT_NE(plain.display, nullptr) << "no Xvfb could be started";
  const Window window = MakeWindow(plain.display, 320, 240);
  const pid_t pid = Start({"--window-id", std::to_string(window)}, 99, {"DISPLAY=" + plain.name});
  EXPECT_EQ(Shows(plain.display, window, CoreFrame(DefaultSettings(), 99, 320, 240)), 0);
  XSetCloseDownMode(plain.display, RetainPermanent);  // the window outlives our connection: only the server ends
  plain.Stop();
  EXPECT_EQ(WaitExit(pid), 1);
  EXPECT_EQ(ReadText(errors), "vimbrel: lost the connection to the X server\n");
}

// --root on a 16-bit screen whose size RandR changes, as when the monitors
// change: the scene is laid out again at the root's new size, shrunk and
// grown back. --fps draws the rate in the bottom left corner, on top of a
// frame that is the same everywhere else, and reports it on stderr, where
// the frame time shows pacing the frames: about four a second at 250 ms
// (five in the first report, which counts the first frame too).
TEST_F(X11Program, TheRootFollowsRandRAndShowsTheRateThatTheFrameTimePaces) {
  SettingsRecord paced = DefaultSettings();
  paced.frameTime = 250;
  const pid_t pid = Start({"--root", "--fps", "--frame-time", "250"}, 77, {"DISPLAY=" + x.name + ".2"});
  std::vector<double> rates;  // the first three reports, before any change of size
  for (const std::string fb : {"640x480", "320x240", "640x480"}) {
    // xrandr may also complain about the output it cannot fit; the root is resized either way.
    WaitExit(Spawn({"/usr/bin/xrandr", "-display", x.name + ".2", "--fb", fb}, {}, "/dev/null"));
    const CoreFrame expected(paced, 77, std::stoi(fb), std::stoi(fb.substr(4)));
    long inCorner = 0, elsewhere = 0;
    EXPECT_TRUE(WaitFor(
        [&] {
          elsewhere = DifferingPixels(x.display, RootWindow(x.display, 2), expected, &inCorner);
          std::istringstream lines(ReadText(errors));
          rates.clear();
          for (std::string line; rates.size() < 3 && std::getline(lines, line);)
            if (double rate = 0; std::sscanf(line.c_str(), "vimbrel: %lf frames/s", &rate) == 1) rates.push_back(rate);
          return elsewhere == 0 && inCorner > 100 && rates.size() == 3;
        },
        20))
        << fb << ": " << elsewhere << " pixels differ outside the corner, " << inCorner << " in it\n"
        << ReadText(errors);
  }
  kill(pid, SIGTERM), WaitExit(pid);
  for (double rate : rates) EXPECT_TRUE(rate >= 2 && rate <= 5.5) << rate << " frames/s";
}

TEST_F(X11Program, BadInputGetsOneLineAndItsStatus) {
  // A record and a newline. What is not a regular file is refused as the
  // native RegularFile test shows; here, that the program says so in its
  // own line, with the record's limit.
  const std::string longFile = scratch + "-long.bin";
  std::ofstream(longFile, std::ios::binary) << std::string(settingsRecordSize, '\0') << '\n';
  struct Case {
    std::vector<std::string> arguments;
    std::string said;              // after "vimbrel: "; a usage error (2) is followed by the usage line
    std::string environment = "";  // given: the line is fine, what it names is not (1)
  } cases[] = {
      {{"--eye-z", "abc"}, "--eye-z: 'abc' is not a 32-bit integer"},
      {{"--eye-y", "2147483648"}, "--eye-y: '2147483648' is not a 32-bit integer"},
      {{"--frame-time"}, "--frame-time needs a value"},
      {{"--no-eye-y"}, "unknown option '--no-eye-y'"},
      {{"--eye-x", "0"}, "unknown option '--eye-x'"},  // no dialog setting: --config only
      {{"--window-id", "12z"}, "--window-id: '12z' is not a window id (decimal or 0x hex)"},
      {{"--window-id", "0"}, "--window-id: '0' is not a window id (decimal or 0x hex)"},
      {{"--config", longFile}, "--config: '" + longFile + "' is longer than 152 bytes"},
      {{"--geometry", "wide"}, "--geometry: 'wide' is not a size and place WxH+X+Y"},
      {{"-geometry", "0x10"}, "--geometry: '0x10' is not a size and place WxH+X+Y"},
      {{"--pyramid-rotation-seconds", "1e3"}, "--pyramid-rotation-seconds: '1e3' is not a number of seconds"},
      {{"--dodeca-journey-seconds", "3000000000"}, "--dodeca-journey-seconds: '3000000000' is not a number of seconds"},
      // An explicit --window-id wins over $XSCREENSAVER_WINDOW, which is then not even read.
      {{"--window-id", "0x7"}, "window 0x7 is not a window", "XSCREENSAVER_WINDOW=root"},
      {{}, "XSCREENSAVER_WINDOW 'root' is not a window id", "XSCREENSAVER_WINDOW=root"},
      {{},
       "the window's visual is PseudoColor of depth 8; vimbrel needs a TrueColor visual of depth 15, 16, 24 or 32",
       "DISPLAY=" + x.name + ".3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    const bool usage = c.environment.empty();
    EXPECT_EQ(WaitExit(Start(c.arguments, 0, {c.environment})), usage ? 2 : 1);
    EXPECT_EQ(ReadText(errors), "vimbrel: " + c.said + "\n" + (usage ? X11UsageLine() + std::string("\n") : ""));
  }
}

// The list command on a user's ~/.xscreensaver: missing (made from the
// system's defaults), and one it does not understand; how the list's text
// is edited is xscreensaver_list_test's.
TEST(X11ProgramFiles, TheListCommandEditsTheUsersFileAndNothingElse) {
  const std::string home = scratch + "-home", file = home + "/.xscreensaver", out = scratch + "-list.out";
  ASSERT_EQ(Shell("rm -rf " + home + " && mkdir -p " + home), 0);
  auto run = [&](const char* option, int status, const std::string& said) {
    SCOPED_TRACE(option);
    EXPECT_EQ(WaitExit(Spawn({VIMBREL_PROGRAM, option}, {"HOME=" + home}, out + ".err", out)), status);
    EXPECT_EQ(ReadText(status == 0 ? out : out + ".err"), "vimbrel: " + said + "\n");
  };
  const std::string line = std::string("\t\t\t\t\"Vimbrel\"  ") + VIMBREL_PROGRAM + " --root\t\t\t    \\n\\\n";

  run("--remove-from-xscreensaver", 0, file + " does not exist: Vimbrel is in no list there");
  run("--add-to-xscreensaver", 0, "made " + file + " with XScreenSaver's programs and Vimbrel first among them");
  const std::string made = ReadText(file);
  EXPECT_EQ(made.substr(made.find('\n', made.find("\nprograms:") + 1) + 1, line.size()), line) << made;
  EXPECT_NE(made.find("- GL: \t\t\t\tsuperquadrics --root"), std::string::npos) << "the system's list follows";
  run("--remove-from-xscreensaver", 0, "took Vimbrel out of XScreenSaver's list in " + file);

  const std::string twoLists = "programs: maze \\n\nprograms: vimbrel \\n\n";
  std::ofstream(file) << twoLists;
  run("--add-to-xscreensaver", 1,
      "'" + file + "' holds two 'programs:' settings (lines 1 and 2); it is left as it was");
  EXPECT_EQ(ReadText(file), twoLists);
  EXPECT_NE(Shell("ls -A " + home + " | grep -v '^.xscreensaver$'"), 0) << "a file is left beside it";
}

// The list command seen through strace: the folder is synced after the
// rename, and a signal that ends it while the new file is written (strace
// holds it in that file's fsync) leaves neither that file nor a change.
TEST(X11ProgramFiles, TheListCommandLeavesNothingHalfDone) {
  if (Shell("strace -V >/dev/null 2>&1") != 0) GTEST_SKIP() << "strace is not installed";
  const std::string home = scratch + "-signal-home", file = home + "/.xscreensaver", trace = scratch + "-trace";
  const std::string text = "programs: \\\n  maze \\n\n";
  // LeakSanitizer cannot run under a tracer and would fail the sanitized build's run.
  const std::vector<std::string> environment = {"HOME=" + home, "ASAN_OPTIONS=detect_leaks=0"};
  ASSERT_EQ(Shell("rm -rf " + home + " && mkdir -p " + home), 0);
  std::ofstream(file) << text;
  EXPECT_EQ(WaitExit(Spawn({"/usr/bin/strace", "-f", "-y", "-o", trace, "-e", "trace=rename,renameat,renameat2,fsync",
                            VIMBREL_PROGRAM, "--add-to-xscreensaver"},
                           environment, trace + ".err")),
            0);
  const std::string calls = ReadText(trace);
  const std::regex syncAfterRename("rename[^\n]*\\.xscreensaver\"[^\n]*= 0\n(.*\n)*[0-9]+ +fsync\\([0-9]+<" + home +
                                   ">\\) = 0");
  EXPECT_TRUE(std::regex_search(calls, syncAfterRename)) << calls;

  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    std::ofstream(file) << text;
    const pid_t strace = Spawn({"/usr/bin/strace", "-o", "/dev/null", "-e", "trace=fsync", "-e",
                                "inject=fsync:delay_enter=1000000:when=1", VIMBREL_PROGRAM, "--add-to-xscreensaver"},
                               environment, trace + ".err");
    const auto writing = [&] { return Shell("ls -A " + home + " | grep -q vimbrel-") == 0; };
    pid_t program = 0;
    ASSERT_TRUE(WaitFor([&] {
      std::ifstream("/proc/" + std::to_string(strace) + "/task/" + std::to_string(strace) + "/children") >> program;
      return program > 0 && writing();
    }));
    kill(program, signal);
    EXPECT_EQ(WaitExit(strace), -2) << "the signal did not end it";
    EXPECT_FALSE(writing()) << "the new file was left behind";
    EXPECT_EQ(ReadText(file), text);
  }
}

// What the build installs: the desktop entry valid, its Exec line the
// installed program on the root, which stands for the window
// XScreenSaver-compatible savers name in XSCREENSAVER_WINDOW (the daemon's
// test runs it so); the manual page without a warning from man; and the
// XScreenSaver description well formed, offering exactly the dialog's
// settings with the table's ranges and defaults, every command line it can
// produce one the installed program takes.
TEST(X11ProgramFiles, TheInstalledFilesAreValidAndOfferTheDialogSettings) {
  const std::string prefix = scratch + "-prefix", log = scratch + "-install.log", share = prefix + "/share/";
  ASSERT_EQ(Shell("cmake --install " VIMBREL_BINARY_DIR " --prefix " + prefix + " >" + log + " 2>&1"), 0)
      << ReadText(log);
  const std::string entry = share + "applications/screensavers/vimbrel.desktop",
                    xmlFile = share + "xscreensaver/config/vimbrel.xml";
  EXPECT_EQ(Shell("desktop-file-validate " + entry + " >" + log + " 2>&1"), 0) << ReadText(log);
  const std::string program = prefix + "/libexec/xscreensaver/vimbrel", text = ReadText(entry);
  EXPECT_NE(text.find("\nTryExec=" + program + "\nExec=" + program + " --root\n"), std::string::npos) << text;
  EXPECT_EQ(ManWarnings(share + "man/man6/vimbrel.6", log), "");
  EXPECT_EQ(Shell("xmllint --noout " + xmlFile), 0);
  const std::string xml = ReadText(xmlFile);

  // The settings program's arguments, at both ends of a slider; and the
  // frame rate on the picture, as the programs beside it offer it.
  std::vector<std::string> arguments{program, "--root", "--fps"};
  EXPECT_NE(xml.find("<boolean id=\"fps\" _label=\"Show frame rate\" arg-set=\"--fps\"/>"), std::string::npos);
  size_t offered = 1;
  for (const SettingsField& field : settingsFields) {
    if (field.kind == ControlKind::none) continue;
    ++offered;
    // A period's slider counts seconds through its option in seconds, which
    // come back as the units the record keeps.
    const bool period = IsPeriod(field);
    const std::string option = period ? SecondsOptionName(field) : FieldOptionName(field);
    const auto shown = [&](int32_t units) {
      int32_t back = 0;
      EXPECT_TRUE(!period || (ParseSecondsAsUnits(std::to_string(SecondsOfUnits(units)), back) && back == units))
          << option << " " << units;
      return std::to_string(period ? SecondsOfUnits(units) : units);
    };
    std::string control = "<boolean [^>]*_label=\"([^\"]*)\" arg-" +
                          (field.defaultValue != 0 ? "unset=\"--no-" + option.substr(2) : "set=\"" + option) + "\"/>";
    arguments.push_back(field.defaultValue != 0 ? "--no-" + option.substr(2) : option);
    if (field.kind == ControlKind::trackbar) {
      const std::string low = shown(field.minimum), high = shown(field.maximum);
      control = "<number [^>]*arg=\"" + option + " %\"\\s+_label=\"([^\"]*)\"[^>]*low=\"" + low + "\" high=\"" + high +
                "\" default=\"" + shown(field.defaultValue) + "\"/>";
      arguments.back() = option, arguments.insert(arguments.end(), {low, option, high});
    }
    // The label names the group and holds the caption (its first letter lowered after the group).
    std::smatch label;
    EXPECT_TRUE(std::regex_search(xml, label, std::regex(control)) &&
                label[1].str().find(SettingsGroupName(field.group) + 1) != std::string::npos &&
                label[1].str().find(field.caption + 1) != std::string::npos)
        << control << " in\n"
        << xml;
  }
  const std::regex element("<(number|boolean) ");  // and no other control
  EXPECT_EQ(std::distance(std::sregex_iterator(xml.begin(), xml.end(), element), std::sregex_iterator()), offered);
  arguments.push_back("--help");  // the whole line is parsed first: no display needed
  EXPECT_EQ(WaitExit(Spawn(arguments, {}, log)), 0) << ReadText(log);
}

}  // namespace
