// SPDX-License-Identifier: LicenseRef-Kestrom
// What of a transfer reaches the trace: texts and headers always, bodies only
// when asked for and masked whole however libcurl cuts them, TLS data never.
#include "TransportTestServer.h"

#include "vetis/CurlHttpClass.h"
#include "vetis/CurlTraceFilter.h"
#include "vetis/SecretMask.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <map>

using transporttest::BodyTrace;
using transporttest::LocalServer;
using transporttest::TraceCapture;
using vetis::CurlTraceFilter;

namespace {

struct Written
{
    int type;
    std::string text;
};

struct FilterRun
{
    CurlTraceFilter filter;
    std::vector<Written> lines;
    CurlTraceFilter::Writer writer()
    {
        return [this](int type, std::string_view text) { lines.push_back({type, std::string(text)}); };
    }
    void take(int type, std::string_view data, bool wanted = true)
    {
        filter.take(type, data, wanted, writer());
    }
    std::string all(int type) const
    {
        std::string out;
        for (const Written& w : lines)
            if (w.type == type)
                out += w.text;
        return out;
    }
};

const std::string kKey = "7d0c1e9a-key-secret";

std::string bodyWithKeys(std::size_t size)
{
    std::string body = "<soapenv:Envelope><soapenv:Body>";
    for (int i = 0; body.size() < size; ++i) {
        // Fillers of changing length, so that keys sit at every offset.
        body +=
            "<apldef:apiKey>" + kKey + "</apldef:apiKey><f>" + std::string(std::size_t(i % 97), 'x') + "</f>";
    }
    return body + "</soapenv:Body></soapenv:Envelope>";
}

} // namespace

TEST(TraceBodies, ABodyIsMaskedWholeWhereverItIsCut)
{
    const std::string body = "<a><apl:apiKey>" + kKey + "</apl:apiKey></a>";
    const std::string masked = vetis::maskSecrets(body);
    for (std::size_t cut = 0; cut <= body.size(); ++cut) {
        for (bool sizeKnown : {true, false}) {
            FilterRun run;
            if (sizeKnown)
                run.filter.expectRequestBody(std::int64_t(body.size()));
            run.take(CURLINFO_HEADER_OUT, "POST / HTTP/1.1\r\n\r\n");
            run.take(CURLINFO_DATA_OUT, std::string_view(body).substr(0, cut));
            // Answers may arrive while the request is still going out.
            run.take(CURLINFO_HEADER_IN, "HTTP/1.1 200 OK\r\n");
            run.take(CURLINFO_DATA_IN, "<ok/>");
            run.take(CURLINFO_DATA_OUT, std::string_view(body).substr(cut));
            run.filter.finish(run.writer());
            EXPECT_EQ(run.all(CURLINFO_DATA_OUT), masked) << cut;
            EXPECT_EQ(run.all(CURLINFO_DATA_IN), "<ok/>");
        }
    }

    // A request sent again (a redirect, an authentication round) is a body of
    // its own, and an answer's Content-Length closes its body.
    FilterRun run;
    run.filter.expectRequestBody(std::int64_t(body.size()));
    for (int round = 0; round < 2; ++round) {
        run.take(CURLINFO_HEADER_OUT, "POST / HTTP/1.1\r\n\r\n");
        run.take(CURLINFO_DATA_OUT, std::string_view(body).substr(0, 20));
        run.take(CURLINFO_DATA_OUT, std::string_view(body).substr(20));
        run.take(CURLINFO_HEADER_IN, "HTTP/1.1 200 OK\r\n");
        run.take(CURLINFO_HEADER_IN, "Content-Length: 18\r\n");
        run.take(CURLINFO_DATA_IN, "<apiKey>");
        run.take(CURLINFO_DATA_IN, "K</apiKey>");
        run.take(CURLINFO_TEXT, "left intact\n");
    }
    std::vector<std::string> order;
    for (const Written& w : run.lines)
        order.push_back(std::string(vetis::TCurlClass::infoTypeName(w.type)) + " " + w.text);
    const std::vector<std::string> round = {
        "HEADER_OUT POST / HTTP/1.1\r\n\r\n", "DATA_OUT " + masked,           "HEADER_IN HTTP/1.1 200 OK\r\n",
        "HEADER_IN Content-Length: 18\r\n",   "DATA_IN <apiKey>***</apiKey>", "TEXT left intact\n"};
    std::vector<std::string> twice = round;
    twice.insert(twice.end(), round.begin(), round.end());
    EXPECT_EQ(order, twice);
}

