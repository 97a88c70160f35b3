// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace store {
class Session;
}
namespace vetis {
class TransferControl;
}

// The official print form of a VSD: Mercury's operator interface prints a VSD
// as a PDF document when given its UUID. The program downloads that document
// into a temporary file, which the window then hands to the program the
// desktop associates with PDF files.
namespace workspace {

// The PDF address of a VSD: the print-form base of the chosen endpoint set
// (MVS:TEST = 1 the test host, any other value production; an endpoint
// override of the process takes its place) + "?_language=ru&_action=
// printVetDocumentByUuid&uuid=" + the VSD UUID without trailing blanks. The
// UUID is percent-encoded, so a damaged one can add nothing to the query; a
// real UUID comes out as it is.
std::string printFormUrl(int testFlag, std::string_view vsdUuid);

// The messages of the print form (caption "У нас проблема !").
QString noAccessSettingsText(); // "Нет данных для доступа к системе Меркурий ..."
QString noVsdNumberText(); // "Нет данных о номере ВСД ..."
QString notPdfText();      // the download gave something that is not a PDF document

// Downloads the print form of the VSD `vsdUuid` (Windows-1251 bytes, as
// m_VSD keeps it) with the access settings of the own entity `ownEntityGuid`,
// read through `session` (a session of the calling thread that holds no
// transaction). Runs on the caller's thread from start to end, touches no
// widget and no event loop: the window calls it on its worker. The login and
// password go to the service as HTTP Basic authentication only; no message
// and no trace line carries them.
//
// Returns the full path of the downloaded PDF file in the temporary export
// folder (a new GUID + ".pdf"), or an empty text when there is none; the user
// has then been told why through the framework's message presenter of the
// calling thread, except for a cancel through `control`, which was his own
// doing, and for a failed transfer with MVS:ANSWER = 0. A download whose
// content is not a PDF document (the service answers a login page when the
// password is wrong) is deleted and reported.
QString downloadPrintForm(store::Session& session, std::string_view ownEntityGuid, std::string_view vsdUuid,
                          vetis::TransferControl* control = nullptr);

} // namespace workspace
