#include "app/anchors.h"

namespace app {

void Anchors::add(QWidget *control, AnchorSet anchors)
{
    entries_.push_back({control, control->geometry(), anchors});
}

void Anchors::apply(QSize size) const
{
    const int dw = size.width() - designSize_.width();
    const int dh = size.height() - designSize_.height();
    for (const auto &e : entries_) {
        QRect r = e.design;
        const bool left = e.anchors.testFlag(Anchor::Left),
                   right = e.anchors.testFlag(Anchor::Right);
        const bool top = e.anchors.testFlag(Anchor::Top),
                   bottom = e.anchors.testFlag(Anchor::Bottom);
        if (left && right)
            r.setWidth(r.width() + dw);
        else if (right)
            r.moveLeft(r.left() + dw);
        if (top && bottom)
            r.setHeight(r.height() + dh);
        else if (bottom)
            r.moveTop(r.top() + dh);
        e.control->setGeometry(r);
    }
}

} // namespace app
