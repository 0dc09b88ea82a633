// child_process.h - the programs under test as child processes: started
// with their output in files, waited for against a deadline.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

inline bool WaitFor(const std::function<bool()>& done, double seconds = 15) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  for (; !done(); usleep(20000))  // the poll interval of the condition, not a wait for it
    if (std::chrono::steady_clock::now() > deadline) return false;
  return true;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The command (a full path) in this environment with extraEnv before it, so
// that its entries win; -1 when it cannot start.
inline pid_t Spawn(const std::vector<std::string>& command, const std::vector<std::string>& extraEnv,
                   const std::string& errorFile, const std::string& outputFile = "/dev/null") {
  std::vector<char*> argv, envp;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& e : extraEnv) envp.push_back(const_cast<char*>(e.c_str()));
  for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);
  argv.push_back(nullptr), envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit status within the deadline; -1 when still running (then killed),
// -2 when ended by a signal, -3 when it never started.
inline int WaitExit(pid_t pid, double seconds = 15) {
  int status = 0;
  if (pid <= 0) return -3;
  if (!WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, seconds)) {
    kill(pid, SIGKILL), waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

inline bool Running(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

// What man says about a manual page it formats: "" for none and a clean exit.
inline std::string ManWarnings(const std::string& page, const std::string& log) {
  const int status = std::system(
      ("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z " + page + " >/dev/null 2>" + log).c_str());
  return (status == 0 ? "" : "man exited with " + std::to_string(status) + "\n") + ReadText(log);
}
