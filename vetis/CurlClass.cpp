// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/CurlClass.h"

#include "store/RecordText.h"
#include "vetis/AsciiCase.h"
#include "vetis/CurlFileSink.h"
#include "vetis/CurlTrace.h"
#include "vetis/CurlTraceFilter.h"
#include "vetis/RequestRecord.h"

#include "platform/DebugOutput.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

namespace vetis {

namespace {

void initLibraryOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Where SendRequest collects an answer: in memory, up to a limit (0: none).
struct MemoryTarget
{
    std::string* buffer;
    std::size_t limit;
    bool exceeded = false;
};

std::size_t memorySink(char* data, std::size_t size, std::size_t count, void* userdata)
{
    auto* target = static_cast<MemoryTarget*>(userdata);
    if (!target || !target->buffer)
        return kCurlWriteError;
    const std::size_t bytes = size * count;
    if (target->limit != 0 && bytes > target->limit - std::min(target->limit, target->buffer->size())) {
        // Stops the transfer as soon as the answer passes the limit.
        target->exceeded = true;
        return kCurlWriteError;
    }
    try {
        target->buffer->append(data, bytes);
        return bytes;
    } catch (...) {
        return kCurlWriteError;
    }
}

std::size_t headerCallback(char* data, std::size_t size, std::size_t count, void* userdata)
{
    const std::size_t bytes = size * count;
    try {
        if (auto* self = static_cast<TCurlClass*>(userdata)) {
            std::string_view line(data, bytes);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                line.remove_suffix(1);
            self->OnHeaderLine(line);
        }
    } catch (...) {
        return kCurlWriteError;
    }
    return bytes;
}

int progressCallback(void* clientp, curl_off_t dltotal, curl_off_t dlnow, curl_off_t ultotal,
                     curl_off_t ulnow)
{
    auto* self = static_cast<TCurlClass*>(clientp);
    if (!self)
        return 0;
    try {
        if (self->cancelRequested())
            return 1;
        return self->OnProgress(double(dltotal), double(dlnow), double(ultotal), double(ulnow));
    } catch (...) {
        return 1;
    }
}

// FTP wildcard transfers: each matched object announces itself before its data.
long chunkBegin(const void* transferInfo, void* userdata, int)
{
    try {
        const auto* info = static_cast<const curl_fileinfo*>(transferInfo);
        auto* sink = static_cast<CurlFileSink*>(userdata);
        if (!info || !sink)
            return CURL_CHUNK_BGN_FUNC_SKIP;
        const std::string name = info->filename ? info->filename : "";
        switch (info->filetype) {
        case CURLFILETYPE_FILE:
            curlTrace("Coming: FILE " + name);
            sink->setMode(CurlFileSink::Mode::Create);
            if (!sink->open()) {
                curlTrace("CreateFile(" + sink->fileName().toStdString() + " error");
                return CURL_CHUNK_BGN_FUNC_SKIP;
            }
            return CURL_CHUNK_BGN_FUNC_OK;
        case CURLFILETYPE_DIRECTORY:
            curlTrace("Coming: DIR " + name);
            return CURL_CHUNK_BGN_FUNC_SKIP;
        default:
            curlTrace("Coming: object of type " + std::to_string(int(info->filetype)) + " " + name);
            return CURL_CHUNK_BGN_FUNC_SKIP;
        }
    } catch (...) {
        return CURL_CHUNK_BGN_FUNC_FAIL;
    }
}

long chunkEnd(void* userdata)
{
    if (auto* sink = static_cast<CurlFileSink*>(userdata)) {
        curlTrace("Downloaded: " + sink->fileName().toStdString());
        sink->close();
    }
    return CURL_CHUNK_END_FUNC_OK;
}

std::string schemeOf(std::string_view url)
{
    CurlUrlHandle parsed(curl_url());
    if (!parsed)
        return {};
    const std::string text(url);
    if (curl_url_set(parsed.get(), CURLUPART_URL, text.c_str(), CURLU_DEFAULT_SCHEME | CURLU_ALLOW_SPACE) !=
        CURLUE_OK)
        return {};
    char* scheme = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK || !scheme)
        return {};
    std::string out(scheme, std::min<std::size_t>(std::strlen(scheme), 20));
    curl_free(scheme);
    return out;
}

} // namespace

TCurlClass::TCurlClass() = default;

TCurlClass::~TCurlClass()
{
    Kill();
}

int TCurlClass::Init()
{
    Kill();
    initLibraryOnce();
    m_easy = curl_easy_init();
    m_url.reset(curl_url());
    if (!m_easy || !m_url) {
        Kill();
        return CURLE_FAILED_INIT;
    }
    return SetUserAgent("curl/8.1.2");
}

