#pragma once

// Wall-clock comparison of the program against a bare baseline: both sides run in turn, once each to
// warm up and then repetitions times, and the figures are printed with a line
// "RATIO <name> <median ratio> <goal>".
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace benchtiming {

inline double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double minimum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

// Times of one side per repetition, in milliseconds.
struct Samples {
    std::vector<double> program;
    std::vector<double> bare;
    std::vector<double> ratios;
};

inline void report(const char* name, double goal, const Samples& s) {
    std::printf("%-24s program %9.3f ms (min %9.3f)  bare %9.3f ms (min %9.3f)\n", name, median(s.program),
                minimum(s.program), median(s.bare), minimum(s.bare));
    std::printf("RATIO %s %.2f %.2f\n", name, median(s.ratios), goal);
    std::fflush(stdout);
}

// Each side returns its own time in milliseconds, so that a side may time what it likes (a child
// process reports when its window was shown).
inline Samples compareTimed(const char* name, double goal, int repetitions,
                            const std::function<double()>& program, const std::function<double()>& bare) {
    program();
    bare();
    Samples s;
    for (int i = 0; i < repetitions; ++i) {
        QCoreApplication::processEvents();
        s.program.push_back(program());
        QCoreApplication::processEvents();
        s.bare.push_back(bare());
        s.ratios.push_back(s.program.back() / s.bare.back());
    }
    report(name, goal, s);
    return s;
}

inline Samples compare(const char* name, double goal, int repetitions, const std::function<void()>& program,
                       const std::function<void()>& bare) {
    const auto timed = [](const std::function<void()>& side) {
        return [&side] {
            const auto start = std::chrono::steady_clock::now();
            side();
            return msSince(start);
        };
    };
    return compareTimed(name, goal, repetitions, timed(program), timed(bare));
}

} // namespace benchtiming
