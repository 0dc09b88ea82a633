// The page's address: names as the X11 program's options, values as a
// stored record takes them, and one line naming whatever was not understood.
#include <random>
#include <string>

#include "core/scene/settings_record.h"
#include "web/portable/web_address.h"

namespace {

bool SameSettings(const SettingsRecord& a, const SettingsRecord& b) {
  for (const SettingsField& field : settingsFields)
    if (a.*field.member != b.*field.member) return false;
  return true;
}

TEST(WebAddress, NamesAreTheX11OptionsAndEachFindsItsField) {
  EXPECT_EQ(SettingName(FieldOf(&SettingsRecord::pyramidRadius)), "pyramid-radius");
  EXPECT_EQ(SettingName(FieldOf(&SettingsRecord::dodecaShow)), "dodeca-show");
  EXPECT_EQ(SettingName(FieldOf(&SettingsRecord::showGrid)), "grid");
  EXPECT_EQ(SettingName(FieldOf(&SettingsRecord::light1X)), "light1-x");
  int settings = 0;
  for (const SettingsField& field : settingsFields) {
    if (field.kind == ControlKind::none) continue;
    ++settings;
    EXPECT_EQ(FindSettingByName(SettingName(field)), &field) << field.name;
    EXPECT_NE(WebPanelTable().find("\"id\":\"" + SettingName(field) + "\""), std::string::npos) << field.name;
  }
  EXPECT_EQ(FindSettingByName("no-grid"), nullptr);
  EXPECT_EQ(FindSettingByName("pyramid-turn-tick"), nullptr) << "a clock field is no setting";
  size_t ids = 0;
  for (size_t at = 0; (at = WebPanelTable().find("\"id\":", at)) != std::string::npos; ++at) ++ids;
  EXPECT_EQ(ids, static_cast<size_t>(settings)) << "each setting once in the panel";
}

TEST(WebAddress, ReadsSettingsClockAndFlagsAndWritesThemBack) {
  const WebAddress address = ParseWebAddress("?pyramid-radius=200&no-dodeca-show&grid&time=4294967295&bare&bench");
  SettingsRecord expected = DefaultSettings();
  expected.pyramidRadius = 200, expected.dodecaShow = 0, expected.showGrid = 1;
  EXPECT_TRUE(SameSettings(address.settings, expected));
  EXPECT_TRUE(address.hasTime);
  EXPECT_EQ(address.time, 4294967295u);
  EXPECT_TRUE(address.bare && address.bench);
  EXPECT_EQ(address.problem, "");
  EXPECT_EQ(FormatWebAddress(address), "pyramid-radius=200&no-dodeca-show&grid&time=4294967295&bare");
  // The last of two wins, as on the X11 command line; a form's encoding is read.
  const WebAddress again = ParseWebAddress("grid&no-grid&eye-z=%2D5000&grid=1&&shadows=0");
  EXPECT_EQ(again.settings.showGrid, 1);
  EXPECT_EQ(again.settings.eyeZ, -5000);
  EXPECT_EQ(again.settings.showShadows, 0);
  EXPECT_EQ(FormatWebAddress(ParseWebAddress("")), "");
  // A period in seconds, to the nearest 1.024 s, as the X11 program reads it.
  const WebAddress seconds = ParseWebAddress("pyramid-rotation-seconds=46&dodeca-journey-seconds=3.5");
  EXPECT_EQ(seconds.settings.pyramidRotationTime, 45);
  EXPECT_EQ(seconds.settings.dodecaJourneyTime, 3);
  EXPECT_EQ(FormatWebAddress(seconds), "pyramid-rotation-time=45&dodeca-journey-time=3");
  EXPECT_EQ(
      ParseWebAddress("pyramid-rotation-seconds=4e9&dodeca-rotation-seconds=.&pyramid-journey-seconds=1.2.3").problem,
      "Not understood, so the default is used: pyramid-rotation-seconds=4e9, dodeca-rotation-seconds=., "
      "pyramid-journey-seconds=1.2.3.");
  // Halves round away from zero: 0.512 s is half a unit, 2199023255.04 s is 2^31 units, one too many.
  EXPECT_EQ(ParseWebAddress("pyramid-rotation-seconds=0.512").settings.pyramidRotationTime, 1);
  EXPECT_EQ(ParseWebAddress("pyramid-rotation-seconds=-0.512").settings.pyramidRotationTime, -1);
  EXPECT_EQ(ParseWebAddress("pyramid-rotation-seconds=0.511").settings.pyramidRotationTime, 0);
  EXPECT_EQ(ParseWebAddress("pyramid-rotation-seconds=2199023254.016").settings.pyramidRotationTime, INT32_MAX);
  EXPECT_NE(ParseWebAddress("pyramid-rotation-seconds=2199023255.04").problem, "");
}

TEST(WebAddress, MalformedValuesTakeTheDefaultAndAreNamedInOneLine) {
  const WebAddress address = ParseWebAddress(
      "pyramid-radius=abc&grid=yes&eye-z=2147483648&no-eye-y&frame-time=&frame-time=+5&time=-1&time&bare=1&bogus");
  EXPECT_TRUE(SameSettings(address.settings, DefaultSettings()));
  EXPECT_FALSE(address.hasTime);
  EXPECT_FALSE(address.bare);
  EXPECT_EQ(address.problem,
            "Not understood, so the default is used: pyramid-radius=abc, grid=yes, eye-z=2147483648, no-eye-y, "
            "frame-time=, frame-time=+5, time=-1, time. Not a setting, ignored: bare=1, bogus.");
  EXPECT_EQ(address.problem.find('\n'), std::string::npos);
  // A malformed value after a good one still leaves the default, not the good one.
  EXPECT_EQ(ParseWebAddress("pyramid-radius=100&pyramid-radius=x").settings.pyramidRadius, 260);
}

TEST(WebAddress, ValuesOutsideTheRangesStayAsAStoredRecordKeepsThem) {
  std::mt19937 random(37);
  for (int round = 0; round < 200; ++round) {
    WebAddress address;
    SetDefaultSettings(address.settings);
    for (const SettingsField& field : settingsFields)
      if (field.kind != ControlKind::none && random() % 3 == 0)
        address.settings.*field.member = static_cast<int32_t>(random());  // any 32-bit value, check boxes too
    address.hasTime = random() % 2 == 0, address.time = static_cast<uint32_t>(random());
    const WebAddress back = ParseWebAddress(FormatWebAddress(address));
    ASSERT_TRUE(SameSettings(back.settings, address.settings)) << FormatWebAddress(address);
    EXPECT_EQ(back.hasTime, address.hasTime);
    if (address.hasTime) {
      EXPECT_EQ(back.time, address.time);
    }
    EXPECT_EQ(back.problem, "");
  }
}

}  // namespace
