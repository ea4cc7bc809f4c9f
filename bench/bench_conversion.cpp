// bench_conversion: what PELKAR adds to the video conversion it runs after a download.
//
//   build/bench_conversion [sample.mpg [runs]]
//
// Needs build/pelkar and build/pelkar-ffmpeg beside it and ffmpeg on PATH. Without a sample it
// makes a 30-second MPEG-2 recording (720x480, like a TV card's) with ffmpeg. It converts the
// sample with a one-pass video action through build/pelkar, and with the very command line
// PELKAR runs started directly, alternately, `runs` times each (default 5) after an untimed
// warm-up of each. Then it does it all again with a transcoder whose output lacks the
// "Duration:" line, so that PELKAR never learns the length of the recording.
//
// It prints the median of the wall-time ratios pelkar/direct of the pairs, and PELKAR's own
// CPU time (user and system time of the pelkar process and its threads, not of its children)
// as a share of the transcoder's. Scratch files go to a fresh folder under $TMPDIR, removed at
// the end; PELKAR runs with its own profile there, so the user's profile is not touched.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Set in the environment of the measured programs: this program then stands in for ffmpeg
// and passes its output on without the "Duration:" line.
const char kHideDurationVariable[] = "BENCH_CONVERSION_HIDE_DURATION";
const char kTitle[] = "Bench Sample";
const int kSampleSeconds = 30;

struct Measurement {
    double wallSeconds = 0;
    double pelkarCpuSeconds = 0;
    double transcoderCpuSeconds = 0;
};

struct Setup {
    std::string pelkar;
    std::string frontEnd;
    std::string self;
    std::string scratch;
    std::string sample;
    std::string destination;
    std::vector<std::string> transcoderCommand;  // exactly what pelkar runs, split into argv
    std::string transcoderCommandLine;           // the same as pelkar writes it
    bool hideDuration = false;
};

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

