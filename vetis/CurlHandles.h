// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <curl/curl.h>

#include <memory>

// Owners of the libcurl objects a transfer object keeps: the parsed URL and the
// list of request headers. Each frees its object exactly once.
namespace vetis {

struct CurlUrlDeleter
{
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using CurlUrlHandle = std::unique_ptr<CURLU, CurlUrlDeleter>;

// A curl_slist of request header lines. libcurl keeps only the pointer, so the
// list must outlive every transfer that uses it; the owner clears the option
// before freeing it.
class CurlHeaderList
{
public:
    CurlHeaderList() = default;
    ~CurlHeaderList() { reset(); }
    CurlHeaderList(const CurlHeaderList&) = delete;
    CurlHeaderList& operator=(const CurlHeaderList&) = delete;

    // False when libcurl could not copy the line (out of memory); the list is
    // then unchanged.
    [[nodiscard]] bool append(const char* line)
    {
        curl_slist* grown = curl_slist_append(m_list, line);
        if (!grown)
            return false;
        m_list = grown;
        return true;
    }
    curl_slist* get() const { return m_list; }
    bool empty() const { return m_list == nullptr; }
    void reset()
    {
        curl_slist_free_all(m_list);
        m_list = nullptr;
    }

private:
    curl_slist* m_list = nullptr;
};

} // namespace vetis
