#include "output/pagestore/compress.h"

#include "output/brerror.h"

namespace output {

TBRCompress::TBRCompress(std::vector<std::uint8_t> &out)
    : compressing_(true), bitPosition_(0), out_(&out)
{
    initTree();
}

TBRCompress::TBRCompress(const std::uint8_t *in, std::size_t size)
    : compressing_(false), bitPosition_(7), in_(in), inSize_(size)
{
    initTree();
}

void TBRCompress::initTree()
{
    for (int i = 1; i <= nodeCount; ++i)
        up_[i] = static_cast<std::uint8_t>((i - 1) / 2);
    for (int i = 0; i < leafBase; ++i) {
        left_[i] = static_cast<std::uint16_t>(2 * i + 1);
        right_[i] = static_cast<std::uint16_t>(2 * i + 2);
    }
}

void TBRCompress::splay(std::uint8_t byte)
{
    int a = byte + leafBase;
    do {
        const int p = up_[a];
        if (p == 0) {
            a = 0;
        } else {
            const int g = up_[p];
            int s;
            if (left_[g] == p) {
                s = right_[g];
                right_[g] = static_cast<std::uint16_t>(a);
            } else {
                s = left_[g];
                left_[g] = static_cast<std::uint16_t>(a);
            }
            if (left_[p] == a)
                left_[p] = static_cast<std::uint16_t>(s);
            else
                right_[p] = static_cast<std::uint16_t>(s);
            up_[a] = static_cast<std::uint8_t>(g);
            up_[s] = static_cast<std::uint8_t>(p);
            a = g;
        }
    } while (a != 0);
}

void TBRCompress::Put(std::uint8_t byte)
{
    // The path from the leaf to the root, emitted root end first.
    bool path[nodeCount];
    int depth = 0;
    int a = byte + leafBase;
    do {
        const int p = up_[a];
        path[depth++] = right_[p] == a;
        a = p;
    } while (a != 0);
    while (depth > 0) {
        if (path[--depth])
            outByte_ |= static_cast<std::uint8_t>(1u << bitPosition_);
        if (bitPosition_ == 7) {
            out_->push_back(outByte_);
            bitPosition_ = 0;
            outByte_ = 0;
        } else {
            ++bitPosition_;
        }
    }
    splay(byte);
}

void TBRCompress::Close()
{
    if (compressing_ && bitPosition_ != 0) {
        out_->push_back(outByte_);
        bitPosition_ = 0;
        outByte_ = 0;
    }
}

std::uint8_t TBRCompress::Get()
{
    int node = 0;
    while (node < leafBase) {
        if (bitPosition_ == 7) {
            if (inPos_ >= inSize_)
                throw EBRError("Compressed page ends before its length");
            inByte_ = in_[inPos_++];
            bitPosition_ = 0;
        } else {
            ++bitPosition_;
        }
        node = (inByte_ >> bitPosition_) & 1 ? right_[node] : left_[node];
    }
    const auto byte = static_cast<std::uint8_t>(node - leafBase);
    splay(byte);
    return byte;
}

std::vector<std::uint8_t> TBRCompress::compress(const std::uint8_t *data, std::size_t size)
{
    std::vector<std::uint8_t> out;
    TBRCompress c(out);
    for (std::size_t i = 0; i < size; ++i)
        c.Put(data[i]);
    c.Close();
    return out;
}

std::vector<std::uint8_t> TBRCompress::expand(const std::uint8_t *data, std::size_t size,
                                              std::size_t length)
{
    std::vector<std::uint8_t> out(length);
    TBRCompress c(data, size);
    for (std::size_t i = 0; i < length; ++i)
        out[i] = c.Get();
    return out;
}

} // namespace output
