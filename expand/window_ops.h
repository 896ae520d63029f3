#pragma once
// All the core needs of the window. The real window implements it on its
// three editor boxes; tests implement it with a fake.
#include "expand/text.h"

enum class BoxKind { seed, statement, result };  // always handled in this order
inline constexpr BoxKind all_box_kinds[] = {BoxKind::seed, BoxKind::statement, BoxKind::result};

class WindowOps {
public:
    virtual ~WindowOps() = default;
    virtual Text read_box_text(BoxKind box) = 0;
    // Runs the box's change handler nested, before returning. False when the
    // box cannot hold the whole text: it is then left empty, never holding a
    // part of the text.
    virtual bool set_box_text(BoxKind box, const Text& text) = 0;
    virtual void show_warning(const Text& message, const Text& title) = 0;
};
