#pragma once

#include <QString>

// The program's settings kept in another folder for the life of the object, then in the test
// program's own folder again (the one the test main chose), so no later test reads what this one
// left.
class ScopedSettingsFolder {
public:
    explicit ScopedSettingsFolder(const QString &folder);
    ~ScopedSettingsFolder();
    ScopedSettingsFolder(const ScopedSettingsFolder &) = delete;
    ScopedSettingsFolder &operator=(const ScopedSettingsFolder &) = delete;

    // Keeps the settings of every scope's end in folder; called once by the test main.
    static void setTestFolder(const QString &folder);
    static QString testFolder();

private:
    static void use(const QString &folder);
};
