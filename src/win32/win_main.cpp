// win_main.cpp - the program's entry: HostMain with the argument text.
//
// The argument text is cut from the whole command line here rather than
// taken from the run-time's lpCmdLine, so the program-name rules are this
// program's own (command_line.h) whatever run-time it is linked with: an
// unquoted program path with blanks is skipped up to the program's own file
// name, in the long or the short form the system may have written.
#include <windows.h>

#include <string>
#include <vector>

#include "win32/host/host_main.h"
#include "win32/host/host_state.h"
#include "win32/portable/command_line.h"

namespace {

using PathFormEntry = DWORD(WINAPI*)(LPCSTR path, LPSTR converted, DWORD size);  // Get{Long,Short}PathNameA
using ModuleFileNameEntry = DWORD(WINAPI*)(HMODULE module, LPSTR path, DWORD size);

std::string FileNameOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The path in the form the entry gives; empty when it gives none.
std::string PathForm(HMODULE kernel, const char* entryName, const std::string& path) {
  const auto convert = FindEntry<PathFormEntry>(kernel, entryName);
  char converted[MAX_PATH] = {};
  if (convert == nullptr) return {};
  const DWORD length = convert(path.c_str(), converted, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(converted, length) : std::string();
}

// The program's file name as the system may write it: as loaded, long and
// short. The entries are looked up at run time, as the import list holds
// none of them; without them the command line is read as the name ending
// at the first blank.
std::vector<std::string> ProgramFileNames() {
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  const auto moduleFileName = FindEntry<ModuleFileNameEntry>(kernel, "GetModuleFileNameA");
  char path[MAX_PATH] = {};
  if (moduleFileName == nullptr) return {};
  const DWORD length = moduleFileName(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::vector<std::string> names = {FileNameOf(path)};
  for (const char* form : {"GetLongPathNameA", "GetShortPathNameA"}) {
    const std::string other = FileNameOf(PathForm(kernel, form, path));
    if (!other.empty()) names.push_back(other);
  }
  return names;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR, int showCommand) {
  return HostMain(instance, previousInstance, ArgumentText(GetCommandLineA(), ProgramFileNames()), showCommand);
}
