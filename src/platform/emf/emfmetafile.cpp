#include "platform/emf/emfmetafile.h"

#include "platform/cp1252.h"
#include "platform/emf/emfcanvasplayer.h"
#include "platform/emf/emfformat.h"
#include "platform/emf/emfplayer.h"
#include "platform/rounding.h"

#include <cmath>

namespace platform {

namespace {
int frameToPixels(long long hundredthsMm)
{
    return static_cast<int>(
        roundHalfEven(static_cast<long double>(hundredthsMm) * screenDpi / hundredthsMmPerInch));
}

// The page on its grid as its reference device holds it: the frame (inclusive, in hundredths of
// a millimetre) in whole pixels of the device. Width() and Height() are rounded to whole grid
// pixels; stretching those would move a page recorded at 300 dpi by up to a pixel across the
// paper, against what printing it directly gives.
QSizeF exactPageSize(const EmfHeader &header, int width, int height)
{
    const QTransform toPage = EmfMapping(header).deviceToPage();
    const auto exact = [](long long hundredthsMm, double pageScale, int rounded) {
        const double devicePixels = std::round(static_cast<double>(hundredthsMm) * screenDpi /
                                               pageScale / hundredthsMmPerInch);
        return devicePixels > 0 ? devicePixels * pageScale : rounded;
    };
    const TRect &frame = header.Frame;
    return {exact(static_cast<long long>(frame.Right) - frame.Left + 1, toPage.m11(), width),
            exact(static_cast<long long>(frame.Bottom) - frame.Top + 1, toPage.m22(), height)};
}
} // namespace

TMetafile::TMetafile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes))
{
    EmfHandler check; // the walk itself validates
    walkEmf(bytes_.data(), bytes_.size(), check);
    header_ = readEmfHeader(bytes_.data(), bytes_.size());
    bytes_.resize(header_.Bytes);
    width_ = frameToPixels(static_cast<long long>(header_.Frame.Right) - header_.Frame.Left);
    height_ = frameToPixels(static_cast<long long>(header_.Frame.Bottom) - header_.Frame.Top);
}

void TMetafile::walk(EmfHandler &handler) const { walkEmf(bytes_.data(), bytes_.size(), handler); }

void TMetafile::play(QPainter &painter, const QRectF &target) const
{
    EmfPlayer player(painter, target, exactPageSize(header_, width_, height_));
    walk(player);
}

void TMetafile::play(Canvas &canvas, const TRect &target) const
{
    EmfCanvasPlayer player(canvas, target, exactPageSize(header_, width_, height_));
    walk(player);
}

std::vector<std::string> TMetafile::texts() const
{
    EmfTextEnumerator enumerator;
    walk(enumerator);
    return std::move(enumerator.Texts);
}

void EmfTextEnumerator::text(const EmfText &t)
{
    Positions.push_back(mapping_.logicalToPage().map(QPointF(t.X, t.Y)));
    if (!t.Wide) {
        std::string bytes(t.Text.size(), '\0');
        for (std::size_t i = 0; i < t.Text.size(); ++i)
            bytes[i] = static_cast<char>(t.Text[i]);
        Texts.push_back(std::move(bytes));
        return;
    }
    Texts.push_back(fromQString(QString(reinterpret_cast<const QChar *>(t.Text.data()),
                                        static_cast<qsizetype>(t.Text.size()))));
}

} // namespace platform
