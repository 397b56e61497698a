#include "catalogue/page_scramble.h"

#include <bit>

#include "base/bytes.h"

namespace vorthal {

namespace {

constexpr std::size_t kWordSize = 4;

template <typename Transform>
void TransformWords(PageSpan page, Transform transform) {
    for (std::size_t offset = 0; offset < page.size(); offset += kWordSize) {
        std::uint8_t* word = page.data() + offset;
        StoreLE32(word, transform(LoadLE32(word)));
    }
}

} // namespace

void ScramblePage(PageSpan page, std::uint32_t key) {
    TransformWords(page, [key](std::uint32_t word) { return std::rotr(word, 1) ^ key; });
}

void UnscramblePage(PageSpan page, std::uint32_t key) {
    TransformWords(page, [key](std::uint32_t word) { return std::rotl(word ^ key, 1); });
}

} // namespace vorthal
