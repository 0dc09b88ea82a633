// render_main.cpp - vimbrel-render: frames of the scene without a window.
//
// Builds the scene exactly as the first paint does (MakeScene over the
// software palette backend), then draws each frame with DrawSceneFrame at
// the ticks --time, --time + --interval, ... The settings record's clock
// fields are stamped from frame to frame as the running program stamps them. Output: 8-bit BMP or palettised PNG of the
// frame indices with the scene palette.
#include <cstdio>
#include <string>
#include <vector>

#include "core/image/bitmap_file.h"
#include "core/image/scene_palette.h"
#include "render/bitmap_files.h"
#include "render/render_options.h"
#include "core/scene/committed_pictures.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"

namespace {
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "vimbrel-render: %s\n", message.c_str());
  return status;
}

// The resource form of a picture: from the file given, or the built-in one
// (core/scene/committed_pictures.h).
bool LoadPicture(const std::string& path, const std::vector<uint8_t>& builtIn, const char* what,
                 std::vector<uint8_t>& resource, std::string& error) {
  if (path.empty()) {
    resource = builtIn;
    if (resource.empty()) {
      error = std::string("no usable built-in ") + what + " picture; pass one as a file";
      return false;
    }
  } else {
    std::vector<uint8_t> file;
    if (!ReadFileBytes(path, maxPictureFileBytes, file, error)) return false;
    std::string problem;
    if (!BitmapFileToResource(file.data(), file.size(), resource, problem)) {
      error = path + ": " + problem;
      return false;
    }
  }
  IndexedImage probe;
  if (!LoadImageBytes(probe, resource.data(), resource.size())) {
    error = (path.empty() ? std::string("built-in ") + what + " picture" : path) + ": not a usable 8-bit picture";
    return false;
  }
  return true;
}

bool LoadSettings(const std::string& path, SettingsRecord& settings, std::string& error) {
  SetDefaultSettings(settings);
  if (path.empty()) return true;
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, settingsRecordSize, bytes, error)) {
    error = "--config: " + error;
    return false;
  }
  SettingsFromBytes(bytes.data(), bytes.size(), settings);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(argc, argv, options, error)) return Fail(exitUsage, error + " (--help shows the usage)");
  if (options.help) {
    std::fputs(RenderUsage(), stdout);
    return 0;
  }
  const CommittedPictures builtIn = LoadCommittedPictures();
  std::vector<uint8_t> background, mask;
  SettingsRecord settings{};
  if (!LoadSettings(options.configPath, settings, error) ||
      !LoadPicture(options.backgroundPath, builtIn.background, "background", background, error) ||
      !LoadPicture(options.maskPath, builtIn.facePattern, "face pattern", mask, error))
    return Fail(exitFailure, error);

  SoftwarePalette palette{};
  palette.display = options.staticColours == 20 ? StandardStaticDisplay() : TrueColourDisplay();
  Scene scene;
  const SceneInitResult result = MakeScene(scene, options.width, options.height, {background.data(), background.size()},
                                           {mask.data(), mask.size()}, SoftwarePaletteBackend(palette));
  if (result != SceneInitResult::ok) return Fail(exitFailure, SceneInitProblem(result));

  OutputFormat format = OutputFormat::png;
  OutputFormatOf(options.out, format);
  const uint32_t interval = options.hasInterval ? options.interval : static_cast<uint32_t>(settings.frameTime);
  const IndexedFrame frame{scene.frameWidth, scene.frameHeight, scene.frameStride, scene.framePixels,
                           scene.palette.entries};
  int status = 0;
  for (uint32_t n = 0; n < options.frames && status == 0; ++n) {
    const uint32_t tick = options.time + n * interval;  // wraps as the system tick count does
    StampSceneClocks(settings, tick);
    DrawSceneFrame(scene, settings, tick);
    if (!WriteFrameFile(FramePath(options, n), format, frame, error)) status = Fail(exitFailure, error);
  }
  return status;
}
