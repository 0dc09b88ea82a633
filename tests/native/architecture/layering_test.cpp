// The source tree's one-way rules, read from the files themselves: the
// portable core includes no platform header and nothing of a shell; the
// shells never include each other, the two Linux programs sharing only
// linux_options/, which includes nothing but the core; inside the core the
// layers run down (scene, objects, raster, image, common); no header
// includes itself back.
// Each broken rule is reported with the file and the include that breaks it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Include {
  std::string name;  // as written, without its quotes or brackets
  bool system;       // <...>
};

struct SourceFile {
  std::string path;  // from src/, e.g. "core/scene/scene.h"
  std::vector<Include> includes;
};

// What portable code may include besides itself: the C++ library's headers
// (<cstdint>, <vector>: no ".h") and the compiler's SIMD intrinsics
// (<emmintrin.h>). <windows.h>, <X11/Xlib.h>, <unistd.h>, <png.h> are not.
bool IsStandardHeader(const std::string& name) {
  return name.find('.') == std::string::npos || std::regex_match(name, std::regex("[a-z]*intrin\\.h"));
}

std::string WingOf(const std::string& path) { return path.substr(0, path.find('/')); }

// A shell's pieces that need no platform header, tested natively: they
// include their own kind and the core only.
bool IsPortablePiece(const std::string& path) {
  return path.rfind("win32/portable/", 0) == 0 || path.rfind("wayland/portable/", 0) == 0 ||
         path.rfind("web/portable/", 0) == 0;
}

// What a wing may include of another: the core, and the Linux programs the
// option table they share.
bool MayInclude(const std::string& wing, const std::string& target) {
  return target == "core" || (target == "linux_options" && (wing == "x11" || wing == "wayland"));
}

// The core's layers from the bottom; a layer includes its own and those below.
int CoreLayer(const std::string& path) {
  static const char* const layers[] = {"core/common/", "core/image/", "core/raster/", "core/objects/", "core/scene/"};
  for (int i = 0; i < 5; ++i)
    if (path.rfind(layers[i], 0) == 0) return i;
  return -1;
}

std::string Broken(const SourceFile& file, const Include& include, const std::string& rule) {
  const std::string written = include.system ? "<" + include.name + ">" : "\"" + include.name + "\"";
  return "src/" + file.path + " includes " + written + ": " + rule;
}

// An include path from `from` back to `to`, as " -> src/b.h -> src/a.h";
// empty when there is none.
std::string PathBack(const std::map<std::string, std::vector<std::string>>& graph, const std::string& from,
                     const std::string& to, std::set<std::string>& seen) {
  const auto edges = graph.find(from);
  for (const std::string& next : edges == graph.end() ? std::vector<std::string>{} : edges->second) {
    if (next == to) return " -> src/" + to;
    if (!seen.insert(next).second) continue;
    const std::string rest = PathBack(graph, next, to, seen);
    if (!rest.empty()) return " -> src/" + next + rest;
  }
  return "";
}

std::vector<std::string> LayeringProblems(const std::vector<SourceFile>& files) {
  std::vector<std::string> problems;
  std::map<std::string, std::vector<std::string>> graph;
  for (const SourceFile& file : files) {
    const std::string wing = WingOf(file.path);
    const bool portable = wing == "core" || wing == "linux_options" || IsPortablePiece(file.path);
    for (const Include& include : file.includes) {
      if (include.system) {
        if (portable && !IsStandardHeader(include.name))
          problems.push_back(Broken(file, include, "portable code includes no platform or library header"));
        continue;
      }
      const std::string target = WingOf(include.name);
      if (target != "core" && target != "win32" && target != "x11" && target != "wayland" && target != "web" &&
          target != "linux_options") {
        problems.push_back(
            Broken(file, include, "an include names its wing: core/, win32/, x11/, wayland/, web/ or linux_options/"));
        continue;
      }
      graph[file.path].push_back(include.name);
      if (target == wing) {
        if (wing == "core" && CoreLayer(include.name) > CoreLayer(file.path))
          problems.push_back(Broken(file, include, "a core layer includes none above it"));
        else if (IsPortablePiece(file.path) && !IsPortablePiece(include.name))
          problems.push_back(Broken(file, include, "a shell's portable pieces include nothing of the rest"));
      } else if (!MayInclude(wing, target)) {
        problems.push_back(Broken(file, include, "only the core is included from another wing"));
      }
    }
  }
  std::set<std::string> inCycle;  // one report for each cycle
  for (const auto& [path, edges] : graph) {
    std::set<std::string> seen;
    const std::string cycle = inCycle.count(path) ? "" : PathBack(graph, path, path, seen);
    if (cycle.empty()) continue;
    problems.push_back("include cycle: src/" + path + cycle);
    for (size_t at = 0; (at = cycle.find("src/", at)) != std::string::npos; at += 4)
      inCycle.insert(cycle.substr(at + 4, cycle.find(' ', at) - at - 4));
  }
  return problems;
}

