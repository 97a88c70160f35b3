// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"
#include "store/RecordText.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <string>

// Helpers of the store's tests: a small table with every field type, reading
// raw file bytes, and running a piece of work in a child process.
namespace storetest {

#define ZANVO_TST_FIELDS(X)                                                                                  \
    X(CODE, "TST:CODE", Text, 10)                                                                            \
    X(NOTE, "TST:NOTE", ZText, 8)                                                                            \
    X(FLAG, "TST:FLAG", U8, 1)                                                                               \
    X(SMALL, "TST:SMALL", I16, 2)                                                                            \
    X(USMALL, "TST:USMALL", U16, 2)                                                                          \
    X(NUMBER, "TST:NUMBER", I32, 4)                                                                          \
    X(AMOUNT, "TST:AMOUNT", F64, 8)

#pragma pack(push, 1)
struct TypesRecord
{
    ZANVO_TST_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

// t_Types in "Base/tt01.dat": TST:BYCODE unique on CODE; TST:BYNUMBER allows
// duplicates of NUMBER; TST:BYFLAG unique on FLAG, NOTE, CODE.
const store::TableDef& typesTable();
// The same fields as a process-wide in-memory table of its own ("TstShared").
const store::TableDef& sharedTypesTable();
// The same table under another field dictionary (NOTE is one byte wider), in
// the same file: what an older or newer program would have written.
const store::TableDef& typesTableOtherLayout();

QByteArray fileBytes(const QString& path);
bool writeFileBytes(const QString& path, const QByteArray& bytes);

// Runs `work` in a forked child and returns its exit code, or 128 + signal
// when it died of a signal. `work` must not return into the test framework.
int runInChild(const std::function<int()>& work);

// Drops root rights in a forked child, so that folder permissions apply.
void dropRootRights();

} // namespace storetest
