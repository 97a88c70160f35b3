// SPDX-License-Identifier: LicenseRef-Kestrom
#include "TestSupport.h"

#include <QDir>

namespace testsupport {

TempFolder::TempFolder()
    : m_dir(std::make_unique<QTemporaryDir>())
{}

QString TempFolder::path() const
{
    return m_dir->path() + u'/';
}

namespace {
// The environment of CTest, else the folders the tests were built from, so
// that a test executable started by hand finds its data too.
QString folderFrom(const char* variable, const char* builtIn)
{
    QByteArray value = qgetenv(variable);
    if (value.isEmpty())
        value = builtIn;
    return QDir::cleanPath(QString::fromLocal8Bit(value)) + u'/';
}
} // namespace

QString sharedFolder()
{
    return folderFrom("ZANVO_SHARED_DIR", ZANVO_TEST_SOURCE_DIR "/../shared");
}

QString sourceFolder()
{
    return folderFrom("ZANVO_SOURCE_DIR", ZANVO_TEST_SOURCE_DIR);
}

} // namespace testsupport
