// SPDX-License-Identifier: LicenseRef-Kestrom
// The response walker on generated VSD list answers: the time pugixml needs
// to parse the answer alone, the time of reading the VSD list only and of
// reading all ten lists (both including the parse), and the peak memory of a
// read against the answer's size. Times are medians (and minima) of the runs;
// the three measurements take turns.
//
//     walker_bench [VSD count = 1000] [runs = 9]
//                  [--first | --reads-only | --reads-only-one-thread | --write PREFIX]
//
// --write PREFIX writes the four kinds of answer to PREFIX-indented.xml,
// PREFIX-oneline.xml, PREFIX-ns1.xml and PREFIX-default.xml and measures nothing.
// --first measures the first kind of answer only (usual prefixes, indented);
// --reads-only repeats reads of all ten lists and prints nothing (for a
// profiler); --reads-only-one-thread the same, each read on one thread.
#include "AnswerGenerator.h"

#include "responses/ResponseWalker.h"
#include "responses/VsdContentsLists.h"
#include "responses/VsdList.h"
#include "store/RecordText.h"

#include <pugixml.hpp>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

// Live heap bytes and their high-water mark: every operator new of the
// program and every allocation of pugixml.
namespace {
// Signed: a block allocated before counting began may be freed while it runs.
std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

// Counting is switched on for the memory measurement only: the counters are
// shared by the threads of a read, and their traffic would slow the timed reads.
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

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Processor time of the whole process (all its threads).
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
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

constexpr unsigned kWalkerParseOptions = pugi::parse_default | pugi::parse_embed_pcdata;

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

// How well the machine runs two threads at once on this kind of work: two
// one-thread reads side by side against one alone. On a machine whose two
// processors share a core (or a virtual machine whose processors do at the
// moment), the ratio nears 2 and reading in pieces gains little.
void sideBySide(const std::string& answer, int repetitions)
{
    const auto readOnce = [&answer] {
        std::vector<char> buffer(answer.begin(), answer.end());
        buffer.push_back('\0');
        ListSet lists(true);
        responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request, responses::ReadSharing{});
    };
    Series alone, pair;
    for (int r = 0; r < repetitions; ++r) {
        auto t = Clock::now();
        readOnce();
        alone.ms.push_back(msSince(t));
        t = Clock::now();
        std::thread other(readOnce);
        readOnce();
        other.join();
        pair.ms.push_back(msSince(t));
    }
    std::printf("two one-thread reads side by side:         %8.2f ms, one alone %.2f ms (ratio %.2f; 1 is "
                "two processors that do not slow each other)\n",
                pair.median(), alone.median(), pair.median() / alone.median());
}

void run(const char* title, const std::string& answer, int repetitions, bool measureRss)
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
        const int n = responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
        const auto peak = static_cast<std::size_t>(std::max(0LL, g_peak.load()));
        const auto kept = static_cast<std::size_t>(std::max(0LL, g_live.load()));
        g_counting.store(false);
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
    Series parse, parseDefault, mainOnly, all, allCpu, oneThread;
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
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(false);
            const auto t = Clock::now();
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
            mainOnly.ms.push_back(msSince(t));
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(true);
            const double cpu = cpuMs();
            const auto t = Clock::now();
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
            all.ms.push_back(msSince(t));
            allCpu.ms.push_back(cpuMs() - cpu);
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(true);
            const auto t = Clock::now();
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request,
                                         responses::ReadSharing{});
            oneThread.ms.push_back(msSince(t));
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
    std::printf("  processor time of all threads:           %8.2f ms %8.2f ms  = %.2f x parse\n",
                allCpu.median(), allCpu.min(), allCpu.median() / p);
    std::printf("read, all ten lists, one thread:           %8.2f ms %8.2f ms  = %.2f x parse (min: %.2f)\n",
                oneThread.median(), oneThread.min(), oneThread.median() / p, oneThread.min() / parse.min());
}
} // namespace

int main(int argc, char** argv)
{
    const int documents = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    const std::string mode = argc > 3 ? argv[3] : "";
    pugi::set_memory_management_functions(counted, uncounted);

    bench::AnswerOptions options;
    options.documents = documents;
    if (mode == "--write" && argc > 4) {
        const std::string prefix = argv[4];
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
    std::string answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    if (mode == "--reads-only" || mode == "--reads-only-one-thread") {
        const responses::ReadSharing sharing =
            mode == "--reads-only" ? responses::defaultSharing(answer.size()) : responses::ReadSharing{};
        std::vector<char> buffer(answer.size() + 1);
        for (int r = 0; r < repetitions; ++r) {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(true);
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request, sharing);
        }
        return 0;
    }
    std::printf("walker_bench: %d vd:vetDocument elements, %d runs of each measurement\n", documents,
                repetitions);
    run("usual prefixes, indented", answer, repetitions, true);
    sideBySide(answer, std::max(3, repetitions / 3));
    if (mode == "--first")
        return 0;

    options.indented = false;
    answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    run("usual prefixes, one line", answer, repetitions, false);

    options.style = bench::PrefixStyle::Generated;
    options.indented = true;
    answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    run("generated prefixes (ns1: ...), indented", answer, repetitions, false);

    options.style = bench::PrefixStyle::Default;
    answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    run("default namespaces, indented", answer, repetitions, false);
    return 0;
}
