// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/CurlFileSink.h"

#include "vetis/CurlTrace.h"

#include <exception>
#include <string>
#include <utility>

namespace vetis {

namespace {

std::string nameOf(const QString& fileName)
{
    return fileName.toUtf8().toStdString();
}

std::size_t writeThrough(char* data, std::size_t size, std::size_t count, void* userdata,
                         CurlFileSink::Mode mode)
{
    const std::size_t bytes = size * count;
    auto* sink = static_cast<CurlFileSink*>(userdata);
    if (!sink)
        return bytes;
    try {
        if (!sink->isOpen())
            sink->setMode(mode);
        return sink->write(data, bytes) ? bytes : kCurlWriteError;
    } catch (...) {
        return kCurlWriteError;
    }
}

} // namespace

CurlFileSink::CurlFileSink(QString fileName, Mode mode)
    : m_fileName(std::move(fileName))
    , m_mode(mode)
    , m_file(m_fileName)
{}

CurlFileSink::~CurlFileSink()
{
    close();
}

bool CurlFileSink::open()
{
    if (m_file.isOpen())
        return true;
    // Unbuffered: a failing write is reported by the write that failed, not by a
    // later flush that libcurl can no longer be told about.
    QIODevice::OpenMode flags = QIODevice::WriteOnly | QIODevice::Unbuffered;
    flags |= m_mode == Mode::Append ? QIODevice::Append : QIODevice::Truncate;
    if (!m_file.open(flags)) {
        curlTrace("CreateFile(" + nameOf(m_fileName) + ") error");
        return false;
    }
    if (m_mode == Mode::Append && m_file.pos() != m_file.size() && !m_file.seek(m_file.size())) {
        curlTrace("SetFilePointer(" + nameOf(m_fileName) + ") error: Unable to seek to EOF.");
        m_file.close();
        return false;
    }
    m_written = 0;
    m_wasOpened = true;
    return true;
}

bool CurlFileSink::write(const char* data, std::size_t size)
{
    if (!open())
        return false;
    const qint64 done = m_file.write(data, static_cast<qint64>(size));
    if (done != static_cast<qint64>(size)) {
        curlTrace("WriteFile(" + nameOf(m_fileName) + ") error " + std::to_string(int(m_file.error())) +
                  " (" + m_file.errorString().toStdString() + ")");
        return false;
    }
    m_written += done;
    return true;
}

bool CurlFileSink::truncate()
{
    if (!open())
        return false;
    if (!m_file.resize(0) || !m_file.seek(0)) {
        curlTrace("SetFilePointer(" + nameOf(m_fileName) + ") error: Unable to truncate.");
        return false;
    }
    m_written = 0;
    return true;
}

void CurlFileSink::close()
{
    if (!m_file.isOpen())
        return;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        curlTrace("CloseHandle failed, win error " + std::to_string(int(m_file.error())));
    m_file.unsetError();
    m_written = 0;
}

std::size_t curlFileSinkCreate(char* data, std::size_t size, std::size_t count, void* sink)
{
    return writeThrough(data, size, count, sink, CurlFileSink::Mode::Create);
}

std::size_t curlFileSinkAppend(char* data, std::size_t size, std::size_t count, void* sink)
{
    return writeThrough(data, size, count, sink, CurlFileSink::Mode::Append);
}

} // namespace vetis
