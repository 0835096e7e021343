#include "ScopedSettingsFolder.h"

#include <QSettings>

namespace {
QString &testFolderStore()
{
    static QString folder;
    return folder;
}
} // namespace

ScopedSettingsFolder::ScopedSettingsFolder(const QString &folder)
{
    use(folder);
}

ScopedSettingsFolder::~ScopedSettingsFolder()
{
    use(testFolderStore());
}

void ScopedSettingsFolder::setTestFolder(const QString &folder)
{
    testFolderStore() = folder;
    use(folder);
}

QString ScopedSettingsFolder::testFolder()
{
    return testFolderStore();
}

void ScopedSettingsFolder::use(const QString &folder)
{
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, folder);
}
