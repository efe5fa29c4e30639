// How long a tune's harmony takes: the cadences of a 64-bar chart (with a repeat, so 80 bars are played) and
// the scale over each of its chords, from the factory scale catalogue. Building and drawing a 64-bar tune
// with a pattern applied has 10 ms in all; the harmony should take well under one.
//
//     bench_tune_analysis [runs]
#include "spread.h"

#include "datafiles/catalogue_reader.h"
#include "datafiles/tune_text.h"
#include "theory/chord_scale.h"
#include "theory/tune_analysis.h"

#include <QString>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr double TargetMs = 1.0;

// Sixteen bars of every kind of cadence, two chords a bar in places; four times over, the last with a repeat.
constexpr std::string_view Phrase = "| CM7 A7 | Dm7 G7 | Em7 A7 | Dm7 G7 |\n"
                                    "| Fm7 Bb7 | CM7 | Dm7 Db7 | CM7/E |\n"
                                    "| Em7b5 A7b9 | Dm6 | Dm7b5 G7alt | Cm6 |\n"
                                    "| Gm7 C7 | FM7 | Bbm7 Eb7 | AbM7 N.C. |\n";

std::string LongChart() {
    std::string text = "Title: Sixty-four bars\nKey: C\n";
    for (const char* section : {"[A] ", "[B] ", "[C] ", "[D] |: "}) {
        text += section;
        text += Phrase;
    }
    text.replace(text.rfind('|'), 1, ":|");
    return text;
}

double MsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    const orbel::TuneTextResult chart = orbel::ParseTuneText(LongChart());
    if (!chart.tune) {
        std::fprintf(stderr, "the chart does not read: %s\n", chart.error.toLocal8Bit().constData());
        return 1;
    }
    const orbel::Tune& tune = *chart.tune;
    orbel::Catalogue catalogue;
    const std::filesystem::path folder = std::filesystem::canonical("/proc/self/exe").parent_path();
    if (orbel::ReadScaleFile(catalogue, QString::fromStdString(folder.string())) <= 0) {
        std::fprintf(stderr, "no scale.txt in %s\n", folder.c_str());
        return 1;
    }

    std::vector<double> analysisMs;
    std::vector<double> scalesMs;
    std::vector<double> totalMs;
    std::size_t cadences = 0;
    std::size_t chords = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const orbel::TuneAnalysis analysis = orbel::AnalyseTune(tune);
        const auto analysed = std::chrono::steady_clock::now();
        const orbel::ScaleFinder finder(catalogue);
        const std::vector<orbel::ChordScale> scales = orbel::ChooseScales(tune, analysis, finder);
        const auto done = std::chrono::steady_clock::now();
        analysisMs.push_back(MsBetween(start, analysed));
        scalesMs.push_back(MsBetween(analysed, done));
        totalMs.push_back(MsBetween(start, done));
        cadences = analysis.twoFives.size() + analysis.fiveOnes.size();
        chords = scales.size();
    }

    using orbel::bench::SpreadOf;
    const auto print = [](const char* what, const std::vector<double>& ms) {
        const orbel::bench::Spread s = SpreadOf(ms);
        std::printf("  %-22s median %7.1f us, p99 %7.1f us, max %7.1f us\n", what, s.median * 1000,
                    s.p99 * 1000, s.max * 1000);
    };
    std::printf("%zu written bars, %zu chords played, %zu cadences; %d runs\n", tune.bars.size(), chords,
                cadences, runs);
    print("analysis", analysisMs);
    print("finder and scales", scalesMs);
    print("both", totalMs);
    const double p99 = SpreadOf(totalMs).p99;
    std::printf("  target p99 < %.1f ms: %s\n", TargetMs, orbel::bench::Verdict(p99 < TargetMs));
    return 0;
}
