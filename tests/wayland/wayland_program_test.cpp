// wayland_program_test.cpp - the real vimbrel-wayland on a headless sway.
//
// Each test starts its own sway (headless backend, pixman renderer, no
// input devices) with a private XDG_RUNTIME_DIR. Sway refuses to run as
// root, so under root sway and every client run as the unprivileged user
// 65534 through setpriv, from copies of the programs in a directory that
// user can read. An output's pixels are read back with grim and compared,
// byte for byte as RGB, with vimbrel-render's frame at that output's size
// for the same settings and tick. Every wait polls a condition against a
// deadline. Where sway cannot run at all the tests are skipped and say why.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/scene/settings_record.h"
#include "support/child_process.h"
#include "support/frame_png.h"

namespace {

constexpr uid_t nobody = 65534;

// A picture as RGB bytes, top row first.
struct Rgb {
  int width = 0, height = 0;
  std::string bytes;
};

// grim's binary PPM: "P6\nW H\n255\n" and the rows.
Rgb ReadPpm(const std::string& path) {
  Rgb picture;
  const std::string text = ReadText(path);
  int maximum = 0, consumed = 0;
  if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &picture.width, &picture.height, &maximum, &consumed) != 3 ||
      maximum != 255)
    return {};
  picture.bytes = text.substr(static_cast<size_t>(consumed) + 1);
  if (picture.bytes.size() != static_cast<size_t>(picture.width) * picture.height * 3) return {};
  return picture;
}

// vimbrel-render's indexed PNG through its palette.
Rgb RenderedFrame(const std::string& scratch, int width, int height, uint32_t tick, const std::string& config) {
  const std::string png = scratch + "/expected.png";
  const std::string command = std::string(VIMBREL_RENDER) + " --out " + png + " --size " + std::to_string(width) + "x" +
                              std::to_string(height) + " --time " + std::to_string(tick) + " --config " + config;
  StoredFrame frame;
  if (std::system((command + " >/dev/null").c_str()) != 0 || !ReadFramePng(png, frame)) return {};
  Rgb picture{frame.width, frame.height, {}};
  for (uint8_t index : frame.indices) picture.bytes.append(reinterpret_cast<const char*>(&frame.palette[3 * index]), 3);
  return picture;
}

// The settings the tests give on the command line, and the same as a record for the renderer.
const std::vector<std::string> heldPose = {"--no-pyramid-turn", "--no-dodeca-journey", "--pyramid-radius", "200",
                                           "--no-shadows"};
SettingsRecord HeldPoseRecord() {
  SettingsRecord record = DefaultSettings();
  record.pyramidTurn = 0, record.dodecaJourney = 0, record.pyramidRadius = 200, record.showShadows = 0;
  return record;
}

// A headless sway of its own, stopped with the test, and the commands run
// as its user.
class Sway : public testing::Test {
 protected:
  std::string scratch, runtime, display, ipc, why;
  pid_t sway = -1;
  bool asNobody = geteuid() == 0;

  // The command (NAME=VALUE words first add to the environment) as sway's
  // user, in the session's environment once sway is up.
  std::vector<std::string> As(std::vector<std::string> command) const {
    std::vector<std::string> full;
    if (asNobody) full = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    full.insert(full.end(), {"/usr/bin/env", "-i", "PATH=/usr/bin:/bin", "XDG_RUNTIME_DIR=" + runtime});
    if (!display.empty()) full.insert(full.end(), {"WAYLAND_DISPLAY=" + display, "SWAYSOCK=" + ipc});
    full.insert(full.end(), command.begin(), command.end());
    return full;
  }
  int Run(const std::vector<std::string>& command) { return WaitExit(Spawn(As(command), {}, scratch + "/tool.err")); }
  int Swaymsg(const std::string& text) { return Run({"/usr/bin/swaymsg", text}); }

