#pragma once
// Keeps child widgets at fixed distances from the edges of their form as it is resized: a
// control anchored left and right stretches with the width, one anchored only at the bottom
// moves with the bottom edge, and so on.

#include <QFlags>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <vector>

namespace app {

enum class Anchor { Left = 1, Top = 2, Right = 4, Bottom = 8 };
Q_DECLARE_FLAGS(AnchorSet, Anchor)
Q_DECLARE_OPERATORS_FOR_FLAGS(AnchorSet)

class Anchors {
public:
    // `designSize` is the client size the controls' geometry was laid out for.
    explicit Anchors(QSize designSize) : designSize_(designSize) {}

    void add(QWidget *control, AnchorSet anchors);
    // Re-places every control for a client area of `size`.
    void apply(QSize size) const;

private:
    struct Entry {
        QWidget *control;
        QRect design;
        AnchorSet anchors;
    };
    QSize designSize_;
    std::vector<Entry> entries_;
};

} // namespace app
