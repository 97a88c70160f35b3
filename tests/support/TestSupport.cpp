// SPDX-License-Identifier: LicenseRef-Kestrom
#include "TestSupport.h"

#include <QDir>

namespace testsupport {

TempFolder::TempFolder()
    : m_dir(std::make_unique<QTemporaryDir>())
{
}

QString TempFolder::path() const
{
    return m_dir->path() + u'/';
}

QString sharedFolder()
{
    const QByteArray env = qgetenv("ZANVO_SHARED_DIR");
    return QDir::cleanPath(QString::fromLocal8Bit(env)) + u'/';
}

QString sourceFolder()
{
    const QByteArray env = qgetenv("ZANVO_SOURCE_DIR");
    return QDir::cleanPath(QString::fromLocal8Bit(env)) + u'/';
}

} // namespace testsupport
