// bench_profile: how long a post-download run of PELKAR takes to load and save a large profile.
//
//   build/bench_profile [megabytes [runs]]
//
// Needs build/pelkar beside it. It writes two profiles of the given size (default 50 MB): one
// whose [PELKAR] section is followed by a foreign section of many ordinary lines, and one
// holding a single line of that length. For each it runs build/pelkar with the host's command
// line for a recording that matches no action (so the time is the load, the decision and the
// save), `runs` times (default 3), and prints the median wall time next to the target of 1 s.
// Scratch files go to a fresh folder under $TMPDIR, removed at the end.

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const double kTargetSeconds = 1.0;

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::string ExecutableDirectory() {
    return std::filesystem::canonical("/proc/self/exe").parent_path().string();
}

void WriteProfile(const std::string& path, size_t bytes, bool oneLine) {
    std::ofstream out(path, std::ios::binary);
    out << "[PELKAR]\nlogging=0\n\n[Other]\n";
    if (oneLine) {
        out << "junk=" << std::string(bytes, 'j') << "\n";
        return;
    }
    const std::string line = "key=" + std::string(60, 'v') + "\n";
    for (size_t written = 0; written < bytes; written += line.size()) out << line;
}

// One run of pelkar with the profile in configHome; its wall time in seconds.
double RunPelkar(const std::string& pelkar, const std::string& configHome) {
    const double start = Now();
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        execl(pelkar.c_str(), pelkar.c_str(), "--mpeg", "/nonexistent/show.mpg", "--title",
              "Nothing Matches", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_profile: pelkar failed (status %d)\n", status);
        std::exit(1);
    }
    return Now() - start;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
    const std::string pelkar = ExecutableDirectory() + "/pelkar";
    const char* temp = std::getenv("TMPDIR");
    const std::string scratch =
        std::string(temp && *temp ? temp : "/tmp") + "/bench_profile." + std::to_string(getpid());
    std::filesystem::create_directories(scratch);

    std::printf("profile load and save by a post-download run (%zu MB, median of %d runs)\n",
                megabytes, runs);
    for (const bool oneLine : {false, true}) {
        WriteProfile(scratch + "/pelkar.ini", megabytes * 1024 * 1024, oneLine);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) times.push_back(RunPelkar(pelkar, scratch));
        std::printf("  %-28s %7.3f s   (target < %.0f s)\n",
                    oneLine ? "one line of that length:" : "many ordinary lines:", Median(times),
                    kTargetSeconds);
    }
    std::filesystem::remove_all(scratch);
    return 0;
}
