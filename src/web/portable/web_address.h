// web_address.h - the page's settings as its address holds them, and the
// panel's table, both from the settings field table.
//
// A setting is named as the X11 program names its option, without the
// dashes: "pyramid-radius=200" for a trackbar, "grid" / "no-grid" for a
// check box (a leading "show" is dropped, as there; "grid=1" or any other
// number is read too, as a stored record may hold it); a period also in
// seconds, rounded to its unit of 1.024 s ("pyramid-rotation-seconds=46",
// written back as "pyramid-rotation-time=45"). "time=MS" holds the
// scene clock at MS, as `vimbrel-render --time` does; "bare" shows the
// scene alone; "bench" times frames. A value outside the dialog's range is
// kept, as a stored record's would be; a malformed one leaves its setting
// at the default and is named in `problem`, one line for the page. Nothing
// here knows of the browser: it is tested natively.
//
//   WebAddress address = ParseWebAddress("?pyramid-radius=200&no-dodeca-show");
//   std::string query = FormatWebAddress(address);  // "pyramid-radius=200&no-dodeca-show"
#pragma once

#include <cstdint>
#include <string>

#include "core/scene/setting_names.h"
#include "core/scene/settings_record.h"

struct WebAddress {
  SettingsRecord settings;  // the defaults with the address's settings applied
  bool hasTime = false;     // the clock held at `time`; else it runs
  uint32_t time = 0;
  bool bare = false;
  bool bench = false;
  std::string problem;  // what was not understood, one line; empty when everything was
};

// Reads a query ("?a=1&b" or "a=1&b"; '+' and %XX decoded), left to right.
WebAddress ParseWebAddress(const std::string& query);
// The query that gives the address back: each setting that differs from its
// default in table order, then time and bare (no leading "?"; bench is not
// kept, so a shared view does not time itself).
std::string FormatWebAddress(const WebAddress& address);

// The panel as JSON: the dialog's three groups in its order, each with its
// check boxes then its trackbars, every control with its id (the option
// name), caption, default, and for a trackbar its range, unit and the words
// for its ends.
std::string WebPanelTable();
