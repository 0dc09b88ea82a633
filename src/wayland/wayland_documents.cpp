// wayland_documents.cpp - --help and vimbrel-wayland.6 from the shared tables.
#include "wayland/wayland_documents.h"

#include "linux_options/linux_documents.h"

std::string WaylandHelp() { return ProgramHelp(waylandProgram); }

std::string WaylandManualPage(const char* version) {
  std::string text = ".TH VIMBREL-WAYLAND 6 \"\" \"Vimbrel " + std::string(version) + "\" \"Games Manual\"\n";
  text += ".SH NAME\nvimbrel\\-wayland \\- a pyramid and three dodecahedrons over a tiled floor, on Wayland\n";
  text +=
      ".SH SYNOPSIS\n.B vimbrel\\-wayland\n"
      "[\\-\\-display \\fIname\\fP] [\\-\\-config \\fIfile\\fP] [\\-\\-fps] [\\-\\-idle \\fIseconds\\fP] "
      "[\\-\\-background] [\\fIsetting\\fP...]\n";
  text += ".SH DESCRIPTION\n" + ManualDescription();
  text +=
      ".PP\nIt covers every output of a Wayland compositor, each with its own scene drawn at the output's size "
      "in pixels: on the overlay layer where the compositor offers the layer shell (sway, Hyprland, river, labwc, "
      "KDE), else in a fullscreen window on each output (GNOME, Weston). Outputs that come, go or change while it "
      "runs are followed. A key, a button, a touch or a pointer move of more than 4 pixels ends it.\n";
  text +=
      ".PP\nIt never locks the session: start the compositor's own locker, such as "
      "\\fBswaylock\\fP(1), for that. An idle daemon starts it, for example on sway, river or labwc:\n"
      ".PP\n.nf\nswayidle timeout 300 vimbrel\\-wayland\n.fi\n";
  text += ManualOptionsAndSettings(waylandProgram);
  text +=
      ".SH ENVIRONMENT\n"
      ".TP\n.B WAYLAND_DISPLAY\nThe Wayland display, unless \\-\\-display names one.\n"
      ".TP\n.B XDG_RUNTIME_DIR\nWhere the display's socket is.\n";
  text +=
      ".SH EXIT STATUS\n"
      ".TP\n.B 0\nInput ended it, or SIGTERM or SIGINT, or the compositor closed its window.\n"
      ".TP\n.B 1\nA Wayland failure: no compositor at the display, one without what the program needs, "
      "or the compositor going away; or a scene that cannot be made.\n"
      ".TP\n.B 2\nA bad command line or a \\-\\-config file that is missing, not a regular file or longer "
      "than 152 bytes. One line on standard error says what is wrong.\n";
  text += ".SH SEE ALSO\n.BR vimbrel (6),\n.BR swayidle (1),\n.BR swaylock (1)\n";
  return text;
}
