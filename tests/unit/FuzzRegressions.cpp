// Every input the fuzz targets keep, run through their entry points in every build (and once more
// under the sanitizers in CI): the seed corpora made from the golden frames and files, and the
// cases of faults the fuzzers found. An input passes when the program survives it and every
// invariant the target checks holds.
#include "support/FuzzTargets.h"
#include "support/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(FuzzRegressions, EveryKeptInputPassesItsTarget)
{
    int inputs = 0;
    for (const char *kind : {"corpus", "regressions"}) {
        const QDir kept(QStringLiteral(RQX_FUZZ_DIR "/") + QLatin1String(kind));
        for (const QString &name : kept.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            const FuzzTarget *target = FindFuzzTarget(name);
            ASSERT_NE(target, nullptr) << "no fuzz target for " << kept.filePath(name).toStdString();
            const QDir folder(kept.filePath(name));
            for (const QString &file : folder.entryList(QDir::Files)) {
                QFile input(folder.filePath(file));
                ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << input.fileName().toStdString();
                const QByteArray bytes = input.readAll();
                FuzzInput fuzzInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                    static_cast<size_t>(bytes.size()));
                EXPECT_EQ(target->run(fuzzInput), QString()) << input.fileName().toStdString();
                ++inputs;
            }
        }
    }
    // Every target has its seeds.
    for (const FuzzTarget &target : FuzzTargets())
        EXPECT_FALSE(QDir(QStringLiteral(RQX_FUZZ_DIR "/corpus/") + QLatin1String(target.name))
                         .entryList(QDir::Files)
                         .isEmpty())
            << target.name;
    EXPECT_GT(inputs, static_cast<int>(FuzzTargets().size()));
}
