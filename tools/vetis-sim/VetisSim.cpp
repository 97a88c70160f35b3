// SPDX-License-Identifier: LicenseRef-Kestrom
#include "VetisSim.h"
#include "ReceivedHead.h"

#include "ApplicationService.h"
#include "FixtureStore.h"
#include "GuardedServer.h"
#include "Ids.h"
#include "Misbehaviour.h"
#include "PrintFormService.h"
#include "RegistryService.h"
#include "RequestLog.h"
#include "SharedFixtures.h"
#include "Soap.h"
#include "TlsCertificate.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <thread>

namespace vetissim {
namespace {

constexpr const char* kXmlType = "text/xml;charset=UTF-8";

std::string decodeBase64(std::string_view text)
{
    static constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (const char c : text) {
        if (c == '=')
            break;
        const std::size_t index = alphabet.find(c);
        if (index == std::string_view::npos)
            return {};
        value = (value << 6) | static_cast<unsigned>(index);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return out;
}

PrefixStyle prefixStyleFromName(std::string_view name, PrefixStyle fallback)
{
    if (name == "usual")
        return PrefixStyle::Usual;
    if (name == "default")
        return PrefixStyle::Default;
    if (name == "generated")
        return PrefixStyle::Generated;
    return fallback;
}

// How the body of a service request came in.
enum class BodyOutcome
{
    Complete,
    TooLarge,   // more than the body limit: refused, not kept
    Incomplete, // the client went silent, was too slow or went away
    Unsupported // a form upload, which no service takes
};

// Reads the body of a request within the limit. size counts what the client
// sent (at least the part that was read).
BodyOutcome readBody(const httplib::Request& request, const httplib::ContentReader& reader, std::size_t limit,
                     std::string& body, std::size_t& size)
{
    size = 0;
    if (request.is_multipart_form_data())
        return BodyOutcome::Unsupported;
    const bool chunked = request.get_header_value("Transfer-Encoding").find("chunked") != std::string::npos;
    if (!chunked && !request.has_header("Content-Length"))
        return BodyOutcome::Complete; // a request without either has no body
    if (!chunked) {
        const auto declared = request.get_header_value<std::uint64_t>("Content-Length");
        if (declared > limit) {
            size = static_cast<std::size_t>(std::min<std::uint64_t>(declared, SIZE_MAX));
            return BodyOutcome::TooLarge;
        }
    }
    // The body as sent may be larger than as received (chunk framing, compression
    // of data that does not compress), but not without bound.
    GuardedConnection* connection = GuardedConnection::current();
    if (connection)
        connection->beginBody(limit > SIZE_MAX / 4 ? SIZE_MAX : 2 * limit + 64 * 1024);
    bool tooLarge = false;
    const bool complete = reader([&](const char* data, std::size_t length) {
        size += length;
        if (size > limit) {
            tooLarge = true;
            return false;
        }
        body.append(data, length);
        return true;
    });
    if (tooLarge || (connection && connection->end() == ConnectionEnd::BodyTooLarge))
        return BodyOutcome::TooLarge;
    return complete ? BodyOutcome::Complete : BodyOutcome::Incomplete;
}

// A number of the control query within [low, high]; absent leaves value as it is.
bool queryNumber(const httplib::Request& request, const char* name, long long low, long long high,
                 long long& value)
{
    if (!request.has_param(name))
        return true;
    const std::string text = request.get_param_value(name);
    long long parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc{} || end != text.data() + text.size() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

} // namespace

std::string ReceivedRequest::header(std::string_view name) const
{
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() && std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
                return std::tolower(a) == std::tolower(b);
            }))
            return value;
    }
    return {};
}

struct VetisSim::Impl
{
    explicit Impl(SimConfig c)
        : config(std::move(c))
        , store(*sharedDefaultFixtures(config.fixtures))
        , registry(store, config)
        , applications(store, config)
        , log(config.limits.maxLoggedRequests, config.limits.maxLoggedBytes)
    {}

