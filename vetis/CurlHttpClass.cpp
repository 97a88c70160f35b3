// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/CurlHttpClass.h"

#include "store/RecordText.h"
#include "vetis/AsciiCase.h"
#include "vetis/CurlFileSink.h"

#include <QFileInfo>

#include <algorithm>
#include <charconv>

namespace vetis {

namespace {

constexpr std::size_t kServerNameMax = 260;
constexpr std::size_t kUrlPathMax = 1024;
// A name that came from the network becomes a plain file name inside the
// caller's folder: no folder parts, no "." or "..", none of the characters
// Windows gives a meaning to (a colon would open an alternate data stream).
QString safeFileName(std::string_view raw)
{
    const std::size_t cut = raw.find_last_of("/\\");
    if (cut != std::string_view::npos)
        raw.remove_prefix(cut + 1);
    QString name = QString::fromUtf8(raw.data(), qsizetype(raw.size())).trimmed();
    for (QChar& c : name) {
        if (c.unicode() < 32 || QStringView(u":*?\"<>|").contains(c))
            c = u'_';
    }
    if (name == u"." || name == u"..")
        return {};
    return name;
}

// The ranged parts of a download are written here. A server that answers a
// range with the whole file (200) must not have it appended to what the file
// already holds, so the first write of each part looks at the status.
struct RangedTarget
{
    CurlFileSink* sink = nullptr;
    CURL* easy = nullptr;
    std::int64_t base = 0; // bytes the file held before this call wrote any
    bool statusChecked = false;

    std::int64_t fileSize() const { return base + sink->bytesWritten(); }
};

std::size_t rangedWrite(char* data, std::size_t size, std::size_t count, void* userdata)
{
    const std::size_t bytes = size * count;
    auto* target = static_cast<RangedTarget*>(userdata);
    if (!target || !target->sink)
        return bytes;
    try {
        if (!target->statusChecked) {
            target->statusChecked = true;
            long status = 0;
            curl_easy_getinfo(target->easy, CURLINFO_RESPONSE_CODE, &status);
            if (status == 200 && target->fileSize() > 0) {
                if (!target->sink->truncate())
                    return kCurlWriteError;
                target->base = 0;
            }
        }
        return target->sink->write(data, bytes) ? bytes : kCurlWriteError;
    } catch (...) {
        return kCurlWriteError;
    }
}

// The size of the whole file as a ranged answer gives it in its Content-Range
// header ("bytes */SIZE" for a range past the end, "bytes A-B/SIZE" for a
// part); -1 while no answer gave it.
struct RangeAnswer
{
    std::int64_t total = -1;
};

std::size_t rangeHeader(char* data, std::size_t size, std::size_t count, void* userdata)
{
    static constexpr std::string_view kName = "CONTENT-RANGE:";
    const std::size_t bytes = size * count;
    auto* answer = static_cast<RangeAnswer*>(userdata);
    const std::string_view line(data, bytes);
    if (!answer || !startsWithUpper(line, kName))
        return bytes;
    const std::size_t slash = line.rfind('/');
    if (slash == std::string_view::npos)
        return bytes;
    std::string_view digits = line.substr(slash + 1);
    while (!digits.empty() && (digits.back() == '\n' || digits.back() == '\r' || digits.back() == ' '))
        digits.remove_suffix(1);
    std::int64_t total = -1;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), total);
    if (ec == std::errc() && end == digits.data() + digits.size() && total >= 0)
        answer->total = total;
    return bytes;
}

std::string rangeText(std::int64_t start, std::int64_t chunkSize, std::int64_t expected)
{
    if (chunkSize <= 0 || start + chunkSize >= expected)
        return std::to_string(start) + "-";
    return std::to_string(start) + "-" + std::to_string(start + chunkSize - 1);
}

} // namespace

int TCurlHttpClass::Init()
{
    int result = TCurlClass::Init();
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_DEFAULT_PROTOCOL, "http");
    return result;
}

void TCurlHttpClass::OnHeaderLine(std::string_view line)
{
    if (!m_rangesAccepted && startsWithUpper(line, "ACCEPT-RANGES:"))
        m_rangesAccepted = true;
    if (m_serverFileName.empty() && startsWithUpper(line, "CONTENT-DISPOSITION:")) {
        const std::size_t at = asciiUpper(line).find("FILENAME=", 20);
        if (at == std::string::npos)
            return;
        std::string name(line.substr(at + 9, kServerNameMax));
        const std::size_t quote = name.rfind('"');
        if (quote != std::string::npos && quote >= 1)
            name = name.substr(1, quote - 1);
        m_serverFileName = std::string(store::clip(name));
    }
}

