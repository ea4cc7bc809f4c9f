// pelkar-ffmpeg: lets today's ffmpeg run the classic FFMPEG command lines that PELKAR writes.
// Set it as PELKAR's FFMPEG path. It translates the arguments and replaces itself with the
// installed ffmpeg, so the transcoder's output goes straight to whoever reads this program's.
// The ffmpeg run is the one found on PATH, or the one named by PELKAR_FFMPEG.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FfmpegArguments.h"

namespace {

std::string TranscoderPath() {
    const char* chosen = std::getenv("PELKAR_FFMPEG");
    return chosen && *chosen ? chosen : "ffmpeg";
}

std::string PassLogDirectory() {
    const char* temp = std::getenv("TMPDIR");
    return temp && *temp ? temp : "/tmp";
}

std::vector<char*> ArgumentVector(std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

// The standard output of "<ffmpeg> -hide_banner -encoders"; empty when it cannot be run.
std::string EncoderListing(const std::string& transcoder) {
    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) return std::string();
    std::vector<std::string> arguments{transcoder, "-hide_banner", "-encoders"};
    std::vector<char*> argv = ArgumentVector(arguments);
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(output[1]);
    std::string listing;
    char buffer[4096];
    ssize_t count;
    while ((count = read(output[0], buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
        if (count > 0) listing.append(buffer, count);
    }
    close(output[0]);
    if (child > 0) {
        while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    return listing;
}

// Asks the transcoder for its encoders the first time a question comes up, never again.
class EncoderList {
public:
    explicit EncoderList(std::string transcoder) : m_transcoder(std::move(transcoder)) {}

    bool Has(const std::string& encoder) {
        if (!m_asked) {
            m_names = ParseEncoderNames(EncoderListing(m_transcoder));
            m_asked = true;
        }
        for (const std::string& name : m_names) {
            if (name == encoder) return true;
        }
        return false;
    }

private:
    std::string m_transcoder;
    bool m_asked = false;
    std::vector<std::string> m_names;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string transcoder = TranscoderPath();
    EncoderList encoders(transcoder);
    std::vector<std::string> arguments = TranslateArguments(
        std::vector<std::string>(argv + 1, argv + argc),
        [&encoders](const std::string& encoder) { return encoders.Has(encoder); },
        PassLogDirectory());
    arguments.insert(arguments.begin(), transcoder);
    std::vector<char*> modern = ArgumentVector(arguments);
    execvp(modern[0], modern.data());
    std::fprintf(stderr, "pelkar-ffmpeg: cannot run %s: %s\n", transcoder.c_str(),
                 std::strerror(errno));
    return 127;
}
