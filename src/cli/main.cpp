// tavleprint: Tavleplanner's jobs from the command line.
#include "cli/tavleprint.h"

#include <QGuiApplication>
#include <iostream>
#include <optional>

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // Drawing and printing need a Qt application object (no window is ever shown); reading an
    // export file does not.
    std::optional<QGuiApplication> app;
    if (!args.empty() && cli::needsQtApplication(args[0])) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app.emplace(argc, argv);
    }
    return cli::runTavleprint(args, std::cout, std::cerr);
}
