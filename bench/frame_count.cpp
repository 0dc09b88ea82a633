// frame_count.cpp - vimbrel-frame-count: a fixed run of updates, for
// counting instructions (valgrind --tool=callgrind) rather than timing.
//
// At each of sixteen ticks spread over the solids' laps it draws the frame
// 100 ms before and brings the true-colour copy up to date, then the frame
// at the tick and its update, as a running program does: 32 frames and 32
// updates in all in Updates, each from the change list of the one before
// (a first frame, composed whole, and its whole conversion come before).
// Divide the inclusive counts of DrawSceneFrame and UpdateShownFrame by 32.
// With `wayland` after the size the frames go through the Wayland program's
// OutputFrame into two buffers that take turns, as under a compositor that
// holds the buffer last shown; compare the inclusive count of Updates.
// With `steps` the frames are 32 in a row, 100 ms apart.
//
//   valgrind --tool=callgrind --toggle-collect='*Updates*' --callgrind-out-file=out
//     build/native/vimbrel-frame-count 1920 1080 [wayland] [steps]
//   callgrind_annotate --inclusive=yes out | grep -E 'Updates|DrawSceneFrame|UpdateShownFrame'
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/image/shown_frame.h"
#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"
#include "wayland/portable/output_frame.h"

namespace {
struct Shown {
  Scene& scene;
  ShownFrame& shown;
  OutputFrame* output;  // set: the Wayland program's two buffers
  int which;
  int32_t sent;
};

void Show(Shown& s, uint32_t tick) {
  static ShownBand bands[maxShownBands];
  if (s.output != nullptr) {
    s.sent += s.output->Draw(DefaultSettings(), tick, s.which, bands);
    s.which = 1 - s.which;
    return;
  }
  DrawSceneFrame(s.scene, DefaultSettings(), tick);
  s.sent += UpdateShownFrame(s.shown, s.scene.framePixels, s.scene.frameStride, SceneFrameChanges(s.scene), bands);
}

// Steps: 32 frames 100 ms apart from 5 s on, as the running program draws
// them, instead of the pairs spread over the laps.
__attribute__((noinline)) void Updates(Shown& s, bool steps) {
  if (steps) {
    for (uint32_t i = 0; i < 32; ++i) Show(s, 5000u + i * 100u);
    return;
  }
  for (uint32_t i = 0; i < 16; ++i) Show(s, i * 7919u - 100u), Show(s, i * 7919u);
}
}  // namespace

int main(int argc, char** argv) {
  const int32_t width = argc > 1 ? std::atoi(argv[1]) : 1920, height = argc > 2 ? std::atoi(argv[2]) : 1080;
  bool wayland = false, steps = false;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "wayland") == 0)
      wayland = true;
    else if (std::strcmp(argv[i], "steps") == 0)
      steps = true;
    else
      return std::fprintf(stderr, "usage: vimbrel-frame-count [WIDTH HEIGHT [wayland] [steps]]\n"), 2;
  }
  const CommittedPictures pictures = LoadCommittedPictures();
  Scene scene;
  ShownFrame shown{};
  OutputFrame output(pictures);
  std::unique_ptr<uint32_t[]> buffers[2];
  bool made = false;
  if (wayland && OutputFrame::Fits(width, height)) {
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    buffers[0].reset(new uint32_t[pixels]()), buffers[1].reset(new uint32_t[pixels]());
    uint32_t* const both[2] = {buffers[0].get(), buffers[1].get()};
    made = output.Lay(width, height, both);
  } else if (!wayland) {
    made = MakeCommittedScene(scene, pictures, width, height) == SceneInitResult::ok &&
           CreateShownFrame(shown, width, height, scene.palette.entries);
  }
  if (!made) {
    std::fprintf(stderr, "vimbrel-frame-count: the scene cannot be built at %dx%d\n", width, height);
    return 1;
  }
  // The first two frames, whole, come before the count, so that both buffers hold one.
  Shown s = {scene, shown, wayland ? &output : nullptr, 0, 0};
  Show(s, steps ? 4800u : 0u - 300u);
  Show(s, steps ? 4900u : 0u - 200u);
  Updates(s, steps);
  std::printf("%d bands sent\n", s.sent);
  return 0;
}
