// SPDX-License-Identifier: LicenseRef-Kestrom
// The response walker on generated VSD list answers: the time pugixml needs
// to parse the answer alone, the time of reading the VSD list only and of
// reading all ten lists (both including the parse), and the peak memory of a
// read against the answer's size. Times are the processor time of the
// reading thread, medians (and minima) of the runs; the measurements take turns. Reading is on one thread;
// its goal is at most three times the parse alone, for all ten lists.
#include "AnswerGenerator.h"
#include "BenchCommandLine.h"

#include "responses/ResponseWalker.h"
#include "responses/VsdContentsLists.h"
#include "responses/VsdList.h"
#include "store/RecordText.h"
#include "vetis/AnswerText.h"

#include <pugixml.hpp>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

// Live heap bytes and their high-water mark: every operator new of the
// program and every allocation of pugixml.
namespace {
// Signed: a block allocated before counting began may be freed while it runs.
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

// Counting is switched on for the memory measurement only, so that it does
// not slow the timed reads.
std::atomic<bool> g_counting{false};

void* counted(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p || !g_counting.load(std::memory_order_relaxed))
        return p;
    const auto size = static_cast<long long>(malloc_usable_size(p));
    const long long now = g_live.fetch_add(size) + size;
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void uncounted(void* p)
{
    if (p && g_counting.load(std::memory_order_relaxed))
        g_live.fetch_sub(static_cast<long long>(malloc_usable_size(p)));
    std::free(p);
}
} // namespace

