// SPDX-License-Identifier: LicenseRef-Kestrom
// The response walker on generated VSD list answers: the time pugixml needs
// to parse the answer alone, the time of reading the VSD list only and of
// reading all ten lists (both including the parse), and the peak memory of a
// read against the answer's size.
//
//     walker_bench [VSD count = 1000] [repetitions = 5] [--reads-only]
//
// --reads-only repeats reads of all ten lists and prints nothing else (for a profiler).
#include "AnswerGenerator.h"

#include "responses/ResponseWalker.h"
#include "responses/VsdContentsLists.h"
#include "responses/VsdList.h"
#include "store/RecordText.h"

#include <pugixml.hpp>

#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

// Live heap bytes and their high-water mark: every operator new of the
// program and every allocation of pugixml.
namespace {
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void* counted(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p)
        return nullptr;
    const std::size_t now = g_live.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    std::size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void uncounted(void* p)
{
    if (!p)
        return;
    g_live.fetch_sub(malloc_usable_size(p));
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

struct Figures
{
    double parseMs = 1e300;
    double parseDefaultMs = 1e300;
    double mainMs = 1e300;
    double allMs = 1e300;
};

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
        const std::size_t base = g_live.load();
        g_peak.store(base);
        const int n = responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
        const std::size_t peak = g_peak.load() - base;
        const std::size_t kept = g_live.load() - base;
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

    Figures f;
    for (int r = 0; r < repetitions; ++r) {
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            pugi::xml_document doc;
            const auto t = Clock::now();
            const bool ok = doc.load_buffer_inplace(buffer.data(), answer.size(), kWalkerParseOptions);
            f.parseMs = std::min(f.parseMs, msSince(t));
            if (!ok)
                std::printf("parse failed\n");
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            pugi::xml_document doc;
            const auto t = Clock::now();
            doc.load_buffer_inplace(buffer.data(), answer.size(), pugi::parse_default);
            f.parseDefaultMs = std::min(f.parseDefaultMs, msSince(t));
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(false);
            const auto t = Clock::now();
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
            f.mainMs = std::min(f.mainMs, msSince(t));
        }
        {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(true);
            const auto t = Clock::now();
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
            f.allMs = std::min(f.allMs, msSince(t));
        }
    }
    std::printf("pugixml parse alone (walker options):      %8.2f ms  (%.0f MiB/s)\n", f.parseMs,
                mib / (f.parseMs / 1000.0));
    std::printf("pugixml parse alone (default options):     %8.2f ms\n", f.parseDefaultMs);
    std::printf("read, VSD list only (parse included):      %8.2f ms  = %.2f x parse\n", f.mainMs,
                f.mainMs / f.parseMs);
    std::printf("read, all ten lists (parse included):      %8.2f ms  = %.2f x parse\n", f.allMs,
                f.allMs / f.parseMs);
    std::printf("  of which beyond the parse:               %8.2f ms  = %.2f x parse\n", f.allMs - f.parseMs,
                (f.allMs - f.parseMs) / f.parseMs);
}

} // namespace

int main(int argc, char** argv)
{
    const int documents = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    pugi::set_memory_management_functions(counted, uncounted);

    bench::AnswerOptions options;
    options.documents = documents;
    std::printf("walker_bench: %d vd:vetDocument elements, best of %d runs\n", documents, repetitions);

    std::string answer = bench::generateVsdAnswer(options);
    answer.shrink_to_fit();
    if (argc > 3 && std::strcmp(argv[3], "--reads-only") == 0) {
        std::vector<char> buffer(answer.size() + 1);
        for (int r = 0; r < repetitions; ++r) {
            std::memcpy(buffer.data(), answer.data(), answer.size());
            ListSet lists(true);
            responses::ReadAnswerInPlace(buffer.data(), answer.size(), lists.request);
        }
        return 0;
    }
    run("usual prefixes, indented", answer, repetitions, true);

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
