// Measures what bmcupdate itself costs on top of the external work it
// drives: the fast-clock build through a full successful update against the
// stand-ins, side by side with baseline.sh doing the same external work.
// Runs are interleaved so that drift in the machine's load hits both alike.
//
//   bench BUILD_DIR [RUNS]
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// POSIX leaves this declaration to the program.
extern char** environ;  // NOLINT(readability-redundant-declaration)

namespace {

const char kAnswers[] = "y\n192.168.0.10\ny\n";
const char kClosingLine[] = "アップデートツールを終了します";

double Now() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// A simulated BMC at 09-12 whose flash brings it to 09-16, and no old log.
void RewriteSimulatorState() {
  WriteFile("bmcsim.txt", "firmware=09 12\nflash_sets=09 16\n");
  unlink("bmcsim.log");
}

// Runs argv from the working directory with stdin from `input` and stdout to `output`;
// the exit code, or -1.
int Run(std::vector<const char*> argv, const std::string& input, const std::string& output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  argv.push_back(nullptr);
  std::string start = "./" + std::string(argv[0]);
  pid_t child = -1;
  int failed = posix_spawn(&child, start.c_str(), &actions, nullptr,
                           const_cast<char**>(argv.data()), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (failed != 0 || waitpid(child, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The tool's peak resident set: read while it waits at its final pause, after
// all its work is done.
long PeakResidentKiB() {
  RewriteSimulatorState();
  int toTool[2], fromTool[2];
  // Close-on-exec, so the tool holds only its own ends and sees the end of input.
  if (pipe2(toTool, O_CLOEXEC) != 0 || pipe2(fromTool, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toTool[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromTool[1], 1);
  std::string tool = "./bmcupdate-fast";
  char* argv[] = {const_cast<char*>(tool.c_str()), nullptr};
  pid_t child = -1;
  if (posix_spawn(&child, tool.c_str(), &actions, nullptr, argv, environ) != 0) return -1;
  posix_spawn_file_actions_destroy(&actions);
  close(toTool[0]);
  close(fromTool[1]);
  if (write(toTool[1], kAnswers, std::strlen(kAnswers)) < 0) return -1;
  std::string seen;
  char chunk[4096];
  for (ssize_t n; seen.find(kClosingLine) == std::string::npos &&
                  (n = read(fromTool[0], chunk, sizeof chunk)) > 0;) {
    seen.append(chunk, static_cast<size_t>(n));
  }
  std::string status = ReadFile("/proc/" + std::to_string(child) + "/status");
  close(toTool[1]);  // releases the pause
  while (read(fromTool[0], chunk, sizeof chunk) > 0) {
  }
  close(fromTool[0]);
  waitpid(child, nullptr, 0);
  size_t at = status.find("VmHWM:");
  return at == std::string::npos ? -1 : std::strtol(status.c_str() + at + 6, nullptr, 10);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench BUILD_DIR [RUNS]\n");
    return 2;
  }
  std::string build = argv[1];
  int runs = argc > 2 ? static_cast<int>(std::strtol(argv[2], nullptr, 10)) : 20;
  std::string folder = build + "/bench-work";
  std::string setup = "rm -rf '" + folder + "' && mkdir -p '" + folder + "' && cp '" + build +
                      "/tools/bmcupdate-fast' '" + build + "/tools/bmcsim/icmd.exe' '" + build +
                      "/tools/bmcsim/Yafuflash.exe' '" + BENCH_SOURCE_DIR + "/baseline.sh' '" +
                      folder + "/'";
  if (std::system(setup.c_str()) != 0) return 1;
  // The tool enters its own folder; the baseline runs where it is started.
  if (chdir(folder.c_str()) != 0) return 1;
  WriteFile("image.txt", "bmc0916.bin\n");
  WriteFile("bmc0916.bin", "simulated firmware image\n");
  WriteFile("yes.txt", "y\ny\ny\n");
  WriteFile("answers.txt", kAnswers);
  const std::string answers = "answers.txt", output = "output.txt";
  std::vector<double> tool, bare;
  for (int run = 0; run < runs; ++run) {
    RewriteSimulatorState();
    double start = Now();
    int code = Run({"bmcupdate-fast"}, answers, output);
    tool.push_back(Now() - start);
    if (code != 0) {
      std::fprintf(stderr, "run %d: the tool exited with %d, not 0: no measurement\n", run, code);
      return 1;
    }
    RewriteSimulatorState();
    start = Now();
    code = Run({"baseline.sh"}, "/dev/null", output);
    bare.push_back(Now() - start);
    if (code != 0 || ReadFile("version.txt").find("20 10 09 16") == std::string::npos) {
      std::fprintf(stderr, "run %d: the baseline did not reach 09-16\n", run);
      return 1;
    }
  }
  double toolMedian = Median(tool), bareMedian = Median(bare);
  long peak = PeakResidentKiB();
  std::printf("runs: %d\n", runs);
  std::printf("tool (bmcupdate-fast), median: %.1f ms\n", toolMedian * 1000);
  std::printf("bare external work, median:    %.1f ms\n", bareMedian * 1000);
  std::printf("ratio tool / bare: %.3f (target <= 1.03)\n", toolMedian / bareMedian);
  std::printf("tool peak resident memory: %ld KiB (target <= 4096 KiB)\n", peak);
  return 0;
}
