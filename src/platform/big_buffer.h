#pragma once

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace corvalo::platform {

// Raw memory for large, growable arrays. On Linux the pages come straight from
// mmap with transparent huge pages requested and grow with mremap (no copy);
// elsewhere they come from malloc/realloc. Throws std::bad_alloc on failure.
void* bigAlloc(std::size_t bytes, std::size_t& granted);
void* bigRealloc(void* p, std::size_t oldBytes, std::size_t newBytes, std::size_t& granted);
void bigFree(void* p, std::size_t bytes) noexcept;

// A vector of trivially copyable elements for the large arrays of a paste (the
// text, the cell text arena and the cell offsets). First touch of fresh memory is
// the dominant cost at a million rows, so growth never copies where the OS can
// move pages instead, and clear() keeps the pages for the next paste.
template <class T>
class BigBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    BigBuffer() = default;
    ~BigBuffer() { release(); }
    BigBuffer(const BigBuffer&) = delete;
    BigBuffer& operator=(const BigBuffer&) = delete;
    BigBuffer(BigBuffer&& o) noexcept
        : data_(std::exchange(o.data_, nullptr)),
          size_(std::exchange(o.size_, 0)),
          bytes_(std::exchange(o.bytes_, 0)) {}
    BigBuffer& operator=(BigBuffer&& o) noexcept {
        if (this != &o) {
            release();
            data_ = std::exchange(o.data_, nullptr);
            size_ = std::exchange(o.size_, 0);
            bytes_ = std::exchange(o.bytes_, 0);
        }
        return *this;
    }

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return bytes_ / sizeof(T); }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

    void reserve(std::size_t n) {
        if (n > capacity()) grow(n);
    }
    // Grows or shrinks the element count; new elements are left uninitialised.
    void resizeUninitialized(std::size_t n) {
        reserve(n);
        size_ = n;
    }
    void push_back(T v) {
        if (size_ == capacity()) grow(size_ + 1);
        data_[size_++] = v;
    }
    void append(const T* p, std::size_t n) {
        reserve(size_ + n);
        if (n != 0) std::memcpy(data_ + size_, p, n * sizeof(T));
        size_ += n;
    }
    void clear() { size_ = 0; }
    void release() noexcept {
        if (data_ != nullptr) bigFree(data_, bytes_);
        data_ = nullptr;
        size_ = 0;
        bytes_ = 0;
    }

  private:
    void grow(std::size_t atLeast) {
        std::size_t want = capacity() * 2;
        if (want < atLeast) want = atLeast;
        if (want < 64) want = 64;
        std::size_t granted = 0;
        void* p = data_ == nullptr ? bigAlloc(want * sizeof(T), granted)
                                   : bigRealloc(data_, bytes_, want * sizeof(T), granted);
        data_ = static_cast<T*>(p);
        bytes_ = granted;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t bytes_ = 0;
};

// A buffer holding a copy of `text`.
inline BigBuffer<char> bigText(const char* text, std::size_t size) {
    BigBuffer<char> b;
    b.append(text, size);
    return b;
}

}  // namespace corvalo::platform
