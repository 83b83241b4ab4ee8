// tavleprint: Tavleplanner's jobs from the command line.
#include "cli/tavleprint.h"
#include "platform/fileio.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <iostream>
#include <optional>

int main(int argc, char **argv)
{
    platform::writeStandardStreamsAsBytes();
    std::vector<std::string> args(argv + 1, argv + argc);
    // Drawing and printing need a Qt application object (no window is ever shown); reading an
    // export file does not.
    std::optional<QGuiApplication> app;
    if (!args.empty() && cli::needsQtApplication(args[0])) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt wants a private runtime folder while the application object is made, and warns
        // when the session has none (a cron job, ssh): one is given for that moment only and
        // removed at once, so that a successful run writes nothing on stderr and a killed one
        // leaves no empty folder behind.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            QTemporaryDir runtimeDir(QDir::tempPath() + QStringLiteral("/tavleprint-XXXXXX"));
            if (runtimeDir.isValid())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
            app.emplace(argc, argv);
            qunsetenv("XDG_RUNTIME_DIR");
        } else {
            app.emplace(argc, argv);
        }
    }
    return cli::runTavleprint(args, std::cout, std::cerr);
}
