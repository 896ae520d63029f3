#include "app/program_folder.h"

Text program_folder_of(const Text& program_path, bool (*is_lead_byte_of_code_page)(unsigned char)) {
    std::size_t last_backslash = Text::npos;
    for (std::size_t at = 0; at < program_path.size();) {
        const unsigned char c = static_cast<unsigned char>(program_path[at]);
        if (c == '\\') last_backslash = at;
        at += (is_lead_byte_of_code_page(c) && at + 1 < program_path.size()) ? 2 : 1;
    }
    return last_backslash == Text::npos ? Text() : program_path.substr(0, last_backslash);
}
