// paint_bench_win32.cpp - vimbrel-paint-bench: the scene window's whole paint
// of one frame against a plain 32-bit blit of a frame of the same size.
//
// A screen-sized window runs the scene's own window procedure
// (ScreenSaverProc); each timed paint is what one tick of the frame timer
// costs: its WM_TIMER (on a true-colour display the frame is composed there
// and what changed converted and invalidated) and the WM_PAINT that
// follows, the scene clock 100 ms (the default frame time) on from the last
// paint, so that each paint changes what a real one changes. In the same
// loop the same window gets a plain SetDIBitsToDevice of a 32-bit picture of
// the frame's size, the least any paint of a whole frame must do on a
// true-colour display. Both are followed by a GdiFlush and the pending
// messages, so that what the system defers to the message loop is counted
// for both. So that the figures say where the paint's time goes, the loop
// also times the frame alone (DrawSceneFrame) and the blit of the whole
// 8-bit frame through the palette (the paint of a palette display, and what
// a true-colour paint cost before it put up only what changed), and notes
// how much of the frame the changed bands cover. Not a test: run it by hand
// under Wine on a display of the size to measure (README, Performance).
//
//   vimbrel-paint-bench [paints]          default 60 paints, on the whole screen
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/image/shown_frame.h"
#include "core/scene/scene.h"
#include "core/scene/settings_record.h"
#include "win32/session/scene_window.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

constexpr uint32_t framePeriodMs = 100;  // the default frame time

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

HWND CreateSceneWindow(Session& session, int width, int height) {
  const HINSTANCE instance = session.instance;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = ScreenSaverProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "VimbrelPaintBench";
  if (RegisterClassA(&windowClass) == 0) return nullptr;
  return CreateWindowExA(WS_EX_TOPMOST, "VimbrelPaintBench", "Vimbrel paint bench", WS_POPUP | WS_VISIBLE, 0, 0, width,
                         height, nullptr, nullptr, instance, &session);
}

// The 256 colours of the scene palette as 32-bit pixels.
void TrueColours(const Scene& scene, uint32_t colours[256]) {
  for (int i = 0; i < 256; ++i) {
    const PaletteEntry& e = scene.palette.entries[i];
    colours[i] = (uint32_t{e.red} << 16) | (uint32_t{e.green} << 8) | e.blue;
  }
}

// The frame as 32-bit pixels, bottom row first like the frame.
void ConvertFrame(const Scene& scene, const uint32_t colours[256], uint32_t* out) {
  const auto width = static_cast<size_t>(scene.frameWidth);
  for (int32_t y = 0; y < scene.frameHeight; ++y, out += width) {
    const uint8_t* in = scene.framePixels + static_cast<size_t>(y) * static_cast<size_t>(scene.frameStride);
    for (size_t x = 0; x < width; ++x) out[x] = colours[in[x]];
  }
}

// One tick of the frame timer and the paint it asks for, then what the system defers.
// Returns when the timer's own work ended.
double TimerPaint(HWND window) {
  SendMessageA(window, WM_TIMER, frameTimerId, 0);
  const double timerDone = Now();
  UpdateWindow(window);
  GdiFlush();
  PumpMessages();
  return timerDone;
}

// The share of the frame the bands cover.
double BandShare(const Scene& scene, const ShownBand* bands, int32_t count) {
  double area = 0;
  for (int32_t i = 0; i < count; ++i)
    area += static_cast<double>(bands[i].bottom - bands[i].top) * (bands[i].right - bands[i].left);
  return area / (static_cast<double>(scene.frameWidth) * scene.frameHeight);
}

