// Registration of library/reference pairs, the collecting reporter, and the summary table.
#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string_view>
#include <utility>

namespace bench {

namespace {

struct Case {
    std::string path; // "<path> <size>", as the table shows it
    std::string library;
    std::vector<std::pair<std::string, std::optional<double>>> references = {}; // name, bound
    std::vector<std::string> reference_names = {};                              // benchmark names
};

std::vector<Case>& cases() {
    static std::vector<Case> all;
    return all;
}

// One line of the table, with every figure from the same process run.
struct Row {
    std::string path;
    double library_ns = 0;
    std::string reference;
    double reference_ns = 0;
    double ratio = 0;
    std::optional<double> must_reach = std::nullopt;
    std::string error = {};
};

// Keeps the median CPU time of each benchmark (the single run's time without repetitions) and
// the error of any that failed; the console shows those and leaves out the other aggregates.
class Collector : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            const std::string name = run.run_name.str();
            if (run.error_occurred) {
                errors_[name] = run.error_message;
                shown.push_back(run);
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && !has_median_.contains(name);
            if (!median && !single) continue;
            if (median) has_median_[name] = true;
            times_ns_[name] =
                run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            shown.push_back(run);
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
    const std::map<std::string, double>& times_ns() const { return times_ns_; }
    const std::map<std::string, std::string>& errors() const { return errors_; }

  private:
    std::map<std::string, double> times_ns_;
    std::map<std::string, bool> has_median_;
    std::map<std::string, std::string> errors_;
};

std::vector<Row> rows_of(const Collector& collected) {
    std::vector<Row> rows;
    const auto& times = collected.times_ns();
    const auto& errors = collected.errors();
    for (const Case& c : cases()) {
        for (std::size_t i = 0; i < c.references.size(); ++i) {
            const std::string& ref = c.reference_names[i];
            Row row{.path = c.path,
                    .reference = c.references[i].first,
                    .must_reach = c.references[i].second};
            for (const std::string* name : {&c.library, &ref}) {
                if (const auto e = errors.find(*name); e != errors.end()) row.error = e->second;
            }
            const auto lib = times.find(c.library), other = times.find(ref);
            if (row.error.empty() && (lib == times.end() || other == times.end())) continue;
            if (lib != times.end()) row.library_ns = lib->second;
            if (other != times.end()) row.reference_ns = other->second;
            if (row.reference_ns > 0) row.ratio = row.library_ns / row.reference_ns;
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

// Tab-separated, one row a line: the form the rows take between programs.
void append_rows(const std::string& path, const std::vector<Row>& rows) {
    std::ofstream out(path, std::ios::app);
    out.precision(17);
    for (const Row& r : rows) {
        out << r.path << '\t' << r.library_ns << '\t' << r.reference << '\t' << r.reference_ns
            << '\t' << r.ratio << '\t';
        if (r.must_reach) out << *r.must_reach;
        out << '\t' << r.error << '\n';
    }
}

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

std::optional<std::vector<Row>> read_rows(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        const auto f = split_tabs(line);
        if (f.size() < 6) return std::nullopt;
        Row r{.path = f[0],
              .library_ns = std::stod(f[1]),
              .reference = f[2],
              .reference_ns = std::stod(f[3]),
              .ratio = std::stod(f[4])};
        if (!f[5].empty()) r.must_reach = std::stod(f[5]);
        if (f.size() > 6) r.error = f[6];
        rows.push_back(std::move(r));
    }
    return rows;
}

// Three significant figures in the largest unit that keeps the figure at 1 or more.
std::string time_text(double ns) {
    constexpr std::pair<double, const char*> units[] = {{1e9, "s"}, {1e6, "ms"}, {1e3, "us"}};
    double value = ns;
    const char* unit = "ns";
    for (const auto& [scale, name] : units) {
        if (ns >= scale) {
            value = ns / scale;
            unit = name;
            break;
        }
    }
    char text[32];
    std::snprintf(text, sizeof text,
                  value < 10    ? "%.2f %s"
                  : value < 100 ? "%.1f %s"
                                : "%.0f %s",
                  value, unit);
    return text;
}

std::string format(const char* pattern, double value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

void print_table(const std::vector<Row>& rows, std::ostream& out) {
    std::vector<std::vector<std::string>> cells = {{"path", "library time", "reference",
                                                    "reference time", "library / reference",
                                                    "must reach", ""}};
    int bounded = 0, missed = 0, failed = 0;
    for (const Row& r : rows) {
        std::string verdict;
        if (!r.error.empty()) {
            ++failed;
            verdict = "ERROR: " + r.error;
        } else if (r.must_reach) {
            ++bounded;
            const bool met = r.ratio <= *r.must_reach;
            if (!met) ++missed;
            verdict = met ? "met" : "NOT MET";
        }
        cells.push_back({r.path, r.error.empty() ? time_text(r.library_ns) : "-", r.reference,
                         r.error.empty() ? time_text(r.reference_ns) : "-",
                         r.error.empty() ? format("%.2fx", r.ratio) : "-",
                         r.must_reach ? format("<= %gx", *r.must_reach) : "", verdict});
    }
    std::vector<std::size_t> width(cells.front().size(), 0);
    for (const auto& line : cells)
        for (std::size_t i = 0; i < line.size(); ++i) width[i] = std::max(width[i], line[i].size());
    const auto print_line = [&](const std::vector<std::string>& line) {
        out << '|';
        for (std::size_t i = 0; i < line.size(); ++i)
            out << ' ' << line[i] << std::string(width[i] - line[i].size(), ' ') << " |";
        out << '\n';
    };
    print_line(cells.front());
    out << '|';
    for (std::size_t w : width) out << std::string(w + 2, '-') << '|';
    out << '\n';
    for (std::size_t i = 1; i < cells.size(); ++i) print_line(cells[i]);
    out << "\nCPU time, median of the repetitions; bounds not met: " << missed << " of " << bounded;
    if (failed > 0) out << "; rows whose pixel check failed: " << failed;
    out << '\n';
}

} // namespace

void compare(const std::string& path, const std::string& size, Body library,
             std::vector<Reference> references) {
    const std::string base = path + "/" + size + "/";
    Case c{.path = path + " " + size, .library = base + "library"};
    benchmark::RegisterBenchmark(c.library.c_str(), std::move(library));
    for (Reference& r : references) {
        c.reference_names.push_back(base + r.name);
        c.references.emplace_back(r.name, r.must_reach);
        benchmark::RegisterBenchmark(c.reference_names.back().c_str(), std::move(r.body));
    }
    cases().push_back(std::move(c));
}

bool check(benchmark::State& state, bool ok, const std::string& what) {
    if (!ok) state.SkipWithError(("pixels differ: " + what).c_str());
    return ok;
}

int run(int argc, char** argv) {
    // Defaults first, so that the command line overrides them. Repetitions are interleaved at
    // random: on a shared machine a busy spell then falls on the library and the reference alike.
    std::vector<std::string> args = {
        argv[0], "--benchmark_repetitions=9", "--benchmark_report_aggregates_only=true",
        "--benchmark_enable_random_interleaving=true", "--benchmark_min_time=0.05"};
    std::string summary_out;
    constexpr std::string_view summary_flag = "--summary_out=";
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(summary_flag))
            summary_out = arg.substr(summary_flag.size());
        else
            args.emplace_back(arg);
    }
    std::vector<char*> pointers;
    for (std::string& a : args) pointers.push_back(a.data());
    int count = static_cast<int>(pointers.size());
    benchmark::Initialize(&count, pointers.data());
    if (benchmark::ReportUnrecognizedArguments(count, pointers.data())) return 1;

    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    const std::vector<Row> rows = rows_of(collector);
    if (summary_out.empty()) {
        std::cout << '\n';
        print_table(rows, std::cout);
    } else {
        append_rows(summary_out, rows);
    }
    return collector.errors().empty() ? 0 : 1;
}

int print_summary_file(const std::string& path) {
    const auto rows = read_rows(path);
    if (!rows) {
        std::cerr << "cannot read the summary rows in " << path << '\n';
        return 1;
    }
    print_table(*rows, std::cout);
    return 0;
}

} // namespace bench
