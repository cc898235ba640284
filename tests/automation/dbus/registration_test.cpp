// Registration tells the errno of the call that failed, so that the frame can say why.

#include "automation/dbus/dbusregistration.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vl {

TEST(Registration, ReportsTheErrnoOfTheFailingCall) {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    // A plain file where the data folder should be.
    const QString file = dir.path() + QStringLiteral("/plain");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    qputenv("XDG_DATA_HOME", file.toLocal8Bit());
    int error = 0;
    EXPECT_EQ(RegisterServer(QStringLiteral("/usr/bin/vorlane"), &error), 1);
    EXPECT_EQ(error, ENOTDIR);
    EXPECT_EQ(UnregisterServer(&error), 1);
    EXPECT_EQ(error, ENOTDIR);
    if (geteuid() != 0) {
        // A folder that cannot be written.
        const QString locked = dir.path() + QStringLiteral("/locked");
        ASSERT_TRUE(QDir().mkpath(locked));
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        qputenv("XDG_DATA_HOME", locked.toLocal8Bit());
        EXPECT_EQ(RegisterServer(QStringLiteral("/usr/bin/vorlane"), &error), 1);
        EXPECT_EQ(error, EACCES);
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    }
    // Written whole, then removed.
    const QString home = dir.path() + QStringLiteral("/data");
    qputenv("XDG_DATA_HOME", home.toLocal8Bit());
    EXPECT_EQ(RegisterServer(QStringLiteral("/usr/bin/vorlane"), &error), 0);
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(QFile::exists(ServiceFilePath()));
    EXPECT_EQ(UnregisterServer(&error), 0);
    EXPECT_FALSE(QFile::exists(ServiceFilePath()));
    if (saved.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", saved);
}

} // namespace vl