// One blit of the whole frame to the window, then what the system defers.
void Blit(const Scene& scene, HWND window, const void* bits, const BITMAPINFO* header, UINT usage) {
  HDC dc = GetDC(window);
  SetDIBitsToDevice(dc, 0, 0, scene.frameWidth, scene.frameHeight, 0, 0, 0, scene.frameHeight, bits, header, usage);
  ReleaseDC(window, dc);
  GdiFlush();
  PumpMessages();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  Session session;
  StartSession(session, instance);
  HWND window = CreateSceneWindow(session, width, height);
  if (window == nullptr) {
    std::fprintf(stderr, "vimbrel-paint-bench: no window\n");
    return 1;
  }
  UpdateWindow(window);  // the first paint builds the scene
  PumpMessages();
  Scene& scene = session.views[0].scene;
  if (!SceneReady(scene)) {
    std::fprintf(stderr, "vimbrel-paint-bench: the scene was not built\n");
    return 1;
  }
  KillTimer(window, frameTimerId);  // only the timed paints draw
  session.clock = {true, 0};

  HDC screen = GetDC(window);
  const int bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
  const bool paletteDisplay = (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0;
  ReleaseDC(window, screen);

  uint32_t colours[256];
  TrueColours(scene, colours);
  std::vector<uint32_t> picture(static_cast<size_t>(scene.frameWidth) * static_cast<size_t>(scene.frameHeight));
  DrawSceneFrame(scene, session.settings, 0);
  ConvertFrame(scene, colours, picture.data());
  BITMAPINFO plain = {};
  plain.bmiHeader.biSize = sizeof plain.bmiHeader;
  plain.bmiHeader.biWidth = scene.frameWidth;
  plain.bmiHeader.biHeight = scene.frameHeight;  // bottom row first, as the frame
  plain.bmiHeader.biPlanes = 1;
  plain.bmiHeader.biBitCount = 32;
  plain.bmiHeader.biCompression = BI_RGB;
  const auto* paletteIndices = reinterpret_cast<const BITMAPINFO*>(scene.frameBuffer.paletteIndexHeader.get());
  // The bench's own copy, only to see how much each paint's bands cover.
  ShownFrame bandsSeen{};
  if (!CreateShownFrame(bandsSeen, scene.frameWidth, scene.frameHeight, scene.palette.entries)) return 1;
  ShownBand bands[maxShownBands];
  UpdateShownFrame(bandsSeen, scene.framePixels, scene.frameStride, SceneFrameChanges(scene), bands);
  TimerPaint(window);  // from the first paint's moment to the bench's clock, untimed

  std::vector<double> paintTimes, timerTimes, blitTimes, frameTimes, frameBlitTimes, bandShares;
  for (int i = 0; i < paints; ++i) {
    session.clock.frozenTick += framePeriodMs;
    double start = Now();
    const double timerDone = TimerPaint(window);
    paintTimes.push_back(Now() - start);
    timerTimes.push_back(timerDone - start);
    bandShares.push_back(
        BandShare(scene, bands,
                  UpdateShownFrame(bandsSeen, scene.framePixels, scene.frameStride, SceneFrameChanges(scene), bands)));

    start = Now();
    Blit(scene, window, picture.data(), &plain, DIB_RGB_COLORS);
    blitTimes.push_back(Now() - start);

    start = Now();
    Blit(scene, window, scene.framePixels, paletteIndices, DIB_PAL_COLORS);
    frameBlitTimes.push_back(Now() - start);
  }
  // The frame alone, composed whole, at the same moments: apart from the
  // paints, whose copy must see every frame drawn to follow its change list.
  for (int i = 0; i < paints; ++i) {
    const double start = Now();
    ForgetDrawnSpans(scene.drawnSpans);
    DrawSceneFrame(scene, session.settings, session.clock.frozenTick - static_cast<uint32_t>(i) * framePeriodMs);
    frameTimes.push_back(Now() - start);
  }
  const double paint = Median(paintTimes), blit = Median(blitTimes);
  std::printf("%dx%d, %d bits per pixel%s, %d paints %u ms apart (medians, ms)\n", width, height, bitsPerPixel,
              paletteDisplay ? " (palette)" : "", paints, framePeriodMs);
  std::printf(
      "paint %.2f (timer %.2f);  plain 32-bit blit %.2f;  frame %.2f;  whole 8-bit blit %.2f;  bands cover %.0f%%\n",
      paint * 1e3, Median(timerTimes) * 1e3, blit * 1e3, Median(frameTimes) * 1e3, Median(frameBlitTimes) * 1e3,
      Median(bandShares) * 100);
  std::printf("paint / plain blit %.2f\n", blit > 0 ? paint / blit : 0);
  DestroyWindow(window);
  EndSession(session);
  return 0;
}
