#include "output/pagesearch.h"

#include "platform/cp1252.h"
#include "platform/emf/emfdevicecontext.h"
#include "platform/fontmetrics.h"
#include "platform/textrun.h"
#include "platform/units.h"

#include <QCoreApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace output {

namespace {

std::atomic<bool> searchRunning{false};
std::mutex probeMutex;
std::function<void()> searchProbe;

// Marks the process's one search as this caller's, waiting (and processing the thread's
// events) while another holds it.
class TSearchMark {
public:
    TSearchMark()
    {
        while (searchRunning.exchange(true, std::memory_order_acquire)) {
            if (QCoreApplication::instance() != nullptr)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    ~TSearchMark() { searchRunning.store(false, std::memory_order_release); }
    TSearchMark(const TSearchMark &) = delete;
    TSearchMark &operator=(const TSearchMark &) = delete;
};

// Walks the page's text records until one holds the needle. A character with no
// Windows-1252 form cannot be part of any needle: it splits the record's text.
class TTextFinder : public platform::EmfHandler {
public:
    TTextFinder(std::string_view needle, bool caseMatters)
        : needle_(needle), caseMatters_(caseMatters)
    {}
    void text(const platform::EmfText &t) override
    {
        if (found)
            return;
        segment_.clear();
        for (const char16_t unit : t.Text) {
            int byte = t.Wide ? platform::unicodeToCp1252(unit) : (unit & 0xFF);
            if (byte < 0) {
                check();
                segment_.clear();
                continue;
            }
            if (!caseMatters_)
                byte = platform::cp1252Upper(static_cast<unsigned char>(byte));
            segment_ += static_cast<char>(byte);
        }
        check();
    }
    bool found = false;

private:
    void check()
    {
        if (!found && segment_.size() >= needle_.size() &&
            std::string_view(segment_).find(needle_) != std::string_view::npos)
            found = true;
    }

    std::string_view needle_;
    bool caseMatters_;
    std::string segment_;
};

// The text records as the player sets them, with the boxes of the needle's occurrences. A
// character without a Windows-1252 form holds no part of a needle.
class TTextBoxes : public platform::EmfDeviceContext {
public:
    TTextBoxes(std::string_view needle, bool caseMatters)
        : needle_(needle), caseMatters_(caseMatters)
    {}
    void text(const platform::EmfText &t) override
    {
        using namespace platform;
        std::string line;
        for (const char16_t unit : t.Text) {
            const int byte = t.Wide ? unicodeToCp1252(unit) : (unit & 0xFF);
            line += byte < 0 ? '\0' : static_cast<char>(byte);
        }
        std::string seen = caseMatters_ ? line : cp1252UpperCase(line);
        std::size_t at = seen.find(needle_);
        if (at == std::string::npos)
            return;
        for (char &c : line)
            if (c == '\0')
                c = '?';
        // The font and the placement the player gives the record, on the page's own pixels.
        const int points = std::max(1, static_cast<int>(std::lround(fontPagePoints())));
        const FontMetrics &metrics = fontMetrics(state_.font.style, emPixels(points, screenDpi));
        const QPointF anchor = mapping_.logicalToPage().map(QPointF(t.X, t.Y));
        const QPointF topLeft =
            placeRun(anchor, metrics.width(line), metrics, horizontalAlign(), verticalAlign());
        while (at != std::string::npos) {
            const qreal left = metrics.width(std::string_view(line).substr(0, at));
            const qreal width = metrics.width(std::string_view(line).substr(at, needle_.size()));
            Boxes.emplace_back(topLeft.x() + left, topLeft.y(), width, metrics.height());
            at = seen.find(needle_, at + needle_.size());
        }
    }
    std::vector<QRectF> Boxes;

private:
    std::string needle_;
    bool caseMatters_;
};

} // namespace

std::vector<QRectF> TextHitBoxes(std::string_view text, const platform::TMetafile &page,
                                 bool caseMatters)
{
    if (text.empty())
        return {};
    TTextBoxes boxes(caseMatters ? std::string(text) : platform::cp1252UpperCase(text),
                     caseMatters);
    page.walk(boxes);
    return std::move(boxes.Boxes);
}

void SetPageSearchProbe(std::function<void()> probe)
{
    const std::lock_guard lock(probeMutex);
    searchProbe = std::move(probe);
}

bool PageContainsText(std::string_view text, const platform::TMetafile &page, bool caseMatters)
{
    const TSearchMark mark;
    {
        const std::lock_guard lock(probeMutex);
        if (searchProbe)
            searchProbe();
    }
    if (text.empty())
        return false;
    const std::string needle = caseMatters ? std::string(text) : platform::cp1252UpperCase(text);
    TTextFinder finder(needle, caseMatters);
    page.walk(finder);
    return finder.found;
}

} // namespace output
