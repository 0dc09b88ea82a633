// The field table and the dialog's control table against the dialog template
// in src/win32/resources/dialog.rc: every setting that Linux offers under a
// caption and a group must be the control the Windows dialog shows with that
// caption in that group box, a control of its own, its default within its
// range; and the dialog's table has a row for those fields alone.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "core/scene/settings_record.h"
#include "win32/config_ui/dialog_controls.h"

namespace {

struct Control {
  std::string text, id, className, style;
  int x, y, width, height;
};

std::vector<Control> DialogControls() {
  std::ifstream file(VIMBREL_SOURCE_DIR "/src/win32/resources/dialog.rc");
  // CONTROL "text", id, "class", style, x, y, width, height
  const std::regex control(
      R"re(^\s*CONTROL\s+"([^"]*)",\s*([^,]+),\s*"([^"]+)",\s*([^,]+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+))re");
  std::vector<Control> controls;
  std::smatch m;
  for (std::string line; std::getline(file, line);)
    if (std::regex_search(line, m, control))
      controls.push_back({m[1], m[2], m[3], m[4], std::stoi(m[5]), std::stoi(m[6]), std::stoi(m[7]), std::stoi(m[8])});
  return controls;
}

// The text of the group box that holds the control's top left corner.
std::string GroupOf(const std::vector<Control>& controls, const Control& c) {
  for (const Control& box : controls)
    if (box.style.find("VB_GROUPBOX") != std::string::npos && box.x <= c.x && c.x < box.x + box.width && box.y <= c.y &&
        c.y < box.y + box.height)
      return box.text;
  return "";
}

TEST(SettingsDialog, CaptionsAndGroupsAreTheDialogTemplates) {
  const std::vector<Control> controls = DialogControls();
  ASSERT_GT(controls.size(), 50u) << "dialog.rc not read";
  size_t trackbars = 0, trackbarFields = 0;
  for (const Control& c : controls) trackbars += c.className == "msctls_trackbar32";
  size_t rows = 0;
  for (const SettingsField& field : settingsFields) {
    SCOPED_TRACE(field.name);
    const DialogControl* row = DialogControlOf(field.member);
    if (field.kind == ControlKind::none) {
      EXPECT_STREQ(field.caption, "");
      EXPECT_EQ(row, nullptr) << "the dialog shows a field that has no control";
      continue;
    }
    ASSERT_NE(row, nullptr) << "the dialog does not show the field";
    ++rows;
    size_t i = 0;
    while (i < controls.size() && controls[i].id != std::to_string(row->controlId)) ++i;
    ASSERT_LT(i, controls.size());
    EXPECT_EQ(FindDialogControl(row->controlId), row) << "another field has the same control";
    EXPECT_TRUE(field.minimum <= field.defaultValue && field.defaultValue <= field.maximum);
    // A trackbar's caption is the static text just before it; a check box's is its own.
    const bool isTrackbar = field.kind == ControlKind::trackbar;
    trackbarFields += isTrackbar;
    EXPECT_EQ(controls[i].className, isTrackbar ? "msctls_trackbar32" : "Button");
    if (isTrackbar) {  // the value's label beside the trackbar is no field's control
      EXPECT_TRUE(row->labelId == row->controlId + 1 || row->labelId == row->controlId - 1);
      EXPECT_EQ(FindDialogControl(row->labelId), nullptr);
    } else {
      EXPECT_EQ(row->labelId, 0) << "a check box has no value label";
    }
    ASSERT_TRUE(!isTrackbar || (i > 0 && controls[i - 1].className == "Static"));
    EXPECT_EQ(field.caption, controls[isTrackbar ? i - 1 : i].text);
    EXPECT_EQ(SettingsGroupName(field.group), GroupOf(controls, controls[i]));
    EXPECT_EQ(field.unit[0] != '\0' && field.lowWord[0] != '\0' && field.highWord[0] != '\0', isTrackbar)
        << "a trackbar has a unit and words for its ends; a check box none";
  }
  EXPECT_EQ(trackbarFields, trackbars);
  EXPECT_EQ(dialogControlCount, rows) << "a field has two rows in the dialog's table";
}

}  // namespace