void* operator new(std::size_t n)
{
    if (void* p = counted(n))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n)
{
    return operator new(n);
}
void operator delete(void* p) noexcept
{
    uncounted(p);
}
void operator delete[](void* p) noexcept
{
    uncounted(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    uncounted(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    uncounted(p);
}

namespace {

// Processor time of the calling thread: the machines the figures are taken
// on are shared, and wall time would count the other programs' turns too.
struct ThreadClock
{
    using time_point = double; // milliseconds
    static time_point now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
    }
};
using Clock = ThreadClock;

double msSince(Clock::time_point t)
{
    return Clock::now() - t;
}

long maxRssKiB()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

struct ListSet
{
    responses::TypedList<responses::VsdRow> vsd;
    std::vector<std::unique_ptr<responses::ResponseList>> contents;
    vetis::RequestRecord request;

    explicit ListSet(bool withContents)
    {
        store::setZText(request.ROWTAG, "vd:vetDocument");
        request.lists[0] = &vsd;
        if (withContents)
            for (int p = 1; p <= responses::kContentsListCount; ++p) {
                contents.push_back(std::make_unique<responses::ResponseList>(responses::contentsLayout(p)));
                request.lists[static_cast<std::size_t>(p)] = contents.back().get();
            }
    }
    std::size_t entries() const
    {
        std::size_t n = vsd.count();
        for (const auto& l : contents)
            n += l->count();
        return n;
    }
    std::size_t listBytes() const
    {
        std::size_t n = vsd.count() * vsd.layout().recordLength;
        for (const auto& l : contents)
            n += l->count() * l->layout().recordLength;
        return n;
    }
};

// As the walker parses (vetis/AnswerDocument.cpp).
constexpr unsigned kWalkerParseOptions =
    pugi::parse_default | pugi::parse_embed_pcdata | pugi::parse_fragment | pugi::parse_doctype;

// Medians (and minima) of the repetitions: the machine is shared, so single
// runs wander.
struct Series
{
    std::vector<double> ms;
    double median() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
    }
    double min() const { return ms.empty() ? 0.0 : *std::min_element(ms.begin(), ms.end()); }
};

// A refused read did not do the work being timed: the benchmark stops there
// rather than print figures of it.
bool readSucceeded(const responses::ReadResult& result)
{
    if (result.ok())
        return true;
    std::fprintf(stderr, "walker_bench: the answer was refused: %s; no figures\n",
                 result.description.c_str());
    return false;
}

bool run(const char* title, const std::string& answer, int repetitions, bool measureRss)
{
    const double mib = static_cast<double>(answer.size()) / (1024.0 * 1024.0);
    std::printf("\n== %s\nanswer: %zu bytes (%.1f MiB)\n", title, answer.size(), mib);
    std::vector<char> buffer(answer.size() + 1);

    // Peak memory of one read of all ten lists, first, so that the process
    // high-water mark says something too.
    {
        std::memcpy(buffer.data(), answer.data(), answer.size());
        const long rssBefore = maxRssKiB();
        ListSet lists(true);
        g_live.store(0);
        g_peak.store(0);
        g_counting.store(true);
        const responses::ReadResult result =
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
        const auto peak = static_cast<std::size_t>(std::max(0LL, g_peak.load()));
        const auto kept = static_cast<std::size_t>(std::max(0LL, g_live.load()));
        g_counting.store(false);
        if (!readSucceeded(result))
            return false;
        const int n = result.entries;
        const long rssAfter = maxRssKiB();
        std::printf("read: %d VSDs, %zu entries in ten lists (%zu bytes of records)\n", n, lists.entries(),
                    lists.listBytes());
        std::printf(
            "peak heap of the read, parsing in place:   %zu bytes = %.2f x answer (lists kept: %zu)\n", peak,
            static_cast<double>(peak) / static_cast<double>(answer.size()), kept);
        std::printf("peak heap with the copy of ReadAnswer:     %zu bytes = %.2f x answer\n",
                    peak + answer.size() + 1,
                    static_cast<double>(peak + answer.size() + 1) / static_cast<double>(answer.size()));
        if (measureRss)
            std::printf(
                "process max RSS grew by %ld KiB during the read (%.2f x answer)\n", rssAfter - rssBefore,
                static_cast<double>(rssAfter - rssBefore) * 1024.0 / static_cast<double>(answer.size()));
    }

    // The three measurements take turns, so that a busy moment of the
    // machine hits all of them alike. Each starts from a fresh copy of the
    // answer, and each times what a read does with its document: the parse
    // alone includes freeing the document, as the reads do.
    Series parse, parseDefault, mainOnly, all, utf8, textCheck;
    for (int r = 0; r < repetitions; ++r) {
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            const auto t = Clock::now();
            {
                pugi::xml_document doc;
                if (!doc.load_buffer_inplace(buffer.data(), answer.size(), kWalkerParseOptions))
                    std::printf("parse failed\n");
            }
            parse.ms.push_back(msSince(t));
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            const auto t = Clock::now();
            {
                pugi::xml_document doc;
                doc.load_buffer_inplace(buffer.data(), answer.size(), pugi::parse_default);
            }
            parseDefault.ms.push_back(msSince(t));
        }
        {
            // The checks of the text a read makes before the parse (part of
            // the reads' figures): UTF-8 alone, and UTF-8 with the entity
            // references.
            auto t = Clock::now();
            if (vetis::firstInvalidUtf8(answer) != answer.size())
                std::printf("invalid UTF-8\n");
            utf8.ms.push_back(msSince(t));
            t = Clock::now();
            if (!vetis::checkUtf8Text(answer).ok())
                std::printf("text refused\n");
            textCheck.ms.push_back(msSince(t));
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(false);
            const auto t = Clock::now();
            const responses::ReadResult result =
                responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
            mainOnly.ms.push_back(msSince(t));
            if (!readSucceeded(result))
                return false;
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(true);
            const auto t = Clock::now();
            const responses::ReadResult result =
                responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
            all.ms.push_back(msSince(t));
            if (!readSucceeded(result))
                return false;
        }
    }
    const double p = parse.median();
    std::printf("                                             median      min\n");
    std::printf("pugixml parse alone (walker options):      %8.2f ms %8.2f ms  (%.0f MiB/s)\n", p,
                parse.min(), mib / (p / 1000.0));
    std::printf("pugixml parse alone (default options):     %8.2f ms %8.2f ms\n", parseDefault.median(),
                parseDefault.min());
    std::printf("read, VSD list only (parse included):      %8.2f ms %8.2f ms  = %.2f x parse (min: %.2f)\n",
                mainOnly.median(), mainOnly.min(), mainOnly.median() / p, mainOnly.min() / parse.min());
    std::printf("read, all ten lists (parse included):      %8.2f ms %8.2f ms  = %.2f x parse (min: %.2f)\n",
                all.median(), all.min(), all.median() / p, all.min() / parse.min());
    std::printf("  of which beyond the parse:               %8.2f ms           = %.2f x parse\n",
                all.median() - p, (all.median() - p) / p);
    std::printf("  UTF-8 validation of the answer:          %8.2f ms %8.2f ms  = %.3f x parse\n",
                utf8.median(), utf8.min(), utf8.median() / p);
    std::printf("  UTF-8 and entity references (as read):   %8.2f ms %8.2f ms  = %.3f x parse\n",
                textCheck.median(), textCheck.min(), textCheck.median() / p);
    std::printf("goal: all ten lists at most 3.00 x parse:  %s\n", all.median() <= 3 * p ? "met" : "NOT MET");
    return true;
}

