#include <gtest/gtest.h>

#include "app/program_folder.h"

namespace {
bool gbk_lead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
}  // namespace

TEST(ProgramFolder, LastBackslashOutsideTwoByteCharacters) {
    struct Case { const char* why; Text path; Text folder; };
    const Case cases[] = {
        {"plain path",                          "C:\\tools\\kw.exe",            "C:\\tools"},
        {"root folder",                         "C:\\kw.exe",                   "C:"},
        {"second byte 0x5C is not a separator", "C:\\\xB9\\\\kw\xB9\\.exe",      "C:\\\xB9\\"},
        {"GBK folder name",                     "D:\\\xC4\xE3\xBA\xC3\\kw.exe", "D:\\\xC4\xE3\xBA\xC3"},
        {"no backslash",                        "kw.exe",                       ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(program_folder_of(c.path, gbk_lead), c.folder);
    }
}