  void SetUp() override {
    if (access("/usr/bin/sway", X_OK) != 0 || access("/usr/bin/grim", X_OK) != 0)
      GTEST_SKIP() << "sway or grim is not installed (scripts/setup installs them)";
    char pattern[] = "/tmp/vimbrel-wayland-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    scratch = pattern, runtime = scratch + "/runtime";
    ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
    chmod(scratch.c_str(), 0777);  // the user writes grim's pictures here
    if (asNobody) {
      ASSERT_EQ(chown(runtime.c_str(), nobody, nobody), 0);
    }
    // The program where sway's user can run it, whatever the build tree's modes.
    ASSERT_EQ(std::system(("cp " VIMBREL_WAYLAND " " VIMBREL_TEST_POINTER " " + scratch).c_str()), 0);
    std::ofstream(scratch + "/sway.conf") << "output HEADLESS-1 mode 1024x768 position 0 0\n";
    chmod((scratch + "/sway.conf").c_str(), 0644);
    std::ofstream record(scratch + "/held.rec", std::ios::binary);
    const std::vector<uint8_t> bytes = SettingsToBytes(HeldPoseRecord());
    record.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    record.close();
    chmod((scratch + "/held.rec").c_str(), 0644);

    sway = Spawn(As({"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman", "/usr/bin/sway", "-c",
                     scratch + "/sway.conf"}),
                 {}, scratch + "/sway.log");
    // Ready once both its sockets are there.
    const bool ready = WaitFor(
        [&] {
          DIR* directory = opendir(runtime.c_str());
          if (directory == nullptr) return false;
          for (dirent* entry; (entry = readdir(directory)) != nullptr;) {
            const std::string name = entry->d_name;
            if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos) display = name;
            if (name.rfind("sway-ipc.", 0) == 0) ipc = runtime + "/" + name;
          }
          closedir(directory);
          return !display.empty() && !ipc.empty();
        },
        10);
    if (!ready || !Running(sway)) {
      const std::string log = ReadText(scratch + "/sway.log");
      GTEST_SKIP() << "sway cannot run here: " << log.substr(log.size() > 600 ? log.size() - 600 : 0);
    }
  }

  void TearDown() override {
    if (sway > 0 && Running(sway)) kill(sway, SIGTERM), WaitExit(sway, 10);
    if (!scratch.empty() && !HasFailure()) std::system(("rm -rf " + scratch).c_str());
  }

  pid_t Start(std::vector<std::string> arguments, uint32_t tick, const std::string& environment = "") {
    arguments.insert(arguments.begin(), {"VIMBREL_FROZEN_TICK=" + std::to_string(tick), scratch + "/vimbrel-wayland"});
    if (!environment.empty()) arguments.insert(arguments.begin(), environment);
    return Spawn(As(arguments), {}, scratch + "/program.err");
  }
  std::string Errors() const { return ReadText(scratch + "/program.err"); }

  // Types a key until `done` holds, five times at most: a key typed before
  // the program has bound the keyboard that wtype's device brings to the
  // seat reaches no one.
  bool KeyUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 5; ++i) {
      if (Run({"/usr/bin/wtype", "-s", "200", "q"}) != 0) return false;
      if (WaitFor(done, 2)) return true;
    }
    return false;
  }
  // The exit status once a key has ended the program; -1 when none did.
  int EndedByKey(pid_t pid) {
    int status = 0;
    if (!KeyUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; })) return WaitExit(pid, 0), -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
  }
  // Whether the output shows something else than the frame.
  bool Covered(const std::string& output, const Rgb& frame) { return Grab(output).bytes != frame.bytes; }

  // The output's pixels as RGB, or none.
  Rgb Grab(const std::string& output) {
    const std::string shot = scratch + "/" + output + ".ppm";
    return Run({"/usr/bin/grim", "-t", "ppm", "-o", output, shot}) == 0 ? ReadPpm(shot) : Rgb{};
  }

  // "" once the output shows exactly `expected` (or, with shown false, once
  // it no longer does); otherwise, at the deadline, what differs.
  std::string Shows(const std::string& output, const Rgb& expected, bool shown = true) {
    if (expected.bytes.empty()) return "no frame to compare with";
    std::string difference = output + " was never read";
    const bool reached = WaitFor(
        [&] {
          const Rgb picture = Grab(output);
          if (picture.width != expected.width || picture.height != expected.height) {
            difference = output + " is " + std::to_string(picture.width) + " x " + std::to_string(picture.height);
            return !shown && picture.width > 0;
          }
          size_t at = 0;
          while (at < picture.bytes.size() && picture.bytes[at] == expected.bytes[at]) ++at;
          difference = at == picture.bytes.size()
                           ? output + " still shows the frame"
                           : output + " differs first at row " + std::to_string(at / 3 / expected.width) + ", column " +
                                 std::to_string(at / 3 % expected.width);
          return (at == picture.bytes.size()) == shown;
        },
        10);
    return reached ? "" : difference;
  }
  // The renderer's frame of the held pose at that size and tick.
  std::string Shows(const std::string& output, int width, int height, uint32_t tick) {
    return Shows(output, RenderedFrame(scratch, width, height, tick, scratch + "/held.rec"));
  }
};

