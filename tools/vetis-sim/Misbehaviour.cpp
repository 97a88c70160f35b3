// SPDX-License-Identifier: LicenseRef-Kestrom
#include "Misbehaviour.h"

#include "GuardedServer.h"
#include "Soap.h"
#include "VetisSim.h"

#include <httplib.h>

#include <array>
#include <thread>

namespace vetissim {
namespace {

constexpr const char* kXmlType = "text/xml;charset=UTF-8";

struct KindName
{
    FaultKind kind;
    const char* name;
};

constexpr std::array<KindName, 10> kKindNames{{
    {FaultKind::SoapFault, "soap-fault"},
    {FaultKind::Unauthorized, "unauthorized"},
    {FaultKind::Delay, "delay"},
    {FaultKind::Stall, "stall"},
    {FaultKind::Drop, "drop"},
    {FaultKind::MalformedXml, "malformed"},
    {FaultKind::TruncatedXml, "truncated"},
    {FaultKind::PartialBody, "partial"},
    {FaultKind::Huge, "huge"},
    {FaultKind::WrongContentType, "wrong-content-type"},
}};

// Closes the connection of the request being answered under the server's
// feet, so that the client gets no answer at all. The server's own write then
// fails quietly.
[[nodiscard]] bool dropConnection()
{
    GuardedConnection* connection = GuardedConnection::current();
    return connection && connection->drop();
}

// A well-formed street list answer of about `bytes` bytes, produced piece by piece.
class HugeAnswer
{
public:
    explicit HugeAnswer(std::size_t bytes)
        : m_target(bytes)
    {}

    std::string nextPiece()
    {
        std::string piece;
        if (m_state == 0) {
            piece =
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soapenv:Envelope "
                "xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\"><soapenv:Header/><soapenv:Body>"
                "<v2:getStreetListByLocalityResponse xmlns:v2=\"http://api.vetrf.ru/schema/cdm/registry/"
                "ws-definitions/v2\" xmlns:bs=\"http://api.vetrf.ru/schema/cdm/base\" "
                "xmlns:dt=\"http://api.vetrf.ru/schema/cdm/dictionary/v2\"><dt:streetList>";
            m_state = 1;
        } else if (m_state == 1) {
            while (piece.size() < 64 * 1024 && m_sent + piece.size() < m_target) {
                piece += "<dt:street><bs:guid>00000000-0000-4000-8000-";
                char digits[16];
                std::snprintf(digits, sizeof digits, "%012llu", static_cast<unsigned long long>(m_counter++));
                piece += digits;
                piece += "</bs:guid><dt:name>Улица номер ";
                piece += std::to_string(m_counter);
                piece += "</dt:name></dt:street>";
            }
            if (m_sent + piece.size() >= m_target) {
                piece +=
                    "</dt:streetList></v2:getStreetListByLocalityResponse></soapenv:Body></soapenv:Envelope>";
                m_state = 2;
            }
        }
        m_sent += piece.size();
        return piece;
    }

private:
    std::size_t m_target;
    std::size_t m_sent = 0;
    std::uint64_t m_counter = 0;
    int m_state = 0;
};

} // namespace

bool faultKindFromName(std::string_view name, FaultKind& kind)
{
    for (const KindName& k : kKindNames) {
        if (name == k.name) {
            kind = k.kind;
            return true;
        }
    }
    return false;
}

const char* faultKindName(FaultKind kind)
{
    for (const KindName& k : kKindNames) {
        if (k.kind == kind)
            return k.name;
    }
    return "";
}

bool StopSignal::waitFor(int ms)
{
    std::unique_lock lock(m_mutex);
    return m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopping; });
}

void StopSignal::raise()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
}

void StopSignal::reset()
{
    const std::lock_guard lock(m_mutex);
    m_stopping = false;
}

void FaultBook::add(const FaultRule& rule)
{
    if (rule.times != 0)
        m_rules.push_back(rule);
}

void FaultBook::clear()
{
    m_rules.clear();
}

