// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

// A fresh temporary folder that is removed with the object; path ends with '/'.
class TempFolder
{
public:
    TempFolder();
    QString path() const;
    QString file(const QString& name) const { return path() + name; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// The folder of ../shared (schemas, samples) as seen by the tests.
QString sharedFolder();
// The source tree root.
QString sourceFolder();

} // namespace testsupport