    void handleService(const httplib::Request& request, httplib::Response& response,
                       const httplib::ContentReader& reader);
    // Answers a request whose body could not be taken, and ends its connection.
    void refuse(ReceivedRequest received, BodyOutcome outcome, httplib::Response& response);
    void handleControl(const httplib::Request& request, httplib::Response& response);
    bool authorized(const std::string& authorization) const;
    // Computes the right answer of one operation; called under the lock.
    OpResult answer(Service service, const XNode& operation);

    SimConfig config;
    // The built-in world shared by every double of the same fixture options;
    // what this double changes stays its own.
    FixtureStore store;
    RegistryService registry;
    ApplicationService applications;
    FaultBook faults;
    RequestLog log;
    mutable std::mutex mutex;

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    std::shared_ptr<StopSignal> stop = std::make_shared<StopSignal>();
    int port = 0;
    bool running = false;
    bool fixturesLoaded = false;
    std::string error;
    std::string certPath;
    std::string keyPath;
    std::filesystem::path tempFolder;
};

bool VetisSim::Impl::authorized(const std::string& authorization) const
{
    constexpr std::string_view scheme = "Basic ";
    if (!authorization.starts_with(scheme))
        return false;
    return decodeBase64(std::string_view(authorization).substr(scheme.size())) ==
           config.user + ':' + config.password;
}

OpResult VetisSim::Impl::answer(Service service, const XNode& operation)
{
    if (service == Service::ApplicationManagement) {
        if (operation.is(Ns::AplWs, "submitApplicationRequest"))
            return applications.submit(operation);
        if (operation.is(Ns::AplWs, "receiveApplicationResultRequest"))
            return applications.receive(operation);
    } else if (RegistryService::serviceOf(operation.name) == service && operation.ns == Ns::RegWs) {
        return registry.answer(operation);
    }
    return soapFault(true,
                     "Unexpected wrapper element {" + std::string(namespaceUri(operation.ns)) + "}" +
                         operation.name + " found.",
                     {}, {}, {});
}

void VetisSim::Impl::refuse(ReceivedRequest received, BodyOutcome outcome, httplib::Response& response)
{
    int status = 408;
    std::string text = "request not received in time";
    if (outcome == BodyOutcome::TooLarge) {
        status = 413;
        text = "request body too large";
        received.body.clear();
    } else if (outcome == BodyOutcome::Unsupported) {
        status = 415;
        text = "form uploads are not taken";
    }
    if (received.body.size() > config.limits.maxRefusedBodyBytes)
        received.body.resize(config.limits.maxRefusedBodyBytes);
    received.status = status;
    {
        const std::lock_guard lock(mutex);
        log.add(std::move(received));
    }
    if (GuardedConnection* connection = GuardedConnection::current())
        connection->endAfterThisAnswer();
    response.status = status;
    response.set_header("Connection", "close");
    response.set_content(text, "text/plain");
}

