// tavleprint: Tavleplanner's jobs from the command line.
#include "cli/tavleprint.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <iostream>
#include <optional>

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // Drawing and printing need a Qt application object (no window is ever shown); reading an
    // export file does not.
    std::optional<QGuiApplication> app;
    // Qt wants a private runtime folder and warns when the session has none (a cron job, ssh):
    // give it one for this run, so that a successful run writes nothing on stderr.
    std::optional<QTemporaryDir> runtimeDir;
    if (!args.empty() && cli::needsQtApplication(args[0])) {
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtimeDir.emplace();
            if (runtimeDir->isValid())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir->path()));
        }
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app.emplace(argc, argv);
    }
    return cli::runTavleprint(args, std::cout, std::cerr);
}