// Two outputs of different sizes, one added while it runs, one rescaled to 2:
// each shows exactly the renderer's frame at its size in pixels. Then a key ends it with 0.
TEST_F(Sway, EveryOutputShowsTheRenderersFrameAtItsPixelSize) {
  const uint32_t tick = 123456;
  std::vector<std::string> arguments = heldPose;
  const pid_t pid = Start(arguments, tick);
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, tick), "") << Errors();
  ASSERT_EQ(Swaymsg("create_output"), 0);
  ASSERT_EQ(Swaymsg("output HEADLESS-2 mode 800x600 position 1024 0"), 0);
  EXPECT_EQ(Shows("HEADLESS-2", 800, 600, tick), "") << Errors();
  ASSERT_EQ(Swaymsg("output HEADLESS-1 scale 2"), 0);
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, tick), "") << Errors();
  ASSERT_EQ(Swaymsg("output HEADLESS-2 mode 640x480"), 0);
  EXPECT_EQ(Shows("HEADLESS-2", 640, 480, tick), "") << Errors();
  EXPECT_TRUE(Running(pid)) << Errors();
  EXPECT_EQ(EndedByKey(pid), 0) << Errors();
  EXPECT_EQ(Errors(), "");
}

// Where the compositor has no layer shell (GNOME, Weston), a fullscreen
// window on each output shows the same frames; a key ends it.
TEST_F(Sway, FullscreenWindowsWhereThereIsNoLayerShell) {
  ASSERT_EQ(Swaymsg("create_output"), 0);
  ASSERT_EQ(Swaymsg("output HEADLESS-2 mode 800x600 position 1024 0"), 0);
  const pid_t pid = Start(heldPose, 5000, "VIMBREL_WAYLAND_SHELL=xdg");
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, 5000), "") << Errors();
  EXPECT_EQ(Shows("HEADLESS-2", 800, 600, 5000), "") << Errors();
  EXPECT_EQ(EndedByKey(pid), 0) << Errors();
}

// Pointer travel of 4 pixels or less leaves it running, more ends it with
// 0, as a button does.
TEST_F(Sway, PointerTravelPastFourPixelsOrAButtonEndsIt) {
  pid_t pid = Start(heldPose, 1000);
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, 1000), "") << Errors();
  // The first move brings the pointer in; travel is counted from there.
  EXPECT_EQ(Run({scratch + "/wayland_test_pointer", "1,1", "1,1", "0.5,-0.5"}), 0);
  usleep(300000);  // time enough to end it, had it ended
  EXPECT_TRUE(Running(pid)) << Errors();
  EXPECT_EQ(Run({scratch + "/wayland_test_pointer", "1,1", "3,3"}), 0);
  EXPECT_EQ(WaitExit(pid, 2), 0) << Errors();

  pid = Start(heldPose, 1000);
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, 1000), "") << Errors();
  EXPECT_EQ(Run({scratch + "/wayland_test_pointer", "press"}), 0);
  EXPECT_EQ(WaitExit(pid, 2), 0) << Errors();
  EXPECT_EQ(Errors(), "");
}

