// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ApplicationEnvelope.h"

#include "store/RecordText.h"
#include "store/tables/Vetis.h"
#include "vetis/EnvelopeWriter.h"
#include "vetis/RequestRecord.h"

namespace vetis {

namespace {
constexpr std::string_view kServiceId = "mercury-g2b.service:2.1";
}

void beginApplication(EnvelopeWriter& writer, const store::VetisRecord& settings,
                      const RequestRecord& request, bool withDictionary, std::string_view innerElement)
{
    if (withDictionary)
        writer.begin(EnvelopeHead::Application, {"dt"});
    else
        writer.begin(EnvelopeHead::Application);
    writer.open("apldef:submitApplicationRequest");
    writer.leafAsIs("apldef:apiKey", store::ztextOf(settings.APIKEY));
    writer.open("apl:application");
    writer.leaf("apl:serviceId", kServiceId);
    writer.leafAsIs("apl:issuerId", store::textOf(settings.GUID));
    writer.leafAsIs("apl:issueDate", store::ztextOf(request.ISSUEDATE));
    writer.open("apl:data");
    writer.open(innerElement);
    writer.leafAsIs("merc:localTransactionId", store::ztextOf(request.LTID));
    writer.open("merc:initiator");
    writer.leafAsIs("vd:login", store::ztextOf(settings.WEBLOGIN));
    writer.close("merc:initiator");
}

void endApplication(EnvelopeWriter& writer, std::string_view innerElement)
{
    writer.close(innerElement);
    writer.close("apl:data");
    writer.close("apl:application");
    writer.close("apldef:submitApplicationRequest");
    writer.end();
}

void writeReceiveRequest(std::string& out, const store::VetisRecord& settings, const RequestRecord& request)
{
    EnvelopeWriter writer(out, LineStyle::Multi);
    writer.begin(EnvelopeHead::Receive);
    writer.open("ws:receiveApplicationResultRequest");
    writer.leafAsIs("ws:apiKey", store::ztextOf(settings.APIKEY));
    writer.leafAsIs("ws:issuerId", store::textOf(settings.GUID));
    writer.leafAsIs("ws:applicationId", store::ztextOf(request.P1));
    writer.close("ws:receiveApplicationResultRequest");
    writer.end();
}

} // namespace vetis