void TCurlClass::Kill()
{
    FreeHttpHeaders();
    if (m_easy)
        curl_easy_setopt(m_easy, CURLOPT_CONNECT_TO, static_cast<void*>(nullptr));
    m_connectTo.reset();
    if (m_easy) {
        curl_easy_cleanup(m_easy);
        m_easy = nullptr;
    }
    m_url.reset();
}

void TCurlClass::Reset()
{
    FreeHttpHeaders();
    if (m_url)
        curl_url_set(m_url.get(), CURLUPART_URL, nullptr, 0);
    if (m_easy)
        curl_easy_reset(m_easy);
}

std::string TCurlClass::StrError(int code) const
{
    return curl_easy_strerror(static_cast<CURLcode>(code));
}

int TCurlClass::ReadFile(std::string_view url, const QString& fileName, curl_xferinfo_callback progress)
{
    CurlFileSink sink(fileName, CurlFileSink::Mode::Create);
    CurlFileSink chunkSink(fileName, CurlFileSink::Mode::Create);
    int result = SetWriteTarget(curlFileSinkCreate, &sink);
    if (result == CURLE_OK)
        result = SetProgress(progress);
    if (result == CURLE_OK)
        result = SetUrl(url);
    const bool ftp = result == CURLE_OK && asciiUpper(schemeOf(url)) == "FTP";
    if (ftp) {
        result = SetOption(CURLOPT_CHUNK_BGN_FUNCTION, &chunkBegin);
        if (result == CURLE_OK)
            result = SetOption(CURLOPT_CHUNK_END_FUNCTION, &chunkEnd);
        if (result == CURLE_OK)
            result = SetOption(CURLOPT_CHUNK_DATA, static_cast<void*>(&chunkSink));
    }
    if (result == CURLE_OK)
        result = Perform();
    m_readFileTouched = sink.wasOpened() || chunkSink.wasOpened();
    // The sinks end with this call: libcurl must not keep pointers to them.
    // Clearing a pointer option of a live handle cannot fail, and the
    // transfer's result is the one the caller learns.
    static_cast<void>(SetOption(CURLOPT_WRITEDATA, static_cast<void*>(nullptr)));
    if (ftp)
        static_cast<void>(SetOption(CURLOPT_CHUNK_DATA, static_cast<void*>(nullptr)));
    return result;
}

int TCurlClass::OnProgress(double, double, double, double)
{
    return 0;
}

void TCurlClass::OnDebugInfo(std::string_view typeName, std::string_view text, int type)
{
    // The raw TLS data is noise at best and never goes to the trace.
    if (type == CURLINFO_SSL_DATA_IN || type == CURLINFO_SSL_DATA_OUT)
        return;
    if (tracesInfoType(type))
        curlTrace(store::clip(typeName), store::clip(text));
}

int TCurlClass::debugCallback(CURL*, curl_infotype type, char* data, std::size_t size, void* userptr)
{
    auto* self = static_cast<TCurlClass*>(userptr);
    if (!self)
        return 0;
    try {
        // The raw hook sees each piece as it came; the trace sees what the
        // filter lets through, masked, bodies only when asked for.
        const std::string_view piece(data, size);
        self->OnDebugData(int(type), piece);
        const bool body = type == CURLINFO_DATA_IN || type == CURLINFO_DATA_OUT;
        const bool wanted = self->tracesInfoType(int(type)) && (!body || platform::debugOutputBodies());
        self->m_traceFilter.take(int(type), piece, wanted, self->traceWriter());
    } catch (...) {
    }
    return 0;
}

CurlTraceFilter::Writer TCurlClass::traceWriter()
{
    return [this](int type, std::string_view text) { OnDebugInfo(infoTypeName(type), text, type); };
}

void TCurlClass::finishTrace()
{
    try {
        m_traceFilter.finish(traceWriter());
    } catch (...) {
    }
}

bool TCurlClass::tracesInfoType(int type) const
{
    return type >= 0 && type < 32 && (m_traceMask & (1u << type)) != 0;
}

void TCurlClass::OnDebugData(int, std::string_view) {}

void TCurlClass::OnHeaderLine(std::string_view) {}

int TCurlClass::SetUrl(std::string_view url)
{
    if (!m_url)
        return CURLE_FAILED_INIT;
    const std::string clipped(store::clip(url));
    curl_url_set(m_url.get(), CURLUPART_URL, nullptr, 0);
    const CURLUcode rc =
        curl_url_set(m_url.get(), CURLUPART_URL, clipped.c_str(), CURLU_DEFAULT_SCHEME | CURLU_ALLOW_SPACE);
    if (rc != CURLUE_OK) {
        trace("TCurlClass.SetUrl(" + clipped + ") error: " + curl_url_strerror(rc));
        return CURLE_URL_MALFORMAT;
    }
    // libcurl's default scheme is https; an address given without one is
    // fetched over plain http.
    if (clipped.find("://") == std::string::npos)
        curl_url_set(m_url.get(), CURLUPART_SCHEME, "http", 0);
    return SetOption(CURLOPT_CURLU, static_cast<void*>(m_url.get()));
}

