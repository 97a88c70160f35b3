// SPDX-License-Identifier: LicenseRef-Kestrom
// Resumable, ranged, retried downloads against a local file server whose
// manners each test chooses.
#include "TransportTestServer.h"
#include "support/TestSupport.h"

#include "vetis/CurlHttpClass.h"
#include "vetis/TransportSettings.h"

#include <QFile>

#include <curl/curl.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using transporttest::LocalServer;
using transporttest::TraceCapture;

namespace {

std::string makeContent(std::size_t size)
{
    std::string out(size, '\0');
    std::uint32_t x = 12345;
    for (char& c : out) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    return out;
}

// Serves one file at /files/report.pdf and answers Range requests itself.
class FileServer
{
public:
    std::string content = makeContent(10000);
    bool acceptRanges = true;
    int headStatus = 200;
    std::string disposition;
    std::atomic<int> stallGets{0}; // this many GETs are left without an answer
    bool ignoreRanges = false;     // answer every GET with the whole file (200)
    int rangedStatus = 0;          // answer ranged GETs with this bodiless status instead
    std::size_t headLength = 0;    // HEAD tells this size instead (the file changed since)
    std::atomic<int> gets{0};

    FileServer()
    {
        // The server library announces ranges on HEAD by itself; a server
        // without them must not.
        server.http().set_post_routing_handler([this](const httplib::Request&, httplib::Response& res) {
            if (!acceptRanges)
                res.headers.erase("Accept-Ranges");
        });
        server.http().Get("/files/report.pdf",
                          [this](const httplib::Request& req, httplib::Response& res) { serve(req, res); });
    }
    [[nodiscard]] bool start() { return server.start(); }
    std::string url() const { return server.url("/files/report.pdf"); }
    std::vector<std::string> ranges() const
    {
        std::lock_guard lock(mutex);
        return rangesSeen;
    }

    LocalServer server;

private:
    void serve(const httplib::Request& req, httplib::Response& res)
    {
        // The server answers ranges here, byte for byte as the test wants.
        const_cast<httplib::Request&>(req).ranges.clear();
        if (!disposition.empty())
            res.set_header("Content-Disposition", disposition);
        if (req.method == "HEAD") {
            res.status = headStatus;
            if (headStatus == 200) {
                if (acceptRanges)
                    res.set_header("Accept-Ranges", "bytes");
                res.set_content(headLength ? std::string(headLength, 'h') : content, "application/pdf");
            }
            return;
        }
        ++gets;
        if (stallGets > 0) {
            --stallGets;
            server.stall();
            return;
        }
        const std::string range = req.get_header_value("Range");
        {
            std::lock_guard lock(mutex);
            rangesSeen.push_back(range);
        }
        if (range.empty() || ignoreRanges) {
            res.set_content(content, "application/pdf");
            return;
        }
        if (rangedStatus) {
            res.status = rangedStatus;
            return;
        }
        // "bytes=a-" or "bytes=a-b"
        const std::size_t dash = range.find('-');
        const std::size_t from = std::stoul(range.substr(6, dash - 6));
        std::size_t to = content.size() - 1;
        if (dash + 1 < range.size())
            to = std::min<std::size_t>(std::stoul(range.substr(dash + 1)), to);
        if (from >= content.size()) {
            res.status = 416;
            res.set_header("Content-Range", "bytes */" + std::to_string(content.size()));
            return;
        }
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(from) + "-" + std::to_string(to) + "/" +
                                            std::to_string(content.size()));
        res.set_content(content.substr(from, to - from + 1), "application/pdf");
    }

    mutable std::mutex mutex;
    std::vector<std::string> rangesSeen;
};

std::string readAll(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll().toStdString();
}

void writeAll(const QString& file, const std::string& bytes)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), qint64(bytes.size()));
}

struct Download
{
    int result = -99;
    std::int64_t bytes = -1;
    std::int64_t size = -1;
    QString target;
};

// totalTimeout, when given, ends a stalled transfer sooner than the low-speed
// abort, whose window is counted in whole seconds.
Download download(const FileServer& files, QString target, std::int64_t chunk, int retries, bool resume,
                  std::chrono::milliseconds totalTimeout = 0ms)
{
    vetis::TCurlHttpClass curl;
    Download d;
    if (curl.Init() != CURLE_OK)
        return d;
    vetis::TransferLimits limits;
    limits.connectTimeout = 2000ms;
    limits.lowSpeedTime = 1s;
    limits.totalTimeout = totalTimeout;
    if (vetis::applyTransportSettings(curl, vetis::TransportSettings({}, limits)) != CURLE_OK)
        return d;
    d.result = curl.DownloadFile(files.url(), &target, chunk, nullptr, &d.bytes, &d.size, retries, resume);
    d.target = target;
    return d;
}

} // namespace