QString TCurlHttpClass::chooseTargetName(std::string_view url, const QString& target) const
{
    if (!target.trimmed().isEmpty() && !target.endsWith(u'\\') && !target.endsWith(u'/'))
        return target;
    QString folder = target;
    while (folder.endsWith(u' '))
        folder.chop(1);
    if (!m_serverFileName.empty()) {
        const QString name = safeFileName(m_serverFileName);
        return name.isEmpty() ? QString() : folder + name;
    }
    CurlUrlHandle parsed(curl_url());
    const std::string text(store::clip(url));
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, text.c_str(),
                                CURLU_DEFAULT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK)
        return {};
    char* rawPath = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_PATH, &rawPath, 0) != CURLUE_OK || !rawPath)
        return {};
    std::string path(rawPath);
    curl_free(rawPath);
    path.resize(std::min(path.size(), kUrlPathMax));
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    const QString name = safeFileName(std::string_view(path).substr(slash + 1));
    return name.isEmpty() ? QString() : folder + name;
}

int TCurlHttpClass::DownloadFile(std::string_view url, const QString& target, std::int64_t chunkSize,
                                 curl_xferinfo_callback progress, std::int64_t* bytesOut,
                                 std::int64_t* sizeOut, int retries, bool resume)
{
    QString name = target;
    return DownloadFile(url, &name, chunkSize, progress, bytesOut, sizeOut, retries, resume);
}

