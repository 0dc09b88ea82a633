// render_options.h - the command line of vimbrel-render.
//
//   vimbrel-render --out PATH [--size WxH] [--config FILE] [--time MS]
//                  [--frames N] [--interval MS] [--static-colours 0|20]
//                  [--background BMP] [--mask BMP]
//
// Parsing only checks the text; files are read later. With more than one
// frame the output path holds one integer conversion (frame-%04d.png).
#pragma once

#include <cstdint>
#include <string>

enum class OutputFormat { bmp, png };

struct RenderOptions {
  std::string out;
  int32_t width = 1024, height = 768;
  std::string configPath;  // empty: the default settings
  uint32_t time = 0;
  uint32_t frames = 1;
  bool hasInterval = false;
  uint32_t interval = 0;
  int32_t staticColours = 0;
  std::string backgroundPath, maskPath;  // empty: the built-in pictures
  bool help = false;
};

constexpr uint32_t maxRenderFrames = 100000;

// Fills options from argv[1..argc-1]. On a bad command line returns false
// with a one-line description in error.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);

// The output path of frame n: the pattern formatted with n when there is
// more than one frame, the path as given otherwise.
std::string FramePath(const RenderOptions& options, uint32_t frame);

// The format chosen by a path's extension (.bmp or .png, any case).
bool OutputFormatOf(const std::string& path, OutputFormat& format);

const char* RenderUsage();
