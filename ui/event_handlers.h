#pragma once
#include "expand/window_ops.h"
#include "store/category_store.h"

// The four events of the main window. The window delivers them on its one
// thread; a box change raised by set_box_text() arrives nested in that call.
class EventHandlers {
public:
    EventHandlers(CategoryStore& store, WindowOps& window) : store_(store), window_(window) {}

    void handle_window_created();
    void handle_category_click(int n);
    void handle_box_change(BoxKind kind);
    void handle_generate_click();

private:
    CategoryStore& store_;
    WindowOps& window_;
    // No event counts before the window-created event: until then the current
    // paths are unset and the boxes are being built.
    bool created_ = false;
};
