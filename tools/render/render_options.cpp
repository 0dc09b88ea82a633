// render_options.cpp - parsing and checking the renderer's command line.
#include "render/render_options.h"

#include <cstdio>
#include <cstring>

#include "core/image/indexed_image.h"

namespace {

bool ValidateFramePattern(const std::string& pattern, std::string& error);

// Unsigned decimal without sign or blanks, at most `limit`.
bool ParseUnsigned(const char* text, uint64_t limit, uint64_t& value) {
  if (*text == '\0') return false;
  value = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
    value = value * 10 + static_cast<uint64_t>(*c - '0');
    if (value > limit) return false;
  }
  return true;
}

bool ParseSize(const char* text, int32_t& width, int32_t& height) {
  const char* cross = std::strpbrk(text, "xX");
  if (cross == nullptr) return false;
  const std::string w(text, cross);
  uint64_t wv, hv;
  if (!ParseUnsigned(w.c_str(), INT32_MAX, wv) || !ParseUnsigned(cross + 1, INT32_MAX, hv)) return false;
  width = static_cast<int32_t>(wv);
  height = static_cast<int32_t>(hv);
  return true;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = text[text.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}
}  // namespace

const char* RenderUsage() {
  return "usage: vimbrel-render --out PATH [--size WxH] [--config FILE] [--time MS] [--frames N]\n"
         "                      [--interval MS] [--static-colours 0|20] [--background BMP] [--mask BMP]\n";
}

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    static const char* const known[] = {"--out",      "--size",           "--config",     "--time", "--frames",
                                        "--interval", "--static-colours", "--background", "--mask"};
    bool isKnown = false;
    for (const char* k : known) isKnown = isKnown || name == k;
    if (!isKnown) {
      error = "unknown argument '" + name + "'";
      return false;
    }
    if (i + 1 >= argc) {
      error = name + " needs a value";
      return false;
    }
    const char* value = argv[++i];
    uint64_t number = 0;
    if (name == "--out") {
      if (*value == '\0') {
        error = "--out needs a non-empty path";
        return false;
      }
      options.out = value;
    } else if (name == "--size") {
      if (!ParseSize(value, options.width, options.height)) {
        error = std::string("--size '") + value + "' is not WxH";
        return false;
      }
      if (!ImageSizeUsable(options.width, options.height)) {
        error = std::string("--size '") + value + "' is not a usable frame size";
        return false;
      }
    } else if (name == "--config") {
      options.configPath = value;
    } else if (name == "--time" || name == "--interval") {
      if (!ParseUnsigned(value, UINT32_MAX, number)) {
        error = name + " '" + value + "' is not a number of milliseconds (0..4294967295)";
        return false;
      }
      if (name == "--time") {
        options.time = static_cast<uint32_t>(number);
      } else {
        options.interval = static_cast<uint32_t>(number);
        options.hasInterval = true;
      }
    } else if (name == "--frames") {
      if (!ParseUnsigned(value, maxRenderFrames, number) || number == 0) {
        error = std::string("--frames '") + value + "' is not a count of 1.." + std::to_string(maxRenderFrames);
        return false;
      }
      options.frames = static_cast<uint32_t>(number);
    } else if (name == "--static-colours") {
      if (std::strcmp(value, "0") != 0 && std::strcmp(value, "20") != 0) {
        error = std::string("--static-colours '") + value + "' must be 0 or 20";
        return false;
      }
      options.staticColours = value[0] == '0' ? 0 : 20;
    } else if (name == "--background") {
      options.backgroundPath = value;
    } else {
      options.maskPath = value;
    }
  }
  if (options.help) return true;
  if (options.out.empty()) {
    error = "--out PATH is required";
    return false;
  }
  if (options.frames > 1 && !ValidateFramePattern(options.out, error)) return false;
  OutputFormat format;
  if (!OutputFormatOf(FramePath(options, 0), format)) {
    error = "--out '" + options.out + "' must end in .bmp or .png";
    return false;
  }
  return true;
}

namespace {

// True when pattern holds exactly one %d-style conversion (flags "-+ 0",
// width up to 2 digits, d or i) and no other % except %%.
bool ValidateFramePattern(const std::string& pattern, std::string& error) {
  int conversions = 0;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    ++i;
    if (i < pattern.size() && pattern[i] == '%') continue;  // a literal percent sign
    while (i < pattern.size() && std::strchr("-+ 0", pattern[i]) != nullptr) ++i;
    int widthDigits = 0;
    while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') ++i, ++widthDigits;
    if (widthDigits > 2 || i >= pattern.size() || (pattern[i] != 'd' && pattern[i] != 'i')) {
      error = "--out '" + pattern + "': with --frames above 1 the path takes one %d-style conversion " +
              "(flags -+ 0, width up to 99) and no other % except %%";
      return false;
    }
    ++conversions;
  }
  if (conversions != 1) {
    error = "--out '" + pattern + "' must hold exactly one %d-style conversion when --frames is above 1";
    return false;
  }
  return true;
}

}  // namespace

std::string FramePath(const RenderOptions& options, uint32_t frame) {
  if (options.frames <= 1) return options.out;
  std::string error;
  if (!ValidateFramePattern(options.out, error)) return std::string();
  // Checked above: one integer conversion of at most 99 columns, so the
  // pattern is safe as a format and the result has a known bound.
  const int frameNumber = static_cast<int>(frame);
  const int length = std::snprintf(nullptr, 0, options.out.c_str(), frameNumber);
  if (length < 0) return std::string();
  std::string path(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(&path[0], path.size(), options.out.c_str(), frameNumber);
  path.resize(static_cast<size_t>(length));
  return path;
}

bool OutputFormatOf(const std::string& path, OutputFormat& format) {
  if (EndsWithNoCase(path, ".bmp")) {
    format = OutputFormat::bmp;
    return true;
  }
  if (EndsWithNoCase(path, ".png")) {
    format = OutputFormat::png;
    return true;
  }
  return false;
}