void VetisSim::Impl::handleService(const httplib::Request& request, httplib::Response& response,
                                   const httplib::ContentReader& reader)
{
    ReceivedRequest received = receivedHead(request);
    const BodyOutcome outcome =
        readBody(request, reader, config.limits.maxBodyBytes, received.body, received.bodySize);
    if (outcome != BodyOutcome::Complete) {
        refuse(std::move(received), outcome, response);
        return;
    }
    const bool allowed = authorized(received.authorization);

    // Read the operation first, so that the log names it even when the answer is refused.
    XNode message;
    std::string parseError;
    const bool parsed = parseXml(received.body, message, &parseError);
    const XNode* body =
        parsed && message.is(Ns::Soap, "Envelope") ? message.child(Ns::Soap, "Body") : nullptr;
    const XNode* operation = body && !body->children.empty() ? &body->children.front() : nullptr;
    if (operation) {
        received.operation = operation->name;
        received.operationNamespace =
            operation->ns == Ns::Unknown ? operation->unknownUri : std::string(namespaceUri(operation->ns));
        if (const XNode* data = operation->at("apl:application/apl:data"); data && !data->children.empty())
            received.innerOperation = data->children.front().name;
    }

    std::optional<FaultRule> fault;
    FaultKind headerKind{};
    if (faultKindFromName(request.get_header_value("X-Sim-Fault"), headerKind)) {
        fault = FaultRule{};
        fault->kind = headerKind;
    }
    PrefixStyle style{};
    std::uint64_t logId = 0;
    // The body of a refused request is of little interest and not kept whole.
    if (!allowed && received.body.size() > config.limits.maxRefusedBodyBytes)
        received.body.resize(config.limits.maxRefusedBodyBytes);
    {
        const std::lock_guard lock(mutex);
        if (!fault && allowed)
            fault = faults.take(received.operation, received.innerOperation);
        style = config.prefixStyle;
        logId = log.add(std::move(received));
    }
    auto finish = [&](int status) {
        const std::lock_guard lock(mutex);
        log.setStatus(logId, status);
    };

    if (!allowed) {
        setUnauthorized(response);
        finish(401);
        return;
    }
    if (fault && !faultNeedsAnswer(fault->kind)) {
        finish(applyFault(*fault, {}, response, stop));
        return;
    }

    OpResult result;
    const Service service = serviceFromPath(request.path);
    if (!parsed) {
        result = soapFault(true, "Unmarshalling Error: " + parseError, {}, {}, {});
    } else if (!operation) {
        result = soapFault(true, "Message does not hold a SOAP envelope with a body element", {}, {}, {});
    } else {
        const std::lock_guard lock(mutex);
        result = answer(service, *operation);
    }
    const int status = result.fault ? 500 : 200;
    std::string text = renderAnswer(std::move(result), style);
    if (fault) {
        finish(applyFault(*fault, text, response, stop));
        return;
    }
    response.status = status;
    response.set_content(std::move(text), kXmlType);
    finish(status);
}

// POST /sim/control with query parameters, for tests and tools outside the process:
//   fault=<kind>[&operation=<name>][&times=N][&delayMs=N][&stallMs=N][&hugeBytes=N]
//   clear=faults | clear=received
//   prefix=usual|default|generated
//   inProcessAfter=N&completeAfter=N
//   reject=<vsd uuid>[&code=C][&text=T]
// GET /sim/received answers the number of requests received.
// A value out of its range refuses the whole call (400 naming it) and changes nothing.
void VetisSim::Impl::handleControl(const httplib::Request& request, httplib::Response& response)
{
    auto refuse = [&](const std::string& why) {
        response.status = 400;
        response.set_content(why, "text/plain");
    };
    const std::lock_guard lock(mutex);
    if (request.method == "GET") {
        response.set_content(std::to_string(log.received()), "text/plain");
        return;
    }
    struct Bounded
    {
        const char* name;
        long long low;
        long long high;
        long long value;
    };
    FaultRule rule;
    Bounded numbers[] = {
        {"times", -1, 1000000, 1},
        {"delayMs", 0, 600000, rule.delayMs},
        {"stallMs", 0, 600000, rule.stallMs},
        {"hugeBytes", 0, 16LL << 30, static_cast<long long>(rule.hugeBytes)},
        {"inProcessAfter", 0, 1000000, config.inProcessAfterReceives},
        {"completeAfter", 0, 1000000, config.completeAfterReceives},
    };
    for (Bounded& n : numbers) {
        if (!queryNumber(request, n.name, n.low, n.high, n.value))
            return refuse(std::string("bad value of ") + n.name);
    }
    const bool addsFault = request.has_param("fault");
    if (addsFault && !faultKindFromName(request.get_param_value("fault"), rule.kind))
        return refuse("unknown fault kind");
    if (addsFault && faults.size() >= config.limits.maxFaultRules)
        return refuse("too many fault rules");
    const bool rejects = request.has_param("reject");
    if (rejects && applications.rejectedVsdCount() >= config.limits.maxRejectedVsds)
        return refuse("too many rejected VSDs");

    if (addsFault) {
        rule.operation = request.get_param_value("operation");
        rule.times = static_cast<int>(numbers[0].value);
        rule.delayMs = static_cast<int>(numbers[1].value);
        rule.stallMs = static_cast<int>(numbers[2].value);
        rule.hugeBytes = static_cast<std::size_t>(numbers[3].value);
        faults.add(rule);
    }
    if (request.get_param_value("clear") == "faults")
        faults.clear();
    if (request.get_param_value("clear") == "received")
        log.clear();
    if (request.has_param("prefix"))
        config.prefixStyle = prefixStyleFromName(request.get_param_value("prefix"), config.prefixStyle);
    config.inProcessAfterReceives = static_cast<int>(numbers[4].value);
    config.completeAfterReceives = static_cast<int>(numbers[5].value);
    if (rejects) {
        const std::string code = request.get_param_value("code");
        const std::string text = request.get_param_value("text");
        applications.rejectVsd(request.get_param_value("reject"),
                               {code.empty() ? "MERC13100" : code, text.empty() ? "Заявка отклонена" : text});
    }
    response.set_content("ok", "text/plain");
}

