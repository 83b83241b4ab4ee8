#pragma once
// What a print or a replay shows of itself while it runs. The page output knows only this
// interface: the application lends the window (the progress window) through a provider, so
// the engine opens no window of its own and the command-line tool shows none.

#include <functional>
#include <memory>

class QObject;

namespace output {

class TBRPrinter;

// Lives as long as the run it shows; receives the page output's progress messages as its
// client and cancels the page output when the user asks.
class TBRProgressView {
public:
    virtual ~TBRProgressView() = default;
};

// Makes the view of a run on `output`. It belongs to `owner`, the window that started the run
// (nullptr: none), so that a modal owner does not block it; it is shown when `show` is true.
using TBRProgressProvider =
    std::function<std::unique_ptr<TBRProgressView>(TBRPrinter &output, QObject *owner, bool show)>;

} // namespace output
