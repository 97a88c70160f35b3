// SPDX-License-Identifier: LicenseRef-Kestrom
#include "StoreTestSupport.h"

#include "store/DictionaryFingerprint.h"

#include <sys/wait.h>
#include <unistd.h>

namespace storetest {

namespace {
#define X(m, n, t, s) ZANVO_FIELD_DEF(TypesRecord, m, n, t, s)
constexpr store::FieldDef kFields[] = {ZANVO_TST_FIELDS(X)};
#undef X

constexpr store::KeyDef kKeys[] = {
    {"TST:BYCODE", "By code", true, true, 1, {0}},
    {"TST:BYNUMBER", "By number", false, false, 1, {5}},
    {"TST:BYFLAG", "By flag", true, false, 3, {2, 1, 0}},
};

constexpr std::uint64_t kLayouts[] = {
    store::dictionaryFingerprint("t_Types", store::Storage::File, kFields, kKeys),
};
constexpr std::uint64_t kSharedLayouts[] = {
    store::dictionaryFingerprint("t_Shared", store::Storage::SharedMemory, kFields, kKeys),
};

store::FieldDef otherFields[std::size(kFields)] = {};
std::uint64_t otherLayouts[1] = {};
} // namespace

const store::TableDef& typesTable()
{
    static constexpr store::TableDef def{"t_Types",           "TST",   "Base/tt01.dat", store::Storage::File,
                                         sizeof(TypesRecord), kFields, kKeys,           kLayouts};
    return def;
}

const store::TableDef& sharedTypesTable()
{
    static constexpr store::TableDef def{
        "t_Shared",          "TST",   "TstShared", store::Storage::SharedMemory,
        sizeof(TypesRecord), kFields, kKeys,       kSharedLayouts};
    return def;
}

const store::TableDef& typesTableOtherLayout()
{
    static const store::TableDef def = [] {
        for (std::size_t i = 0; i < std::size(kFields); ++i) {
            otherFields[i] = kFields[i];
            if (i > 1)
                otherFields[i].offset += 1;
        }
        otherFields[1].size += 1;
        // The same version as typesTable(), but other fields.
        otherLayouts[0] = store::dictionaryFingerprint("t_Types", store::Storage::File, otherFields, kKeys);
        return store::TableDef{
            "t_Types",   "TST", "Base/tt01.dat", store::Storage::File, sizeof(TypesRecord) + 1,
            otherFields, kKeys, otherLayouts};
    }();
    return def;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

int runInChild(const std::function<int()>& work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = work();
        } catch (...) {
        }
        _exit(code);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void dropRootRights()
{
    if (geteuid() == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(98);
    }
}

} // namespace storetest
