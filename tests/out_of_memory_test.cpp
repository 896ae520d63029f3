#include <gtest/gtest.h>

#include <string>

#include "expand/out_of_memory.h"
#include "expand/text.h"

namespace {
struct HookReached {
    std::string message;
};
void throwing_hook(const char* message) { throw HookReached{message}; }
}  // namespace

TEST(OutOfMemory, FailedAllocationReachesTheHookWithTheByteCount) {
    // A request no machine can meet: the hook must see exactly that count.
    const std::size_t huge = std::size_t(1) << (sizeof(std::size_t) == 8 ? 46 : 31);
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
    const std::size_t huge = std::size_t(1) << (sizeof(std::size_t) == 8 ? 46 : 31);
    set_out_of_memory_hook(throwing_hook);
    char* p = new (std::nothrow) char[huge];
    set_out_of_memory_hook(nullptr);
    EXPECT_EQ(p, nullptr);
    delete[] p;
}
