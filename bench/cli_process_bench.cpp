// The command line as a user runs it: one dorvane-cli process per command, timed by the CPU
// time (user and system) the process used, start-up included; BM_CliStartup (--version) is
// the start-up alone, which every other figure includes. Peak memory is for /usr/bin/time -v:
// a spawned child's ru_maxrss also counts the parent's pages before the exec.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "scale_portfolio.h"

extern char** environ;

namespace {

struct Usage {
  double cpu_seconds = 0;
  bool ok = false;
};

// Runs dorvane-cli with words, its standard output and error to /dev/null.
Usage run_cli(const std::vector<std::string>& words) {
  std::vector<std::string> argv_text{DORVANE_CLI};
  argv_text.insert(argv_text.end(), words.begin(), words.end());
  std::vector<char*> argv;
  for (std::string& word : argv_text) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  Usage usage;
  if (posix_spawn(&pid, DORVANE_CLI, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    struct rusage used {};
    if (wait4(pid, &status, 0, &used) == pid) {
      usage.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      usage.cpu_seconds = static_cast<double>(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
                          static_cast<double>(used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  return usage;
}

// Times one command: the manual time of each iteration is the process's CPU time.
void time_command(benchmark::State& state, const std::vector<std::string>& words) {
  for (auto _ : state) {
    const Usage usage = run_cli(words);
    if (!usage.ok) {
      state.SkipWithError("dorvane-cli failed");
      return;
    }
    state.SetIterationTime(usage.cpu_seconds);
  }
}

void BM_CliStartup(benchmark::State& state) { time_command(state, {"--version"}); }
BENCHMARK(BM_CliStartup)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliSymbols2846(benchmark::State& state) {
  time_command(state, {"symbols", bench_support::scale_portfolio(2846).dir()});
}
BENCHMARK(BM_CliSymbols2846)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliExportSmallSymbol(benchmark::State& state) {
  const auto& portfolio = bench_support::scale_portfolio(2846);
  time_command(state, {"export", portfolio.dir(), "S3", portfolio.dir() + "out.txt", "--force"});
}
BENCHMARK(BM_CliExportSmallSymbol)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same to standard output: the export's own work, without the temporary file, its sync
// and the rename that keep a written file safe.
void BM_CliExportSmallSymbolStdout(benchmark::State& state) {
  time_command(state, {"export", bench_support::scale_portfolio(2846).dir(), "S3", "-"});
}
BENCHMARK(BM_CliExportSmallSymbolStdout)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliExportLong(benchmark::State& state) {
  const auto& portfolio = bench_support::long_portfolio();
  time_command(state, {"export", portfolio.dir(), "LONG", portfolio.dir() + "out.txt", "--force"});
}
BENCHMARK(BM_CliExportLong)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliExportLongStdout(benchmark::State& state) {
  time_command(state, {"export", bench_support::long_portfolio().dir(), "LONG", "-"});
}
BENCHMARK(BM_CliExportLongStdout)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliSymbolsJsonWide(benchmark::State& state) {
  time_command(state, {"symbols", bench_support::wide_listing().dir(), "--json"});
}
BENCHMARK(BM_CliSymbolsJsonWide)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CliSymbolsTextWide(benchmark::State& state) {
  time_command(state, {"symbols", bench_support::wide_listing().dir()});
}
BENCHMARK(BM_CliSymbolsTextWide)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