int TCurlClass::SetUserAgent(std::string_view text)
{
    return SetOption(CURLOPT_USERAGENT, std::string(text).c_str());
}

int TCurlClass::SetUserPwd(std::string_view user, std::string_view password)
{
    const std::string_view login = store::clip(user);
    std::string pair;
    if (!login.empty())
        pair.append(login).append(":").append(store::clip(password));
    return SetOption(CURLOPT_USERPWD, pair.c_str());
}

int TCurlClass::SetPostFields(const std::string* body)
{
    if (!body) {
        trace("SetPostFields: NULL reference passed");
        return -1;
    }
    if (body->empty())
        return CURLE_OK;
    // libcurl copies the body, so the caller's buffer may go before the transfer.
    int result = SetOptionOffT(CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body->size()));
    if (result == CURLE_OK)
        result = m_easy ? curl_easy_setopt(m_easy, CURLOPT_COPYPOSTFIELDS, body->data())
                        : CURLE_BAD_FUNCTION_ARGUMENT;
    if (result == CURLE_OK)
        m_traceFilter.expectRequestBody(std::int64_t(body->size()));
    return result;
}

int TCurlClass::SetCustomRequest(std::string_view verb)
{
    const std::string clipped(store::clip(verb));
    return clipped.empty() ? CURLE_OK : SetOption(CURLOPT_CUSTOMREQUEST, clipped.c_str());
}

int TCurlClass::SetHttpGet(bool on)
{
    return SetOption(CURLOPT_HTTPGET, long(on));
}

int TCurlClass::SetFollowLocation(bool on)
{
    return SetOption(CURLOPT_FOLLOWLOCATION, long(on));
}

int TCurlClass::SetSSLVersion(long version)
{
    return SetOption(CURLOPT_SSLVERSION, version);
}

int TCurlClass::SetSSLVerifyPeer(bool on)
{
    return SetOption(CURLOPT_SSL_VERIFYPEER, long(on));
}

int TCurlClass::SetSSLVerifyHost(bool on)
{
    return SetOption(CURLOPT_SSL_VERIFYHOST, on ? 2L : 0L);
}

int TCurlClass::AddHttpHeader(const char* line)
{
    if (!line)
        return CURLE_BAD_FUNCTION_ARGUMENT;
    return m_headers.append(line) ? CURLE_OK : CURLE_OUT_OF_MEMORY;
}

int TCurlClass::ApplyHttpHeaders()
{
    return SetOption(CURLOPT_HTTPHEADER, static_cast<void*>(m_headers.get()));
}

void TCurlClass::FreeHttpHeaders()
{
    // libcurl must forget the list before it is freed.
    if (m_easy)
        curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, static_cast<void*>(nullptr));
    m_headers.reset();
}

int TCurlClass::SetConnectTo(const std::vector<std::string>& entries)
{
    if (m_easy)
        curl_easy_setopt(m_easy, CURLOPT_CONNECT_TO, static_cast<void*>(nullptr));
    m_connectTo.reset();
    for (const std::string& entry : entries)
        if (!m_connectTo.append(entry.c_str()))
            return CURLE_OUT_OF_MEMORY;
    return SetOption(CURLOPT_CONNECT_TO, static_cast<void*>(m_connectTo.get()));
}

int TCurlClass::SetWriteTarget(curl_write_callback function, void* data)
{
    int result = SetOption(CURLOPT_WRITEFUNCTION, function);
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_WRITEDATA, data);
    return result;
}

int TCurlClass::SetHeaderTarget(curl_write_callback function)
{
    int result = SetOption(CURLOPT_HEADERFUNCTION, function ? function : &headerCallback);
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_HEADERDATA, static_cast<void*>(this));
    return result;
}

int TCurlClass::ClearHeaderTarget()
{
    int result = SetOption(CURLOPT_HEADERFUNCTION, static_cast<curl_write_callback>(nullptr));
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_HEADERDATA, static_cast<void*>(nullptr));
    return result;
}

int TCurlClass::SetProgress(curl_xferinfo_callback function)
{
    int result = SetOption(CURLOPT_XFERINFOFUNCTION, function ? function : &progressCallback);
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_XFERINFODATA, static_cast<void*>(this));
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_NOPROGRESS, 0L);
    return result;
}

