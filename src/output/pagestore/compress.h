#pragma once
// The optional compression of stored pages: an adaptive prefix code over bytes kept in a
// semi-splaying tree (D. W. Jones, 1988). Node 0 is the root, nodes 1 to 255 are inner nodes
// and node 256 + b is the leaf of byte b; every coded byte moves its leaf towards the root.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace output {

class TBRCompress {
public:
    // A compressor appending its bits to `out`.
    explicit TBRCompress(std::vector<std::uint8_t> &out);
    // An expander reading the bits of `size` bytes at `in`.
    TBRCompress(const std::uint8_t *in, std::size_t size);

    void Put(std::uint8_t byte);
    // Writes the last partial byte of a compressor.
    void Close();
    // The next byte of an expander; EBRError when the input ends first.
    std::uint8_t Get();

    static std::vector<std::uint8_t> compress(const std::uint8_t *data, std::size_t size);
    static std::vector<std::uint8_t> expand(const std::uint8_t *data, std::size_t size,
                                            std::size_t length);

private:
    void initTree();
    void splay(std::uint8_t byte);

    static constexpr int leafBase = 256;
    static constexpr int nodeCount = 512;

    std::array<std::uint8_t, nodeCount + 1> up_{}; // indexed 1 to 512
    std::array<std::uint16_t, leafBase> left_{};   // indexed 0 to 255
    std::array<std::uint16_t, leafBase> right_{};
    bool compressing_;
    int bitPosition_;
    std::uint8_t outByte_ = 0;
    std::uint8_t inByte_ = 0;
    std::vector<std::uint8_t> *out_ = nullptr;
    const std::uint8_t *in_ = nullptr;
    std::size_t inSize_ = 0;
    std::size_t inPos_ = 0;
};

} // namespace output