// SIGTERM and SIGINT end it with 0 at once; no compositor, or one that goes
// away, is one line naming the display and 1, within a second.
TEST_F(Sway, SignalsEndItWithZeroAndALostCompositorWithOne) {
  for (int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    const pid_t pid = Start(heldPose, 1000);
    EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, 1000), "") << Errors();
    kill(pid, signal);
    EXPECT_EQ(WaitExit(pid, 1), 0);
    EXPECT_EQ(Errors(), "");
  }
  const pid_t none =
      Spawn(As({scratch + "/vimbrel-wayland", "--display", "vimbrel-none"}), {}, scratch + "/program.err");
  EXPECT_EQ(WaitExit(none, 1), 1);
  EXPECT_EQ(Errors(), "vimbrel-wayland: cannot connect to Wayland display 'vimbrel-none'\n");

  const pid_t pid = Start(heldPose, 1000);
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, 1000), "") << Errors();
  kill(sway, SIGKILL), WaitExit(sway);
  EXPECT_EQ(WaitExit(pid, 1), 1);
  EXPECT_EQ(Errors(), "vimbrel-wayland: lost the connection to Wayland display '" + display + "'\n");
}

// An output of one pixel shows the frame of one pixel; one 16384 pixels
// wide, past what a scene is laid out at, is black; neither ends it.
TEST_F(Sway, TinyAndHugeOutputsGetTheirFrameOrBlack) {
  const pid_t pid = Start(heldPose, 2000);
  ASSERT_EQ(Swaymsg("create_output"), 0);
  ASSERT_EQ(Swaymsg("output HEADLESS-2 mode 1x1 position 1024 0"), 0);
  EXPECT_EQ(Shows("HEADLESS-2", 1, 1, 2000), "") << Errors();
  ASSERT_EQ(Swaymsg("output HEADLESS-2 mode 16384x600"), 0);
  EXPECT_EQ(Shows("HEADLESS-2", Rgb{16384, 600, std::string(size_t{16384} * 600 * 3, '\0')}), "") << Errors();
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, 2000), "") << Errors();
  EXPECT_TRUE(Running(pid));
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitExit(pid, 1), 0) << Errors();
}

// --background draws under everything and takes no input: a key leaves it
// running. --idle shows the saver once the seat is idle, hides it on
// input and shows it again at the next idleness (sway 1.7's idle notifier
// is KDE's).
TEST_F(Sway, BackgroundTakesNoInputAndIdleShowsAndHidesTheSaver) {
  std::vector<std::string> arguments = heldPose;
  arguments.push_back("--background");
  pid_t pid = Start(arguments, 3000);
  EXPECT_EQ(Shows("HEADLESS-1", 1024, 768, 3000), "") << Errors();
  EXPECT_EQ(Run({"/usr/bin/wtype", "-s", "200", "q"}), 0);
  usleep(300000);  // the key has had time to end it, if it could
  EXPECT_TRUE(Running(pid));
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitExit(pid, 1), 0) << Errors();

  arguments = heldPose;
  arguments.insert(arguments.end(), {"--idle", "1"});
  pid = Start(arguments, 3000);
  const Rgb frame = RenderedFrame(scratch, 1024, 768, 3000, scratch + "/held.rec");
  EXPECT_EQ(Shows("HEADLESS-1", frame), "") << Errors();
  EXPECT_TRUE(KeyUntil([&] { return Covered("HEADLESS-1", frame); })) << "a key does not hide it\n" << Errors();
  EXPECT_TRUE(Running(pid));
  EXPECT_EQ(Shows("HEADLESS-1", frame), "") << Errors();
  kill(pid, SIGTERM);
  EXPECT_EQ(WaitExit(pid, 1), 0) << Errors();
}

