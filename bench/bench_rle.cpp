// RLE encoding and decoding of a 1024 x 768 picture of the kind the programs make: flat
// backgrounds, shapes, a gradient and a patch of fine texture. Throughput is counted in
// uncompressed pixel bytes.
#include <memory>
#include <random>

#include "BenchReport.h"
#include "imagelib/KvDIBConvertResult.h"
#include "imagelib/KvDIBConverters.h"

namespace {

constexpr int Width = 1024;
constexpr int Height = 768;

std::unique_ptr<TKvInternalDIB> MakePicture(int BitCount) {
    auto dib = std::make_unique<TKvInternalDIB>(Width, Height, BitCount, BitCount == 8 ? 256 : 16);
    const unsigned colors = BitCount == 8 ? 256 : 16;
    std::mt19937 random(7);
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* row = DIBScanLine(dib->Infos, y);
        for (int x = 0; x < Width; ++x) {
            unsigned index = (y / 12) % colors;                     // gradient bands
            if (x > 100 && x < 400 && y > 80 && y < 300) index = 3; // a panel
            const int dx = x - 700, dy = y - 400;
            if (dx * dx + dy * dy < 150 * 150) index = 5 + (dx * dx + dy * dy) / 4000; // rings
            if (x > 200 && x < 520 && y > 500 && y < 620) index = random() % 4 ? index : random() % colors;
            if (BitCount == 8)
                row[x] = static_cast<std::uint8_t>(index);
            else
                row[x / 2] |= static_cast<std::uint8_t>(x % 2 ? index % 16 : (index % 16) << 4);
        }
    }
    return dib;
}

void Encode(benchmark::State& State, int BitCount) {
    auto picture = MakePicture(BitCount);
    std::int64_t compressed = 0;
    const TWorkUsage usage;
    for (auto _ : State) {
        TKvDIBInfos result{};
        if (BitCount == 8)
            Convert8BitRGBTo8BitRLE(picture->Infos, result);
        else
            Convert4BitRGBTo4BitRLE(picture->Infos, result);
        compressed = result.ImageSize;
        ReleaseConvertedInfos(result);
    }
    usage.Report(State);
    State.SetBytesProcessed(std::int64_t(State.iterations()) * picture->Infos.ImageSize);
    State.counters["ratio"] = double(compressed) / picture->Infos.ImageSize;
}

void Decode(benchmark::State& State, int BitCount) {
    auto picture = MakePicture(BitCount);
    TKvDIBInfos rle{};
    if (BitCount == 8)
        Convert8BitRGBTo8BitRLE(picture->Infos, rle);
    else
        Convert4BitRGBTo4BitRLE(picture->Infos, rle);
    const TWorkUsage usage;
    for (auto _ : State) {
        TKvDIBInfos result{};
        if (BitCount == 8)
            Convert8BitRLETo8BitRGB(rle, result);
        else
            Convert4BitRLETo4BitRGB(rle, result);
        ReleaseConvertedInfos(result);
    }
    usage.Report(State);
    State.SetBytesProcessed(std::int64_t(State.iterations()) * picture->Infos.ImageSize);
    ReleaseConvertedInfos(rle);
}

void BM_Rle8Encode(benchmark::State& State) {
    Encode(State, 8);
}
void BM_Rle8Decode(benchmark::State& State) {
    Decode(State, 8);
}
void BM_Rle4Encode(benchmark::State& State) {
    Encode(State, 4);
}
void BM_Rle4Decode(benchmark::State& State) {
    Decode(State, 4);
}

} // namespace

BENCHMARK(BM_Rle8Encode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rle8Decode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rle4Encode)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Rle4Decode)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    return RunWithGoals(argc, argv, [](const TBenchRecorder& Results) {
        std::vector<TGoalRow> rows;
        const std::pair<const char*, const char*> runs[] = {{"BM_Rle8Decode", "RLE8 decoding"},
                                                            {"BM_Rle4Decode", "RLE4 decoding"},
                                                            {"BM_Rle8Encode", "RLE8 encoding"},
                                                            {"BM_Rle4Encode", "RLE4 encoding"}};
        for (const auto& [name, work] : runs)
            if (const auto* run = Results.Find(name)) {
                // Decoding has a goal; rates count uncompressed pixel bytes.
                const bool decoding = std::string(name).find("Decode") != std::string::npos;
                rows.push_back({std::string("1024x768 ") + work, run->Counter("bytes_per_second") / 1e9,
                                "GB/s", decoding ? TGoalRow::AtLeast : TGoalRow::NoGoal, 1});
                rows.push_back({"  minor page faults per picture", run->Counter("faults"), "faults"});
            }
        return rows;
    });
}
