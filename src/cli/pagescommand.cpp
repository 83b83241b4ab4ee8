#include "cli/pagescommand.h"

#include "cli/tavleprint.h"
#include "output/brprinter.h"
#include "platform/cp1252.h"
#include "platform/exitcodes.h"

#include <exception>
#include <sstream>

namespace cli {

int runPagesCommand(const std::string &path, std::ostream &out, std::ostream &err)
{
    // Everything is gathered first, so that a page that cannot be read leaves no half listing.
    std::ostringstream listing;
    try {
        output::TBRPrinter printer;
        printer.LoadPages(path);
        const int pages = printer.PageNumber();
        listing << pages << '\n';
        for (int n = 1; n <= pages; ++n) {
            const std::unique_ptr<platform::TMetafile> page = printer.GetPage(n);
            listing << "page " << n << '\n';
            if (!page)
                continue;
            for (const std::string &text : page->texts())
                listing << "  " << platform::cp1252ToUtf8(text) << '\n';
        }
    } catch (const std::exception &e) {
        err << "tavleprint: " << path << ": " << fileProblem(e) << '\n';
        return platform::ExitCode::Failure;
    }
    out << listing.str();
    return platform::ExitCode::Success;
}

} // namespace cli