std::vector<SourceFile> ReadSourceTree(const std::filesystem::path& root) {
  static const std::regex include("^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]");
  std::vector<SourceFile> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".h" && extension != ".cpp")) continue;
    SourceFile file{entry.path().lexically_relative(root).generic_string(), {}};
    std::ifstream in(entry.path());
    std::smatch match;
    for (std::string line; std::getline(in, line);)
      if (std::regex_search(line, match, include)) file.includes.push_back({match[2], match[1] == "<"});
    files.push_back(file);
  }
  std::sort(files.begin(), files.end(), [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
  return files;
}

TEST(Layering, TheSourceTreeKeepsItsOneWayRules) {
  const std::vector<SourceFile> files = ReadSourceTree(std::filesystem::path(VIMBREL_SOURCE_DIR) / "src");
  ASSERT_GT(files.size(), 50u) << "the source tree was not found";
  for (const std::string& problem : LayeringProblems(files)) ADD_FAILURE() << problem;
}

// One planted break of each rule, beside includes the rules allow (the C++
// library, intrinsics, a shell's platform headers, the core from a shell, the
// shared option table from a Linux program, a file reached along two paths);
// a cycle is named once, along its path.
TEST(Layering, EachBrokenRuleIsNamedWithItsFileAndInclude) {
  const std::vector<SourceFile> planted = {
      {"core/image/a.cpp", {{"windows.h", true}, {"cstdint", true}, {"emmintrin.h", true}, {"core/common/x.h", false}}},
      {"core/raster/b.h", {{"core/scene/scene.h", false}, {"core/common/x.h", false}}},
      {"win32/host/g.cpp", {{"x11/x11_window.h", false}, {"windows.h", true}, {"core/scene/scene.h", false}}},
      {"win32/portable/i.cpp", {{"win32/host/j.h", false}, {"win32/portable/k.h", false}}},
      {"wayland/portable/n.cpp", {{"wayland/wayland_session.h", false}, {"wayland-client.h", true}}},
      {"linux_options/o.cpp", {{"x11/x11_window.h", false}, {"core/scene/scene.h", false}}},
      {"x11/p.cpp", {{"wayland/wayland_session.h", false}, {"linux_options/linux_options.h", false}}},
      {"wayland/q.cpp", {{"linux_options/linux_options.h", false}, {"wayland/portable/r.h", false}}},
      {"core/scene/l.h", {{"scene/m.h", false}}},
      {"core/scene/s.h", {{"core/scene/t.h", false}}},
      {"core/scene/t.h", {{"core/scene/s.h", false}}},
      {"core/scene/u.h", {{"core/scene/t.h", false}}},  // leads into the cycle: no second report
  };
  const std::vector<std::string> expected = {
      "src/core/image/a.cpp includes <windows.h>: portable code includes no platform or library header",
      "src/core/raster/b.h includes \"core/scene/scene.h\": a core layer includes none above it",
      "src/win32/host/g.cpp includes \"x11/x11_window.h\": only the core is included from another wing",
      "src/win32/portable/i.cpp includes \"win32/host/j.h\": a shell's portable pieces include nothing of the rest",
      "src/wayland/portable/n.cpp includes \"wayland/wayland_session.h\": a shell's portable pieces include nothing "
      "of the rest",
      "src/wayland/portable/n.cpp includes <wayland-client.h>: portable code includes no platform or library header",
      "src/linux_options/o.cpp includes \"x11/x11_window.h\": only the core is included from another wing",
      "src/x11/p.cpp includes \"wayland/wayland_session.h\": only the core is included from another wing",
      "src/core/scene/l.h includes \"scene/m.h\": an include names its wing: core/, win32/, x11/, wayland/, web/ "
      "or linux_options/",
      "include cycle: src/core/scene/s.h -> src/core/scene/t.h -> src/core/scene/s.h",
  };
  EXPECT_EQ(LayeringProblems(planted), expected);
}

}  // namespace
