// The duration and frame parsing of the video progress, fed the transcoder's output. The
// total of frames does not depend on how the output was cut into pieces; each progress text
// shows the action, the source and a percentage, and the remaining time only from the fourth
// update on.

#include "FuzzInput.h"
#include "processing/VideoProgress.h"

namespace {

// The runner hands on pieces of at most this many bytes.
const std::size_t kPieceBytes = 255;

std::vector<std::string> Pieces(const std::string& output, unsigned seed) {
    std::vector<std::string> pieces;
    for (std::size_t at = 0, n = 0; at < output.size(); ++n) {
        const std::size_t length = 1 + (seed * 7 + n * 13) % kPieceBytes;
        pieces.push_back(output.substr(at, length));
        at += length;
    }
    return pieces;
}

void CheckStatusText(const std::string& status, int iPass, int update) {
    const std::string head = "Action: Archive\nSource: /rec/show.mpg\n\nStatus: ";
    FUZZ_CHECK(status.compare(0, head.size(), head) == 0, status);
    const std::string passText = "Pass " + std::to_string(iPass) + ", ";
    FUZZ_CHECK((iPass > 0) == (status.compare(head.size(), passText.size(), passText) == 0),
               status);
    FUZZ_CHECK(status.find("% complete") != std::string::npos, status);
    if (update <= 3) FUZZ_CHECK(status.find("\nRemaining: ") == std::string::npos, status);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const unsigned seed = input.Small();
    const int iPass = static_cast<int>(seed % 3);
    const std::string output = input.Rest();

    CVideoProgress whole("Archive", "/rec/show.mpg", iPass);
    whole.ReadDuration(output);
    CVideoProgress pieced("Archive", "/rec/show.mpg", iPass);
    const std::vector<std::string> pieces = Pieces(output, seed);
    for (const std::string& piece : pieces) pieced.ReadDuration(piece);
    FUZZ_CHECK(whole.GetTotalFrames() == pieced.GetTotalFrames() &&
                   whole.IsAwaitingDuration() == pieced.IsAwaitingDuration(),
               std::to_string(whole.GetTotalFrames()) + " frames whole, " +
                   std::to_string(pieced.GetTotalFrames()) + " in pieces");

    int updates = 0;
    long long clock = 0;
    for (const std::string& piece : pieces) {
        std::string status;
        clock += 1000;
        if (pieced.ReadFrame(piece, clock, &status)) CheckStatusText(status, iPass, ++updates);
    }
    return 0;
}