VetisSim::VetisSim(SimConfig config)
    : m(std::make_unique<Impl>(std::move(config)))
{}

VetisSim::~VetisSim()
{
    stop();
    if (!m->tempFolder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(m->tempFolder, ec);
    }
}

bool VetisSim::start()
{
    if (m->running)
        return true;
#ifndef _WIN32
    // A client that hangs up mid-answer must not take the process down with it.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    {
        const std::lock_guard lock(m->mutex);
        if (!m->fixturesLoaded && !m->config.fixtures.fixturesDir.empty() &&
            m->store.loadFolder(m->config.fixtures.fixturesDir, &m->error) < 0)
            return false;
        m->fixturesLoaded = true;
    }
    if (m->config.https) {
        m->certPath = m->config.certFile;
        m->keyPath = m->config.keyFile;
        if (m->certPath.empty() || m->keyPath.empty()) {
            m->tempFolder = std::filesystem::temp_directory_path() / ("vetis-sim-" + freshUuid());
            std::error_code ec;
            std::filesystem::create_directories(m->tempFolder, ec);
            if (ec ||
                !writeSelfSignedCertificate(m->tempFolder.string(), m->certPath, m->keyPath, &m->error)) {
                if (m->error.empty())
                    m->error = "cannot create " + m->tempFolder.string();
                return false;
            }
        }
        m->server = std::make_unique<GuardedServer<httplib::SSLServer>>(m->config.limits, m->certPath.c_str(),
                                                                        m->keyPath.c_str());
    } else {
        m->server = std::make_unique<GuardedServer<httplib::Server>>(m->config.limits);
    }
    if (!m->server->is_valid()) {
        m->error = "the server cannot be set up (certificate or key unusable)";
        return false;
    }
    m->server->Post(R"(/platform/services/2\.1/[A-Za-z]+)",
                    [this](const httplib::Request& req, httplib::Response& res,
                           const httplib::ContentReader& reader) { m->handleService(req, res, reader); });
    m->server->Get(kPrintFormPath, [this](const httplib::Request& req, httplib::Response& res) {
        answerPrintForm(
            req, res,
            {[this](const std::string& a) { return m->authorized(a); }, m->mutex, m->store, m->log});
    });
    m->server->Post("/sim/control", [this](const httplib::Request& req, httplib::Response& res) {
        m->handleControl(req, res);
    });
    m->server->Get("/sim/received", [this](const httplib::Request& req, httplib::Response& res) {
        m->handleControl(req, res);
    });

    if (m->config.port == 0) {
        m->port = m->server->bind_to_any_port(m->config.host.c_str());
    } else {
        m->port = m->server->bind_to_port(m->config.host.c_str(), m->config.port) ? m->config.port : -1;
    }
    if (m->port <= 0) {
        m->error = "cannot listen on " + m->config.host + ":" + std::to_string(m->config.port);
        return false;
    }
    m->stop->reset();
    m->thread = std::thread([this] { m->server->listen_after_bind(); });
    // Requests sent before the accept loop runs would wait in the backlog anyway;
    // waiting here makes "started" mean "serving".
    for (int i = 0; i < 500 && !m->server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    m->running = true;
    return true;
}

