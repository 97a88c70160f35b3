// SPDX-License-Identifier: LicenseRef-Kestrom
// The transfer object on its own: URL parsing, options, the trace and the
// reading of response headers.
#include "TransportTestServer.h"

#include "vetis/CurlHttpClass.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <map>

using transporttest::BodyTrace;
using transporttest::LocalServer;
using transporttest::TraceCapture;

namespace {

bool anyStartsWith(const std::vector<std::string>& lines, const std::string& prefix)
{
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

} // namespace

TEST(TransportCurl, UrlWithoutSchemeIsFetchedOverHttpAndTraced)
{
    std::atomic<int> hits{0};
    LocalServer server;
    server.http().Get("/page", [&](const httplib::Request&, httplib::Response& res) {
        ++hits;
        res.set_content("hello", "text/plain");
    });
    ASSERT_TRUE(server.start());

    BodyTrace bodies;
    TraceCapture trace;
    std::string answer;
    {
        vetis::TCurlHttpClass curl;
        ASSERT_EQ(curl.Init(), CURLE_OK);
        ASSERT_EQ(curl.SetUserPwd("login", "secret"), CURLE_OK);
        EXPECT_EQ(curl.SendRequest("127.0.0.1:" + std::to_string(server.port()) + "/page   ", &answer),
                  CURLE_OK);
        EXPECT_EQ(curl.GetResponseCode(), 200);
        EXPECT_EQ(curl.GetInfoOffT(CURLINFO_SIZE_DOWNLOAD_T), 5);
    }
    EXPECT_EQ(answer, "hello");
    EXPECT_EQ(hits, 1);
    const auto lines = trace.lines();
    EXPECT_TRUE(anyStartsWith(lines, "[libcurl] TEXT: "));
    EXPECT_TRUE(anyStartsWith(lines, "[libcurl] HEADER_OUT: GET /page HTTP/1.1"));
    EXPECT_TRUE(anyStartsWith(lines, "[libcurl] HEADER_IN: HTTP/1.1 200 OK"));
    EXPECT_TRUE(anyStartsWith(lines, "[libcurl] DATA_IN: hello"));
    // The credentials are sent, but not written to the debug output.
    EXPECT_TRUE(trace.contains("Authorization: Basic ***"));
    EXPECT_FALSE(trace.contains(QByteArray("login:secret").toBase64().toStdString()));
}

TEST(TransportCurl, TraceMaskSelectsInfoTypes)
{
    LocalServer server;
    server.http().Get(
        "/", [](const httplib::Request&, httplib::Response& res) { res.set_content("x", "text/plain"); });
    ASSERT_TRUE(server.start());
    for (std::uint32_t mask : {0u, 1u << CURLINFO_HEADER_OUT}) {
        TraceCapture trace;
        vetis::TCurlHttpClass curl;
        ASSERT_EQ(curl.Init(), CURLE_OK);
        EXPECT_EQ(curl.traceMask(), 255u);
        curl.setTraceMask(mask);
        std::string answer;
        ASSERT_EQ(curl.SendRequest(server.url("/"), &answer), CURLE_OK);
        const auto lines = trace.lines();
        if (mask == 0) {
            EXPECT_TRUE(lines.empty());
        } else {
            ASSERT_FALSE(lines.empty());
            for (const std::string& line : lines)
                EXPECT_EQ(line.rfind("[libcurl] HEADER_OUT: ", 0), 0u) << line;
        }
    }
    EXPECT_EQ(vetis::TCurlClass::infoTypeName(7), "Unknown info type");
    EXPECT_EQ(vetis::TCurlClass::infoTypeName(-1), "Unknown info type");
}

// Records what reaches the trace hooks of a transfer object.
class HookRecorder final : public vetis::TCurlHttpClass
{
public:
    void OnDebugData(int type, std::string_view data) override
    {
        raw[type].append(data);
        TCurlHttpClass::OnDebugData(type, data);
    }
    void OnDebugInfo(std::string_view typeName, std::string_view text, int type) override
    {
        info[type].append(text);
        TCurlHttpClass::OnDebugInfo(typeName, text, type);
    }
    std::map<int, std::string> raw;
    std::map<int, std::string> info;
};

TEST(TransportCurl, CredentialsNeverReachTheTraceUnmasked)
{
    LocalServer server;
    server.http().Get("/", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(std::to_string(req.get_header_value_count("Authorization")), "text/plain");
    });
    ASSERT_TRUE(server.start());
    const std::string first = "Basic " + QByteArray("first:secret").toBase64().toStdString();
    const std::string second = "Bearer second-secret-token";

