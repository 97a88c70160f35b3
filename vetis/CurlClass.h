// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/CurlHandles.h"
#include "vetis/CurlTraceFilter.h"

#include <QString>

#include <curl/curl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vetis {

class TransferControl;

// One libcurl easy handle with everything a transfer of the program needs: the
// parsed URL, the request headers and the trace. An
// object lives for one call: created, Init, configured, one transfer (or the
// probe and ranged parts of a download), destroyed. Operations return the
// libcurl result code (0 = success); 3 also stands for a URL that cannot be
// parsed, -1 for a missing request body. The class never shows a dialog: it
// writes trace lines, and its callers decide what the user sees.
class TCurlClass
{
public:
    TCurlClass();
    virtual ~TCurlClass();
    TCurlClass(const TCurlClass&) = delete;
    TCurlClass& operator=(const TCurlClass&) = delete;

    // --- overridable operations ---
    // A fresh easy handle and URL; 0, or CURLE_FAILED_INIT when libcurl has none.
    [[nodiscard]] virtual int Init();
    virtual void Kill();
    virtual void Reset();
    // libcurl's text of a result code.
    virtual std::string StrError(int code) const;
    // Plain download of url into fileName (created or emptied).
    [[nodiscard]] virtual int ReadFile(std::string_view url, const QString& fileName,
                                       curl_xferinfo_callback progress = nullptr);
    // Progress of the running transfer; a non-zero result aborts it.
    [[nodiscard]] virtual int OnProgress(double downloadTotal, double downloaded, double uploadTotal,
                                         double uploaded);
    // The trace of a transfer: every piece of libcurl's debug information
    // reaches OnDebugData as it came. OnDebugInfo gets what the trace may show
    // (CurlTraceFilter): texts and headers with the credentials masked, bodies
    // masked whole and only when bodies are asked for
    // (platform::debugOutputBodies), never the raw TLS data; it writes the
    // line when the trace mask lets the info type through.
    virtual void OnDebugInfo(std::string_view typeName, std::string_view text, int type);
    virtual void OnDebugData(int type, std::string_view data);
    // One response header line, without its line end.
    virtual void OnHeaderLine(std::string_view line);

    // --- options ---
    [[nodiscard]] int SetUrl(std::string_view url);
    [[nodiscard]] int SetUserAgent(std::string_view text);
    [[nodiscard]] int SetUserPwd(std::string_view user, std::string_view password);
    // Null: no body to send (-1); empty: nothing is set (0).
    [[nodiscard]] int SetPostFields(const std::string* body);
    [[nodiscard]] int SetCustomRequest(std::string_view verb);
    [[nodiscard]] int SetHttpGet(bool on);
    [[nodiscard]] int SetFollowLocation(bool on);
    [[nodiscard]] int SetSSLVersion(long version);
    [[nodiscard]] int SetSSLVerifyPeer(bool on);
    [[nodiscard]] int SetSSLVerifyHost(bool on);
    [[nodiscard]] int AddHttpHeader(const char* line);
    [[nodiscard]] int ApplyHttpHeaders();
    void FreeHttpHeaders();
    // Connects to another host and port than the URL names ("HOST:PORT:CONNECT-HOST:CONNECT-PORT"
    // entries), while the request keeps the URL's host name: the tests reach
    // the test endpoint set through the VetIS test double on loopback this way.
    [[nodiscard]] int SetConnectTo(const std::vector<std::string>& entries);
    [[nodiscard]] int SetWriteTarget(curl_write_callback function, void* data);
    // The object's own header callback (OnHeaderLine) when none is given.
    [[nodiscard]] int SetHeaderTarget(curl_write_callback function = nullptr);
    [[nodiscard]] int ClearHeaderTarget();
    // The object's own progress callback (OnProgress, cancellation) when none is given.
    [[nodiscard]] int SetProgress(curl_xferinfo_callback function = nullptr);

    // --- transfer ---
    // Runs the configured transfer with the trace on.
    [[nodiscard]] int Perform();
    // Collects the answer into response (when given), then SetProgress, SetUrl, Perform.
    [[nodiscard]] int SendRequest(std::string_view url, std::string* response,
                                  curl_xferinfo_callback progress = nullptr);
    long GetResponseCode() const;
    curl_off_t GetInfoOffT(CURLINFO info) const;

    [[nodiscard]] int SetOption(CURLoption option, long value);
    [[nodiscard]] int SetOptionOffT(CURLoption option, curl_off_t value);
    [[nodiscard]] int SetOption(CURLoption option, const char* value);
    [[nodiscard]] int SetOption(CURLoption option, void* value);
    template <typename Function>
    requires std::is_function_v<Function>
    [[nodiscard]] int SetOption(CURLoption option, Function* function)
    {
        return m_easy ? curl_easy_setopt(m_easy, option, function) : CURLE_BAD_FUNCTION_ARGUMENT;
    }

    // --- state ---
    CURL* handle() const { return m_easy; }
    std::uint32_t traceMask() const { return m_traceMask; }
    void setTraceMask(std::uint32_t mask) { m_traceMask = mask; }
    // True when the trace mask lets lines of the libcurl info type through.
    bool tracesInfoType(int type) const;
    // Polled by the object's progress callback: a cancel request aborts the
    // transfer with CURLE_ABORTED_BY_CALLBACK.
    void setTransferControl(TransferControl* control) { m_control = control; }
    TransferControl* transferControl() const { return m_control; }
    bool cancelRequested() const;
    // True when the last ReadFile created or emptied its file.
    bool readFileTouchedTarget() const { return m_readFileTouched; }
    // The longest answer SendRequest collects (0: no limit): the transfer
    // stops as soon as the answer passes it (CURLE_WRITE_ERROR), and
    // responseLimitExceeded() tells so afterwards.
    void setResponseLimit(std::size_t bytes) { m_responseLimit = bytes; }
    bool responseLimitExceeded() const { return m_responseLimitExceeded; }

    // Name of a libcurl info type in trace lines ("TEXT", "HEADER_IN", ...).
    static std::string_view infoTypeName(int type);

protected:
    // Diagnostics of the class itself: "[libcurl] " + message.
    static void trace(std::string_view message);

private:
    [[nodiscard]] CURLcode performWatched();
    static int debugCallback(CURL*, curl_infotype type, char* data, std::size_t size, void* userptr);
    CurlTraceFilter::Writer traceWriter();
    // Writes what the trace still holds of the transfer that just ended.
    void finishTrace();

    CURL* m_easy = nullptr;
    CurlUrlHandle m_url;
    std::uint32_t m_traceMask = 255;
    CurlHeaderList m_headers;
    CurlHeaderList m_connectTo;
    TransferControl* m_control = nullptr;
    bool m_readFileTouched = false;
    CurlTraceFilter m_traceFilter;
    std::size_t m_responseLimit = 0;
    bool m_responseLimitExceeded = false;
    char m_errorBuffer[CURL_ERROR_SIZE] = {};
};

} // namespace vetis
