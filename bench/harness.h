// Library paths timed beside their references in one process, and the table of their ratios.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// One timed body: set-up, an optional pixel check, then the loop over `state`.
using Body = std::function<void(benchmark::State&)>;

// What the library is measured against, doing the same work. must_reach is the largest
// library / reference ratio the library path is held to; none for a row that only shows growth.
struct Reference {
    std::string name;
    Body body;
    std::optional<double> must_reach = std::nullopt;
};

// Registers the library body as "<path>/<size>/library" and each reference as
// "<path>/<size>/<reference>"; the summary gives one row per reference, in this order.
void compare(const std::string& path, const std::string& size, Body library,
             std::vector<Reference> references);

// Marks the running benchmark as failed when a pixel check does not hold, so that a broken fast
// path shows as an error instead of a time. Returns ok; the body returns at once when false.
bool check(benchmark::State& state, bool ok, const std::string& what);

// Times work over and over; what it writes counts as read, so none of it is optimised away.
template <class Work> void loop(benchmark::State& state, Work&& work) {
    for (auto _ : state) {
        work();
        benchmark::ClobberMemory();
    }
}

// Runs the registered benchmarks (medians of repetitions unless the command line says otherwise)
// and prints the summary table; with --summary_out=FILE the rows are appended to FILE instead,
// for the table of several programs. 1 when a check failed, else 0.
int run(int argc, char** argv);

// Prints the table of the rows in a file written through --summary_out.
int print_summary_file(const std::string& path);

} // namespace bench
