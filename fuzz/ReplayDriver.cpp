// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-in for libFuzzer's main when the compiler has no -fsanitize=fuzzer: runs every seed
// file given on the command line (files or folders), then byte-level mutations of the seeds
// for a bounded time. Sanitizers abort the process on the first fault.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void collectSeeds(const std::filesystem::path &path, std::vector<Bytes> &seeds)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        for (const auto &entry : std::filesystem::recursive_directory_iterator(path, ec))
            if (entry.is_regular_file())
                seeds.push_back(readFile(entry.path()));
    } else if (std::filesystem::is_regular_file(path, ec)) {
        seeds.push_back(readFile(path));
    }
}

void mutate(Bytes &bytes, std::mt19937_64 &rng)
{
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        const auto choice = rng() % 5;
        if (bytes.empty() || choice == 0) {
            bytes.insert(bytes.begin() + (bytes.empty() ? 0 : rng() % (bytes.size() + 1)), static_cast<uint8_t>(rng()));
        } else if (choice == 1) {
            bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
        } else if (choice == 2) {
            bytes[rng() % bytes.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        } else if (choice == 3) {
            bytes.erase(bytes.begin() + rng() % bytes.size());
        } else {
            bytes.resize(rng() % (bytes.size() + 1));
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    double seconds = 10;
    std::vector<Bytes> seeds;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--seconds=", 10) == 0)
            seconds = std::atof(argv[i] + 10);
        else
            collectSeeds(argv[i], seeds);
    }
    if (seeds.empty())
        seeds.emplace_back();
    for (const auto &seed : seeds)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());

    std::mt19937_64 rng(0x7a72'6e77'6963'6bULL);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    long runs = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        Bytes input = seeds[rng() % seeds.size()];
        mutate(input, rng);
        LLVMFuzzerTestOneInput(input.data(), input.size());
        ++runs;
    }
    std::printf("replayed %zu seeds and %ld mutations\n", seeds.size(), runs);
    return 0;
}
