// Test entry point: a QApplication exists for the whole test program, so that widget,
// font and painting tests can run side by side with plain ones. Every test program keeps its
// settings and its record of the board in folders of its own, so that nothing kept leaks between
// tests or into the user's.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // What a test keeps in the user's settings stays with this test program.
    const QTemporaryDir settings;
    if (settings.isValid())
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    // The board a test's print records (tavle.sqlite) likewise.
    const QTemporaryDir data;
    if (data.isValid())
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
