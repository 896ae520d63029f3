// Random seed and statement texts, any bytes at all: the expansion must agree
// with the plain method, and the data-file cut must stay inside the input.
// Input: seed text, one NUL byte, statement text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "expand/generate.h"
#include "store/disk.h"
#include "tests/plain_expansion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    if (data_text_length(bytes, size) > size) std::abort();

    const char* split = static_cast<const char*>(std::memchr(bytes, '\0', size));
    if (!split) return 0;
    const Text seed_text(bytes, split);
    const Text statements(split + 1, bytes + size);
    // The plain method is quadratic: keep each case small.
    if (seed_text.size() > 96 || statements.size() > 512) return 0;

    TextList seeds;
    for (const Text& seed : split_by_delimiter(seed_text, crlf))
        if (plain_method_ends(seed)) seeds.push_back(seed);
    if (expand_statements(statements, seeds) != plain_expand_statements(statements, seeds)) std::abort();

    // Seeds holding a wildcard end too.
    (void)expand_statements(statements, split_by_delimiter(seed_text, crlf));
    return 0;
}
