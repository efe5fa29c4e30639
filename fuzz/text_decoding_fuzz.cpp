// Text decoding: whatever the bytes, what is decoded and encoded again in the same format decodes to the
// same text in the same format.

#include "datafiles/text_encoding.h"
#include "fuzz_support.h"

using namespace orbel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const DecodedText first = DecodeText(fuzz::Bytes(data, size));
    SplitLines(first.text);
    const std::optional<QByteArray> encoded = EncodeText(first.text, first.format);
    if (!encoded) return 0; // a character with no form in the file's encoding is refused, never garbled
    const DecodedText second = DecodeText(*encoded);
    fuzz::Require(second.text == first.text, "the text reads back the same");
    fuzz::Require(second.format.encoding == first.format.encoding && second.format.bom == first.format.bom,
                  "the encoding reads back the same");
    return 0;
}
