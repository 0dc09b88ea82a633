// replay_main.cpp - runs a fuzz target once over given files and directories
// (every regular file in them, in name order), without libFuzzer, so that
// the committed corpus is a regression test in every build. Exits non-zero
// when an argument cannot be read or holds no input at all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool Replay(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::fprintf(stderr, "replay: cannot read %s\n", path.c_str()), false;
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // An input of zero bytes still gets a valid pointer, as under libFuzzer.
  static const uint8_t none = 0;
  LLVMFuzzerTestOneInput(bytes.empty() ? &none : bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path argument = argv[i];
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    if (std::filesystem::is_directory(argument, error)) {
      for (const auto& entry : std::filesystem::directory_iterator(argument, error))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      std::sort(inputs.begin(), inputs.end());
    } else {
      inputs.push_back(argument);
    }
    for (const auto& input : inputs)
      if (!Replay(input)) return 1;
    replayed += inputs.size();
  }
  std::printf("replay: %zu inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