TEST(TraceBodies, OnlyWhatIsWantedAndNeverTheTlsData)
{
    FilterRun run;
    run.take(CURLINFO_TEXT, "Connected\n");
    run.take(CURLINFO_HEADER_OUT, "GET / HTTP/1.1\r\nAuthorization: Basic dXNlcjpw\r\n\r\n");
    run.take(CURLINFO_DATA_OUT, "body", false);
    run.take(CURLINFO_SSL_DATA_OUT, "\x17\x03\x03 tls");
    run.take(CURLINFO_SSL_DATA_IN, "\x17\x03\x03 tls");
    run.take(CURLINFO_HEADER_IN, "HTTP/1.1 200 OK\r\n", false);
    run.take(CURLINFO_DATA_IN, "answer", false);
    run.take(CURLINFO_END, "?");
    run.filter.finish(run.writer());
    ASSERT_EQ(run.lines.size(), 2u);
    EXPECT_EQ(run.lines[0].text, "Connected\n");
    EXPECT_EQ(run.lines[1].text, "GET / HTTP/1.1\r\nAuthorization: Basic ***\r\n\r\n");

    // A body past the limit is cut, said so, and still masked where it is cut.
    FilterRun big;
    const std::size_t limit = CurlTraceFilter::kMaxTracedBody;
    const std::string head = std::string(limit - 5, 'x') + "<apiKey>" + kKey;
    big.take(CURLINFO_DATA_IN, head);
    big.take(CURLINFO_DATA_IN, "</apiKey>" + std::string(1000, 'y'));
    big.filter.finish(big.writer());
    ASSERT_EQ(big.lines.size(), 1u);
    const std::size_t more = head.size() + 1009 - limit;
    EXPECT_EQ(big.lines[0].text,
              std::string(limit - 5, 'x') + "<apiK [" + std::to_string(more) + " more bytes not traced]");
    const std::string cutInKey = std::string(limit - 10, 'x') + "<apiKey>" + kKey;
    FilterRun inKey;
    inKey.take(CURLINFO_DATA_OUT, cutInKey);
    inKey.filter.finish(inKey.writer());
    ASSERT_EQ(inKey.lines.size(), 1u);
    EXPECT_EQ(inKey.lines[0].text.find(kKey.substr(0, 2)), std::string::npos);
    EXPECT_EQ(inKey.lines[0].text.rfind(std::string(limit - 10, 'x') + "<apiKey>***", 0), 0u);
}

namespace {

// Records what reaches the trace hooks of a transfer object.
class TraceHooks final : public vetis::TCurlHttpClass
{
public:
    void OnDebugData(int type, std::string_view data) override
    {
        ++pieces[type];
        TCurlHttpClass::OnDebugData(type, data);
    }
    void OnDebugInfo(std::string_view typeName, std::string_view text, int type) override
    {
        info[type] += text;
        TCurlHttpClass::OnDebugInfo(typeName, text, type);
    }
    std::map<int, int> pieces;
    std::map<int, std::string> info;
};

} // namespace

TEST(TraceBodies, ALargeRequestSentInPiecesIsTracedMaskedWhole)
{
    // Echoes the request, so that the answer carries the keys too.
    LocalServer server;
    server.http().Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.body, "text/xml");
    });
    ASSERT_TRUE(server.start());
    const std::string body = bodyWithKeys(200 * 1024);

    for (bool bodies : {false, true}) {
        std::optional<BodyTrace> asked;
        if (bodies)
            asked.emplace();
        TraceCapture trace;
        TraceHooks curl;
        ASSERT_EQ(curl.Init(), CURLE_OK);
        ASSERT_EQ(curl.SetOption(CURLOPT_UPLOAD_BUFFERSIZE, 16384L), CURLE_OK);
        ASSERT_EQ(curl.AddHttpHeader("Content-Type: text/xml; charset=utf-8"), CURLE_OK);
        ASSERT_EQ(curl.ApplyHttpHeaders(), CURLE_OK);
        ASSERT_EQ(curl.SetPostFields(&body), CURLE_OK);
        std::string answer;
        ASSERT_EQ(curl.SendRequest(server.url("/echo"), &answer), CURLE_OK);
        ASSERT_EQ(curl.GetResponseCode(), 200);
        ASSERT_TRUE(answer == body) << answer.size() << " bytes came back of " << body.size();
        // libcurl did cut the body: the test is about pieces.
        ASSERT_GT(curl.pieces[CURLINFO_DATA_OUT], 1) << bodies;

        for (const std::string& line : trace.lines())
            ASSERT_EQ(line.find(kKey.substr(0, 8)), std::string::npos) << line.substr(0, 200);
        if (bodies) {
            // Compared whole, but not printed whole when they differ.
            EXPECT_TRUE(curl.info[CURLINFO_DATA_OUT] == vetis::maskSecrets(body));
            EXPECT_TRUE(curl.info[CURLINFO_DATA_IN] == vetis::maskSecrets(body));
        } else {
            EXPECT_FALSE(curl.info.count(CURLINFO_DATA_OUT));
            EXPECT_FALSE(curl.info.count(CURLINFO_DATA_IN));
            EXPECT_FALSE(trace.contains("[libcurl] DATA_"));
            EXPECT_TRUE(trace.contains("[libcurl] HEADER_OUT: POST /echo"));
        }
    }
}
