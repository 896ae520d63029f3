#include "ui/event_handlers.h"

#include "expand/generate.h"

void EventHandlers::handle_window_created() {
    created_ = true;
    store_.select_category(1);
}

void EventHandlers::handle_category_click(int n) {
    if (created_) store_.select_category(n);
}

void EventHandlers::handle_box_change(BoxKind kind) {
    if (created_) store_.save_box_text(kind, window_.read_box_text(kind));
}

void EventHandlers::handle_generate_click() {
    if (created_) generate_keywords(window_);
}