// Answers whose namespace declarations would make a walker that rescans the
// bindings in scope quadratic, at n and 2n elements: a linear reading takes
// about twice as long at 2n, a quadratic one four times. pugixml's parse of
// the same text is shown beside it.
bool declarationShapes(int elements, int repetitions)
{
    struct Shape
    {
        const char* title;
        std::string (*generate)(int);
    };
    std::printf("\n== namespace declarations (read: VSD list and its nine contents lists)\n");
    std::printf("%-58s %10s %10s %12s\n", "", "parse, ms", "read, ms", "read/parse");
    for (const Shape& shape :
         {Shape{"nested, each declaring a prefix",
                [](int n) { return bench::generateNestedDeclarations(n); }},
          Shape{"declared on one element, children one each", bench::generateWideDeclarations}}) {
        double previousRead = 0;
        double previousParse = 0;
        for (const int n : {elements, 2 * elements}) {
            const std::string answer = shape.generate(n);
            std::vector<char> buffer(answer.size() + 1);
            Series parse, read;
            int entries = 0;
            for (int r = 0; r < repetitions; ++r) {
                std::memcpy(buffer.data(), answer.data(), answer.size());
                auto t = Clock::now();
                {
                    pugi::xml_document doc;
                    doc.load_buffer_inplace(buffer.data(), answer.size(), kWalkerParseOptions);
                }
                parse.ms.push_back(msSince(t));
                std::memcpy(buffer.data(), answer.data(), answer.size());
                ListSet lists(true);
                t = Clock::now();
                const responses::ReadResult result =
                    responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
                read.ms.push_back(msSince(t));
                if (!readSucceeded(result))
                    return false;
                entries = result.entries;
            }
            char title[160];
            std::snprintf(title, sizeof title, "%s, %d (%.1f MiB)", shape.title, n,
                          static_cast<double>(answer.size()) / (1024.0 * 1024.0));
            std::printf("%-58s %10.2f %10.2f %12.2f%s\n", title, parse.median(), read.median(),
                        read.median() / parse.median(), entries == 1 ? "" : "  (the VSD was not read!)");
            if (previousRead > 0)
                std::printf("%-58s %10.2f %10.2f   (2 for linear, 4 for quadratic)\n",
                            "  growth at twice the size", parse.median() / previousParse,
                            read.median() / previousRead);
            previousRead = read.median();
            previousParse = parse.median();
        }
    }
    return true;
}

// The answer kinds the profiler loops take by name.
bool chooseShape(std::string_view name, bench::AnswerOptions& options)
{
    options.style = name == "ns1"       ? bench::PrefixStyle::Generated
                    : name == "default" ? bench::PrefixStyle::Default
                                        : bench::PrefixStyle::Usual;
    options.indented = name != "oneline";
    return name == "indented" || name == "oneline" || name == "ns1" || name == "default";
}

// Reads of all ten lists, or parses alone, over and over, for a profiler
// (callgrind counts the instructions of each the same on any load).
bool profilerLoop(const std::string& answer, int repetitions, bool reads)
{
    std::vector<char> buffer(answer.size() + 1);
    for (int r = 0; r < repetitions; ++r) {
        std::memcpy(buffer.data(), answer.data(), answer.size());
        if (!reads) {
            pugi::xml_document doc;
            if (!doc.load_buffer_inplace(buffer.data(), answer.size(), kWalkerParseOptions)) {
                std::fprintf(stderr, "walker_bench: the answer was not parsed\n");
                return false;
            }
            continue;
        }
        ListSet lists(true);
        if (!readSucceeded(responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request)))
            return false;
    }
    return true;
}

