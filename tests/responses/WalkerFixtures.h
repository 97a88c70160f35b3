// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ReferenceLists.h"
#include "responses/ResponseWalker.h"
#include "responses/VsdContentsLists.h"
#include "responses/VsdList.h"
#include "store/RecordText.h"
#include "support/TestSupport.h"
#include "vetis/RequestRecord.h"

#include <QFile>

#include <string>
#include <string_view>

// Answers and list sets shared by the walker tests.
namespace walkertest {

// A sample message of the shared folder; empty when it cannot be read.
inline std::string readSample(const char* name)
{
    QFile f(testsupport::sharedFolder() + QStringLiteral("/vetis-samples/") + QString::fromUtf8(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// A VSD list result with the usual prefixes; `documents` is the content of
// vd:vetDocumentList.
inline std::string vsdAnswer(std::string_view documents, std::string_view listAttributes = R"( count="1")")
{
    std::string s = R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/")"
                    R"( xmlns:apldef="http://api.vetrf.ru/schema/cdm/application/ws-definitions")"
                    R"( xmlns:apl="http://api.vetrf.ru/schema/cdm/application")"
                    R"( xmlns:merc="http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2")"
                    R"( xmlns:vd="http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2")"
                    R"( xmlns:dt="http://api.vetrf.ru/schema/cdm/dictionary/v2")"
                    R"( xmlns:bs="http://api.vetrf.ru/schema/cdm/base"><soapenv:Body>)"
                    R"(<apldef:receiveApplicationResultResponse><apl:application>)"
                    R"(<apl:status>COMPLETED</apl:status><apl:result><merc:getVetDocumentListResponse>)"
                    R"(<vd:vetDocumentList)";
    s += listAttributes;
    s += ">";
    s += documents;
    s += "</vd:vetDocumentList></merc:getVetDocumentListResponse></apl:result></apl:application>"
         "</apldef:receiveApplicationResultResponse></soapenv:Body></soapenv:Envelope>";
    return s;
}

// A dictionary answer: `items` inside a list element of the registry answer.
inline std::string registryAnswer(std::string_view items, std::string_view listElement = "dt:unitList",
                                  std::string_view listAttributes = "")
{
    std::string s =
        R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/"><soapenv:Body>)"
        R"(<ws:getUnitListResponse xmlns:ws="http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2")"
        R"( xmlns:bs="http://api.vetrf.ru/schema/cdm/base" xmlns:dt="http://api.vetrf.ru/schema/cdm/dictionary/v2">)";
    s += "<";
    s += listElement;
    s += listAttributes;
    s += ">";
    s += items;
    s += "</";
    s += listElement;
    s += "></ws:getUnitListResponse></soapenv:Body></soapenv:Envelope>";
    return s;
}

// The VSD list and its nine contents lists, bound to a request record.
struct VsdListSet
{
    responses::TypedList<responses::VsdRow> vsd;
    responses::TypedList<responses::RefDocRow> refDocs;
    responses::TypedList<responses::BatchIdRow> batchIds;
    responses::TypedList<responses::ProducerRow> producers;
    responses::TypedList<responses::PackageRow> packages;
    responses::TypedList<responses::ConditionRow> conditions;
    responses::TypedList<responses::LabResearchRow> research;
    responses::TypedList<responses::StatusChangeRow> statusChanges;
    responses::TypedList<responses::RoutePointRow> routePoints;
    responses::TypedList<responses::ImmunizationRow> immunizations;
    vetis::RequestRecord request;

    VsdListSet()
    {
        store::setZText(request.ROWTAG, "vd:vetDocument");
        request.lists = {&vsd,        &refDocs,  &batchIds,      &producers,   &packages,
                         &conditions, &research, &statusChanges, &routePoints, &immunizations,
                         nullptr,     nullptr,   nullptr,        nullptr,      nullptr};
    }
    int read(std::string_view answer) { return responses::ReadAnswer(answer, request).entries; }
    responses::ReadResult readResult(std::string_view answer)
    {
        return responses::ReadAnswer(answer, request);
    }
};

// One main list with its record element.
template <class Row>
struct SingleList
{
    responses::TypedList<Row> list;
    vetis::RequestRecord request;

    explicit SingleList(std::string_view rowTag)
    {
        store::setZText(request.ROWTAG, rowTag);
        request.lists[0] = &list;
    }
    int read(std::string_view answer) { return responses::ReadAnswer(answer, request).entries; }
    responses::ReadResult readResult(std::string_view answer)
    {
        return responses::ReadAnswer(answer, request);
    }
};

template <std::size_t N>
std::string_view z(const char (&field)[N])
{
    return store::ztextOf(field);
}
template <std::size_t N>
std::string_view t(const char (&field)[N])
{
    return store::textOf(field);
}

} // namespace walkertest
