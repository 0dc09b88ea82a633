// The source tree's one-way rules, read from the files themselves: the
// portable core includes no platform header and nothing of a shell; the
// shells never include each other; inside the core the layers run down
// (scene, objects, raster, image, common); no header includes itself back.
// Each broken rule is reported with the file and the include that breaks it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
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

// An include cycle through `at`, as "a -> b -> a"; empty when there is none.
bool FindCycle(const std::map<std::string, std::vector<std::string>>& graph, const std::string& at,
               std::map<std::string, int>& state, std::vector<std::string>& path, std::string& cycle) {
  state[at] = 1;  // on the path
  path.push_back(at);
  const auto edges = graph.find(at);
  if (edges != graph.end()) {
    for (const std::string& next : edges->second) {
      if (state[next] == 1) {
        const auto start = std::find(path.begin(), path.end(), next);
        for (auto p = start; p != path.end(); ++p) cycle += "src/" + *p + " -> ";
        cycle += "src/" + next;
        return true;
      }
      if (state[next] == 0 && FindCycle(graph, next, state, path, cycle)) return true;
    }
  }
  path.pop_back();
  state[at] = 2;  // done
  return false;
}

std::vector<std::string> LayeringProblems(const std::vector<SourceFile>& files) {
  std::vector<std::string> problems;
  std::map<std::string, std::vector<std::string>> graph;
  for (const SourceFile& file : files) {
    const std::string wing = WingOf(file.path);
    const bool portable = wing == "core" || file.path.rfind("win32/portable/", 0) == 0;
    for (const Include& include : file.includes) {
      if (include.system) {
        if (portable && !IsStandardHeader(include.name))
          problems.push_back(Broken(file, include, "portable code includes no platform or library header"));
        continue;
      }
      const std::string target = WingOf(include.name);
      if (target != "core" && target != "win32" && target != "x11") {
        problems.push_back(Broken(file, include, "an include names its wing: core/, win32/ or x11/"));
        continue;
      }
      graph[file.path].push_back(include.name);
      if (target == wing) {
        if (wing == "core" && CoreLayer(include.name) > CoreLayer(file.path))
          problems.push_back(Broken(file, include, "a core layer includes none above it"));
        else if (portable && wing == "win32" && include.name.rfind("win32/portable/", 0) != 0)
          problems.push_back(Broken(file, include, "the Win32 shell's portable pieces include nothing of the rest"));
      } else if (target != "core") {
        problems.push_back(Broken(file, include, "only the core is included from another wing"));
      }
    }
  }
  std::map<std::string, int> state;
  for (const auto& [path, edges] : graph) {
    std::vector<std::string> trail;
    std::string cycle;
    if (state[path] != 0 || !FindCycle(graph, path, state, trail, cycle)) continue;
    problems.push_back("include cycle: " + cycle);
    for (auto& [file, mark] : state)
      if (mark == 1) mark = 2;  // the files left on the path are done: one report for the cycle
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

TEST(Layering, EachBrokenRuleIsNamedWithItsFileAndInclude) {
  const std::vector<SourceFile> planted = {
      {"core/image/a.cpp", {{"windows.h", true}, {"unistd.h", true}, {"X11/Xlib.h", true}, {"cstdint", true}}},
      {"core/raster/b.h", {{"core/scene/scene.h", false}, {"core/image/c.h", false}, {"win32/host/d.h", false}}},
      {"core/common/e.cpp", {{"core/objects/f.h", false}, {"emmintrin.h", true}}},
      {"win32/host/g.cpp", {{"x11/x11_window.h", false}, {"windows.h", true}, {"core/scene/scene.h", false}}},
      {"x11/h.cpp", {{"win32/session/session.h", false}, {"sys/shm.h", true}}},
      {"win32/portable/i.cpp", {{"windows.h", true}, {"win32/host/j.h", false}, {"win32/portable/k.h", false}}},
      {"core/scene/l.h", {{"scene/m.h", false}}},
  };
  const std::vector<std::string> expected = {
      "src/core/image/a.cpp includes <windows.h>: portable code includes no platform or library header",
      "src/core/image/a.cpp includes <unistd.h>: portable code includes no platform or library header",
      "src/core/image/a.cpp includes <X11/Xlib.h>: portable code includes no platform or library header",
      "src/core/raster/b.h includes \"core/scene/scene.h\": a core layer includes none above it",
      "src/core/raster/b.h includes \"win32/host/d.h\": only the core is included from another wing",
      "src/core/common/e.cpp includes \"core/objects/f.h\": a core layer includes none above it",
      "src/win32/host/g.cpp includes \"x11/x11_window.h\": only the core is included from another wing",
      "src/x11/h.cpp includes \"win32/session/session.h\": only the core is included from another wing",
      "src/win32/portable/i.cpp includes <windows.h>: portable code includes no platform or library header",
      "src/win32/portable/i.cpp includes \"win32/host/j.h\": the Win32 shell's portable pieces include nothing of "
      "the rest",
      "src/core/scene/l.h includes \"scene/m.h\": an include names its wing: core/, win32/ or x11/",
  };
  EXPECT_EQ(LayeringProblems(planted), expected);
}

TEST(Layering, AnIncludeCycleIsNamedAlongItsPath) {
  const std::vector<SourceFile> planted = {
      {"core/scene/a.h", {{"core/scene/b.h", false}}},
      {"core/scene/b.h", {{"core/image/c.h", false}, {"core/scene/d.h", false}}},
      {"core/scene/d.h", {{"core/scene/b.h", false}}},
      {"core/image/c.h", {}},
      {"core/scene/e.h", {{"core/scene/d.h", false}}},  // leads into the cycle: no second report
  };
  EXPECT_EQ(LayeringProblems(planted),
            std::vector<std::string>{"include cycle: src/core/scene/b.h -> src/core/scene/d.h -> src/core/scene/b.h"});
  // A file included along two paths is no cycle.
  const std::vector<SourceFile> diamond = {
      {"core/scene/a.h", {{"core/scene/b.h", false}, {"core/image/c.h", false}}},
      {"core/scene/b.h", {{"core/image/c.h", false}}},
  };
  EXPECT_TRUE(LayeringProblems(diamond).empty());
}

}  // namespace
