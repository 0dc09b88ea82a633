// Dialog template 2003 as compiled into the program, checked against the
// settings field table: every field's control and value label with the right
// id, class and style, in the tab order, inside its group; and the created
// dialog's trackbars carry the table's ranges.
#include <gtest/gtest.h>

#include "config_ui/configure_dialog_win32.h"
#include "resources/resource_ids.h"
#include "scene/scene_window_win32.h"
#include "support/dialog_support.h"

namespace {

constexpr DWORD childStyle = WS_CHILD | WS_VISIBLE;
constexpr char trackbarClass[] = "msctls_trackbar32";

// The template's order, which is the tab order. A slider row is three
// controls (caption, trackbar, value label) and is named by its trackbar.
enum class Row { group, slider, checkBox, button };
struct Expected {
  Row row;
  int id;
  const char* text;
};
const Expected templateOrder[] = {
    {Row::group, -1, "Pyramid"},
    {Row::slider, 1004, "Radius"},
    {Row::slider, 1006, "Height"},
    {Row::slider, 1008, "Centre X"},
    {Row::slider, 1010, "Centre Z"},
    {Row::slider, 1014, "Rotation time"},
    {Row::slider, 1013, "Journey time"},
    {Row::checkBox, 1017, "Turn"},
    {Row::checkBox, 1016, "Journey"},
    {Row::group, -1, "Dodecahedrons"},
    {Row::slider, 1022, "Radius"},
    {Row::slider, 1026, "Centre X"},
    {Row::slider, 1028, "Centre Z"},
    {Row::slider, 1032, "Rotation time"},
    {Row::slider, 1031, "Journey time"},
    {Row::checkBox, 1035, "Turn"},
    {Row::checkBox, 1034, "Journey"},
    {Row::group, -1, "View"},
    {Row::slider, 1036, "Eye Y"},
    {Row::slider, 1038, "Eye Z"},
    {Row::slider, 1040, "Light 1 X"},
    {Row::slider, 1042, "Light 1 Y"},
    {Row::slider, 1044, "Light 1 Z"},
    {Row::slider, 1046, "Light 2 X"},
    {Row::slider, 1048, "Light 2 Y"},
    {Row::slider, 1050, "Light 2 Z"},
    {Row::slider, 1052, "Frame time"},
    {Row::checkBox, 1055, "Grid"},
    {Row::checkBox, 1054, "Palette"},
    {Row::checkBox, 1056, "Show"},
    {Row::checkBox, 1057, "Show"},
    {Row::checkBox, 1058, "Shadows"},
    {Row::button, 1059, "Reset to Defaults"},
    {Row::button, IDOK, "OK"},
    {Row::button, IDCANCEL, "Cancel"},
};

bool IsButtonOfType(const TemplateControl& control, DWORD type) {
  return control.className == "button" && (control.style & BS_TYPEMASK) == type;
}

bool Inside(const TemplateControl& inner, const TemplateControl& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

class DialogTemplate2003 : public ::testing::Test {
 protected:
  DialogTemplate dialog;
  void SetUp() override { ASSERT_TRUE(ReadDialogTemplate(IDD_SETTINGS, dialog)); }
};

TEST_F(DialogTemplate2003, HeaderIsTheSettingsDialog) {
  EXPECT_EQ(dialog.style,
            static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK));
  EXPECT_EQ(dialog.extendedStyle, 0u);
  EXPECT_EQ(dialog.caption, "Screen Saver Properties");
  EXPECT_EQ(dialog.menu, "");
  EXPECT_EQ(dialog.className, "");
  EXPECT_EQ(dialog.fontSize, 8);
  EXPECT_EQ(dialog.fontName, "MS Sans Serif");
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.width, 312);
  EXPECT_EQ(dialog.height, 204);
}

// Walks the template in step with templateOrder; each control's id, class,
// text and style, and for slider rows the table's label id.
TEST_F(DialogTemplate2003, ControlsFollowTheTabOrderWithTheTablesIds) {
  size_t at = 0;
  auto next = [&]() -> const TemplateControl* { return at < dialog.controls.size() ? &dialog.controls[at++] : nullptr; };
  for (const Expected& expected : templateOrder) {
    SCOPED_TRACE(std::string(expected.text) + " " + std::to_string(expected.id));
    const TemplateControl* control = next();
    ASSERT_NE(control, nullptr) << "the template ends early";
    if (expected.row == Row::slider) {
      const SettingsField* field = FindSettingsFieldByControl(expected.id);
      ASSERT_NE(field, nullptr);
      EXPECT_EQ(field->kind, ControlKind::trackbar);
      const TemplateControl* trackbar = next();
      const TemplateControl* label = next();
      ASSERT_NE(label, nullptr);
      EXPECT_EQ(control->className, "static");
      EXPECT_EQ(control->text, expected.text);
      EXPECT_EQ(control->id, -1);
      EXPECT_EQ(control->style, childStyle | SS_LEFT | WS_GROUP);
      EXPECT_EQ(control->width, 49);
      EXPECT_EQ(control->height, expected.id == 1036 ? 8 : 10);  // the Eye Y caption is 8 high
      EXPECT_EQ(trackbar->className, trackbarClass);
      EXPECT_EQ(trackbar->id, expected.id);
      const DWORD ticks = expected.id == 1036 ? TBS_AUTOTICKS : 0;  // only Eye Y asks for ticks
      EXPECT_EQ(trackbar->style, childStyle | TBS_HORZ | TBS_BOTH | TBS_NOTICKS | WS_TABSTOP | ticks);
      EXPECT_EQ(trackbar->width, 60);
      EXPECT_EQ(trackbar->height, 10);
      EXPECT_EQ(label->className, "static");
      EXPECT_EQ(label->id, field->labelId);
      EXPECT_EQ(label->style, childStyle | SS_RIGHT | WS_GROUP);
      EXPECT_TRUE(label->width == 20 || label->width == 21) << label->width;
      EXPECT_EQ(label->height, 10);
      // One row: the three side by side at one height, label right after the trackbar.
      EXPECT_EQ(trackbar->y, control->y);
      EXPECT_EQ(label->y, control->y);
      EXPECT_EQ(label->x, trackbar->x + trackbar->width);
      EXPECT_LE(control->x + control->width, trackbar->x + 1);
      continue;
    }
    EXPECT_EQ(control->className, "button");
    EXPECT_EQ(control->text, expected.text);
    EXPECT_EQ(control->id, expected.id);
    if (expected.row == Row::group) {
      EXPECT_EQ(control->style, childStyle | BS_GROUPBOX);
    }
    if (expected.row == Row::button) {
      EXPECT_EQ(control->style, childStyle | BS_PUSHBUTTON | WS_TABSTOP);
    }
    if (expected.row == Row::checkBox) {
      EXPECT_EQ(control->style, childStyle | BS_AUTOCHECKBOX | WS_TABSTOP);
      const SettingsField* field = FindSettingsFieldByControl(expected.id);
      ASSERT_NE(field, nullptr);
      EXPECT_EQ(field->kind, ControlKind::checkBox);
    }
  }
  EXPECT_EQ(at, dialog.controls.size()) << "controls after Cancel";
}

