// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/RequestCodes.h"

#include <array>
#include <cstdint>

namespace responses {
class ResponseList;
}

// The record that describes one VetIS.API call and receives its results. The
// caller clears it, fills the operation and its parameters and calls Exchange;
// the exchange and the response walker fill the result fields. Texts are
// Windows-1251 bytes: text(n) fields are blank padded, the P1..P7, LTID,
// ISSUEDATE, APPSTATUS and ROWTAG fields are zero-terminated.
namespace vetis {

// Where a transfer reports its progress and learns that the user cancelled it.
// Implemented by the runner that runs the exchange for a window (it passes
// both on to the window's thread) or by the CLI; every call comes on the
// thread that runs the exchange.
class TransferControl
{
public:
    virtual ~TransferControl() = default;
    // 0..100 when the size is known; otherwise a wrapping count.
    virtual void setProgress(int value) = 0;
    // Polled during the transfer; true aborts it.
    virtual bool cancelRequested() const { return false; }
};

constexpr int kResponseListCount = 15;

struct RequestRecord
{
    std::uint8_t VREQUEST = 0;   // operation code (RequestCode)
    std::int32_t COUNT = 0;      // list option: rows asked for
    std::int32_t OFFSET = 0;     // list option: rows to skip
    std::uint16_t INDICATOR = 0; // number of the caller's progress control, 0 for none
    std::uint8_t FLAGLUCK = 0;   // 1 when the exchange succeeded
    char VETISGUID[36];          // entity whose settings are used
    std::int32_t RCODE = 0;      // HTTP status, 0 when none
    std::int32_t RLOAD = 0;      // rows written by the walker
    std::int32_t ROFFSET = 0;    // paging values of the answer
    std::int32_t RCOUNT = 0;
    std::int32_t RTOTAL = 0;
    char GUID[36];
    char UUID[36];
    char P1[121];
    char P2[121];
    char P3[121];
    char P4[121];
    char P5[121];
    char P6[121];
    char P7[121];
    std::int32_t DATE1 = 0; // day numbers, 0 for none
    std::int32_t DATE2 = 0;
    char LTID[31];
    char ISSUEDATE[31];
    char APPID[36];
    char APPSTATUS[21];
    char APPERROR[255];
    char ROWTAG[121];
    std::array<responses::ResponseList*, kResponseListCount> lists{};

    // Progress and cancel of the transfer; null for none.
    TransferControl* control = nullptr;

    RequestRecord() { clear(); }
    // The operation code as the enumeration; it may be a number the catalogue
    // does not know (isKnownOperation).
    RequestCode requestCode() const { return static_cast<RequestCode>(VREQUEST); }
    void setRequestCode(RequestCode code) { VREQUEST = static_cast<std::uint8_t>(code); }
    // Numbers 0, texts blank (zero-terminated texts empty), references null.
    void clear();
};

} // namespace vetis