int TCurlHttpClass::DownloadFile(std::string_view url, QString* target, std::int64_t chunkSize,
                                 curl_xferinfo_callback progress, std::int64_t* bytesOut,
                                 std::int64_t* sizeOut, int retries, bool resume)
{
    static constexpr std::string_view kPrefix = "TCurlHttpClass.DownloadFile: ";
    if (bytesOut)
        *bytesOut = 0;
    if (sizeOut)
        *sizeOut = 0;
    m_rangesAccepted = false;
    m_serverFileName.clear();

    // Probe: the headers tell whether parts can be asked for and how big the file is.
    int result = SetProgress(progress);
    if (result == CURLE_OK)
        result = SetHeaderTarget();
    if (result == CURLE_OK)
        result = SetUrl(url);
    if (result == CURLE_OK)
        result = SetFollowLocation(true);
    // Without them the probe would fetch the whole file instead of its headers.
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_NOBODY, 1L);
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_FAILONERROR, 1L);
    if (result == CURLE_OK) {
        result = Perform();
        // A server that refuses HEAD (405) may still serve the file.
        if (result != CURLE_OK && GetResponseCode() == 405)
            result = CURLE_OK;
    }
    // On the way out the header callback is let go; the caller learns the
    // download's own result.
    if (result != CURLE_OK) {
        static_cast<void>(ClearHeaderTarget());
        return result;
    }

    const QString chosen = chooseTargetName(url, target ? *target : QString());
    if (chosen.trimmed().isEmpty()) {
        trace(std::string(kPrefix) + "Target filename is blank.");
        static_cast<void>(ClearHeaderTarget());
        return CURLE_URL_MALFORMAT;
    }
    if (target)
        *target = chosen;

    // The file itself is asked for with GET; a handle left asking for headers
    // only would write an empty file and call it done.
    result = SetOption(CURLOPT_NOBODY, 0L);
    if (result == CURLE_OK)
        result = SetHttpGet(true);
    const int cleared = ClearHeaderTarget();
    if (result == CURLE_OK)
        result = cleared;
    if (result != CURLE_OK)
        return result;

    if (!m_rangesAccepted) {
        trace(std::string(kPrefix) + "Accept-Ranges header is missing, continue with ReadFile.");
        return ReadFile(url, chosen, progress);
    }

    CurlFileSink sink(chosen, resume ? CurlFileSink::Mode::Append : CurlFileSink::Mode::Create);
    RangedTarget written{&sink, handle(), 0, false};
    // Every way out lets libcurl forget the sink and the header target, which
    // end with this call; clearing them cannot fail on a live handle, and the
    // download's own result is what the caller learns.
    const auto finish = [&](int code) {
        if (bytesOut)
            *bytesOut = sink.bytesWritten();
        sink.close();
        static_cast<void>(SetOption(CURLOPT_WRITEDATA, static_cast<void*>(nullptr)));
        static_cast<void>(ClearHeaderTarget());
        return code;
    };
    result = SetWriteTarget(&rangedWrite, &written);
    if (result != CURLE_OK)
        return finish(result);

    const std::int64_t probedSize = GetInfoOffT(CURLINFO_CONTENT_LENGTH_DOWNLOAD_T); // -1: not told
    const std::int64_t expected = std::max<std::int64_t>(probedSize, 0);
    if (sizeOut)
        *sizeOut = expected;
    if (resume)
        written.base = QFileInfo(chosen).isFile() ? QFileInfo(chosen).size() : 0;
    // The ranged answers' Content-Range tells the size of the file as the
    // server has it now.
    RangeAnswer rangeAnswer;
    result = SetOption(CURLOPT_HEADERFUNCTION, &rangeHeader);
    if (result == CURLE_OK)
        result = SetOption(CURLOPT_HEADERDATA, static_cast<void*>(&rangeAnswer));
    if (result != CURLE_OK)
        return finish(result);

    // Failed attempts in a row (refused, timed out, 400, 404) and parts that
    // brought nothing new; both end the download when they reach the retry count.
    const int limit = std::max(retries, 1);
    int attempts = 0;
    int idleParts = 0;
    int restarts = 0;
    for (;;) {
        // Each part starts where the file ends, so an attempt cut off midway is
        // continued, not written twice.
        const std::int64_t start = written.fileSize();
        // A part asked for without its range would bring the file from its
        // start again, behind what is written.
        result = SetOption(CURLOPT_RANGE, rangeText(start, chunkSize, expected).c_str());
        if (result != CURLE_OK)
            break;
        written.statusChecked = false;
        rangeAnswer.total = -1;
        result = Perform();
        const long status = GetResponseCode();
        if (result == CURLE_OK) {
            attempts = 0;
            if (status == 200)
                break;
            const bool grew = written.fileSize() > start;
            if (status == 206 && grew) {
                idleParts = 0;
                if (expected > 0 && written.fileSize() < expected)
                    continue;
                break;
            }
            if (++idleParts >= limit) {
                trace(std::string(kPrefix) + "HTTP unexpected status " + std::to_string(status) +
                      ", abort downloading");
                result = CURLE_RANGE_ERROR;
                break;
            }
            trace(std::string(kPrefix) + "HTTP unexpected status " + std::to_string(status) +
                  ", try again...");
            continue;
        }
        if (result == CURLE_ABORTED_BY_CALLBACK)
            break;
        if (result == CURLE_COULDNT_CONNECT || result == CURLE_OPERATION_TIMEDOUT) {
            if (++attempts >= limit)
                break;
            trace(std::string(kPrefix) + StrError(result) + ", try again...");
            continue;
        }
        if (status == 400 || status == 404) {
            if (++attempts >= limit)
                break;
            trace(std::string(kPrefix) + "HTTP error " + std::to_string(status) + ", try again...");
            continue;
        }
        if (status == 416) {
            // Nothing is left past the start: the file is complete only when it
            // is as big as the server's. A file of another size (an older or
            // another file, a part written twice) is fetched again from the
            // beginning, a bounded number of times.
            const std::int64_t serverSize = rangeAnswer.total >= 0 ? rangeAnswer.total : probedSize;
            if (serverSize >= 0 && written.fileSize() == serverSize) {
                result = CURLE_OK;
                break;
            }
            if (++restarts >= limit) {
                trace(std::string(kPrefix) + "HTTP error 416, the file does not match the server's, "
                                             "abort downloading");
                break;
            }
            trace(std::string(kPrefix) + "HTTP error 416, the file does not match the server's, "
                                         "download it again...");
            if (!sink.truncate()) {
                result = CURLE_WRITE_ERROR;
                break;
            }
            written.base = 0;
            continue;
        }
        trace(std::string(kPrefix) + (status <= 400 ? "HTTP unexpected error " : "HTTP fatal error ") +
              std::to_string(status) + ", abort downloading");
        break;
    }
    return finish(result);
}

} // namespace vetis
