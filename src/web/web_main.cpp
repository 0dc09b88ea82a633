// web_main.cpp - the module the page loads: its functions, called from
// index.html's script.
//
// The page opens one session from its address and passes it back to every
// call, so the module keeps no global of its own. Strings handed back stay
// valid until the next call that returns one. Sizes are device pixels.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "web/portable/web_address.h"
#include "web/web_scene.h"

namespace {

struct WebSession {
  WebAddress address;
  WebScene scene;
  std::string text;  // the last string handed back
  std::vector<uint8_t> stored;
};

const char* Hand(WebSession* session, std::string text) {
  session->text = std::move(text);
  return session->text.c_str();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE WebSession* vimbrel_open(const char* query) {
  WebSession* session = new WebSession;
  session->address = ParseWebAddress(query);
  return session;
}

EMSCRIPTEN_KEEPALIVE const char* vimbrel_panel(WebSession* session) { return Hand(session, WebPanelTable()); }
EMSCRIPTEN_KEEPALIVE const char* vimbrel_problem(WebSession* session) {
  return Hand(session, session->address.problem);
}
EMSCRIPTEN_KEEPALIVE const char* vimbrel_address(WebSession* session) {
  return Hand(session, FormatWebAddress(session->address));
}
EMSCRIPTEN_KEEPALIVE int vimbrel_bare(WebSession* session) { return session->address.bare; }
EMSCRIPTEN_KEEPALIVE int vimbrel_bench(WebSession* session) { return session->address.bench; }
EMSCRIPTEN_KEEPALIVE int vimbrel_clock_held(WebSession* session) { return session->address.hasTime; }
EMSCRIPTEN_KEEPALIVE uint32_t vimbrel_held_time(WebSession* session) { return session->address.time; }

// A setting by its option name; 0 for an unknown name.
EMSCRIPTEN_KEEPALIVE int32_t vimbrel_get(WebSession* session, const char* name) {
  const SettingsField* field = FindSettingByName(name);
  return field == nullptr ? 0 : session->address.settings.*field->member;
}
EMSCRIPTEN_KEEPALIVE void vimbrel_set(WebSession* session, const char* name, int32_t value) {
  const SettingsField* field = FindSettingByName(name);
  if (field != nullptr) session->address.settings.*field->member = value;
}
// Every setting back to its default; the clock fields too, as a new record has them.
EMSCRIPTEN_KEEPALIVE void vimbrel_reset(WebSession* session) { SetDefaultSettings(session->address.settings); }

EMSCRIPTEN_KEEPALIVE uint32_t vimbrel_frame_time(WebSession* session) { return FramePeriod(session->address.settings); }

// The scene for a canvas of width x height; false when it cannot be made.
EMSCRIPTEN_KEEPALIVE int vimbrel_lay_out(WebSession* session, int32_t width, int32_t height) {
  if (session->scene.width == width && session->scene.height == height) return 1;
  return LayOutWebScene(session->scene, width, height);
}
// Draws the frame at tick (the held time when the address holds one);
// returns the number of changed bands.
EMSCRIPTEN_KEEPALIVE int32_t vimbrel_draw(WebSession* session, uint32_t tick) {
  const uint32_t at = session->address.hasTime ? session->address.time : tick;
  return DrawWebFrame(session->scene, session->address.settings, at);
}
EMSCRIPTEN_KEEPALIVE void vimbrel_draw_whole(WebSession* session, uint32_t tick) {
  DrawWholeWebFrame(session->scene, session->address.settings, tick);
}
// The RGBA bytes, top row first, and the bands: top, bottom, left, right each (ShownBand).
EMSCRIPTEN_KEEPALIVE const uint32_t* vimbrel_pixels(WebSession* session) { return session->scene.rgba.data(); }
EMSCRIPTEN_KEEPALIVE const ShownBand* vimbrel_bands(WebSession* session) { return session->scene.bands; }

// The record's stored form, settingsRecordSize bytes.
EMSCRIPTEN_KEEPALIVE const uint8_t* vimbrel_record(WebSession* session) {
  session->stored = StoredWebSettings(session->address.settings);
  return session->stored.data();
}

EMSCRIPTEN_KEEPALIVE void vimbrel_close(WebSession* session) {
  if (session != nullptr) FreeWebScene(session->scene);
  delete session;
}

}  // extern "C"