double Seconds(const timeval& time) {
    return time.tv_sec + time.tv_usec / 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string ExecutableDirectory() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

// In a forked child: the given standard output and error (-1: /dev/null), no input, the
// benchmark's variables, then the program.
[[noreturn]] void ExecChild(std::vector<std::string> arguments, int output, const Setup& setup) {
    const int nothing = open("/dev/null", O_RDWR);
    dup2(nothing, STDIN_FILENO);
    dup2(output >= 0 ? output : nothing, STDOUT_FILENO);
    dup2(output >= 0 ? output : nothing, STDERR_FILENO);
    if (!setup.scratch.empty()) setenv("XDG_CONFIG_HOME", (setup.scratch + "/config").c_str(), 1);
    if (setup.hideDuration) {
        setenv("PELKAR_FFMPEG", setup.self.c_str(), 1);
        setenv(kHideDurationVariable, "1", 1);
    }
    std::vector<char*> argv = ArgumentVector(arguments);
    execvp(argv[0], argv.data());
    _exit(127);
}

bool RunQuietly(const std::vector<std::string>& arguments) {
    const pid_t child = fork();
    if (child == 0) ExecChild(arguments, -1, Setup());
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The transcoder's output is read as PELKAR reads it, through a pipe, and dropped.
Measurement RunDirect(const Setup& setup) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return Measurement();
    const double start = Now();
    const pid_t child = fork();
    if (child == 0) ExecChild(setup.transcoderCommand, output[1], setup);
    close(output[1]);
    char buffer[4096];
    while (read(output[0], buffer, sizeof buffer) > 0) {
    }
    close(output[0]);
    rusage usage{};
    int status = 0;
    wait4(child, &status, 0, &usage);
    Measurement measurement;
    measurement.wallSeconds = Now() - start;
    measurement.transcoderCpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return measurement;
}

std::vector<std::string> HostArguments(const Setup& setup) {
    return {setup.pelkar, "--mpeg",      setup.sample, "--title",     kTitle,  "--episode",
            "1",          "--startdate", "2011-03-07", "--starttime", "13:00", "--dur",
            "30",         "--showid",    "1001",       "--dname",     "Bench", "--dcat",
            "Movie",      "--dchan",     "7",          "--rname",     "Bench", "--rcat",
            "Movie",      "--rchan",     "7"};
}

// Once pelkar has ended but before it is reaped, its CPU clock still holds its own time (all
// threads, no children), while the reaping reports its own time plus that of the children it
// reaped itself: the transcoder.
Measurement RunPelkar(const Setup& setup) {
    const double start = Now();
    const pid_t child = fork();
    if (child == 0) ExecChild(HostArguments(setup), -1, setup);
    siginfo_t ended{};
    waitid(P_PID, child, &ended, WEXITED | WNOWAIT);
    Measurement measurement;
    measurement.wallSeconds = Now() - start;
    clockid_t pelkarClock;
    timespec pelkarTime{};
    if (clock_getcpuclockid(child, &pelkarClock) == 0 &&
        clock_gettime(pelkarClock, &pelkarTime) == 0)
        measurement.pelkarCpuSeconds = pelkarTime.tv_sec + pelkarTime.tv_nsec / 1e9;
    rusage usage{};
    int status = 0;
    wait4(child, &status, 0, &usage);
    measurement.transcoderCpuSeconds =
        Seconds(usage.ru_utime) + Seconds(usage.ru_stime) - measurement.pelkarCpuSeconds;
    return measurement;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ProducedOutput(const Setup& setup) {
    struct stat info {};
    return stat(setup.destination.c_str(), &info) == 0 && info.st_size > 0;
}

void WriteProfile(const Setup& setup) {
    std::string filter;
    for (int entry = 0; entry < 13; ++entry)
        filter += entry == 1 ? std::string("1||Bench*||") : std::string("0||<NULL>||");
    std::filesystem::create_directories(setup.scratch + "/config");
    std::filesystem::create_directories(setup.scratch + "/out");
    std::ofstream profile(setup.scratch + "/config/pelkar.ini", std::ios::trunc);
    profile << "[PELKAR]\n"
            << "action00=Bench video||" << setup.scratch << "/out||%title%||0||0||0||0|||" << filter
            << "\n"
            << "ffmpegPath=" << setup.frontEnd << "\n"
            << "tempPath=" << setup.scratch << "/\n"
            << "logging=1\n"
            << "loggingPath=" << setup.scratch << "/pelkar.log\n";
}

void SetTranscoderCommand(Setup& setup) {
    const std::string options =
        "-bitexact -vcodec xvid -s 320x240 -b 384 -minrate 32 -maxrate 400 -bt 16 -r 29.97 "
        "-acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp";
    setup.transcoderCommand = {setup.frontEnd, "-y", "-i", setup.sample};
    std::istringstream words(options);
    for (std::string word; words >> word;) setup.transcoderCommand.push_back(word);
    setup.transcoderCommand.push_back(setup.destination);
    setup.transcoderCommandLine = setup.frontEnd + " -y -i \"" + setup.sample + "\" " + options +
                                  " \"" + setup.destination + "\"";
}

bool MakeSample(const std::string& path) {
    const std::string seconds = std::to_string(kSampleSeconds);
    std::printf("Making a %s s sample recording...\n", seconds.c_str());
    std::fflush(stdout);
    return RunQuietly({"ffmpeg",
                       "-nostdin",
                       "-loglevel",
                       "error",
                       "-y",
                       "-f",
                       "lavfi",
                       "-i",
                       "testsrc2=duration=" + seconds + ":size=720x480:rate=30000/1001",
                       "-f",
                       "lavfi",
                       "-i",
                       "sine=frequency=440:sample_rate=48000:duration=" + seconds,
                       "-c:v",
                       "mpeg2video",
                       "-b:v",
                       "5M",
                       "-c:a",
                       "mp2",
                       "-b:a",
                       "192k",
                       "-ac",
                       "2",
                       "-f",
                       "vob",
                       path});
}

// The untimed first runs; they also show that both ways work and run the same command.
bool WarmUp(const Setup& setup) {
    std::filesystem::remove(setup.destination);
    RunDirect(setup);
    if (!ProducedOutput(setup)) {
        std::fprintf(stderr, "bench_conversion: the transcoder command wrote no %s\n",
                     setup.destination.c_str());
        return false;
    }
    std::filesystem::remove(setup.destination);
    RunPelkar(setup);
    const std::string log = ReadWholeFile(setup.scratch + "/pelkar.log");
    if (!ProducedOutput(setup)) {
        std::fprintf(stderr, "bench_conversion: pelkar wrote no %s; its log:\n%s\n",
                     setup.destination.c_str(), log.c_str());
        return false;
    }
    if (log.find("Executing command: " + setup.transcoderCommandLine + "\n") == std::string::npos)
        std::printf("Warning: pelkar ran another command than\n  %s\n",
                    setup.transcoderCommandLine.c_str());
    return true;
}

void Report(const std::vector<Measurement>& direct, const std::vector<Measurement>& pelkar) {
    std::vector<double> directWall, pelkarWall, ratios, pelkarCpu, transcoderCpu, shares;
    for (size_t run = 0; run < direct.size(); ++run) {
        directWall.push_back(direct[run].wallSeconds);
        pelkarWall.push_back(pelkar[run].wallSeconds);
        ratios.push_back(pelkar[run].wallSeconds / direct[run].wallSeconds);
        pelkarCpu.push_back(pelkar[run].pelkarCpuSeconds);
        transcoderCpu.push_back(pelkar[run].transcoderCpuSeconds);
        shares.push_back(100 * pelkar[run].pelkarCpuSeconds / pelkar[run].transcoderCpuSeconds);
        std::printf("  run %zu: direct %.3f s, through pelkar %.3f s (pelkar's own CPU %.4f s)\n",
                    run + 1, directWall.back(), pelkarWall.back(), pelkarCpu.back());
    }
    std::printf("  wall time, median: direct %.3f s, through pelkar %.3f s\n", Median(directWall),
                Median(pelkarWall));
    std::printf("  wall-time ratio pelkar/direct, median of %zu pairs: %.4f (target <= 1.02)\n",
                ratios.size(), Median(ratios));
    // On a busy machine the fastest runs show best what pelkar itself costs.
    std::printf("  wall-time ratio of the fastest runs: %.4f\n",
                *std::min_element(pelkarWall.begin(), pelkarWall.end()) /
                    *std::min_element(directWall.begin(), directWall.end()));
    std::printf(
        "  pelkar's own CPU, median: %.4f s of the transcoder's %.3f s = %.3f %% "
        "(target < 1 %%)\n",
        Median(pelkarCpu), Median(transcoderCpu), Median(shares));
}

bool Measure(Setup& setup, const char* caption, int runs) {
    std::printf("%s\n", caption);
    std::fflush(stdout);
    if (!WarmUp(setup)) return false;
    std::vector<Measurement> direct, pelkar;
    for (int run = 0; run < runs; ++run) {
        std::filesystem::remove(setup.scratch + "/pelkar.log");
        direct.push_back(RunDirect(setup));
        pelkar.push_back(RunPelkar(setup));
    }
    Report(direct, pelkar);
    return true;
}

void WriteAll(int fd, const std::string& text) {
    for (size_t written = 0; written < text.size();) {
        const ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count <= 0) return;
        written += count;
    }
}

// Stand-in for ffmpeg: runs the installed one and passes on its error output (where its
// messages and progress go) without the lines that hold "Duration: ".
int RunWithoutDuration(char** argv) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return 127;
    const pid_t child = fork();
    if (child == 0) {
        dup2(output[1], STDERR_FILENO);
        argv[0] = const_cast<char*>("ffmpeg");
        execvp(argv[0], argv);
        _exit(127);
    }
    close(output[1]);
    std::string pending;
    char buffer[4096];
    ssize_t count;
    while ((count = read(output[0], buffer, sizeof buffer)) > 0) {
        pending.append(buffer, count);
        std::string passed;
        size_t end;
        while ((end = pending.find_first_of("\r\n")) != std::string::npos) {
            const std::string line = pending.substr(0, end + 1);
            if (line.find("Duration: ") == std::string::npos) passed += line;
            pending.erase(0, end + 1);
        }
        WriteAll(STDERR_FILENO, passed);
    }
    if (pending.find("Duration: ") == std::string::npos) WriteAll(STDERR_FILENO, pending);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}

int Benchmark(int argc, char** argv) {
    Setup setup;
    const std::string directory = ExecutableDirectory();
    setup.pelkar = directory + "/pelkar";
    setup.frontEnd = directory + "/pelkar-ffmpeg";
    setup.self = directory + "/bench_conversion";
    const char* temp = std::getenv("TMPDIR");
    std::string scratch = std::string(temp && *temp ? temp : "/tmp") + "/pelkar-bench-XXXXXX";
    if (!mkdtemp(scratch.data())) return 1;
    setup.scratch = scratch;
    setup.sample = argc > 1 ? std::filesystem::absolute(argv[1]).string() : scratch + "/sample.mpg";
    setup.destination = scratch + "/out/" + kTitle + ".mp4";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    SetTranscoderCommand(setup);
    WriteProfile(setup);

    bool done = (argc > 1 || MakeSample(setup.sample)) &&
                Measure(setup, "Transcoder that prints the duration:", runs);
    setup.hideDuration = true;
    done = done && Measure(setup, "Transcoder that never prints a duration:", runs);
    std::filesystem::remove_all(scratch);
    return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv(kHideDurationVariable)) return RunWithoutDuration(argv);
    return Benchmark(argc, argv);
}