// The README's line for sway, river and labwc: swayidle starts it once the
// seat is idle, and a key ends it.
TEST_F(Sway, SwayidleStartsItAndAKeyEndsIt) {
  if (access("/usr/bin/swayidle", X_OK) != 0) GTEST_SKIP() << "swayidle is not installed";
  std::string command = scratch + "/vimbrel-wayland";
  for (const std::string& argument : heldPose) command += " " + argument;
  const pid_t idle = Spawn(As({"VIMBREL_FROZEN_TICK=4000", "/usr/bin/swayidle", "timeout", "1",
                               command + " 2>>" + scratch + "/program.err"}),
                           {}, scratch + "/swayidle.err");
  const Rgb frame = RenderedFrame(scratch, 1024, 768, 4000, scratch + "/held.rec");
  EXPECT_EQ(Shows("HEADLESS-1", frame), "") << ReadText(scratch + "/swayidle.err") << Errors();
  EXPECT_TRUE(KeyUntil([&] { return Covered("HEADLESS-1", frame); })) << "a key does not end it\n" << Errors();
  kill(idle, SIGTERM), WaitExit(idle, 5);
  EXPECT_EQ(Errors(), "");
}

// A bad command line is one line and the usage, with 2, before any
// display is looked for; what the build installs is the program in bin and
// a manual page man reads without a warning.
TEST(WaylandProgramFiles, BadCommandLinesAndTheInstalledFiles) {
  const std::string scratch = testing::TempDir() + "wayland-files-" + std::to_string(getpid()), err = scratch + ".err";
  const std::string usage =
      "usage: vimbrel-wayland [--display NAME] [--config FILE] [--fps] [--idle SECONDS] [--background] "
      "[--SETTING VALUE...] (--help lists them)\n";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"--root"}, "unknown option '--root'"},  // the X11 program's
      {{"--idle", "0"}, "--idle: '0' is not a number of seconds from 1 to 86400"},
      {{"--eye-y", "x"}, "--eye-y: 'x' is not a 32-bit integer"},
      {{"--config", "/nonexistent/record"},
       "--config: '/nonexistent/record' cannot be opened: No such file or directory"},
  };
  for (const auto& [arguments, said] : cases) {
    std::vector<std::string> command{VIMBREL_WAYLAND};
    command.insert(command.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(WaitExit(Spawn(command, {}, err)), 2);
    EXPECT_EQ(ReadText(err), "vimbrel-wayland: " + said + "\n" + usage);
  }
  // A socket that takes the connection and never answers.
  const std::string mute = scratch + ".socket";
  const int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", mute.c_str());
  ASSERT_EQ(bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listening, 4), 0);
  EXPECT_EQ(WaitExit(Spawn({VIMBREL_WAYLAND, "--display", mute}, {}, err), 3), 1);
  EXPECT_EQ(ReadText(err), "vimbrel-wayland: Wayland display '" + mute + "' did not answer within a second\n");
  close(listening), unlink(mute.c_str());

  const std::string prefix = scratch + "-prefix";
  ASSERT_EQ(std::system(("cmake --install " VIMBREL_BINARY_DIR " --prefix " + prefix + " >" + err + " 2>&1").c_str()),
            0)
      << ReadText(err);
  EXPECT_EQ(access((prefix + "/bin/vimbrel-wayland").c_str(), X_OK), 0);
  EXPECT_EQ(ManWarnings(prefix + "/share/man/man6/vimbrel-wayland.6", err), "");
  std::system(("rm -rf " + prefix + " " + err).c_str());
}

}  // namespace