TEST(DownloadFile, FetchesInPartsAndResumesAPartialFile)
{
    testsupport::TempFolder folder;
    FileServer files;
    ASSERT_TRUE(files.start());

    const QString whole = folder.file(QStringLiteral("whole.pdf"));
    const Download parts = download(files, whole, 3000, 3, false);
    EXPECT_EQ(parts.result, CURLE_OK);
    EXPECT_EQ(readAll(whole), files.content);
    EXPECT_EQ(parts.bytes, 10000);
    EXPECT_EQ(parts.size, 10000);
    EXPECT_EQ(files.ranges(), (std::vector<std::string>{"bytes=0-2999", "bytes=3000-5999", "bytes=6000-8999",
                                                        "bytes=9000-"}));

    const QString partial = folder.file(QStringLiteral("partial.pdf"));
    writeAll(partial, files.content.substr(0, 4000));
    const Download resumed = download(files, partial, 0, 3, true);
    EXPECT_EQ(resumed.result, CURLE_OK);
    EXPECT_EQ(readAll(partial), files.content);
    EXPECT_EQ(resumed.bytes, 6000);
    EXPECT_EQ(files.ranges().back(), "bytes=4000-");

    // A complete file: the server answers 416 and that is success.
    const Download again = download(files, partial, 0, 3, true);
    EXPECT_EQ(again.result, CURLE_OK);
    EXPECT_EQ(files.ranges().back(), "bytes=10000-");
    EXPECT_EQ(readAll(partial), files.content);
}

TEST(DownloadFile, ServerWithoutRangesIsReadPlainly)
{
    testsupport::TempFolder folder;
    for (int headStatus : {200, 405}) {
        FileServer files;
        files.acceptRanges = false;
        files.headStatus = headStatus; // 405: the server refuses HEAD
        ASSERT_TRUE(files.start());
        TraceCapture trace;
        const QString target = folder.file(QStringLiteral("plain%1.pdf").arg(headStatus));
        const Download d = download(files, target, 1000, 3, false);
        EXPECT_EQ(d.result, CURLE_OK) << headStatus;
        EXPECT_EQ(readAll(target), files.content) << headStatus;
        EXPECT_EQ(files.ranges(), std::vector<std::string>{""});
        EXPECT_TRUE(trace.contains("[libcurl] TCurlHttpClass.DownloadFile: Accept-Ranges header is missing, "
                                   "continue with ReadFile."));
    }
}

TEST(DownloadFile, TimeOutsAreRetriedUpToTheCount)
{
    // Each stalled part times out after this; a part that is served takes a
    // few milliseconds, under the sanitizers too.
    constexpr auto kStallEnds = 500ms;
    testsupport::TempFolder folder;
    {
        FileServer files;
        files.stallGets = 2;
        ASSERT_TRUE(files.start());
        TraceCapture trace;
        const QString target = folder.file(QStringLiteral("retried.pdf"));
        const Download d = download(files, target, 0, 3, false, kStallEnds);
        EXPECT_EQ(d.result, CURLE_OK);
        EXPECT_EQ(files.gets, 3);
        EXPECT_EQ(readAll(target), files.content);
        EXPECT_TRUE(trace.contains("[libcurl] TCurlHttpClass.DownloadFile: " +
                                   std::string(curl_easy_strerror(CURLE_OPERATION_TIMEDOUT)) +
                                   ", try again..."));
    }
    {
        FileServer files;
        files.stallGets = 2;
        ASSERT_TRUE(files.start());
        const Download d =
            download(files, folder.file(QStringLiteral("given-up.pdf")), 0, 2, false, kStallEnds);
        EXPECT_EQ(d.result, CURLE_OPERATION_TIMEDOUT);
        EXPECT_EQ(files.gets, 2);
    }
}

TEST(DownloadFile, HttpErrorsAndOddAnswersEnd)
{
    testsupport::TempFolder folder;
    const QString target = folder.file(QStringLiteral("x.pdf"));
    {
        // A ranged answer that brings nothing is not asked for without end.
        FileServer files;
        files.rangedStatus = 204;
        ASSERT_TRUE(files.start());
        const Download d = download(files, target, 0, 3, false);
        EXPECT_EQ(d.result, CURLE_RANGE_ERROR);
        EXPECT_EQ(files.gets, 3);
    }
    {
        FileServer files;
        files.rangedStatus = 404;
        ASSERT_TRUE(files.start());
        TraceCapture trace;
        const Download d = download(files, target, 0, 2, false);
        EXPECT_EQ(d.result, CURLE_HTTP_RETURNED_ERROR);
        EXPECT_EQ(files.gets, 2);
        EXPECT_TRUE(trace.contains("TCurlHttpClass.DownloadFile: HTTP error 404, try again..."));
    }
    {
        FileServer files;
        files.rangedStatus = 500;
        ASSERT_TRUE(files.start());
        TraceCapture trace;
        const Download d = download(files, target, 0, 3, false);
        EXPECT_EQ(d.result, CURLE_HTTP_RETURNED_ERROR);
        EXPECT_EQ(files.gets, 1);
        EXPECT_TRUE(trace.contains("TCurlHttpClass.DownloadFile: HTTP fatal error 500, abort downloading"));
    }
    {
        FileServer files;
        files.headStatus = 404;
        ASSERT_TRUE(files.start());
        const Download d = download(files, target, 0, 3, false);
        EXPECT_EQ(d.result, CURLE_HTTP_RETURNED_ERROR);
        EXPECT_EQ(files.gets, 0);
    }
}