std::optional<FaultRule> FaultBook::take(const std::string& operation, const std::string& innerOperation)
{
    for (auto it = m_rules.begin(); it != m_rules.end(); ++it) {
        if (!it->operation.empty() && it->operation != operation && it->operation != innerOperation)
            continue;
        if (it->skip > 0) {
            --it->skip;
            return std::nullopt;
        }
        FaultRule rule = *it;
        if (it->times > 0 && --it->times == 0)
            m_rules.erase(it);
        return rule;
    }
    return std::nullopt;
}

bool faultNeedsAnswer(FaultKind kind)
{
    return kind == FaultKind::Delay || kind == FaultKind::MalformedXml || kind == FaultKind::TruncatedXml ||
           kind == FaultKind::PartialBody;
}

void setUnauthorized(httplib::Response& response)
{
    response.status = 401;
    response.set_header("WWW-Authenticate", "Basic realm=\"VetIS API\"");
    response.set_content("<html><body><h1>401 Unauthorized</h1></body></html>", "text/html;charset=UTF-8");
}

int applyFault(const FaultRule& rule, const std::string& answer, httplib::Response& response,
               const std::shared_ptr<StopSignal>& stop)
{
    switch (rule.kind) {
    case FaultKind::SoapFault:
        response.status = 500;
        response.set_content(renderAnswer(soapFault(false, "Internal service error", "internalServiceFault",
                                                    "Внутренняя ошибка сервиса", "APLM0010"),
                                          PrefixStyle::Usual),
                             kXmlType);
        return 500;
    case FaultKind::Unauthorized:
        setUnauthorized(response);
        return 401;
    case FaultKind::Delay:
        stop->waitFor(rule.delayMs);
        response.status = 200;
        response.set_content(answer, kXmlType);
        return 200;
    case FaultKind::Stall: {
        response.status = 200;
        const int stallMs = rule.stallMs;
        // Headers go out with a promised length; the body never comes.
        response.set_content_provider(1024, kXmlType,
                                      [stop, stallMs](std::size_t, std::size_t, httplib::DataSink&) {
                                          stop->waitFor(stallMs);
                                          return false;
                                      });
        return 200;
    }
    case FaultKind::Drop:
        if (dropConnection())
            return 0;
        // Where the socket cannot be reached, the nearest thing: headers, then the connection ends.
        response.status = 200;
        response.set_content_provider(1024, kXmlType,
                                      [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
        return 200;
    case FaultKind::MalformedXml: {
        std::string broken = answer;
        const std::size_t body = broken.find("Body");
        const std::size_t close = broken.find("</", body == std::string::npos ? 0 : body);
        if (close != std::string::npos)
            broken.insert(close + 2, "broken-");
        else
            broken += "<unclosed>";
        response.status = 200;
        response.set_content(broken, kXmlType);
        return 200;
    }
    case FaultKind::TruncatedXml:
        response.status = 200;
        response.set_content(answer.substr(0, answer.size() / 2), kXmlType);
        return 200;
    case FaultKind::PartialBody: {
        response.status = 200;
        auto text = std::make_shared<std::string>(answer);
        response.set_content_provider(text->size(), kXmlType,
                                      [text](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                          if (offset == 0)
                                              sink.write(text->data(), text->size() / 2);
                                          return offset == 0;
                                      });
        return 200;
    }
    case FaultKind::Huge: {
        response.status = 200;
        auto huge = std::make_shared<HugeAnswer>(rule.hugeBytes);
        response.set_chunked_content_provider(kXmlType, [huge](std::size_t, httplib::DataSink& sink) {
            const std::string piece = huge->nextPiece();
            if (piece.empty()) {
                sink.done();
                return true;
            }
            return sink.write(piece.data(), piece.size());
        });
        return 200;
    }
    case FaultKind::WrongContentType:
        response.status = 200;
        response.set_content("<html><head><title>Шлюз</title></head><body><h1>Сервис временно недоступен</h1>"
                             "</body></html>",
                             "text/html;charset=UTF-8");
        return 200;
    }
    return 0;
}

} // namespace vetissim