int TCurlClass::Perform()
{
    if (!m_easy)
        return CURLE_BAD_FUNCTION_ARGUMENT;
    // The trace and libcurl's error text are diagnostics: a transfer that
    // cannot have them still runs, and tells its result without them.
    static_cast<void>(SetOption(CURLOPT_DEBUGFUNCTION, &debugCallback));
    static_cast<void>(SetOption(CURLOPT_DEBUGDATA, static_cast<void*>(this)));
    static_cast<void>(SetOption(CURLOPT_VERBOSE, 1L));
    m_errorBuffer[0] = 0;
    static_cast<void>(SetOption(CURLOPT_ERRORBUFFER, static_cast<void*>(m_errorBuffer)));
    const CURLcode result = m_control ? performWatched() : curl_easy_perform(m_easy);
    finishTrace();
    static_cast<void>(SetOption(CURLOPT_ERRORBUFFER, static_cast<void*>(nullptr)));
    if (result != CURLE_OK && m_errorBuffer[0])
        trace(std::string("TCurlClass.Perform: ") + m_errorBuffer);
    return result;
}

int TCurlClass::SendRequest(std::string_view url, std::string* response, curl_xferinfo_callback progress)
{
    int result = CURLE_OK;
    MemoryTarget target{response, m_responseLimit};
    m_responseLimitExceeded = false;
    if (response)
        result = SetWriteTarget(&memorySink, &target);
    if (result == CURLE_OK)
        result = SetProgress(progress);
    if (result == CURLE_OK)
        result = SetUrl(url);
    if (result == CURLE_OK)
        result = Perform();
    // The answer ends with the caller; clearing the pointer to it cannot fail
    // on a live handle.
    if (response)
        static_cast<void>(SetOption(CURLOPT_WRITEDATA, static_cast<void*>(nullptr)));
    m_responseLimitExceeded = target.exceeded;
    return result;
}

long TCurlClass::GetResponseCode() const
{
    long code = 0;
    if (!m_easy || curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &code) != CURLE_OK)
        return 0;
    return code;
}

curl_off_t TCurlClass::GetInfoOffT(CURLINFO info) const
{
    curl_off_t value = 0;
    if (!m_easy || curl_easy_getinfo(m_easy, info, &value) != CURLE_OK)
        return 0;
    return value;
}

int TCurlClass::SetOption(CURLoption option, long value)
{
    return m_easy ? curl_easy_setopt(m_easy, option, value) : CURLE_BAD_FUNCTION_ARGUMENT;
}

int TCurlClass::SetOptionOffT(CURLoption option, curl_off_t value)
{
    return m_easy ? curl_easy_setopt(m_easy, option, value) : CURLE_BAD_FUNCTION_ARGUMENT;
}

int TCurlClass::SetOption(CURLoption option, const char* value)
{
    return m_easy ? curl_easy_setopt(m_easy, option, value) : CURLE_BAD_FUNCTION_ARGUMENT;
}

int TCurlClass::SetOption(CURLoption option, void* value)
{
    return m_easy ? curl_easy_setopt(m_easy, option, value) : CURLE_BAD_FUNCTION_ARGUMENT;
}

bool TCurlClass::cancelRequested() const
{
    return m_control && m_control->cancelRequested();
}

// A transfer with a control runs through a multi handle that wakes at least
// every 50 ms, so that a cancel is seen at once; libcurl's own progress calls
// come only about once a second while the server is silent.
CURLcode TCurlClass::performWatched()
{
    struct MultiDeleter
    {
        void operator()(CURLM* m) const { curl_multi_cleanup(m); }
    };
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), m_easy) != CURLM_OK)
        return curl_easy_perform(m_easy);
    CURLcode result = CURLE_OK;
    bool done = false;
    int running = 1;
    while (!done) {
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            result = CURLE_OUT_OF_MEMORY;
            break;
        }
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi.get(), &queued)) {
            if (msg->msg == CURLMSG_DONE) {
                result = msg->data.result;
                done = true;
            }
        }
        if (done || running == 0)
            break;
        if (cancelRequested()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        curl_multi_poll(multi.get(), nullptr, 0, 50, nullptr);
    }
    curl_multi_remove_handle(multi.get(), m_easy);
    return result;
}

std::string_view TCurlClass::infoTypeName(int type)
{
    static constexpr std::array<std::string_view, 7> kNames = {
        "TEXT", "HEADER_IN", "HEADER_OUT", "DATA_IN", "DATA_OUT", "SSL_DATA_IN", "SSL_DATA_OUT"};
    if (type < 0 || type >= int(kNames.size()))
        return "Unknown info type";
    return kNames[std::size_t(type)];
}

void TCurlClass::trace(std::string_view message)
{
    curlTrace(message);
}

} // namespace vetis