TEST(DownloadFile, WholeFileAnswerReplacesThePartialFile)
{
    testsupport::TempFolder folder;
    FileServer files;
    files.ignoreRanges = true;
    ASSERT_TRUE(files.start());
    const QString partial = folder.file(QStringLiteral("partial.pdf"));
    writeAll(partial, files.content.substr(0, 4000));
    const Download d = download(files, partial, 0, 3, true);
    EXPECT_EQ(d.result, CURLE_OK);
    EXPECT_EQ(readAll(partial), files.content); // not the old part followed by the whole file
}

TEST(DownloadFile, FolderTargetTakesTheServersName)
{
    testsupport::TempFolder folder;
    const std::pair<std::string, QString> cases[] = {
        {"attachment; filename=\"Акт сверки.pdf\"", QStringLiteral("Акт сверки.pdf")},
        {"attachment; filename=plain.pdf", QStringLiteral("plain.pdf")},
        {"", QStringLiteral("report.pdf")}};
    for (const auto& [disposition, name] : cases) {
        FileServer files;
        files.disposition = disposition;
        ASSERT_TRUE(files.start());
        const Download d = download(files, folder.path(), 0, 3, false);
        EXPECT_EQ(d.result, CURLE_OK) << disposition;
        EXPECT_EQ(d.target, folder.path() + name);
        EXPECT_EQ(readAll(folder.path() + name), files.content);
    }
    LocalServer root;
    root.http().Get(
        "/", [](const httplib::Request&, httplib::Response& res) { res.set_content("x", "text/plain"); });
    ASSERT_TRUE(root.start());
    TraceCapture trace;
    vetis::TCurlHttpClass curl;
    ASSERT_EQ(curl.Init(), CURLE_OK);
    QString target = folder.path();
    EXPECT_EQ(curl.DownloadFile(root.url("/"), &target, 0, nullptr, nullptr, nullptr, 3, false), 3);
    EXPECT_TRUE(trace.contains("[libcurl] TCurlHttpClass.DownloadFile: Target filename is blank."));
}

TEST(DownloadFile, A416EndsTheDownloadOnlyForAFileAsBigAsTheServers)
{
    testsupport::TempFolder folder;
    {
        // An older, bigger file of the same name: the server has nothing past
        // its end (416, "bytes */10000"), and it is fetched again whole.
        FileServer files;
        ASSERT_TRUE(files.start());
        const QString stale = folder.file(QStringLiteral("stale.pdf"));
        writeAll(stale, std::string(12000, 'o'));
        TraceCapture trace;
        const Download d = download(files, stale, 0, 3, true);
        EXPECT_EQ(d.result, CURLE_OK);
        EXPECT_EQ(readAll(stale), files.content);
        EXPECT_EQ(files.ranges(), (std::vector<std::string>{"bytes=12000-", "bytes=0-"}));
        EXPECT_TRUE(trace.contains("TCurlHttpClass.DownloadFile: HTTP error 416, the file does not match the "
                                   "server's, download it again..."));
    }
    {
        // The file changed on the server after the probe: the 416 answer's
        // size counts, not the probe's.
        FileServer files;
        files.headLength = 12000;
        ASSERT_TRUE(files.start());
        const QString old = folder.file(QStringLiteral("old.pdf"));
        writeAll(old, std::string(12000, 'o'));
        const Download d = download(files, old, 0, 3, true);
        EXPECT_EQ(d.result, CURLE_OK);
        EXPECT_EQ(readAll(old), files.content);
        EXPECT_EQ(files.ranges(), (std::vector<std::string>{"bytes=12000-", "bytes=0-", "bytes=10000-"}));
    }
    {
        // A server that answers every range with a bare 416: the probe's size
        // decides. A complete file is done; any other is fetched again, but
        // only as often as the retry count allows.
        FileServer files;
        files.rangedStatus = 416;
        ASSERT_TRUE(files.start());
        const QString complete = folder.file(QStringLiteral("complete.pdf"));
        writeAll(complete, files.content);
        EXPECT_EQ(download(files, complete, 0, 3, true).result, CURLE_OK);
        EXPECT_EQ(readAll(complete), files.content);
        EXPECT_EQ(files.gets, 1);

        const QString partial = folder.file(QStringLiteral("partial.pdf"));
        writeAll(partial, files.content.substr(0, 4000));
        TraceCapture trace;
        const Download d = download(files, partial, 0, 3, true);
        EXPECT_EQ(d.result, CURLE_HTTP_RETURNED_ERROR);
        EXPECT_EQ(files.gets, 1 + 3);
        EXPECT_EQ(files.ranges().back(), "bytes=0-");
        EXPECT_TRUE(trace.contains("TCurlHttpClass.DownloadFile: HTTP error 416, the file does not match the "
                                   "server's, abort downloading"));
    }
}
