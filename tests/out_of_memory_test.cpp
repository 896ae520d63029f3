#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "expand/out_of_memory.h"
#include "expand/text.h"

namespace {
struct HookReached {
    std::string message;
};
void throwing_hook(const char* message) { throw HookReached{message}; }
// Larger than any address space, so it fails at once everywhere (sizes that
// merely exceed the machine's memory take Wine a minute to refuse); volatile
// so the compiler cannot see the size and refuse it first.
volatile std::size_t impossible_request = std::numeric_limits<std::size_t>::max() - 15;
}  // namespace

TEST(OutOfMemory, FailedAllocationReachesTheHookWithTheByteCount) {
    const std::size_t huge = impossible_request;
    set_out_of_memory_hook(throwing_hook);
    std::string reached;
    try {
        void* p = ::operator new(huge);
        ::operator delete(p);
    } catch (const HookReached& hook) {
        reached = hook.message;
    }
    set_out_of_memory_hook(nullptr);
    char expected[96];
    format_out_of_memory_message(huge, expected, sizeof expected);
    EXPECT_EQ(reached, expected);
}

TEST(OutOfMemory, MessageIsTheGbkSentenceWithTheDecimalCount) {
    char message[96];
    format_out_of_memory_message(1234567, message, sizeof message);
    EXPECT_STREQ(message, "\xB7\xD6\xC5\xE4 1234567 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!");
    format_out_of_memory_message(0, message, sizeof message);
    EXPECT_STREQ(message, "\xB7\xD6\xC5\xE4 0 \xD7\xD6\xBD\xDA\xC4\xDA\xB4\xE6\xCA\xA7\xB0\xDC!");
}

TEST(OutOfMemory, NothrowRequestsStayQuiet) {
    const std::size_t huge = impossible_request;
    set_out_of_memory_hook(throwing_hook);
    void* p = ::operator new(huge, std::nothrow);
    set_out_of_memory_hook(nullptr);
    EXPECT_EQ(p, nullptr);
    ::operator delete(p);
}