TEST_F(DialogTemplate2003, EveryControlLiesInTheDialogAndItsGroup) {
  const TemplateControl* group = nullptr;
  std::vector<const TemplateControl*> groups;
  for (const TemplateControl& control : dialog.controls)
    if (IsButtonOfType(control, BS_GROUPBOX)) groups.push_back(&control);
  ASSERT_EQ(groups.size(), 3u);
  for (const TemplateControl& control : dialog.controls) {
    SCOPED_TRACE(control.text + " " + std::to_string(control.id));
    EXPECT_GE(control.x, 0);
    EXPECT_GE(control.y, 0);
    EXPECT_LE(control.x + control.width, dialog.width);
    EXPECT_LE(control.y + control.height, dialog.height);
    if (IsButtonOfType(control, BS_GROUPBOX)) {
      group = &control;
      continue;
    }
    if (IsButtonOfType(control, BS_PUSHBUTTON)) {
      for (const TemplateControl* box : groups) EXPECT_FALSE(Inside(control, *box)) << "a button inside a group";
      continue;
    }
    const SettingsField* field = FindSettingsFieldByControl(control.id);
    const bool checkBox = field != nullptr && field->kind == ControlKind::checkBox;
    if (!checkBox) {
      // Slider rows sit in the group that precedes them in the template.
      ASSERT_NE(group, nullptr);
      EXPECT_TRUE(Inside(control, *group)) << "outside " << group->text;
    } else {
      int boxes = 0;
      for (const TemplateControl* box : groups) boxes += Inside(control, *box) ? 1 : 0;
      EXPECT_EQ(boxes, 1);
    }
  }
}

TEST(DialogInitOrder, InitialisesEveryControlOnce) {
  for (const SettingsField& field : settingsFields) {
    int listed = 0;
    for (size_t i = 0; i < dialogInitOrderCount; ++i) listed += dialogInitOrder[i] == field.member ? 1 : 0;
    EXPECT_EQ(listed, field.kind == ControlKind::none ? 0 : 1) << field.name;
  }
}

// The dialog as the system creates it: each field's control of the right
// class, each trackbar with the table's range (Eye Z through the signed
// 16-bit range), each value label a static.
TEST(CreatedDialog, ControlsCarryTheTablesClassesAndRanges) {
  ResetSceneDriver();
  ResetConfigureDialog();
  SetDefaultSettings();
  HWND owner = CreateStandInScene();
  HWND dialog = OpenDialogOver(owner);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(IsWindowVisible(dialog));
  char caption[64] = {};
  GetWindowTextA(dialog, caption, sizeof caption);
  EXPECT_STREQ(caption, "Screen Saver Properties");
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
  for (const SettingsField& field : settingsFields) {
    if (field.kind == ControlKind::none) continue;
    SCOPED_TRACE(field.name);
    HWND control = GetDlgItem(dialog, field.controlId);
    ASSERT_NE(control, nullptr);
    if (field.kind == ControlKind::checkBox) {
      EXPECT_EQ(ClassOf(control), "button");
      continue;
    }
    EXPECT_EQ(ClassOf(control), trackbarClass);
    EXPECT_EQ(static_cast<int32_t>(SendMessageA(control, TBM_GETRANGEMIN, 0, 0)), field.minimum);
    EXPECT_EQ(static_cast<int32_t>(SendMessageA(control, TBM_GETRANGEMAX, 0, 0)), field.maximum);
    EXPECT_EQ(ClassOf(GetDlgItem(dialog, field.labelId)), "static");
  }
  EXPECT_EQ(SendDlgItemMessageA(dialog, 1038, TBM_GETRANGEMIN, 0, 0), -10000);
  EXPECT_EQ(SendDlgItemMessageA(dialog, 1038, TBM_GETRANGEMAX, 0, 0), -3000);
  DestroyWindow(dialog);
  DestroyStandInScene();
}

}  // namespace
