// Stand-alone driver for the fuzz targets where libFuzzer cannot be linked
// (GCC builds): runs every input of the corpus folders and files given on
// the command line, then random mutations of them (bit flips, byte
// changes, insertions, deletions, splices of two inputs) until the time
// budget is spent. It takes libFuzzer's "-max_total_time=N" and "-seed=N";
// other "-flags" are ignored. A failing input ends the process the way it
// fails (abort, signal, sanitizer report); first the driver prints which
// input it was (the corpus file, or the mutation's number with the seed that
// repeats the run) and writes the input to "replay-failure-input" in the
// working directory.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <csignal>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

// Called by the sanitizers just before they end the process.
extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace {

// The input being run, for the failure report. The report is written with
// write(2) only, so that it also works inside a signal handler.
struct Current {
    const std::string* input = nullptr;
    char what[512] = "";   // "corpus file X" or "mutation N (seed S)"
} current;

void WriteText(int fd, const char* text) {
    size_t n = std::strlen(text);
    while (n > 0) {
        ssize_t w = write(fd, text, n);
        if (w <= 0) return;
        text += w;
        n -= static_cast<size_t>(w);
    }
}

void ReportFailure() {
    if (!current.input) return;
    WriteText(2, "\nfuzz replay: failing input: ");
    WriteText(2, current.what);
    WriteText(2, "; written to replay-failure-input\n");
    int fd = open("replay-failure-input", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        const char* p = current.input->data();
        size_t n = current.input->size();
        while (n > 0) {
            ssize_t w = write(fd, p, n);
            if (w <= 0) break;
            p += w;
            n -= static_cast<size_t>(w);
        }
        close(fd);
    }
    current.input = nullptr;
}

void OnFatalSignal(int sig) {
    ReportFailure();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void InstallFailureReport() {
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) std::signal(sig, OnFatalSignal);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(ReportFailure);
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Run(const std::string& input) {
    current.input = &input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    current.input = nullptr;
}

std::string Mutate(std::string input, const std::vector<std::string>& corpus, std::mt19937_64& random) {
    auto pick = [&](size_t n) { return n == 0 ? size_t(0) : static_cast<size_t>(random() % n); };
    int steps = 1 + static_cast<int>(random() % 4);
    for (int s = 0; s < steps; ++s) {
        switch (random() % 6) {
        case 0:
            if (!input.empty()) input[pick(input.size())] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 1:
            if (!input.empty()) input[pick(input.size())] = static_cast<char>(random());
            break;
        case 2:
            input.insert(pick(input.size() + 1), 1, static_cast<char>(random()));
            break;
        case 3:
            if (!input.empty()) input.erase(pick(input.size()), 1 + pick(8));
            break;
        case 4: {
            const std::string& other = corpus[pick(corpus.size())];
            if (!other.empty()) {
                size_t from = pick(other.size());
                input.insert(pick(input.size() + 1), other.substr(from, 1 + pick(32)));
            }
            break;
        }
        default: {
            // Interesting bytes: lead bytes of both code pages, the euro, markup.
            static const char* tokens[] = {"\x80", "\xA3\xE1", "\xB0\xA1", "\xFE", "\x81\x7F", "<", ">", "\"",
                                           "_", ".", "Items_", "Columns_", "Lines_", "999999"};
            input.insert(pick(input.size() + 1), tokens[pick(std::size(tokens))]);
            break;
        }
        }
    }
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    InstallFailureReport();
    double seconds = 0;
    uint64_t seed = 1;
    std::vector<std::string> corpus;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.rfind("-max_total_time=", 0) == 0) seconds = std::atof(arg.c_str() + 16);
        else if (arg.rfind("-seed=", 0) == 0) seed = std::strtoull(arg.c_str() + 6, nullptr, 10);
        else if (!arg.empty() && arg[0] == '-') continue;
        else if (std::filesystem::is_directory(arg)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                std::printf("replay %s\n", f.c_str());
                std::fflush(stdout);
                corpus.push_back(ReadFile(f));
                std::snprintf(current.what, sizeof current.what, "corpus file %s", f.c_str());
                Run(corpus.back());
            }
        } else if (std::filesystem::is_regular_file(arg)) {
            corpus.push_back(ReadFile(arg));
            std::snprintf(current.what, sizeof current.what, "corpus file %s", arg.c_str());
            Run(corpus.back());
        }
    }
    if (corpus.empty()) corpus.emplace_back();
    std::mt19937_64 random(seed);
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    uint64_t runs = 0;
    while (std::chrono::steady_clock::now() < end) {
        std::string input = Mutate(corpus[random() % corpus.size()], corpus, random);
        ++runs;
        std::snprintf(current.what, sizeof current.what, "mutation %llu (-seed=%llu)",
                      static_cast<unsigned long long>(runs), static_cast<unsigned long long>(seed));
        Run(input);
        // Keep some mutations as further starting points.
        if (random() % 64 == 0 && input.size() < 4096) corpus.push_back(input);
    }
    std::printf("%zu corpus inputs, %llu mutations in %.0f s (seed %llu)\n", corpus.size(),
                static_cast<unsigned long long>(runs), seconds, static_cast<unsigned long long>(seed));
    return 0;
}
