// frame_count.cpp - vimbrel-frame-count: a fixed run of updates, for
// counting instructions (valgrind --tool=callgrind) rather than timing.
//
// At each of sixteen ticks spread over the solids' laps it draws the frame
// 100 ms before and brings the true-colour copy up to date, then the frame
// at the tick and its update, as a running program does: 32 frames and 32
// updates in all in Updates, each from the change list of the one before
// (a first frame, composed whole, and its whole conversion come before).
// Divide the inclusive counts of DrawSceneFrame and UpdateShownFrame by 32.
//
//   valgrind --tool=callgrind --toggle-collect='*Updates*' --callgrind-out-file=out
//     build/native/vimbrel-frame-count 1920 1080
//   callgrind_annotate --inclusive=yes out | grep -E 'DrawSceneFrame|UpdateShownFrame'
#include <cstdio>
#include <cstdlib>

#include "core/image/shown_frame.h"
#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

namespace {
struct Shown {
  Scene& scene;
  ShownFrame& shown;
  int32_t sent;
};

void Show(Shown& s, uint32_t tick) {
  static ShownBand bands[maxShownBands];
  DrawSceneFrame(s.scene, DefaultSettings(), tick);
  s.sent += UpdateShownFrame(s.shown, s.scene.framePixels, s.scene.frameStride, SceneFrameChanges(s.scene), bands);
}

__attribute__((noinline)) void Updates(Shown& s) {
  for (uint32_t i = 0; i < 16; ++i) Show(s, i * 7919u - 100u), Show(s, i * 7919u);
}
}  // namespace

int main(int argc, char** argv) {
  const int32_t width = argc > 1 ? std::atoi(argv[1]) : 1920, height = argc > 2 ? std::atoi(argv[2]) : 1080;
  const CommittedPictures pictures = LoadCommittedPictures();
  Scene scene;
  ShownFrame shown{};
  if (MakeCommittedScene(scene, pictures, width, height) != SceneInitResult::ok ||
      !CreateShownFrame(shown, width, height, scene.palette.entries)) {
    std::fprintf(stderr, "vimbrel-frame-count: the scene cannot be built at %dx%d\n", width, height);
    return 1;
  }
  Shown s = {scene, shown, 0};
  Show(s, 0u - 200u);
  Updates(s);
  std::printf("%d bands sent\n", s.sent);
  return 0;
}