constexpr const char* kUsage =
    "usage: walker_bench [VSD count = 1000] [runs = 9]\n"
    "                    [--first | --reads-only | --parses-only | --shapes-only | --write PREFIX]\n"
    "                    [--shape KIND] [--shapes N]\n"
    "  Generates VSD list answers of that many vd:vetDocument elements (usual prefixes indented\n"
    "  and on one line, generated ns1: prefixes, default namespaces) and prints, per answer, the\n"
    "  pugixml parse alone, the reading of the VSD list only and of all ten lists, and the peak\n"
    "  memory of a read; then answers of N = 100000 and 2N hostile namespace declarations.\n"
    "  --first        measures the first kind of answer only (usual prefixes, indented)\n"
    "  --reads-only   repeats reads of all ten lists and prints nothing (for a profiler)\n"
    "  --parses-only  repeats the pugixml parse alone and prints nothing (its profile beside it)\n"
    "  --shape KIND   the answer of --reads-only and --parses-only: indented (the default),\n"
    "                 oneline, ns1 or default\n"
    "  --shapes-only  measures the namespace declaration shapes only\n"
    "  --shapes N     the element count N of the namespace declaration shapes\n"
    "  --write PREFIX writes the four answers to PREFIX-indented.xml, PREFIX-oneline.xml,\n"
    "                 PREFIX-ns1.xml and PREFIX-default.xml and measures nothing\n";

} // namespace

int main(int argc, char** argv)
{
    bench::CommandLine line;
    int exitCode = 0;
    if (!bench::readCommandLine(argc, argv, kUsage, 2,
                                {"--first", "--reads-only", "--parses-only", "--shapes-only"},
                                {"--write", "--shapes", "--shape"}, line, exitCode))
        return exitCode;
    int shapeElements = 100000;
    if (const auto shapes = line.values.find("--shapes"); shapes != line.values.end()) {
        shapeElements = std::atoi(shapes->second.c_str());
        if (shapeElements < 1 || shapeElements > 10000000) {
            std::fprintf(stderr, "--shapes takes a count from 1 to 10000000\n\n%s", kUsage);
            return 2;
        }
    }
    const int documents = static_cast<int>(std::min(line.number(0, 1000), 10000000L));
    const int repetitions = static_cast<int>(std::min(line.number(1, 9), 100000L));
    pugi::set_memory_management_functions(counted, uncounted);

    bench::AnswerOptions options;
    options.documents = documents;
    if (const auto write = line.values.find("--write"); write != line.values.end()) {
        const std::string prefix = write->second;
        struct Kind
        {
            const char* suffix;
            bench::PrefixStyle style;
            bool indented;
        };
        for (const Kind& k : {Kind{"-indented.xml", bench::PrefixStyle::Usual, true},
                              Kind{"-oneline.xml", bench::PrefixStyle::Usual, false},
                              Kind{"-ns1.xml", bench::PrefixStyle::Generated, true},
                              Kind{"-default.xml", bench::PrefixStyle::Default, true}}) {
            options.style = k.style;
            options.indented = k.indented;
            const std::string text = bench::generateVsdAnswer(options);
            const std::string path = prefix + k.suffix;
            std::FILE* f = std::fopen(path.c_str(), "wb");
            if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
                std::printf("cannot write %s\n", path.c_str());
                return 1;
            }
        }
        return 0;
    }
    if (line.has("--reads-only") || line.has("--parses-only")) {
        const auto shape = line.values.find("--shape");
        if (shape != line.values.end() && !chooseShape(shape->second, options)) {
            std::fprintf(stderr, "--shape takes indented, oneline, ns1 or default\n\n%s", kUsage);
            return 2;
        }
        return profilerLoop(bench::generateVsdAnswer(options), repetitions, line.has("--reads-only")) ? 0 : 1;
    }
    std::string answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    if (line.has("--shapes-only"))
        return declarationShapes(shapeElements, std::min(repetitions, 3)) ? 0 : 1;
    std::printf("walker_bench: %d vd:vetDocument elements, %d runs of each measurement, one thread\n",
                documents, repetitions);
    if (!run("usual prefixes, indented", answer, repetitions, true))
        return 1;
    if (line.has("--first"))
        return 0;

    options.indented = false;
    answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    if (!run("usual prefixes, one line", answer, repetitions, false))
        return 1;

    options.style = bench::PrefixStyle::Generated;
    options.indented = true;
    answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    if (!run("generated prefixes (ns1: ...), indented", answer, repetitions, false))
        return 1;

    options.style = bench::PrefixStyle::Default;
    answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    if (!run("default namespaces, indented", answer, repetitions, false))
        return 1;
    return declarationShapes(shapeElements, std::min(repetitions, 3)) ? 0 : 1;
}