void VetisSim::stop()
{
    if (!m->running)
        return;
    m->stop->raise();
    m->server->stop();
    if (m->thread.joinable())
        m->thread.join();
    m->running = false;
}

bool VetisSim::isRunning() const
{
    return m->running;
}

std::string VetisSim::errorString() const
{
    return m->error;
}

const SimConfig& VetisSim::config() const
{
    return m->config;
}

int VetisSim::port() const
{
    return m->port;
}

std::string VetisSim::baseUrl() const
{
    return std::string(m->config.https ? "https://" : "http://") + m->config.host + ":" +
           std::to_string(m->port);
}

std::string VetisSim::endpoint(const std::string& service) const
{
    return baseUrl() + "/platform/services/2.1/" + service;
}

std::string VetisSim::caCertificatePath() const
{
    return m->config.https ? m->certPath : std::string{};
}

void VetisSim::setPrefixStyle(PrefixStyle style)
{
    const std::lock_guard lock(m->mutex);
    m->config.prefixStyle = style;
}

void VetisSim::setCompletion(int inProcessAfterReceives, int completeAfterReceives)
{
    const std::lock_guard lock(m->mutex);
    m->config.inProcessAfterReceives = inProcessAfterReceives;
    m->config.completeAfterReceives = completeAfterReceives;
}

void VetisSim::setFaultOnOffsetOutOfRange(bool on)
{
    const std::lock_guard lock(m->mutex);
    m->config.faultOnOffsetOutOfRange = on;
}

void VetisSim::addFault(const FaultRule& rule)
{
    const std::lock_guard lock(m->mutex);
    m->faults.add(rule);
}

void VetisSim::clearFaults()
{
    const std::lock_guard lock(m->mutex);
    m->faults.clear();
}

void VetisSim::rejectVsd(const std::string& uuid, const std::string& code, const std::string& text)
{
    const std::lock_guard lock(m->mutex);
    m->applications.rejectVsd(uuid, {code, text});
}

std::vector<ReceivedRequest> VetisSim::received() const
{
    const std::lock_guard lock(m->mutex);
    return m->log.requests();
}

void VetisSim::clearReceived()
{
    const std::lock_guard lock(m->mutex);
    m->log.clear();
}

std::vector<ApplicationInfo> VetisSim::applications() const
{
    const std::lock_guard lock(m->mutex);
    return m->applications.applications();
}

void VetisSim::withFixtures(const std::function<void(FixtureStore&)>& action)
{
    const std::lock_guard lock(m->mutex);
    action(m->store);
}

std::string VetisSim::vsdStatus(const std::string& uuid) const
{
    const std::lock_guard lock(m->mutex);
    const XNode* vsd = m->store.vsd(uuid);
    return vsd ? vsd->textAt("vd:vetDStatus") : std::string{};
}

std::vector<std::string> VetisSim::vsdUuids() const
{
    const std::lock_guard lock(m->mutex);
    std::vector<std::string> out;
    for (const XNode& vsd : m->store.vsds())
        out.push_back(vsd.textAt("bs:uuid"));
    return out;
}

} // namespace vetissim
