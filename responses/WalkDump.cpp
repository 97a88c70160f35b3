// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/WalkDump.h"

#include "platform/CodePage.h"
#include "responses/FieldValue.h"
#include "responses/ListCatalogue.h"
#include "responses/ResponseWalker.h"
#include "responses/VsdContentsLists.h"
#include "store/RecordText.h"

#include <memory>
#include <vector>

namespace responses {

namespace {

void appendList(std::string& out, const ResponseList& list)
{
    const ListLayout& layout = list.layout();
    out += "# ";
    out += layout.name;
    out += '\n';
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        if (i)
            out += '\t';
        out += layout.fields[i].name;
    }
    out += '\n';
    for (std::size_t r = 0; r < list.count(); ++r) {
        for (std::size_t i = 0; i < layout.fields.size(); ++i) {
            if (i)
                out += '\t';
            const ResponseField& f = layout.fields[i];
            const std::string value = fieldText(list.row(r), f);
            if (store::isTextType(f.type))
                appendEscaped(out, platform::cp1251ToUtf8(store::clip(value)));
            else
                out += value;
        }
        out += '\n';
    }
}

} // namespace

WalkDumpResult walkDump(std::string_view kind, std::string_view answer, std::size_t maxBytes)
{
    WalkDumpResult result;
    const ListKind* k = findListKind(kind);
    if (!k)
        return result;
    result.knownKind = true;

    std::vector<std::unique_ptr<ResponseList>> lists;
    lists.push_back(std::make_unique<ResponseList>(*k->main));
    if (k->withVsdContents)
        for (int p = 1; p <= kContentsListCount; ++p)
            lists.push_back(std::make_unique<ResponseList>(contentsLayout(p)));

    vetis::RequestRecord request;
    store::setZText(request.ROWTAG, k->main->rowTag);
    for (std::size_t i = 0; i < lists.size(); ++i)
        request.lists[i] = lists[i].get();
    ReadResult read = ReadAnswer(answer, request, nullptr, maxBytes);
    result.result = read.entries;
    if (!read.ok()) {
        result.problem = std::move(read.description);
        return result;
    }

    result.text = "RLOAD=" + std::to_string(request.RLOAD) + " ROFFSET=" + std::to_string(request.ROFFSET) +
                  " RCOUNT=" + std::to_string(request.RCOUNT) + " RTOTAL=" + std::to_string(request.RTOTAL) +
                  "\n";
    for (const auto& list : lists)
        appendList(result.text, *list);
    return result;
}

void appendEscaped(std::string& out, std::string_view utf8)
{
    for (char c : utf8) {
        switch (c) {
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            out += c;
        }
    }
}

} // namespace responses
