#pragma once
// One owner, one close, for every kind of handle; each traits struct says
// what "no handle" means for its kind.
#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;
    explicit UniqueHandle(Handle h = Traits::invalid()) : raw_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : raw_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Handle get() const { return raw_; }
    explicit operator bool() const { return raw_ != Traits::invalid(); }
    Handle release() { return std::exchange(raw_, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) {
        if (Handle old = std::exchange(raw_, h); old != Traits::invalid()) Traits::close(old);
    }

private:
    Handle raw_ = Traits::invalid();
};
