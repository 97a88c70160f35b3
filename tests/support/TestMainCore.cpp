// SPDX-License-Identifier: LicenseRef-Kestrom
// Test entry for folders without windows: a core application object, so that
// Qt facilities that need one (paths, settings, events) behave as in the program.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
