// command_line.cpp - argument text, mode letter and decimal window handles.
#include "win32/portable/command_line.h"

namespace {

// Codes of 32 and less end an unquoted program name and are skipped after it;
// characters are taken unsigned here, so 128..255 count as part of a name.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// Whether text[0, end) ends in name, as a whole component.
bool EndsInFileName(const char* text, size_t end, const std::string& name) {
  if (name.empty() || name.size() > end) return false;
  const size_t start = end - name.size();
  if (start > 0 && !IsSeparator(text[start - 1])) return false;
  for (size_t i = 0; i < name.size(); ++i)
    if (AsciiLower(text[start + i]) != AsciiLower(name[i])) return false;
  return true;
}

const char* UnquotedNameEnd(const char* commandLine, const std::vector<std::string>& fileNames) {
  const char* firstBlank = nullptr;
  for (const char* p = commandLine;; ++p) {
    if (*p != '\0' && !IsBlankOrControl(*p)) continue;
    if (firstBlank == nullptr) firstBlank = p;
    const size_t end = static_cast<size_t>(p - commandLine);
    for (const std::string& name : fileNames)
      if (EndsInFileName(commandLine, end, name)) return p;
    if (*p == '\0') return firstBlank;
  }
}

const char* SkipChar(const char* text, char skipped) {
  while (*text == skipped) ++text;
  return text;
}

}  // namespace

const char* ArgumentText(const char* commandLine, const std::vector<std::string>& fileNames) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    p = UnquotedNameEnd(commandLine, fileNames);
  }
  while (*p != '\0' && IsBlankOrControl(*p)) ++p;
  return p;
}

ModeChoice ChooseMode(const char* argumentText) {
  const char* p = argumentText;
  while (*p == ' ' || *p == '-' || *p == '/') ++p;  // tabs are not skipped
  switch (static_cast<signed char>(*p)) {           // 128..255 are negative: unrecognised
    case '\0': return {HostMode::settings, p};
    case 'c':
    case 'C': return {HostMode::settingsOverForeground, p + 1};
    case 's':
    case 'S': return {HostMode::fullScreen, p + 1};
    case 'p':
    case 'P':
    case 'l':
    case 'L': return {HostMode::childPreview, SkipChar(p + 1, ' ')};
    case 'a':
    case 'A': return {HostMode::changePassword, SkipChar(p + 1, ' ')};
    default: return {HostMode::unrecognised, p};
  }
}

uint32_t ParseDecimal(const char* text) {
  uint32_t value = 0;
  for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
    value = value * 10u + static_cast<uint32_t>(*p - '0');  // unsigned: wraps at 32 bits
  return value;
}
