// bench_conversion: what PELKAR adds to the video conversion it runs after a download.
//
//   build/bench_conversion [sample.mpg [runs [flood-MB]]]
//
// Needs build/pelkar and build/pelkar-ffmpeg beside it and ffmpeg on PATH. Without a sample it
// makes a 30-second MPEG-2 recording (720x480, like a TV card's) with ffmpeg. It converts the
// sample with a one-pass video action through build/pelkar, and with the very command line
// PELKAR runs started directly, alternately, `runs` times each (default 5) after an untimed
// warm-up of each. Then it does it all again with a transcoder whose output lacks the
// "Duration:" line, so that PELKAR never learns the length of the recording. bench/hyperfine.sh
// makes the first comparison with hyperfine, as a check on these figures.
//
// The direct run starts the transcoder in a session of its own, as PELKAR's runner does. The
// kernel shares the processor between sessions before it shares it between their processes,
// so a transcoder left in this program's session would compete with everything else started
// from it (a build, a test run), and the direct arm would lose time that PELKAR's does not.
//
// It prints the median of the wall-time ratios pelkar/direct of the pairs, the ratio of the CPU
// time of all the processes of each way, and PELKAR's own CPU time (user and system time of
// the pelkar process and its threads, not of its children) as a share of the transcoder's.
//
// Last, a tool that prints `flood-MB` megabytes (default 500) of progress lines and never a
// duration runs as FFMPEG of a video action, through build/pelkar with logging off: it shows
// PELKAR's peak memory and its own CPU time as a share of the tool's.
//
// Scratch files go to a fresh folder under $TMPDIR, removed at the end; PELKAR runs with its
// own profile there, so the user's profile is not touched.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
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
// Set to a number of megabytes: this program then stands in for ffmpeg and prints that much
// progress without a duration; it writes its own peak memory and CPU time to the file named by
// kFloodReportVariable.
const char kFloodVariable[] = "BENCH_CONVERSION_FLOOD_MB";
const char kFloodReportVariable[] = "BENCH_CONVERSION_FLOOD_REPORT";
const char kTitle[] = "Bench Sample";
const int kSampleSeconds = 30;
const int kDefaultFloodMegabytes = 500;

struct Measurement {
    double wallSeconds = 0;
    double pelkarCpuSeconds = 0;      // the pelkar process alone (0 for the direct way)
    double allCpuSeconds = 0;         // every process of the run, as an outside timer sees it
    double transcoderCpuSeconds = 0;  // all but pelkar's own
    double peakMegabytes = 0;         // the largest resident size of the run's processes
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
    int floodMegabytes = 0;
    std::string floodReport;
};

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

double Seconds(const timeval& time) {
    return time.tv_sec + time.tv_usec / 1e6;
}