    BodyTrace bodies;
    for (std::uint32_t mask : {255u, 0u}) {
        TraceCapture trace;
        HookRecorder curl;
        ASSERT_EQ(curl.Init(), CURLE_OK);
        curl.setTraceMask(mask);
        // Two Authorization lines, the first long enough that masking it
        // shifts everything after it.
        ASSERT_EQ(curl.AddHttpHeader(("Authorization: " + first).c_str()), CURLE_OK);
        ASSERT_EQ(curl.AddHttpHeader("X-Between: 1"), CURLE_OK);
        ASSERT_EQ(curl.AddHttpHeader(("authorization:" + second).c_str()), CURLE_OK);
        ASSERT_EQ(curl.ApplyHttpHeaders(), CURLE_OK);
        std::string answer;
        ASSERT_EQ(curl.SendRequest(server.url("/"), &answer), CURLE_OK);
        EXPECT_EQ(answer, "2"); // both are sent

        // The raw hook sees what went out; the trace hook and the trace
        // lines never see a credential.
        EXPECT_NE(curl.raw[CURLINFO_HEADER_OUT].find(first), std::string::npos);
        EXPECT_EQ(curl.raw[CURLINFO_DATA_IN], "2");
        for (const std::string& secret : {first.substr(6), std::string("second-secret-token")}) {
            EXPECT_EQ(curl.info[CURLINFO_HEADER_OUT].find(secret), std::string::npos) << mask;
            EXPECT_FALSE(trace.contains(secret)) << mask;
        }
        if (mask == 255) {
            EXPECT_TRUE(trace.contains("Authorization: Basic ***"));
            EXPECT_TRUE(trace.contains("authorization:Bearer ***"));
            EXPECT_TRUE(trace.contains("X-Between: 1"));
            EXPECT_TRUE(anyStartsWith(trace.lines(), "[libcurl] DATA_IN: 2"));
        } else {
            EXPECT_TRUE(trace.lines().empty());
        }
    }
}

TEST(TransportCurl, BadInputsGiveTheirCodes)
{
    TraceCapture trace;
    vetis::TCurlHttpClass curl;
    ASSERT_EQ(curl.Init(), CURLE_OK);
    EXPECT_EQ(curl.SetUrl("http://[bad"), 3);
    EXPECT_TRUE(trace.contains("[libcurl] TCurlClass.SetUrl(http://[bad) error: "));
    EXPECT_EQ(curl.SetPostFields(nullptr), -1);
    EXPECT_TRUE(trace.contains("[libcurl] SetPostFields: NULL reference passed"));
    const std::string empty;
    EXPECT_EQ(curl.SetPostFields(&empty), CURLE_OK);
    EXPECT_EQ(curl.SetCustomRequest("   "), CURLE_OK);

    // Before Init there is no handle to set anything on.
    vetis::TCurlClass bare;
    EXPECT_NE(bare.SetUserAgent("x"), CURLE_OK);
    EXPECT_NE(bare.Perform(), CURLE_OK);
    EXPECT_EQ(bare.GetResponseCode(), 0);
}

TEST(TransportCurl, ResponseHeadersNameTheFileAndTellAboutRanges)
{
    vetis::TCurlHttpClass quoted;
    quoted.OnHeaderLine("Content-Type: application/pdf");
    EXPECT_FALSE(quoted.rangesAccepted());
    quoted.OnHeaderLine("accept-ranges: none");
    EXPECT_TRUE(quoted.rangesAccepted()); // whatever the value
    quoted.OnHeaderLine("Content-Disposition: attachment; filename=\"Акт 12.pdf\"");
    EXPECT_EQ(quoted.serverFileName(), "Акт 12.pdf");
    quoted.OnHeaderLine("Content-Disposition: attachment; filename=\"other.pdf\"");
    EXPECT_EQ(quoted.serverFileName(), "Акт 12.pdf"); // the first one holds

    vetis::TCurlHttpClass unquoted;
    unquoted.OnHeaderLine("CONTENT-DISPOSITION: inline; FileName=report.pdf");
    EXPECT_EQ(unquoted.serverFileName(), "report.pdf");

    vetis::TCurlHttpClass none;
    none.OnHeaderLine("Content-Disposition: inline");
    EXPECT_TRUE(none.serverFileName().empty());
}

TEST(TransportCurl, TargetNameRules)
{
    vetis::TCurlHttpClass curl;
    const std::string url = "http://host/pub/form.pdf?uuid=1";
    EXPECT_EQ(curl.chooseTargetName(url, QStringLiteral("/tmp/x.pdf")), QStringLiteral("/tmp/x.pdf"));
    EXPECT_EQ(curl.chooseTargetName(url, QStringLiteral("/tmp/dir/")), QStringLiteral("/tmp/dir/form.pdf"));
    EXPECT_EQ(curl.chooseTargetName(url, QStringLiteral("C:\\Temp\\")), QStringLiteral("C:\\Temp\\form.pdf"));
    EXPECT_EQ(curl.chooseTargetName(url, QString()), QStringLiteral("form.pdf"));
    EXPECT_TRUE(curl.chooseTargetName("http://host/", QStringLiteral("/tmp/")).isEmpty());

    curl.OnHeaderLine("Content-Disposition: attachment; filename=\"../../etc/evil:x.pdf\"");
    // A name from the network stays a plain name inside the caller's folder.
    EXPECT_EQ(curl.chooseTargetName(url, QStringLiteral("/tmp/dir/")), QStringLiteral("/tmp/dir/evil_x.pdf"));
    vetis::TCurlHttpClass dots;
    dots.OnHeaderLine("Content-Disposition: attachment; filename=\"..\"");
    EXPECT_TRUE(dots.chooseTargetName(url, QStringLiteral("/tmp/dir/")).isEmpty());
}
