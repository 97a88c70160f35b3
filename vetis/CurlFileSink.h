// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

// The file a download writes into, handed to libcurl as write data. The file is
// opened on the first write: "create" truncates or creates it, "append" keeps
// what is there and writes after it. Failures are written as trace lines and
// make the write callback return an error, so libcurl aborts the transfer.
namespace vetis {

class CurlFileSink
{
public:
    enum class Mode
    {
        Create,
        Append
    };

    explicit CurlFileSink(QString fileName, Mode mode = Mode::Create);
    virtual ~CurlFileSink();
    CurlFileSink(const CurlFileSink&) = delete;
    CurlFileSink& operator=(const CurlFileSink&) = delete;

    const QString& fileName() const { return m_fileName; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }
    bool isOpen() const { return m_file.isOpen(); }
    // Bytes written since the file was opened; reset on close.
    std::int64_t bytesWritten() const { return m_written; }
    // True once the file has been opened (and so created or emptied).
    bool wasOpened() const { return m_wasOpened; }

    // Opens the file in the sink's mode unless it is open; false (with a trace
    // line) when it cannot be opened.
    [[nodiscard]] bool open();
    // Writes the bytes, opening the file first; false (with a trace line) on failure.
    [[nodiscard]] bool write(const char* data, std::size_t size);
    // Empties an open file and starts counting again (a server sent the whole
    // file where a part was asked for).
    [[nodiscard]] bool truncate();
    virtual void close();

private:
    QString m_fileName;
    Mode m_mode;
    QFile m_file;
    std::int64_t m_written = 0;
    bool m_wasOpened = false;
};

// What a write callback returns to make libcurl abort the transfer.
constexpr std::size_t kCurlWriteError = static_cast<std::size_t>(-1);

// libcurl write callbacks over a CurlFileSink (userdata). Without a sink the
// data is accepted and dropped. Both open the file in the mode they name.
std::size_t curlFileSinkCreate(char* data, std::size_t size, std::size_t count, void* sink);
std::size_t curlFileSinkAppend(char* data, std::size_t size, std::size_t count, void* sink);

} // namespace vetis