// "mean ± standard deviation", as hyperfine reports its runs.
std::string MeanAndDeviation(const std::vector<double>& values) {
    double sum = 0, squares = 0;
    for (double value : values) sum += value;
    const double mean = sum / values.size();
    for (double value : values) squares += (value - mean) * (value - mean);
    const double deviation = values.size() > 1 ? std::sqrt(squares / (values.size() - 1)) : 0;
    char text[64];
    std::snprintf(text, sizeof text, "%.3f s ± %.3f s", mean, deviation);
    return text;
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
[[noreturn]] void ExecChild(std::vector<std::string> arguments, int output, const Setup& setup,
                            bool ownSession = false) {
    if (ownSession) setsid();
    const int nothing = open("/dev/null", O_RDWR);
    dup2(nothing, STDIN_FILENO);
    dup2(output >= 0 ? output : nothing, STDOUT_FILENO);
    dup2(output >= 0 ? output : nothing, STDERR_FILENO);
    if (!setup.scratch.empty()) setenv("XDG_CONFIG_HOME", (setup.scratch + "/config").c_str(), 1);
    if (setup.hideDuration) {
        setenv("PELKAR_FFMPEG", setup.self.c_str(), 1);
        setenv(kHideDurationVariable, "1", 1);
    }
    if (setup.floodMegabytes > 0) {
        setenv(kFloodVariable, std::to_string(setup.floodMegabytes).c_str(), 1);
        setenv(kFloodReportVariable, setup.floodReport.c_str(), 1);
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
    if (child == 0) ExecChild(setup.transcoderCommand, output[1], setup, true);
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
    measurement.allCpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    measurement.transcoderCpuSeconds = measurement.allCpuSeconds;
    measurement.peakMegabytes = usage.ru_maxrss / 1024.0;
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
// reaped itself: the transcoder. The reaping's peak memory is the larger of pelkar's own and
// its children's.
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
    measurement.allCpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    measurement.transcoderCpuSeconds = measurement.allCpuSeconds - measurement.pelkarCpuSeconds;
    measurement.peakMegabytes = usage.ru_maxrss / 1024.0;
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

void WriteProfile(const Setup& setup, const std::string& ffmpegPath, bool logging) {
    std::string filter;
    for (int entry = 0; entry < 13; ++entry)
        filter += entry == 1 ? std::string("1||Bench*||") : std::string("0||<NULL>||");
    std::filesystem::create_directories(setup.scratch + "/config");
    std::filesystem::create_directories(setup.scratch + "/out");
    std::ofstream profile(setup.scratch + "/config/pelkar.ini", std::ios::trunc);
    profile << "[PELKAR]\n"
            << "action00=Bench video||" << setup.scratch << "/out||%title%||0||0||0||0|||" << filter
            << "\n"
            << "ffmpegPath=" << ffmpegPath << "\n"
            << "tempPath=" << setup.scratch << "/\n"
            << "logging=" << (logging ? 1 : 0) << "\n"
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

std::vector<double> Field(const std::vector<Measurement>& runs, double Measurement::*field) {
    std::vector<double> values;
    for (const Measurement& run : runs) values.push_back(run.*field);
    return values;
}

void Report(const std::vector<Measurement>& direct, const std::vector<Measurement>& pelkar) {
    std::vector<double> ratios, shares;
    for (size_t run = 0; run < direct.size(); ++run) {
        ratios.push_back(pelkar[run].wallSeconds / direct[run].wallSeconds);
        shares.push_back(100 * pelkar[run].pelkarCpuSeconds / pelkar[run].transcoderCpuSeconds);
        std::printf(
            "  run %zu: direct %.3f s (CPU %.3f s), through pelkar %.3f s (CPU %.3f s, pelkar's "
            "own %.4f s)\n",
            run + 1, direct[run].wallSeconds, direct[run].allCpuSeconds, pelkar[run].wallSeconds,
            pelkar[run].allCpuSeconds, pelkar[run].pelkarCpuSeconds);
    }
    const std::vector<double> directWall = Field(direct, &Measurement::wallSeconds);
    const std::vector<double> pelkarWall = Field(pelkar, &Measurement::wallSeconds);
    const double directCpu = Median(Field(direct, &Measurement::allCpuSeconds));
    const double pelkarCpu = Median(Field(pelkar, &Measurement::allCpuSeconds));
    std::printf("  wall time, median: direct %.3f s, through pelkar %.3f s\n", Median(directWall),
                Median(pelkarWall));
    std::printf("  wall time, mean: direct %s, through pelkar %s\n",
                MeanAndDeviation(directWall).c_str(), MeanAndDeviation(pelkarWall).c_str());
    std::printf("  wall-time ratio pelkar/direct, median of %zu pairs: %.4f (target <= 1.02)\n",
                ratios.size(), Median(ratios));
    // On a busy machine the fastest runs show best what pelkar itself costs.
    std::printf("  wall-time ratio of the fastest runs: %.4f\n",
                *std::min_element(pelkarWall.begin(), pelkarWall.end()) /
                    *std::min_element(directWall.begin(), directWall.end()));
    std::printf(
        "  CPU time of all processes, median: direct %.3f s, through pelkar %.3f s, "
        "ratio %.4f\n",
        directCpu, pelkarCpu, pelkarCpu / directCpu);
    std::printf(
        "  pelkar's own CPU, median: %.4f s of the transcoder's %.3f s = %.3f %% "
        "(target < 1 %%); as the difference of the medians above: %.4f s\n",
        Median(Field(pelkar, &Measurement::pelkarCpuSeconds)),
        Median(Field(pelkar, &Measurement::transcoderCpuSeconds)), Median(shares),
        pelkarCpu - directCpu);
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

// Stand-in for ffmpeg: progress lines as ffmpeg writes them while it encodes, to its error
// output, and no input section at all, so no "Duration: ".
int Flood(long megabytes) {
    const long long total = megabytes * 1024LL * 1024LL;
    std::string block;
    long long written = 0;
    for (int frame = 1; written < total; ++frame) {
        char line[160];
        const int length = std::snprintf(
            line, sizeof line,
            "frame=%6d fps= 30 q=5.0 size=%8dkB time=00:00:00.00 bitrate= 384.0kbits/s "
            "speed=1.00x    \r",
            frame, frame / 8);
        block.append(line, static_cast<size_t>(std::min<long long>(length, total - written)));
        written += std::min<long long>(length, total - written);
        if (block.size() >= 65536 || written == total) {
            WriteAll(STDERR_FILENO, block);
            block.clear();
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::ofstream report(std::getenv(kFloodReportVariable), std::ios::trunc);
    report << usage.ru_maxrss / 1024.0 << " " << Seconds(usage.ru_utime) + Seconds(usage.ru_stime)
           << "\n";
    return 0;
}

bool MeasureFlood(Setup& setup, int megabytes) {
    std::printf(
        "Tool that prints %d MB of progress and never a duration (video action, logging "
        "off):\n",
        megabytes);
    std::fflush(stdout);
    WriteProfile(setup, setup.self, false);
    setup.floodMegabytes = megabytes;
    setup.floodReport = setup.scratch + "/flood-report.txt";
    const Measurement pelkar = RunPelkar(setup);
    double toolPeak = 0, toolCpu = 0;
    std::istringstream report(ReadWholeFile(setup.floodReport));
    if (!(report >> toolPeak >> toolCpu)) {
        std::fprintf(stderr, "bench_conversion: the flooding tool did not run to its end\n");
        return false;
    }
    std::printf("  wall time %.3f s; the tool's own CPU %.3f s and peak memory %.1f MB\n",
                pelkar.wallSeconds, toolCpu, toolPeak);
    // The reaping reports the larger of the two peaks; the tool's is known from itself.
    std::printf("  pelkar's peak memory: %.1f MB (target < 64 MB)%s\n", pelkar.peakMegabytes,
                pelkar.peakMegabytes > toolPeak ? "" : ", no more than the tool's");
    std::printf("  pelkar's own CPU: %.3f s = %.1f %% of the tool's (target < 2 %%)\n",
                pelkar.pelkarCpuSeconds, 100 * pelkar.pelkarCpuSeconds / toolCpu);
    return true;
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
    const int floodMegabytes = argc > 3 ? std::max(1, std::atoi(argv[3])) : kDefaultFloodMegabytes;
    SetTranscoderCommand(setup);
    WriteProfile(setup, setup.frontEnd, true);

    bool done = (argc > 1 || MakeSample(setup.sample)) &&
                Measure(setup, "Transcoder that prints the duration:", runs);
    setup.hideDuration = true;
    done = done && Measure(setup, "Transcoder that never prints a duration:", runs);
    setup.hideDuration = false;
    done = done && MeasureFlood(setup, floodMegabytes);
    std::filesystem::remove_all(scratch);
    return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (const char* flood = std::getenv(kFloodVariable)) return Flood(std::atol(flood));
    if (std::getenv(kHideDurationVariable)) return RunWithoutDuration(argv);
    return Benchmark(argc, argv);
}
